#include "player/BigPicture.h"

#include "common/Context.h"
#include "common/ErrorReport.h"
#include "player/FullScreenView.h"
#include "player/PictureWidgets.h"
#include "player/SectionWidgets.h"
#include "player/TransportWidgets.h"
#include "player/video/VideoDevice.h"
#include "player/view/Magnifier.h"
#include "player/view/OverlayBox.h"

#include <QAction>
#include <QCheckBox>
#include <QEvent>
#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>

namespace kadro {

BigPictureController::BigPictureController(const Context& context, const PictureWidgets& picture,
                                           const TransportWidgets& transport, const SectionWidgets& sections,
                                           QTextEdit* memo, QWidget* memoCover, QWidget* startPage, QWidget* host,
                                           QWidget* mainWindow)
    : c(context), pic(picture), m_host(host), m_mainWindow(mainWindow)
{
    FullScreenWidgets w;
    w.surface = pic.BildschirmPanel;
    w.overlay = pic.PaintBox1;
    w.buttons = {transport.VideoStartButton, transport.VideoStopButton, transport.VideoBildzurueckButton,
                 transport.VideoBildvorButton, transport.VideoZeitlupeButton, sections.MarkeZurueckButton,
                 sections.NaechsteMarkeButton};
    w.startButton = transport.VideoStartButton;
    w.pauseButton = transport.VideoStopButton;
    w.backButton = transport.VideoBildzurueckButton;
    w.forwardButton = transport.VideoBildvorButton;
    w.slider = transport.VideoTrackBar;
    w.memo = memo;
    w.memoCover = memoCover;
    w.magnifierBox = pic.LupeCheckBox;
    w.startPage = startPage;
    m_fullScreen = new FullScreenView(c.device, w, mainWindow);
    m_fullScreen->magnifierOffered = [this] { return offered(); };
    m_magnifier = new Magnifier(c.device, host);

    if (pic.HauptFensterPopupMenuVollbild) {
        pic.HauptFensterPopupMenuVollbild->setCheckable(true);
        connect(pic.HauptFensterPopupMenuVollbild, &QAction::triggered, this,
                [this] { runGuarded(c.prompts, [this] { HauptFensterPopupMenuVollbildClick(); }); });
    }
    connect(m_fullScreen, &FullScreenView::entered, this, [this] {
        if (pic.HauptFensterPopupMenuVollbild)
            pic.HauptFensterPopupMenuVollbild->setChecked(true);
        m_magnifier->hide();
    });
    connect(m_fullScreen, &FullScreenView::left, this, [this] {
        if (pic.HauptFensterPopupMenuVollbild)
            pic.HauptFensterPopupMenuVollbild->setChecked(false);
    });
    connect(pic.PaintBox1, &OverlayBox::doubleClicked, this, [this] {
        if (!m_fullScreen->active() && (!doubleClickOpens || doubleClickOpens()))
            runGuarded(c.prompts, [this] { m_fullScreen->enter(); });
    });
    connect(pic.PaintBox1, &OverlayBox::movedAt, this, [this](const QPointF& at) {
        if (!m_fullScreen->active())
            followPointer(at);
    });
    pic.PaintBox1->installEventFilter(this);

    m_lupeKey = new QShortcut(QKeySequence(Qt::Key_L), mainWindow);
    m_lupeKey->setContext(Qt::WindowShortcut);
    connect(m_lupeKey, &QShortcut::activated, this, [this] { LupeKeyPress(); });
    if (pic.LupeCheckBox)
        connect(pic.LupeCheckBox, &QCheckBox::toggled, this, [this](bool on) {
            if (!on)
                m_magnifier->hide();
        });
}

BigPictureController::~BigPictureController() = default;

void BigPictureController::HauptFensterPopupMenuVollbildClick()
{
    if (m_fullScreen->active())
        m_fullScreen->leave();
    else
        m_fullScreen->enter();
}

bool BigPictureController::offered() const
{
    QCheckBox* box = pic.LupeCheckBox;
    return box && box->isEnabled() && box->isVisibleTo(m_mainWindow) && (!magnifierOffered || magnifierOffered());
}

void BigPictureController::LupeKeyPress()
{
    if (offered())
        pic.LupeCheckBox->click();
}

void BigPictureController::followPointer(const QPointF& overlayPoint)
{
    QCheckBox* box = pic.LupeCheckBox;
    if (!box || !box->isChecked() || !offered() || c.device.fullFrameSize().isEmpty()) {
        m_magnifier->hide();
        return;
    }
    const QPoint centre = pic.PaintBox1->mapTo(m_host, overlayPoint.toPoint());
    m_magnifier->showAt(Magnifier::videoPointOf(overlayPoint, pic.PaintBox1->size(), c.device.fullFrameSize()), centre);
}

bool BigPictureController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == pic.PaintBox1 && event->type() == QEvent::Leave)
        m_magnifier->hide();
    return QObject::eventFilter(watched, event);
}

} // namespace kadro
