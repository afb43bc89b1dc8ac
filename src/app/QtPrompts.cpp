#include "app/QtPrompts.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>

namespace kadro {

namespace {
// A box or file dialog asked for while the picture fills the screen stands over the full screen,
// not behind it over the covered window.
QWidget* ownerOf(QWidget* parent)
{
    QWidget* active = QApplication::activeWindow();
    if (active && parent && active != parent->window() && active->isFullScreen() && active->parentWidget() &&
        active->parentWidget()->window() == parent->window())
        return active;
    return parent;
}
} // namespace

Button QtPrompts::message(BoxKind kind, const QString& text, const QList<Button>& buttons, std::optional<QPoint> offset)
{
    QMessageBox box(ownerOf(m_parent));
    box.setWindowTitle(boxTitle(kind));
    QString shownText = text;
    shownText.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    box.setText(shownText);
    box.setTextFormat(Qt::PlainText);
    // The messages break their lines themselves; the box must not break them again.
    int widest = 0;
    for (const QString& line : shownText.split(QLatin1Char('\n')))
        widest = std::max(widest, box.fontMetrics().horizontalAdvance(line));
    box.setStyleSheet(QStringLiteral("QLabel#qt_msgbox_label { min-width: %1px; }").arg(std::min(widest + 8, 1000)));
    switch (kind) {
    case BoxKind::Warning: box.setIcon(QMessageBox::Warning); break;
    case BoxKind::Error: box.setIcon(QMessageBox::Critical); break;
    case BoxKind::Information: box.setIcon(QMessageBox::Information); break;
    case BoxKind::Confirmation: box.setIcon(QMessageBox::Question); break;
    case BoxKind::Plain: box.setIcon(QMessageBox::NoIcon); break;
    }
    QList<QPair<QAbstractButton*, Button>> map;
    for (Button b : buttons) {
        const QMessageBox::ButtonRole role = b == Button::Abbrechen ? QMessageBox::RejectRole
                                             : b == Button::Nein    ? QMessageBox::NoRole
                                             : b == Button::Ja      ? QMessageBox::YesRole
                                                                    : QMessageBox::AcceptRole;
        QPushButton* pb = box.addButton(buttonCaption(b), role);
        map.append({pb, b});
        if (b == Button::Abbrechen)
            box.setEscapeButton(pb);
    }
    if (!map.isEmpty())
        box.setDefaultButton(static_cast<QPushButton*>(map.first().first));
    if (offset && m_parent) {
        // Placed relative to the main window's frame, as the program's own boxes are.
        box.adjustSize();
        box.move(m_parent->window()->frameGeometry().topLeft() + *offset);
    }
    box.exec();
    for (const auto& [pb, b] : map)
        if (box.clickedButton() == pb)
            return b;
    return Button::Abbrechen;
}

QStringList QtPrompts::qtFilters(const QString& filter)
{
    QStringList out;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts.at(i + 1);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        out << QStringLiteral("%1 (%2)").arg(parts.at(i), patterns.simplified());
    }
    return out;
}

namespace {
QString runFileDialog(QWidget* parent, const FileDialogOptions& o, bool save)
{
    QFileDialog dlg(parent, o.title, o.directory);
    dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QStringList filters = QtPrompts::qtFilters(o.filter);
    dlg.setNameFilters(filters);
    if (o.filterIndex >= 1 && o.filterIndex <= filters.size())
        dlg.selectNameFilter(filters.at(o.filterIndex - 1));
    if (!o.defaultSuffix.isEmpty())
        dlg.setDefaultSuffix(o.defaultSuffix);
    if (!o.overwritePrompt)
        dlg.setOption(QFileDialog::DontConfirmOverwrite);
    if (!o.fileName.isEmpty())
        dlg.selectFile(o.fileName);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return {};
    return dlg.selectedFiles().first();
}
} // namespace

QString QtPrompts::openFile(const FileDialogOptions& options)
{
    return runFileDialog(ownerOf(m_parent), options, false);
}

QString QtPrompts::saveFile(const FileDialogOptions& options)
{
    return runFileDialog(ownerOf(m_parent), options, true);
}

std::optional<QColor> QtPrompts::chooseColor(const QColor& initial)
{
    const QColor c = QColorDialog::getColor(initial, m_parent);
    if (!c.isValid())
        return std::nullopt;
    return c;
}

int QtPrompts::runModal(QDialog* dialog)
{
    return dialog->exec();
}

} // namespace kadro
