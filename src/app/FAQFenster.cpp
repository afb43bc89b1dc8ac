#include "app/FAQFenster.h"

#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

namespace kadro {

TFAQFenster::TFAQFenster(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("FAQFenster"));
    setWindowTitle(QStringLiteral("FAQ - Fragen und Antworten"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0x80, 0x00, 0x00));
    setPalette(pal);

    auto* label1 = new QLabel(QStringLiteral("Fragen und Antworten zu Kadro"));
    label1->setStyleSheet(QStringLiteral("color: white; font: bold 16px;"));
    label1->setAlignment(Qt::AlignHCenter);
    FAQRichEdit = new QTextEdit;
    FAQRichEdit->setObjectName(QStringLiteral("FAQRichEdit"));
    FAQRichEdit->setReadOnly(true);
    FAQRichEdit->setPlainText(QStringLiteral("Hier wird die faq.txt geladen"));
    Button1 = new QPushButton(QStringLiteral("Zurück zur Startseite"));
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setFixedSize(209, 37);
    connect(Button1, &QPushButton::clicked, this, &QWidget::hide);

    auto* v = new QVBoxLayout(this);
    v->addWidget(label1);
    v->addWidget(FAQRichEdit, 1);
    v->addWidget(Button1, 0, Qt::AlignHCenter);
    resize(808, 623);
}

} // namespace kadro
