#!/usr/bin/env bash
# Checks of Kadro's desktop integration with the desktop's own tools.
# usage: checks.sh entry|metainfo|mime|install SOURCE_DIR BUILD_DIR
#   entry     the desktop entry passes desktop-file-validate without errors or warnings
#   metainfo  the AppStream metadata passes appstreamcli validate (no network) and names the entry
#   mime      the file type: well-formed, and the desktop (GIO) recognises presentations by it
#   install   cmake --install into a temporary prefix gives the expected files; the installed
#             program, started in another directory, seeds and works in the user's data folder
set -euo pipefail
CHECK="$1"
SRC="$(cd "$2" && pwd)"
BUILD="$(cd "$3" && pwd)"
ID=de.physik_mit_video.Kadro
DESKTOP="$SRC/data/desktop/$ID.desktop"
METAINFO="$SRC/data/desktop/$ID.metainfo.xml"
MIME="$SRC/data/desktop/kadro.xml"
TYPE=application/x-kadro-presentation

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }
expect_contains() { # text, wanted, what
  case "$1" in *"$2"*) ;; *) fail "$3: expected \"$2\" in: $1";; esac
}

# The content type GIO gives a file, with only the MIME database in $1/mime and the system's.
content_type() {
  XDG_DATA_DIRS="$1:/usr/share" XDG_DATA_HOME="$WORK/no-home" XDG_CONFIG_HOME="$WORK/no-config" \
    XDG_CONFIG_DIRS="$WORK/no-config" gio info -a standard::content-type "$2" | sed -n 's/^ *standard::content-type: //p'
}

check_entry() {
  local out
  out="$(desktop-file-validate "$1" 2>&1)" || fail "desktop-file-validate: $out"
  if grep -E ': (error|warning):' <<<"$out"; then fail "desktop-file-validate complains"; fi
  # The name, the file type it opens, and the file it is handed.
  grep -qx 'Name=Kadro' "$1" || fail "no Name=Kadro"
  grep -qx 'Exec=kadro %f' "$1" || fail "Exec must hand over one file (%f)"
  grep -qx 'Icon=kadro' "$1" || fail "Icon must be kadro"
  grep -q "^MimeType=.*$TYPE;" "$1" || fail "the entry does not open $TYPE"
  grep -q '^MimeType=.*video/x-msvideo;' "$1" || fail "the entry does not open AVI videos"
  grep -q '^Categories=Education;Science;Physics;$' "$1" || fail "categories"
}

case "$CHECK" in
entry)
  check_entry "$DESKTOP"
  ;;

metainfo)
  appstreamcli validate --no-net "$METAINFO" || fail "appstreamcli validate"
  grep -q "<id>$ID</id>" "$METAINFO" || fail "the component id is not $ID"
  grep -q "<launchable type=\"desktop-id\">$ID.desktop</launchable>" "$METAINFO" || fail "launchable"
  grep -q "<mediatype>$TYPE</mediatype>" "$METAINFO" || fail "provided media type"
  [ -f "$SRC/data/screenshots/kadro-player.png" ] || fail "the screenshot is missing"
  ;;

mime)
  xmllint --noout "$MIME" || fail "the MIME package is not well-formed"
  grep -q "<mime-type type=\"$TYPE\">" "$MIME" || fail "the type is not $TYPE"
  mkdir -p "$WORK/share/mime/packages"
  cp "$MIME" "$WORK/share/mime/packages/"
  update-mime-database "$WORK/share/mime" >"$WORK/update.log" 2>&1 || { cat "$WORK/update.log"; fail "update-mime-database"; }
  [ -f "$WORK/share/mime/$TYPE.xml" ] || fail "update-mime-database did not take the type"
  expect_contains "$(cat "$WORK/share/mime/$TYPE.xml")" "Kadro-Präsentation" "comment"
  # A presentation is recognised by its name, in any case, and without a name by its first words.
  demo="$BUILD/share/kadro/Demo/FreierFall.vst"
  [ -f "$demo" ] || fail "the build has no demo presentation ($demo)"
  cp "$demo" "$WORK/Freier Fall.vst"
  cp "$demo" "$WORK/FALL.VST"
  cp "$demo" "$WORK/ohne-Endung"
  printf 'kein Kadro\r\n' > "$WORK/notiz.txt"
  for f in "Freier Fall.vst" FALL.VST ohne-Endung; do
    [ "$(content_type "$WORK/share" "$WORK/$f")" = "$TYPE" ] || fail "$f is not recognised as $TYPE"
  done
  [ "$(content_type "$WORK/share" "$WORK/notiz.txt")" = text/plain ] || fail "a plain text is taken for a presentation"
  ;;

