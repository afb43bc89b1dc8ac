#pragma once
// The two links the info and question-and-answer windows offer: the support mail address and the
// project's web page. Both are handed to the platform, which opens the user's mail program or
// browser; whether that works is not checked (without a mail program nothing happens).

#include <QString>
#include <functional>

namespace kadro {

inline const QString kSupportMail = QStringLiteral("kadro@physik-mit-video.de");
inline const QString kHomepage = QStringLiteral("https://physik-mit-video.de/kadro");

// "mailto:" + address + "?subject=Frage zu ''Kadro''&body=" (an empty body).
QString supportMailLink();

// Hands a link to the platform (QDesktopServices); failures are not reported.
void openLinkWithPlatform(const QString& link);

// How the windows open their links; tests put a recorder here.
using LinkOpener = std::function<void(const QString& link)>;

} // namespace kadro
