#pragma once
#include <QString>

class QTextDocument;

namespace kadro {

// Copies a file byte for byte; the destination is created or replaced. Never reports anything:
// returns false if the source cannot be read or the destination cannot be written (a failed
// write leaves an existing destination as it was).
bool DateiKopieren(const QString& source, const QString& destination);

// The folder of a presentation's memo files: the presentation path without its last four
// characters (".../Fallversuch.vst" → ".../Fallversuch").
QString presentationDirOf(const QString& presentationPath);

// A folder of memo files named by mark number: "1.mem", "2.mem", ... The working folder of the
// authoring view is one; a presentation folder is another. Every operation is silent: a failed
// rename or delete leaves the file as it was.
class MemoFolder {
public:
    MemoFolder() = default;
    explicit MemoFolder(QString path) : m_path(std::move(path)) {}

    const QString& path() const { return m_path; }
    // Path of mark n's memo file, n ≥ 1.
    QString fileOf(int markNumber) const;

    bool exists(int markNumber) const;
    // Deletes mark n's file if it is there.
    void remove(int markNumber) const;
    // Renames mark `from`'s file to that of mark `to`; fails (silently) when `from` has no
    // file or `to` has one already.
    void rename(int from, int to) const;
    // Deletes every numbered memo file ("1.mem", "2.mem", ... whatever the number); other files
    // in the folder are left alone.
    void removeAll() const;
    // Creates the folder (its parent must exist); false if it exists already or cannot be made.
    bool create() const;
    // Whether memo files can be written into the folder: it is made (with its parents) if it is
    // missing, and a trial file is created and removed in it.
    bool writable() const;

private:
    QString m_path;
};

// Reads a memo file into `document`: RTF as the memo editor writes it and as word processors
// write it; a file an earlier version of the program wrote (an HTML document in UTF-8) or plain
// text (UTF-8, else Windows-1252) is shown as well. Returns false and leaves the document as it
// was when the file cannot be read. The loaded document counts as unmodified.
bool readMemoFile(const QString& path, QTextDocument* document);
// The same for the bytes of a memo file, which are always shown somehow.
void readMemoBytes(const QByteArray& bytes, QTextDocument* document);
// Writes the document as RTF, creating or replacing the file. A failed write leaves an existing
// file as it was; returns false then.
bool writeMemoFile(const QString& path, const QTextDocument& document);

// The memo editor as the memo rules see it. The editor widget implements it; saving and
// loading are its own (rich text) and report nothing.
class MemoEditorAccess {
public:
    virtual ~MemoEditorAccess() = default;
    // Whether the editor holds any text.
    virtual bool hasText() const = 0;
    // Saves the whole content into a file, creating or overwriting it; false when the file could
    // not be written (an existing file is left as it was then, and so is the editor).
    virtual bool saveTo(const QString& path) = 0;
    // Replaces the content with the file's; a file that cannot be read leaves the editor empty.
    virtual void loadFrom(const QString& path) = 0;
    virtual void clear() = 0;
    virtual void setEnabled(bool enabled) = 0;
};

} // namespace kadro
