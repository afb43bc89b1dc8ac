#include "app/MainWindowUi.h"

#include "app/StartPage.h"
#include "authoring/MemoToolBarIcons.h"
#include "authoring/model/MarkGrid.h"
#include "evaluation/DiagrammeFenster.h"
#include "player/view/OverlayBox.h"
#include "player/view/PictureSurface.h"

#include <QAbstractItemView>
#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <QSpinBox>
#include <QCheckBox>
#include <QKeySequence>
#include <QTableWidget>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace kadro {

namespace {
QFrame* panel(QWidget* parent, const char* name, int x, int y, int w, int h, QFrame::Shadow shadow = QFrame::Raised)
{
    auto* f = new QFrame(parent);
    f->setObjectName(QString::fromLatin1(name));
    f->setFrameShape(QFrame::Panel);
    f->setFrameShadow(shadow);
    f->setGeometry(x, y, w, h);
    return f;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, int x, int y, int w, int h = 25)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(x, y, w, h);
    b->setFocusPolicy(Qt::TabFocus);
    return b;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, int x, int y, int w = 80, int h = 16)
{
    auto* l = new QLabel(text, parent);
    if (name)
        l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(x, y, w, h);
    return l;
}

QTimer* timer(QWidget* owner, const char* name, int interval, bool enabled = false)
{
    auto* t = new QTimer(owner);
    t->setObjectName(QString::fromLatin1(name));
    t->setInterval(interval);
    if (enabled)
        t->start();
    return t;
}

} // namespace

static QLineEdit* edit(QWidget* parent, const char* name, int x, int y, int w, int maxLength = 32767)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setGeometry(x, y, w, 21);
    e->setMaxLength(maxLength);
    return e;
}

