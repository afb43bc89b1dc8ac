#include "support/ShellFixture.h"

#include "app/MouseEvents.h"
#include "app/StartPage.h"
#include "common/Cp1252.h"
#include "common/Rtf.h"
#include "player/Transport.h"

#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>

using namespace kadro;
using namespace kadro::test;

namespace {
const QString kMailLink = QStringLiteral("mailto:kadro@physik-mit-video.de?subject=Frage zu ''Kadro''&body=");

QColor textColour(const QLabel* l)
{
    return l->palette().color(QPalette::WindowText);
}

// Rows of the image that hold a pixel of the colour.
QList<int> rowsWith(const QImage& image, const QColor& colour)
{
    QList<int> rows;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == colour) {
                rows << y;
                break;
            }
    return rows;
}
} // namespace

class InfoWindow : public ShellFixture {
protected:
    void TearDown() override
    {
        info->hide();
        ShellFixture::TearDown();
    }
    QImage acknowledgements() const { return info->PaintBox->grab().toImage().convertToFormat(QImage::Format_RGB32); }
};

TEST_F(InfoWindow, TheAcknowledgementsScrollUpAndRestartAtTheBottom)
{
    info->show();
    EXPECT_EQ(info->scrollPosition(), 100);
    EXPECT_TRUE(info->Timer1->isActive());
    EXPECT_EQ(info->Timer1->interval(), 50);
    for (int i = 0; i < 489; ++i)
        info->Timer1Timer();
    EXPECT_EQ(info->scrollPosition(), -389);
    info->Timer1Timer(); // -390 is reached: back to the bottom edge
    EXPECT_EQ(info->scrollPosition(), 90);
    info->Timer1Timer();
    EXPECT_EQ(info->scrollPosition(), 89);

    // Closed by the close box and opened again: from 100 again.
    info->close();
    EXPECT_FALSE(info->Timer1->isActive());
    info->show();
    EXPECT_EQ(info->scrollPosition(), 100);
    EXPECT_TRUE(info->Timer1->isActive());
}

TEST_F(InfoWindow, TheLinesAreDrawnWhereTheScrollPositionPutsThem)
{
    info->show();
    const QColor yellow(0xFF, 0xFF, 0x00), blue(0x00, 0x00, 0xFF), red(0xFF, 0x00, 0x00);
    info->Timer1Timer(); // drawn at 100: the list lies just below the box
    QImage image = acknowledgements();
    EXPECT_EQ(rowsWith(image, yellow).size(), image.height());
    EXPECT_TRUE(rowsWith(image, blue).isEmpty());
    EXPECT_TRUE(rowsWith(image, red).isEmpty());

    while (info->scrollPosition() > -20)
        info->Timer1Timer();
    info->Timer1Timer(); // drawn at -20: headings at 5 and 50, names from 75 on
    image = acknowledgements();
    const QList<int> blueRows = rowsWith(image, blue);
    const QList<int> redRows = rowsWith(image, red);
    const int lineHeight = QFontMetrics(info->PaintBox->font()).height();
    ASSERT_FALSE(blueRows.isEmpty());
    ASSERT_FALSE(redRows.isEmpty());
    EXPECT_GE(blueRows.first(), 5);
    EXPECT_LT(blueRows.first(), 5 + lineHeight);
    EXPECT_LT(blueRows.last(), 50 + lineHeight);
    EXPECT_GE(redRows.first(), 75);
    EXPECT_LT(redRows.first(), 75 + lineHeight);
}

