#pragma once
// The authoring view with the memo editor, driven as the author drives it: typing into the
// editor, clicking the tool bar and the mark grid with real events.
#include "AuthoringFixture.h"

#include "authoring/MemoEditor.h"
#include "authoring/TestRun.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>

namespace kadro::test {

// A memo's text and formatting in one line per paragraph: the alignment code, then each run as
// text{flags size colour} with b, i, u for the styles (a font other than Arial is named).
inline QString describeMemo(const QTextDocument& doc)
{
    QStringList lines;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const Qt::Alignment a = block.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
        QString line = a & Qt::AlignHCenter ? QStringLiteral("[c]") : a & Qt::AlignRight ? QStringLiteral("[r]")
                                                                                           : QStringLiteral("[l]");
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const QTextCharFormat c = f.charFormat();
            QString flags;
            if (c.fontWeight() >= QFont::DemiBold)
                flags += QLatin1Char('b');
            if (c.fontItalic())
                flags += QLatin1Char('i');
            if (c.fontUnderline())
                flags += QLatin1Char('u');
            const QString family = c.fontFamilies().toStringList().value(0);
            if (!family.isEmpty() && family != QLatin1String("Arial"))
                flags += QLatin1Char(' ') + family;
            if (c.fontPointSize() > 0)
                flags += QLatin1Char(' ') + QString::number(c.fontPointSize());
            if (c.hasProperty(QTextFormat::ForegroundBrush) && c.foreground().color() != QColor(Qt::black))
                flags += QLatin1Char(' ') + c.foreground().color().name();
            line += f.text() + QLatin1Char('{') + flags.trimmed() + QLatin1Char('}');
        }
        lines << line;
    }
    return lines.join(QLatin1Char('\n'));
}

class MemoViewFixture : public AuthoringFixture {
protected:
    QTextEdit* edit() { return window->ui.RichEdit; }

    // The author types into a widget: one key press and release per character, umlauts too.
    static void typeInto(QWidget* widget, const QString& text)
    {
        for (const QChar ch : text) {
            const QChar upper = ch.toUpper();
            const int key = upper.unicode() < 256 ? upper.unicode() : 0;
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(ch));
            QCoreApplication::sendEvent(widget, &press);
            QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(ch));
            QCoreApplication::sendEvent(widget, &release);
        }
    }
    // The author types into the memo editor.
    void type(const QString& text) { typeInto(edit(), text); }
    void select(int from, int to)
    {
        QTextCursor c = edit()->textCursor();
        c.setPosition(from);
        c.setPosition(to, QTextCursor::KeepAnchor);
        edit()->setTextCursor(c);
    }
    void caretAt(int position) { select(position, position); }
    void selectAll() { select(0, edit()->document()->characterCount() - 1); }
    void click(QToolButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    // Format of the character at a position of the editor.
    QTextCharFormat charAt(int position)
    {
        QTextCursor c(edit()->document());
        c.setPosition(position + 1);
        return c.charFormat();
    }
    QString memo() { return describeMemo(*edit()->document()); }
};

} // namespace kadro::test
