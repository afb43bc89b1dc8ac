#include "player/view/DialogOpenProgress.h"

#include <QApplication>
#include <QProgressDialog>

#include <algorithm>

namespace kadro {

namespace {
constexpr int kSteps = 1000;
constexpr int kEventIntervalMs = 30;
} // namespace

DialogOpenProgress::DialogOpenProgress(QWidget* parent, int delayMs) : parent_(parent), delayMs_(delayMs)
{
    sinceStart_.start();
    sinceEvents_.start();
}

DialogOpenProgress::~DialogOpenProgress() = default;

QString DialogOpenProgress::labelText() { return QStringLiteral("Video wird vorbereitet ..."); }
QString DialogOpenProgress::cancelText() { return QStringLiteral("Abbrechen"); }

QProgressDialog* DialogOpenProgress::dialog() const { return dialog_.get(); }

bool DialogOpenProgress::report(qint64 done, qint64 total)
{
    if (cancelled_)
        return false;
    // Widgets need a QApplication; without one (command-line tools) nothing is shown.
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return true;
    if (sinceEvents_.elapsed() < kEventIntervalMs)
        return true;
    sinceEvents_.restart();
    if (!dialog_) {
        if (sinceStart_.elapsed() < delayMs_)
            return true;
        dialog_ = std::make_unique<QProgressDialog>(labelText(), cancelText(), 0, kSteps, parent_.data());
        dialog_->setWindowTitle(QStringLiteral("Kadro"));
        dialog_->setWindowModality(parent_ ? Qt::WindowModal : Qt::ApplicationModal);
        dialog_->setMinimumDuration(0);
        dialog_->setAutoClose(false);
        dialog_->setAutoReset(false);
        dialog_->show();
    }
    const int value = total > 0 ? int(std::clamp<qint64>(done * kSteps / total, 0, kSteps - 1)) : 0;
    dialog_->setValue(value);
    // The dialog is modal: input reaches only the dialog (its "Abbrechen" button).
    QCoreApplication::processEvents();
    if (dialog_ && dialog_->wasCanceled())
        cancelled_ = true;
    return !cancelled_;
}

} // namespace kadro