void MainWindowUi::buildMeasurePanel(QWidget* owner, QWidget* c)
{
    BerechnenAnzeigePanel = panel(c, "BerechnenAnzeigePanel", 400, 305, 392, 230);

    // Calibration: two clicked positions and the real distance between them.
    KalibrierenPanel = panel(BerechnenAnzeigePanel, "KalibrierenPanel", 6, 6, 186, 172);
    Position1Label = label(KalibrierenPanel, "Position1Label", QStringLiteral("Position 1"), 8, 6, 90);
    XPosition1Label = label(KalibrierenPanel, "XPosition1Label", QStringLiteral("X"), 8, 28, 12);
    XKoord1Label = edit(KalibrierenPanel, "XKoord1Label", 22, 26, 60);
    YPosition1Label = label(KalibrierenPanel, "YPosition1Label", QStringLiteral("Y"), 94, 28, 12);
    YKoord1Label = edit(KalibrierenPanel, "YKoord1Label", 108, 26, 60);
    Position2Label = label(KalibrierenPanel, "Position2Label", QStringLiteral("Position 2"), 8, 54, 90);
    XPosition2Label = label(KalibrierenPanel, "XPosition2Label", QStringLiteral("X"), 8, 76, 12);
    XKoord2Label = edit(KalibrierenPanel, "XKoord2Label", 22, 74, 60);
    YPosition2Label = label(KalibrierenPanel, "YPosition2Label", QStringLiteral("Y"), 94, 76, 12);
    YKoord2Label = edit(KalibrierenPanel, "YKoord2Label", 108, 74, 60);
    AbstandLabel = label(KalibrierenPanel, "AbstandLabel", QStringLiteral("Abstand"), 8, 106, 50);
    XYAbstandEdit = edit(KalibrierenPanel, "XYAbstandEdit", 60, 104, 80, 10);
    mAbstandLabel = label(KalibrierenPanel, "mAbstandLabel", QStringLiteral("m"), 146, 106, 14);
    KalibrierenButton = button(KalibrierenPanel, "KalibrierenButton", QStringLiteral("Kalibrieren"), 8, 138, 80);
    KalibrierenButton->setEnabled(false);
    KalPanel = panel(KalibrierenPanel, "KalPanel", 94, 138, 84, 25, QFrame::Sunken);
    KalibrierungsLabel = label(KalPanel, "KalibrierungsLabel", QString(), 2, 4, 62);
    KalibrierungsLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    KalibrierenMLabel = label(KalPanel, "KalibrierenMLabel", QStringLiteral("m"), 68, 4, 12);

    // The pointer's position over the picture.
    PositionXYPanel = panel(BerechnenAnzeigePanel, "PositionXYPanel", 6, 183, 186, 40);
    XPositionLabel = label(PositionXYPanel, "XPositionLabel", QStringLiteral("X"), 6, 12, 12);
    XLabel = label(PositionXYPanel, "XLabel", QString(), 20, 9, 58, 22);
    mXLabel = label(PositionXYPanel, "mXLabel", QStringLiteral("m"), 80, 12, 12);
    YPositionLabel = label(PositionXYPanel, "YPositionLabel", QStringLiteral("Y"), 96, 12, 12);
    YLabel = label(PositionXYPanel, "YLabel", QString(), 110, 9, 58, 22);
    mYLabel = label(PositionXYPanel, "mYLabel", QStringLiteral("m"), 170, 12, 12);
    for (QLabel* l : {XLabel, YLabel}) {
        l->setAlignment(Qt::AlignCenter);
        l->setAutoFillBackground(true);
        QPalette pal = l->palette();
        pal.setColor(QPalette::Window, Qt::white);
        l->setPalette(pal);
        l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    }

    // The measured points.
    MesswerteStringGrid = new QTableWidget(2, 5, BerechnenAnzeigePanel);
    MesswerteStringGrid->setObjectName(QStringLiteral("MesswerteStringGrid"));
    MesswerteStringGrid->setGeometry(194, 10, 195, 182);
    // The column titles stand in the fixed header (a row's height), the points scroll below it.
    MesswerteStringGrid->horizontalHeader()->setFixedHeight(19);
    MesswerteStringGrid->horizontalHeader()->setSectionsClickable(false);
    MesswerteStringGrid->horizontalHeader()->setHighlightSections(false);
    MesswerteStringGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    MesswerteStringGrid->verticalHeader()->hide();
    MesswerteStringGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    MesswerteStringGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    MesswerteStringGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    MesswerteStringGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MesswerteStringGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    MesswerteStringGrid->setWordWrap(false);
    MesswerteStringGrid->setTextElideMode(Qt::ElideNone);
    MesswerteStringGrid->setFrameStyle(QFrame::Box | QFrame::Plain);
    QFont gridFont = MesswerteStringGrid->font();
    gridFont.setPixelSize(10);
    MesswerteStringGrid->setFont(gridFont);
    MesswerteStringGrid->horizontalHeader()->setMinimumSectionSize(1);
    MesswerteStringGrid->verticalHeader()->setMinimumSectionSize(1);
    MesswerteStringGrid->horizontalHeader()->setDefaultSectionSize(35);
    MesswerteStringGrid->verticalHeader()->setDefaultSectionSize(19);
    MesswerteStringGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    MesswertePopupMenu = new QMenu(owner);
    MesswertePopupMenu->setObjectName(QStringLiteral("MesswertePopupMenu"));
    MesswertePopupMenuMessungLoeschen = MesswertePopupMenu->addAction(QStringLiteral("Messung löschen"));
    MesswertePopupMenuMessungLoeschen->setObjectName(QStringLiteral("MesswertePopupMenuMessungLoeschen"));

    // The buttons of a calibrated picture; "Diagramm an" and "Diagramm aus" share one place.
    MesswerteButtonPanel = panel(BerechnenAnzeigePanel, "MesswerteButtonPanel", 10, 70, 176, 139);
    MesswerteSpeichernButton = button(MesswerteButtonPanel, "MesswerteSpeichernButton", QStringLiteral("Speichern"), 8, 4, 160);
    KalibrierungNeuButton = button(MesswerteButtonPanel, "KalibrierungNeuButton", QStringLiteral("Kalibrierung neu"), 8, 31, 160);
    MesswerteNeuButton = button(MesswerteButtonPanel, "MesswerteNeuButton", QStringLiteral("Messwerte neu"), 8, 58, 160);
    DiagrammButton = button(MesswerteButtonPanel, "DiagrammButton", QStringLiteral("Diagramm an"), 8, 85, 160);
    DiagrammButton2 = button(MesswerteButtonPanel, "DiagrammButton2", QStringLiteral("Diagramm aus"), 8, 85, 160);
    DiagrammButton2->hide();
    VerfolgenButton = button(MesswerteButtonPanel, "VerfolgenButton", QStringLiteral("Verfolgen"), 8, 112, 160);
    MesswerteButtonPanel->hide();
    AuswertungSchliessenButton =
        button(BerechnenAnzeigePanel, "AuswertungSchliessenButton", QStringLiteral("Schließen"), 300, 199, 85);
    LupeCheckBox = new QCheckBox(QStringLiteral("Lupe"), BerechnenAnzeigePanel);
    LupeCheckBox->setObjectName(QStringLiteral("LupeCheckBox"));
    LupeCheckBox->setGeometry(200, 202, 90, 20);

    // The cover over everything until "Datenaufnahme" is chosen.
    BerechnenAbdeckungsPanel = panel(BerechnenAnzeigePanel, "BerechnenAbdeckungsPanel", 0, 0, 392, 230);
    BerechnenAbdeckungsPanel->setAutoFillBackground(true);
    BerechnenAbdeckungsPanel->raise();
}