TEST_F(InfoWindow, MailAndWebLabelsStayRedUntilThePointerCrossesThePanelAndOpenTheirLinks)
{
    QStringList opened;
    info->openLink = [&](const QString& link) { opened << link; };
    info->show();
    moveOver(info->MailLabel2);
    EXPECT_EQ(textColour(info->MailLabel2), QColor(Qt::red));
    EXPECT_EQ(textColour(info->HPLabel2), QColor(Qt::blue));
    moveOver(info->HPLabel2);
    EXPECT_EQ(textColour(info->MailLabel2), QColor(Qt::red));
    EXPECT_EQ(textColour(info->HPLabel2), QColor(Qt::red));
    moveOver(info->Titel); // another label: no change
    EXPECT_EQ(textColour(info->HPLabel2), QColor(Qt::red));
    moveOver(info->Panel1, {330, 180});
    EXPECT_EQ(textColour(info->MailLabel2), QColor(Qt::blue));
    EXPECT_EQ(textColour(info->HPLabel2), QColor(Qt::blue));
    EXPECT_EQ(info->MailLabel2->cursor().shape(), Qt::PointingHandCursor);

    click(info->MailLabel2);
    click(info->HPLabel2);
    click(info->Titel);
    EXPECT_EQ(opened, (QStringList{kMailLink, QStringLiteral("https://physik-mit-video.de/kadro")}));
}

TEST_F(InfoWindow, OkResumesAVideoThatRanTheCloseBoxDoesNot)
{
    enterView(1);
    ASSERT_TRUE(openVideo("film.avi"));
    window->transport().VideoStartButtonClick();
    ASSERT_TRUE(window->ui.Timer1->isActive());

    prompts.modalHandler = [&](QDialog* d) {
        EXPECT_EQ(d, info);
        EXPECT_FALSE(window->ui.Timer1->isActive()); // paused while the window is open
        d->show();
        info->OKButton->click();
        EXPECT_FALSE(info->Timer1->isActive());
        return d->result();
    };
    window->MenuInfoClick();
    EXPECT_TRUE(window->ui.Timer1->isActive());
    EXPECT_EQ(window->ui.VideoStopButton->text(), QStringLiteral("Pause"));

    prompts.modalHandler = [&](QDialog* d) {
        d->show();
        d->close();
        return d->result();
    };
    window->MenuInfoClick();
    EXPECT_FALSE(window->ui.Timer1->isActive());
    EXPECT_EQ(window->ui.VideoStopButton->text(), QStringLiteral("Weiter"));
    EXPECT_TRUE(window->st.IsPlaying);
}

class FaqWindow : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        window->show();
    }
    void TearDown() override
    {
        faq->hide();
        ShellFixture::TearDown();
    }
    void writeFaq(const QByteArray& bytes) { ASSERT_TRUE(writeFileSafely(path("faq.txt"), bytes)); }
    void clickFaqLabel() { click(window->ui.StartseitePanel->FAQLabel); }
    QString shownText() const { return faq->FAQRichEdit->toPlainText(); }
};

TEST_F(FaqWindow, AnRtfFileIsShownFormattedAnythingElseAsPlainText)
{
    writeFaq("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}}\\pard\\b Wie \\'f6ffne ich?\\b0\\par "
             "Mit \\'84\\'d6ffnen\\'93.\\par}");
    clickFaqLabel();
    EXPECT_TRUE(faq->isVisible());
    EXPECT_FALSE(faq->isModal());
    EXPECT_EQ(shownText(), QStringLiteral("Wie öffne ich?\nMit „Öffnen“."));
    const QTextBlock first = faq->FAQRichEdit->document()->firstBlock();
    QTextCursor inHeading(first);
    inHeading.setPosition(first.position() + 2);
    EXPECT_TRUE(inHeading.charFormat().font().bold());
    QTextCursor inBody(first.next());
    inBody.setPosition(first.next().position() + 2);
    EXPECT_FALSE(inBody.charFormat().font().bold());

    // Not RTF: the text as it is, in Windows-1252 ...
    writeFaq(toCp1252(QStringLiteral("{\\b Größe} ist <b>nicht</b> fett\r\n")));
    clickFaqLabel();
    EXPECT_EQ(shownText(), QStringLiteral("{\\b Größe} ist <b>nicht</b> fett\n"));
    // ... or in UTF-8 where the file is valid UTF-8 (written by a present-day editor).
    writeFaq(QStringLiteral("Wie groß ist g?\n").toUtf8());
    clickFaqLabel();
    EXPECT_EQ(shownText(), QStringLiteral("Wie groß ist g?\n"));
}