install)
  PREFIX="$WORK/prefix"
  cmake --install "$BUILD" --prefix "$PREFIX" >"$WORK/install.log" || { cat "$WORK/install.log"; fail "cmake --install"; }
  expected=(
    bin/kadro
    share/kadro/faq.txt
    share/kadro/Demo/FreierFall.vst share/kadro/Demo/FreierFall.avi
    share/kadro/Demo/FreierFall/1.mem share/kadro/Demo/FreierFall/2.mem
    share/kadro/Demo/FreierFall/3.mem share/kadro/Demo/FreierFall/4.mem
    "share/applications/$ID.desktop"
    "share/metainfo/$ID.metainfo.xml"
    share/mime/packages/kadro.xml
    share/icons/hicolor/scalable/apps/kadro.svg
  )
  for size in 16 22 24 32 48 64 128 256; do expected+=("share/icons/hicolor/${size}x${size}/apps/kadro.png"); done
  for f in "${expected[@]}"; do [ -f "$PREFIX/$f" ] || fail "not installed: $f"; done
  [ -x "$PREFIX/bin/kadro" ] || fail "bin/kadro is not executable"
  check_entry "$PREFIX/share/applications/$ID.desktop"

  # The desktop's view of the installation: a .vst file is a presentation, opened by Kadro
  # (whose entry counts only where its program is found on the PATH).
  [ "$(content_type "$PREFIX/share" "$PREFIX/share/kadro/Demo/FreierFall.vst")" = "$TYPE" ] ||
    fail "the installed MIME database does not know presentations"
  handler="$(LC_ALL=C.UTF-8 PATH="$PREFIX/bin:$PATH" XDG_DATA_DIRS="$PREFIX/share:/usr/share" XDG_DATA_HOME="$WORK/no-home" XDG_CONFIG_HOME="$WORK/no-config" \
             XDG_CONFIG_DIRS="$WORK/no-config" gio mime "$TYPE")"
  handler="${handler%%$'\n'*}"
  case "$handler" in *": $ID.desktop") ;; *) fail "the default handler of presentations: $handler";; esac

  # The installed program, started in another directory by a user without a data folder.
  HOME_DIR="$WORK/home"
  ELSEWHERE="$WORK/elsewhere"
  mkdir -p "$HOME_DIR" "$ELSEWHERE"
  start() {
    (cd "$ELSEWHERE" && env -u KADRO_DATA_DIR -u KADRO_SHARE_DIR HOME="$HOME_DIR" XDG_DATA_HOME="$HOME_DIR/.local/share" \
       XDG_CACHE_HOME="$HOME_DIR/.cache" KADRO_EXIT_AFTER_START=1 QT_QPA_PLATFORM=offscreen \
       timeout 120 "$PREFIX/bin/kadro" "$@") || fail "the installed program did not start and end (status $?)"
  }
  start
  DATA="$HOME_DIR/.local/share/kadro"
  for f in faq.txt Demo/FreierFall.vst Demo/FreierFall.avi Demo/FreierFall/4.mem; do
    cmp -s "$PREFIX/share/kadro/$f" "$DATA/$f" || fail "not seeded: $f"
  done
  titles="$(cat "$DATA/Titel.opt")"
  expect_contains "$titles" "Titel1:Freier Fall (Demo)"$'\r' "Titel.opt"
  expect_contains "$titles" "zu vst-Datei:$DATA/Demo/FreierFall.vst"$'\r' "Titel.opt"
  [ -d "$DATA/Mem" ] || fail "the memo working folder was not made in the data folder"
  [ -z "$(ls -A "$ELSEWHERE")" ] || fail "the program wrote into the directory it was started in: $(ls -A "$ELSEWHERE")"

  # A second start keeps what the user has and brings back only what is missing.
  printf 'meine Fragen' > "$DATA/faq.txt"
  printf 'meine Titel' > "$DATA/Titel.opt"
  rm "$DATA/Demo/FreierFall/2.mem"
  start
  [ "$(cat "$DATA/faq.txt")" = "meine Fragen" ] || fail "faq.txt was overwritten"
  [ "$(cat "$DATA/Titel.opt")" = "meine Titel" ] || fail "Titel.opt was overwritten"
  [ -f "$DATA/Demo/FreierFall/2.mem" ] || fail "a missing demo file was not brought back"

  # Handed a presentation (by a path relative to where it starts, with blanks) or a missing file,
  # it starts and ends cleanly; what it opens is the C++ tests' part.
  mkdir -p "$ELSEWHERE/Mein Kurs"
  cp -r "$PREFIX/share/kadro/Demo/." "$ELSEWHERE/Mein Kurs/"
  start "Mein Kurs/FreierFall.vst"
  start "fehlt.vst"
  echo "installed and started: ${#expected[@]} files"
  ;;

*)
  fail "unknown check $CHECK"
  ;;
esac
