#pragma once
#include <QDialog>

namespace kadro {

// The info window "Infofenster": program name and version.
class TInfofenster : public QDialog {
    Q_OBJECT
public:
    explicit TInfofenster(QWidget* parent = nullptr);
};

} // namespace kadro
