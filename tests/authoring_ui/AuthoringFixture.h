#pragma once
// The authoring view driven as the author drives it: the open and save commands, the slider, the
// "Marke setzen" button and real mouse presses on the mark grid.
#include "support/ShellFixture.h"

#include "authoring/MarkTableController.h"
#include "authoring/PresentationFile.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QTableWidget>
#include <QTest>

#include <initializer_list>

namespace kadro::test {

inline const QString kOn = QStringLiteral("      OK");
inline const QString kManuell = QStringLiteral("   manuell");

// In the authoring view unless a test sets `enterOnSetUp` false in its constructor.
class AuthoringFixture : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        if (enterOnSetUp)
            enterView(2);
    }
    bool enterOnSetUp = true;

    MainWindowUi& ui() { return window->ui; }
    MarkTableController& table() { return window->markTable(); }
    QTableWidget* grid() { return window->ui.StringGrid; }

    // Opens a video of 500 frames into the authoring view, as the open command's last step does.
    void openAuthoringVideo(const QString& name = QStringLiteral("film.avi"))
    {
        device->setLength(499);
        window->presentationFile().openChosenFile(videoFile(name));
        ASSERT_TRUE(device->isOpen());
    }
    // The open and save commands with the file chosen in their dialog.
    void open(const QString& file)
    {
        prompts.fileAnswers = {file};
        ui().OeffnenButton->click();
    }
    void save(const QString& file)
    {
        prompts.fileAnswers = {file};
        ui().SpeichernButton->click();
    }

    // The user drags the slider to a frame.
    void drag(int frame) { ui().VideoTrackBar->setValue(frame); }
    void setMarkAt(int frame)
    {
        drag(frame);
        QTest::mouseClick(ui().MarkeSetzenButton, Qt::LeftButton);
    }

    // "Marke n Stop-Frame setzen" from the pop-up of the mark's row, with the slider at `frame`.
    void setStopFrame(int row, int frame)
    {
        press(row, 0, Qt::RightButton);
        drag(frame);
        ui().PopupMenuMarkeStopFrame->trigger();
    }

    // A mouse press on a grid cell, as the user clicks it.
    void press(int row, int column, Qt::MouseButton button = Qt::LeftButton,
               QEvent::Type type = QEvent::MouseButtonPress)
    {
        const QRect r = grid()->visualRect(grid()->model()->index(row, column));
        ASSERT_TRUE(r.isValid()) << row << "," << column;
        const QPoint p = r.center();
        QMouseEvent event(type, QPointF(p), QPointF(grid()->viewport()->mapToGlobal(p)), button, button,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(grid()->viewport(), &event);
    }
    // A quick double click: press, release, and the second press as a double-click event.
    void doubleClick(int row, int column)
    {
        press(row, column);
        press(row, column, Qt::LeftButton, QEvent::MouseButtonDblClick);
    }

    QString cell(int row, int column)
    {
        const QTableWidgetItem* item = grid()->item(row, column);
        return item ? item->text() : QString();
    }
    // The grid widget's texts, row by row; they must always equal the marks behind them.
    QList<QStringList> shownRows()
    {
        QList<QStringList> rows;
        for (int r = 0; r < grid()->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < 13; ++c)
                cells << cell(r, c);
            rows << cells;
            EXPECT_EQ(cells, table().grid().rowCells(r)) << "row " << r;
        }
        EXPECT_EQ(grid()->rowCount(), table().grid().rowCount());
        return rows;
    }
    QList<QStringList> gridRows() { return shownRows(); }
    static QStringList row(std::initializer_list<const char*> texts)
    {
        QStringList cells;
        for (const char* t : texts)
            cells << QString::fromUtf8(t);
        return cells;
    }
};

} // namespace kadro::test