TEST_F(FaqWindow, AMissingFileIsReportedAndThePreviousTextStays)
{
    clickFaqLabel();
    EXPECT_TRUE(faq->isVisible());
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].title, QStringLiteral("Kadro 2.0"));
    EXPECT_EQ(prompts.shown[0].text,
              QStringLiteral("Datei faq.txt kann nicht geöffnet werden. Das System kann die angegebene Datei nicht finden."));
    EXPECT_EQ(shownText(), QStringLiteral("Hier wird die faq.txt geladen"));

    writeFaq("Erste Fassung");
    clickFaqLabel();
    ASSERT_EQ(shownText(), QStringLiteral("Erste Fassung"));
    ASSERT_TRUE(QFile::remove(path("faq.txt")));
    ASSERT_TRUE(QDir().mkdir(path("faq.txt"))); // a folder of that name cannot be read either
    clickFaqLabel();
    EXPECT_EQ(prompts.shown.size(), 2);
    EXPECT_TRUE(prompts.shown.last().text.startsWith(QStringLiteral("Datei faq.txt kann nicht geöffnet werden. ")));
    EXPECT_EQ(shownText(), QStringLiteral("Erste Fassung"));
}

TEST_F(FaqWindow, BackToTheStartPageHidesItAndTheNextClickShowsTheFileAgain)
{
    writeFaq("Erste Fassung");
    clickFaqLabel();
    click(faq->Button1);
    EXPECT_FALSE(faq->isVisible());
    writeFaq("Zweite Fassung");
    clickFaqLabel();
    EXPECT_TRUE(faq->isVisible());
    EXPECT_EQ(shownText(), QStringLiteral("Zweite Fassung"));
}

TEST_F(FaqWindow, TheMailAddressTurnsYellowUnderTheMouseAndOpensTheMailLink)
{
    QStringList opened;
    faq->openLink = [&](const QString& link) { opened << link; };
    faq->show();
    moveOver(faq->Label3);
    EXPECT_EQ(textColour(faq->Label3), QColor(Qt::yellow));
    moveOver(faq->Label1); // a label without a handler: no change
    EXPECT_EQ(textColour(faq->Label3), QColor(Qt::yellow));
    moveOver(faq.get(), {2, 2});
    EXPECT_EQ(textColour(faq->Label3), QColor(Qt::white));
    click(faq->Label3);
    EXPECT_EQ(opened, QStringList{kMailLink});
}

TEST_F(FaqWindow, TheShippedFileIsAFormattedGermanText)
{
    const QString seed =
        QDir::cleanPath(qEnvironmentVariable("KADRO_TEST_DATA") + QStringLiteral("/../../data/seed/faq.txt"));
    QByteArray bytes = readBytes(seed);
    EXPECT_TRUE(looksLikeRtf(bytes));
    faq->loadFile(seed);
    const QString text = shownText();
    EXPECT_FALSE(text.contains(QLatin1Char('\\')));
    for (const char* question : {"Wie öffne ich ein Video?", "Wie setze ich Marken für eine Präsentation?",
                                 "Wie messe ich eine Bewegung?"}) {
        const QString q = QString::fromUtf8(question);
        ASSERT_TRUE(text.contains(q)) << question;
        const QTextBlock block = faq->FAQRichEdit->document()->find(q).block();
        QTextCursor c(block);
        c.setPosition(block.position() + 1);
        EXPECT_TRUE(c.charFormat().font().bold()) << question;
    }
    EXPECT_TRUE(text.contains(QStringLiteral("„Marke setzen“")));
    EXPECT_TRUE(text.contains(QStringLiteral("„Kalibrieren“")));
}
