#pragma once
// The program's progress dialog while a video is prepared for showing.

#include "player/video/OpenProgress.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

#include <memory>

class QProgressDialog;
class QWidget;

namespace kadro {

// Nothing is shown while the preparation is quick; after `delayMs` a window-modal
// QProgressDialog "Video wird vorbereitet ..." with "Abbrechen" appears. Events are processed
// while it shows (user input only once the dialog blocks the window).
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
