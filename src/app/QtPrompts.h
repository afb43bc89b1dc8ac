#pragma once
#include "common/Prompts.h"

#include <QStringList>

class QWidget;

namespace kadro {

// The real dialogs, on Qt's standard widgets.
class QtPrompts : public Prompts {
public:
    explicit QtPrompts(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }

    Button message(BoxKind kind, const QString& text, const QList<Button>& buttons,
                   std::optional<QPoint> offset = std::nullopt) override;
    QString openFile(const FileDialogOptions& options) override;
    QString saveFile(const FileDialogOptions& options) override;
    std::optional<QColor> chooseColor(const QColor& initial) override;
    int runModal(QDialog* dialog) override;

    // "Name|*.a; *.b|..." → Qt's "Name (*.a *.b);;..."
    static QStringList qtFilters(const QString& filter);

private:
    QWidget* m_parent;
};

} // namespace kadro