void MainWindowUi::build(QWidget* owner, QWidget* c, QMenuBar* menuBar)
{
    client = c;

    // Picture.
    BildschirmRahmen = panel(c, "BildschirmRahmen", 0, 1, 400, 304);
    BildschirmUnterlagePanel = panel(BildschirmRahmen, "BildschirmUnterlagePanel", 5, 6, 389, 293, QFrame::Sunken);
    BildschirmUnterlagePanel->setLineWidth(2);
    BildschirmPanel = new PictureSurface(BildschirmUnterlagePanel);
    BildschirmPanel->setObjectName(QStringLiteral("BildschirmPanel"));
    BildschirmPanel->setGeometry(2, 2, 384, 288);
    PaintBox1 = BildschirmPanel->overlay();
    PaintBox1->setObjectName(QStringLiteral("PaintBox1"));
    TestBeendenPanel = new QPushButton(QStringLiteral("Test Beenden"), BildschirmPanel);
    TestBeendenPanel->setObjectName(QStringLiteral("TestBeendenPanel"));
    TestBeendenPanel->setGeometry(20, 40, 130, 40);
    TestBeendenPanel->setStyleSheet(QStringLiteral("background: yellow; color: red; font-weight: bold; border: 1px solid gray;"));
    TestBeendenPanel->hide();

    // Transport.
    SteuerungsPanel = panel(c, "SteuerungsPanel", 0, 305, 400, 95);
    VideoStartButton = button(SteuerungsPanel, "VideoStartButton", QStringLiteral("Start"), 8, 10, 72);
    VideoStopButton = button(SteuerungsPanel, "VideoStopButton", QStringLiteral("Pause"), 85, 10, 72);
    VideoBildzurueckButton = button(SteuerungsPanel, "VideoBildzurueckButton", QStringLiteral("Bild zurück"), 162, 10, 72);
    VideoBildvorButton = button(SteuerungsPanel, "VideoBildvorButton", QStringLiteral("Bild vor"), 239, 10, 72);
    VideoZeitlupeButton = button(SteuerungsPanel, "VideoZeitlupeButton", QStringLiteral("Zeitlupe"), 316, 10, 72);
    SchiebereglerPanel2 = panel(SteuerungsPanel, "SchiebereglerPanel2", 5, 45, 390, 44);
    VideoTrackBar = new QSlider(Qt::Horizontal, SchiebereglerPanel2);
    VideoTrackBar->setObjectName(QStringLiteral("VideoTrackBar"));
    VideoTrackBar->setGeometry(8, 6, 374, 32);
    VideoTrackBar->setTickPosition(QSlider::TicksBelow);
    VideoTrackBar->setPageStep(1);
    MarkeWechselnPanel = panel(SteuerungsPanel, "MarkeWechselnPanel", 220, 105, 110, 70);
    NaechsteMarkeButton = button(MarkeWechselnPanel, "NaechsteMarkeButton", QStringLiteral("weiter"), 10, 8, 90);
    MarkeZurueckButton = button(MarkeWechselnPanel, "MarkeZurueckButton", QStringLiteral("zurück"), 10, 38, 90);

    // Memo editor.
    RichEditPanel = panel(c, "RichEditPanel", 400, 1, 392, 273);
    ToolBar1 = new QToolBar(RichEditPanel);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setGeometry(4, 4, 384, 32);
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setIconSize(QSize(16, 16));
    {
        auto toolButton = [this](const char* name, MemoIcon icon, const QString& tip, bool checkable) {
            auto* b = new QToolButton(ToolBar1);
            b->setObjectName(QString::fromLatin1(name));
            b->setIcon(memoToolBarIcon(icon));
            b->setToolTip(tip);
            b->setAccessibleName(tip);
            b->setCheckable(checkable);
            b->setAutoRaise(true);
            b->setFixedSize(25, 24);
            b->setFocusPolicy(Qt::NoFocus);
            ToolBar1->addWidget(b);
            return b;
        };
        BoldButton = toolButton("BoldButton", MemoIcon::Bold, QStringLiteral("Fett"), true);
        ItalicButton = toolButton("ItalicButton", MemoIcon::Italic, QStringLiteral("Kursiv"), true);
        UnderlineButton = toolButton("UnderlineButton", MemoIcon::Underline, QStringLiteral("Unterstrichen"), true);
        ToolBar1->addSeparator();
        LeftAlignButton = toolButton("LeftAlignButton", MemoIcon::AlignLeft, QStringLiteral("Linksbündig"), true);
        CenterAlignButton = toolButton("CenterAlignButton", MemoIcon::AlignCentre, QStringLiteral("Zentriert"), true);
        RightAlignButton = toolButton("RightAlignButton", MemoIcon::AlignRight, QStringLiteral("Rechtsbündig"), true);
        LeftAlignButton->setProperty("tag", 0);
        CenterAlignButton->setProperty("tag", 2);
        RightAlignButton->setProperty("tag", 1);
        LeftAlignButton->setChecked(true);
        ToolBar1->addSeparator();
        TextFarbeButton = toolButton("TextFarbeButton", MemoIcon::TextColour, QStringLiteral("Textfarbe"), false);
        ToolBar1->addSeparator();
        FontBox = new QComboBox(ToolBar1);
        FontBox->setObjectName(QStringLiteral("FontBox"));
        FontBox->setEditable(true);
        FontBox->setInsertPolicy(QComboBox::NoInsert);
        FontBox->setFixedWidth(110);
        FontBox->view()->setMinimumWidth(220); // the list shows whole font names
        FontBox->setToolTip(QStringLiteral("Schriftart"));
        FontBox->setAccessibleName(QStringLiteral("Schriftart"));
        ToolBar1->addWidget(FontBox);
        FontSizeEdit = new QLineEdit(QStringLiteral("12"), ToolBar1);
        FontSizeEdit->setObjectName(QStringLiteral("FontSizeEdit"));
        // At most two characters typed; the program may show a longer size (and then says so).
        FontSizeEdit->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral(".{0,2}")), FontSizeEdit));
        FontSizeEdit->setFixedWidth(28);
        FontSizeEdit->setToolTip(QStringLiteral("Schriftgröße in Punkt"));
        FontSizeEdit->setAccessibleName(QStringLiteral("Schriftgröße"));
        ToolBar1->addWidget(FontSizeEdit);
        FontSizeUpDown = new QSpinBox(ToolBar1);
        FontSizeUpDown->setObjectName(QStringLiteral("FontSizeUpDown"));
        FontSizeUpDown->setRange(1, 99);
        FontSizeUpDown->setValue(12);
        FontSizeUpDown->setGroupSeparatorShown(false);
        FontSizeUpDown->setFocusPolicy(Qt::NoFocus); // the arrow keys do not step it
        FontSizeUpDown->setFixedWidth(18);
        FontSizeUpDown->setToolTip(QStringLiteral("Schriftgröße ändern"));
        FontSizeUpDown->setAccessibleName(QStringLiteral("Schriftgröße ändern"));
        ToolBar1->addWidget(FontSizeUpDown);
    }
    RichEdit = new QTextEdit(RichEditPanel);
    RichEdit->setObjectName(QStringLiteral("RichEdit"));
    RichEdit->setGeometry(4, 40, 384, 223);
    RichEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    {
        QFont memoFont(QStringLiteral("Arial"));
        memoFont.setPixelSize(20);
        RichEdit->setFont(memoFont);
        QPalette white = RichEdit->palette();
        white.setColor(QPalette::Base, Qt::white);
        white.setColor(QPalette::Text, Qt::black);
        RichEdit->setPalette(white);
    }
    RichEditAbdeckungsPanel = panel(RichEditPanel, "RichEditAbdeckungsPanel", 0, 0, 392, 304);
    RichEditAbdeckungsPanel->setAutoFillBackground(true);
    RichEditAbdeckungsPanel->hide();

    // Time steps and test button of the authoring view.
    VideoBearbeitenZeitschrittPanel = panel(c, "VideoBearbeitenZeitschrittPanel", 400, 274, 392, 126);
    label(VideoBearbeitenZeitschrittPanel, nullptr, QStringLiteral("Zeitschritt:"), 222, 10, 90);
    label(VideoBearbeitenZeitschrittPanel, nullptr, QStringLiteral("Normal"), 222, 32, 60);
    ZeitschrittNormalLabel = label(VideoBearbeitenZeitschrittPanel, "ZeitschrittNormalLabel", QString(), 282, 32, 40);
    ZeitschrittNormalLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label(VideoBearbeitenZeitschrittPanel, nullptr, QStringLiteral("ms"), 326, 32, 30);
    label(VideoBearbeitenZeitschrittPanel, nullptr, QStringLiteral("Zeitlupe"), 222, 52, 60);
    ZeitschrittZeitlupeLabel = label(VideoBearbeitenZeitschrittPanel, "ZeitschrittZeitlupeLabel", QString(), 282, 52, 40);
    ZeitschrittZeitlupeLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label(VideoBearbeitenZeitschrittPanel, nullptr, QStringLiteral("ms"), 326, 52, 30);
    TestButton = button(VideoBearbeitenZeitschrittPanel, "TestButton", QStringLiteral("Test"), 300, 90, 75);
    // Red while it can be used, grey while it cannot.
    TestButton->setStyleSheet(QStringLiteral("QPushButton { color: red; } QPushButton:disabled { color: gray; }"));

    // Frame and time displays.
    BildNrPanel = panel(c, "BildNrPanel", 415, 282, 90, 110, QFrame::Sunken);
    label(BildNrPanel, nullptr, QStringLiteral("Frames"), 8, 8, 74);
    FrameAnzeige1Label = label(BildNrPanel, "FrameAnzeige1Label", QString(), 8, 28, 74, 20);
    label(BildNrPanel, nullptr, QStringLiteral("Frame Nr."), 8, 56, 74);
    FrameAnzeige2Label = label(BildNrPanel, "FrameAnzeige2Label", QString(), 8, 76, 74, 20);
    TimePanel = panel(c, "TimePanel", 520, 282, 90, 110, QFrame::Sunken);
    label(TimePanel, nullptr, QStringLiteral("Gesamtzeit"), 8, 8, 74);
    ZeitAnzeige1Label = label(TimePanel, "ZeitAnzeige1Label", QString(), 8, 28, 50, 20);
    label(TimePanel, nullptr, QStringLiteral("sec"), 60, 28, 26, 20);
    label(TimePanel, nullptr, QStringLiteral("Zeit"), 8, 56, 74);
    ZeitAnzeige2Label = label(TimePanel, "ZeitAnzeige2Label", QString(), 8, 76, 50, 20);
    label(TimePanel, nullptr, QStringLiteral("sec"), 60, 76, 26, 20);
    for (QLabel* l : {FrameAnzeige1Label, FrameAnzeige2Label, ZeitAnzeige1Label, ZeitAnzeige2Label})
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    // Mark table.
    StringGridPanel = panel(c, "StringGridPanel", 0, 400, 792, 135);
    StringGrid = new QTableWidget(1, 13, StringGridPanel);
    StringGrid->setObjectName(QStringLiteral("StringGrid"));
    StringGrid->setGeometry(5, 30, 679, 100);
    StringGrid->setFrameStyle(QFrame::Box | QFrame::Plain);
    StringGrid->setLineWidth(1);
    StringGrid->horizontalHeader()->hide();
    StringGrid->verticalHeader()->hide();
    StringGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    StringGrid->setWordWrap(false);
    // Cell texts such as "Marke 12" and "ohne Pause" are shown whole in their narrow columns.
    StringGrid->setTextElideMode(Qt::ElideNone);
    QFont gridFont = StringGrid->font();
    gridFont.setPixelSize(10);
    StringGrid->setFont(gridFont);
    StringGrid->horizontalHeader()->setMinimumSectionSize(1);
    StringGrid->verticalHeader()->setMinimumSectionSize(1);
    StringGrid->horizontalHeader()->setDefaultSectionSize(MarkGrid::DefaultColumnWidth);
    StringGrid->verticalHeader()->setDefaultSectionSize(MarkGrid::RowHeight);
    StringGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // Each heading panel lies over its column.
    for (int col = 0, x = StringGrid->x() + 1; col < MarkGrid::ColumnCount; x += MarkGrid::columnWidth(col), ++col) {
        static const char* const names[MarkGrid::ColumnCount] = {
            "MarkePanel",         "StartFramePanel",    "StopFramePanel",   "MarkenUebergangPanel", "StartStopPanel",
            "EinzelbildPanel",    "ZeitlupePanel",      "SchiebereglerPanel", "FrameanzeigePanel",  "ZeitanzeigePanel",
            "AutostartPanel",     "AuswertungPanel",    "MemoPanel"};
        StringGrid->setColumnWidth(col, MarkGrid::columnWidth(col));
        QLabel* heading = label(StringGridPanel, names[col], MarkGrid::headingCaption(col), x, 3,
                                MarkGrid::columnWidth(col), 26);
        heading->setFrameStyle(QFrame::Panel | QFrame::Raised);
        heading->setAlignment(Qt::AlignCenter);
        heading->setWordWrap(true);
        StringGridHeadingPanels[col] = heading;
    }
    MarkeSetzenButton = button(StringGridPanel, "MarkeSetzenButton", QStringLiteral("Marke setzen"), 700, 30, 85);
    SpeichernButton = button(StringGridPanel, "SpeichernButton", QStringLiteral("Speichern"), 700, 65, 85);

    buildMeasurePanel(owner, c);

    OeffnenButton = button(c, "OeffnenButton", QStringLiteral("Öffnen"), 712, 502, 75);

    HinweisPanel = new QLabel(c);
    HinweisPanel->setObjectName(QStringLiteral("HinweisPanel"));
    HinweisPanel->setFrameShape(QFrame::Panel);
    HinweisPanel->setFrameShadow(QFrame::Sunken);
    HinweisPanel->setGeometry(0, 536, 798, 18);
    HinweisPanel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    HinweisPanel->setTextFormat(Qt::PlainText);
    HintLine = HinweisPanel;

    // The time base the times are computed with, placed by the view set-ups.
    ZeitbasisLabel = label(c, "ZeitbasisLabel", QString(), 20, 395, 360, 14);

    // The start page covers everything else while visible.
    StartseitePanel = new StartPage(c);
    StartseitePanel->setGeometry(0, 0, 798, 536);
    BildNrPanel->raise();
    TimePanel->raise();
    StartseitePanel->raise();

    // Main menu.
    MenuDatei = menuBar->addMenu(QStringLiteral("&Datei"));
    MenuDatei->setObjectName(QStringLiteral("MenuDatei"));
    MenuOpen = MenuDatei->addAction(QStringLiteral("&Öffnen..."));
    MenuOpen->setObjectName(QStringLiteral("MenuOpen"));
    MenuBeenden2 = MenuDatei->addAction(QStringLiteral("&Beenden"));
    MenuBeenden2->setObjectName(QStringLiteral("MenuBeenden2"));
    MenuDatei->addSeparator();
    MenuInfo = MenuDatei->addAction(QStringLiteral("&Info"));
    MenuInfo->setObjectName(QStringLiteral("MenuInfo"));
    MenuEinstellungen = menuBar->addAction(QStringLiteral("&Einstellungen"));
    MenuEinstellungen->setObjectName(QStringLiteral("MenuEinstellungen"));
    MenuTitel = menuBar->addAction(QStringLiteral("&Titel"));
    MenuTitel->setObjectName(QStringLiteral("MenuTitel"));
    MenuDatenaufnahme = menuBar->addAction(QStringLiteral("D&atenaufnahme"));
    MenuDatenaufnahme->setObjectName(QStringLiteral("MenuDatenaufnahme"));
    MenuDatenauswertung = menuBar->addMenu(QStringLiteral("Datenaus&wertung"));
    MenuDatenauswertung->setObjectName(QStringLiteral("MenuDatenauswertung"));
    auto* evaluation = new QActionGroup(owner);
    MenuKeine = MenuDatenauswertung->addAction(QStringLiteral("Keine"));
    MenuKeine->setObjectName(QStringLiteral("MenuKeine"));
    MenuPunkteverbinden = MenuDatenauswertung->addAction(QStringLiteral("Punkte verbinden"));
    MenuPunkteverbinden->setObjectName(QStringLiteral("MenuPunkteverbinden"));
    MenuTrendgerade = MenuDatenauswertung->addAction(QStringLiteral("Trendgerade"));
    MenuTrendgerade->setObjectName(QStringLiteral("MenuTrendgerade"));
    MenuTrendparabel = MenuDatenauswertung->addAction(QStringLiteral("Trendparabel"));
    MenuTrendparabel->setObjectName(QStringLiteral("MenuTrendparabel"));
    for (QAction* a : {MenuKeine, MenuPunkteverbinden, MenuTrendgerade, MenuTrendparabel}) {
        a->setCheckable(true);
        evaluation->addAction(a);
    }
    MenuKeine->setChecked(true);
    MenuDatenauswertung->addSeparator();
    MenuDiagramme = MenuDatenauswertung->addAction(QStringLiteral("Diagramme..."));
    MenuDiagramme->setObjectName(QStringLiteral("MenuDiagramme"));
    MenuDiagramme->setEnabled(false);
    DiagrammeFenster = new TDiagrammeFenster(owner);
    MenuBeenden = menuBar->addAction(QStringLiteral("&Beenden"));
    MenuBeenden->setObjectName(QStringLiteral("MenuBeenden"));

    // Pop-up menus.
    HauptFensterPopupMenu = new QMenu(owner);
    HauptFensterPopupMenu->setObjectName(QStringLiteral("HauptFensterPopupMenu"));
    HauptFensterPopupMenuOeffnen = HauptFensterPopupMenu->addAction(QStringLiteral("&Öffnen..."));
    HauptFensterPopupMenuBeenden = HauptFensterPopupMenu->addAction(QStringLiteral("&Beenden..."));
    HauptFensterPopupMenu->addSeparator();
    HauptFensterPopupMenuStart = HauptFensterPopupMenu->addAction(QStringLiteral("&Start"));
    HauptFensterPopupMenuWeiter = HauptFensterPopupMenu->addAction(QStringLiteral("&Weiter"));
    HauptFensterPopupMenuBildvor = HauptFensterPopupMenu->addAction(QStringLiteral("Bild &vor"));
    HauptFensterPopupMenuBildzurueck = HauptFensterPopupMenu->addAction(QStringLiteral("Bild &zurück"));
    HauptFensterPopupMenuZeitlupe = HauptFensterPopupMenu->addAction(QStringLiteral("Zeitlu&pe"));
    HauptFensterPopupMenu->addSeparator();
    HauptFensterPopupMenuTon = HauptFensterPopupMenu->addAction(QStringLiteral("&Ton"));
    HauptFensterPopupMenuTon->setCheckable(true);
    HauptFensterPopupMenuVollbild = HauptFensterPopupMenu->addAction(QStringLiteral("&Vollbild"));
    HauptFensterPopupMenuVollbild->setObjectName(QStringLiteral("HauptFensterPopupMenuVollbild"));
    HauptFensterPopupMenuVollbild->setShortcut(QKeySequence(Qt::Key_F11));
    HauptFensterPopupMenuVollbild->setShortcutContext(Qt::WindowShortcut);
    owner->addAction(HauptFensterPopupMenuVollbild);

    HauptFensterPopupMenu2 = new QMenu(owner);
    HauptFensterPopupMenu2->setObjectName(QStringLiteral("HauptFensterPopupMenu2"));
    HauptFensterPopupMenu2Oeffnen = HauptFensterPopupMenu2->addAction(QStringLiteral("&Öffnen..."));
    HauptFensterPopupMenu2Beenden = HauptFensterPopupMenu2->addAction(QStringLiteral("&Beenden..."));

    StartseitePopupMenu = new QMenu(owner);
    StartseitePopupMenu->setObjectName(QStringLiteral("StartseitePopupMenu"));
    StartseitePopupMenuBeenden = StartseitePopupMenu->addAction(QStringLiteral("Programm beenden"));

    MarkenBearbeitenPopupMenu = new QMenu(owner);
    MarkenBearbeitenPopupMenu->setObjectName(QStringLiteral("MarkenBearbeitenPopupMenu"));
    {
        const QStringList captions = MarkGrid::popupMenuFormCaptions();
        QAction** items[] = {&PopupMenuMarkeSetzen,    &PopupMenuMarkeLoeschen,  &PopupMenuMarkeEinfuegen,
                             &PopupMenuMarkeStartFrame, &PopupMenuMarkeStopFrame, nullptr,
                             &PopupMenuOeffnen,         &PopupMenuSpeichern};
        for (int i = 0; i < captions.size(); ++i) {
            if (items[i])
                *items[i] = MarkenBearbeitenPopupMenu->addAction(captions[i]);
            else
                MarkenBearbeitenPopupMenu->addSeparator();
        }
    }


    // Timers.
    Timer1 = timer(owner, "Timer1", 200);
    Timer2 = timer(owner, "Timer2", 40);
    Timer3 = timer(owner, "Timer3", 1000);
    Timer4 = timer(owner, "Timer4", 1000);
    Timer5 = timer(owner, "Timer5", 1);
    Timer6 = timer(owner, "Timer6", 50);
    Timer7 = timer(owner, "Timer7", 50);
    Timer8 = timer(owner, "Timer8", 50);
    Timer9 = timer(owner, "Timer9", 700, true);
}

} // namespace kadro
