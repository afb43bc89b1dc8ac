#pragma once
// Progress of preparing a video for showing (indexing the file, checking how it may be seeked).
// For a large file this takes seconds; the user sees how far it is and can cancel it.

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class QProgressDialog;
class QWidget;

namespace kadro {

class OpenProgress {
public:
    virtual ~OpenProgress() = default;
    // Reports that `done` of `total` parts of the preparation are done. Called often (for every
    // packet read while indexing), so it should be cheap. Returns false when the user cancelled.
    virtual bool report(qint64 done, qint64 total) = 0;
};

// Makes the progress of one open (may return null: then nothing is reported).
using OpenProgressFactory = std::function<std::unique_ptr<OpenProgress>()>;

// The progress dialog of the program: nothing is shown while the preparation is quick; after
// `delayMs` a window-modal QProgressDialog "Video wird vorbereitet ..." with "Abbrechen" appears.
// Events are processed while it shows (user input only once the dialog blocks the window).
class DialogOpenProgress : public OpenProgress {
public:
    static constexpr int kDefaultDelayMs = 500;
    explicit DialogOpenProgress(QWidget* parent, int delayMs = kDefaultDelayMs);
    ~DialogOpenProgress() override;

    bool report(qint64 done, qint64 total) override;

    // The dialog once it has been shown (null before).
    QProgressDialog* dialog() const;

    static QString labelText();
    static QString cancelText();

private:
    QPointer<QWidget> parent_;
    int delayMs_;
    QElapsedTimer sinceStart_;
    QElapsedTimer sinceEvents_;
    std::unique_ptr<QProgressDialog> dialog_;
    bool cancelled_ = false;
};

} // namespace kadro
