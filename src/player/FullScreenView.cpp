#include "player/FullScreenView.h"

#include "player/video/VideoDevice.h"
#include "player/view/CurrentFullFrame.h"
#include "player/view/Magnifier.h"
#include "player/view/OverlayBox.h"
#include "player/view/PictureSurface.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <cmath>

namespace kadro {

namespace {

constexpr int kBarHeight = 52;

// The largest rectangle of `aspect` inside `area`, centred.
QRect fitted(const QSize& aspect, const QRect& area)
{
    if (aspect.isEmpty() || area.isEmpty())
        return area;
    const QSize size = aspect.scaled(area.size(), Qt::KeepAspectRatio);
    return QRect(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2,
                 size.width(), size.height());
}

// A copy of `source` with every font `factor` times its size.
QTextDocument* scaledCopy(const QTextDocument& source, double factor, QObject* parent)
{
    QTextDocument* doc = source.clone(parent);
    QFont base = doc->defaultFont();
    const double basePoints = base.pointSizeF() > 0 ? base.pointSizeF() : 10.0;
    base.setPointSizeF(basePoints * factor);
    struct Range {
        int from;
        int to;
        double points;
    };
    std::vector<Range> ranges;
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const double points = fragment.charFormat().fontPointSize();
            ranges.push_back({fragment.position(), fragment.position() + fragment.length(),
                              (points > 0 ? points : basePoints) * factor});
        }
    }
    doc->setDefaultFont(base);
    for (const Range& r : ranges) {
        QTextCursor cursor(doc);
        cursor.setPosition(r.from);
        cursor.setPosition(r.to, QTextCursor::KeepAnchor);
        QTextCharFormat size;
        size.setFontPointSize(r.points);
        cursor.mergeCharFormat(size);
    }
    return doc;
}

} // namespace

FullScreenView::FullScreenView(VideoDevice& device, const FullScreenWidgets& widgets, QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Window), m_device(device), ui(widgets), m_mainWindow(mainWindow)
{
    setObjectName(QStringLiteral("VollbildFenster"));
    setWindowTitle(QStringLiteral("Kadro Vollbild"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::ArrowCursor);

    m_memoPane = new QTextBrowser(this);
    m_memoPane->setObjectName(QStringLiteral("VollbildMemo"));
    m_memoPane->setFocusPolicy(Qt::NoFocus);
    m_memoPane->setFrameStyle(QFrame::NoFrame);
    m_memoPane->hide();

    m_bar = new QFrame(this);
    m_bar->setObjectName(QStringLiteral("VollbildLeiste"));
    m_bar->setAutoFillBackground(true);
    QPalette barPalette = m_bar->palette();
    barPalette.setColor(QPalette::Window, QColor(40, 40, 40));
    m_bar->setPalette(barPalette);
    m_bar->setMouseTracking(true);
    auto* row = new QHBoxLayout(m_bar);
    row->setContentsMargins(12, 8, 12, 8);
    row->setSpacing(8);
    for (QPushButton* original : ui.buttons) {
        auto* twin = new QPushButton(original->text(), m_bar);
        twin->setObjectName(original->objectName() + QStringLiteral("Vollbild"));
        twin->setFocusPolicy(Qt::NoFocus);
        twin->setMinimumWidth(110);
        twin->setMaximumWidth(200);
        twin->setMouseTracking(true);
        // The twin clicks the window's control: the same handler, the same rules.
        connect(twin, &QPushButton::clicked, this, [this, original] {
            clickIfOffered(original);
            sync();
        });
        row->addWidget(twin);
        m_twins.emplace_back(original, twin);
    }
    if (ui.slider) {
        m_sliderTwin = new QSlider(Qt::Horizontal, m_bar);
        m_sliderTwin->setObjectName(QStringLiteral("VideoTrackBarVollbild"));
        m_sliderTwin->setFocusPolicy(Qt::NoFocus);
        m_sliderTwin->setMouseTracking(true);
        connect(m_sliderTwin, &QSlider::valueChanged, this, [this](int value) {
            if (!m_syncing && ui.slider->isEnabled() && ui.slider->value() != value)
                ui.slider->setValue(value);
        });
        row->addWidget(m_sliderTwin, 1);
    }
    row->addStretch(0);
    m_bar->hide();

    m_magnifier = new Magnifier(device, this);

    m_barTimer.setSingleShot(true);
    m_barTimer.setInterval(kBarHideMs);
    connect(&m_barTimer, &QTimer::timeout, this, [this] { m_bar->hide(); });
    m_syncTimer.setInterval(100);
    connect(&m_syncTimer, &QTimer::timeout, this, [this] { sync(); });

    m_sharp = new CurrentFullFrame(device, 5, this);
    connect(m_sharp, &CurrentFullFrame::arrived, this, [this] { update(); });
    connect(&device, &VideoDevice::pictureChanged, this, [this] {
        if (isVisible()) {
            m_sharp->fetch();
            update();
        }
    });
    connect(&device, &VideoDevice::frameShown, this, [this] {
        if (isVisible())
            m_sharp->fetch();
    });
    if (ui.overlay)
        connect(ui.overlay, &OverlayBox::itemsChanged, this, [this] {
            if (isVisible())
                update();
        });
    if (ui.magnifierBox)
        connect(ui.magnifierBox, &QCheckBox::toggled, this, [this](bool on) {
            if (!on)
                m_magnifier->hide();
            else if (isVisible())
                followPointer(mapFromGlobal(QCursor::pos()));
        });
}

QWidget* FullScreenView::bar() const
{
    return m_bar;
}

QPushButton* FullScreenView::twinOf(const QPushButton* original) const
{
    for (const auto& [window, twin] : m_twins)
        if (window == original)
            return twin;
    return nullptr;
}

void FullScreenView::enter()
{
    if (isVisible())
        return;
    QScreen* screen = m_mainWindow && m_mainWindow->screen() ? m_mainWindow->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1280, 720);
    setGeometry(area);
    m_sharp->clear();
    sync();
    showFullScreen();
    raise();
    activateWindow();
    setFocus();
    layOut();
    showBar();
    m_syncTimer.start();
    m_sharp->fetch();
    emit entered();
}

void FullScreenView::leave()
{
    if (!isVisible())
        return;
    m_syncTimer.stop();
    m_barTimer.stop();
    m_magnifier->hide();
    hide();
    m_sharp->clear();
    if (m_mainWindow) {
        m_mainWindow->raise();
        m_mainWindow->activateWindow();
    }
    emit left();
}

void FullScreenView::closeEvent(QCloseEvent* event)
{
    event->ignore();
    leave();
}

void FullScreenView::sync()
{
    if (isVisible() && ui.startPage && m_mainWindow && ui.startPage->isVisibleTo(m_mainWindow)) {
        leave();
        return;
    }
    m_syncing = true;
    for (const auto& [original, twin] : m_twins) {
        const bool offered = m_mainWindow ? original->isVisibleTo(m_mainWindow) : original->isVisible();
        if (twin->text() != original->text())
            twin->setText(original->text());
        twin->setVisible(offered);
        twin->setEnabled(original->isEnabled());
    }
    if (m_sliderTwin) {
        QSlider* s = ui.slider;
        m_sliderTwin->setVisible(m_mainWindow ? s->isVisibleTo(m_mainWindow) : s->isVisible());
        m_sliderTwin->setEnabled(s->isEnabled());
        m_sliderTwin->setRange(s->minimum(), s->maximum());
        m_sliderTwin->setPageStep(s->pageStep());
        if (!m_sliderTwin->isSliderDown())
            m_sliderTwin->setValue(s->value());
    }
    m_syncing = false;
    syncMemo();
}

void FullScreenView::syncMemo()
{
    bool shown = false;
    if (ui.memo && m_mainWindow) {
        const bool covered = ui.memoCover && ui.memoCover->isVisibleTo(m_mainWindow);
        shown = !covered && ui.memo->isVisibleTo(m_mainWindow) && !ui.memo->document()->isEmpty();
    }
    const int revision = shown ? ui.memo->document()->revision() : -1;
    const bool changed = shown != m_memoShown || revision != m_memoRevision;
    m_memoShown = shown;
    m_memoRevision = revision;
    if (!changed)
        return;
    layOut();
    if (shown) {
        // The text as large, against the pane's width, as in the window's memo against its own.
        const double factor = std::max(1.0, double(m_memoPane->width()) / std::max(1, ui.memo->width()));
        // The pane's first document is its own and goes with setDocument; the copies are ours.
        QTextDocument* old = m_memoPane->document();
        const bool ours = old && old->parent() == m_memoPane;
        m_memoPane->setDocument(scaledCopy(*ui.memo->document(), factor, m_memoPane));
        if (ours)
            delete old;
    }
    m_memoPane->setVisible(shown);
    update();
}

void FullScreenView::layOut()
{
    QRect area = rect();
    if (m_memoShown) {
        // Beside the picture on a wide screen, below it on a tall one.
        if (area.width() >= area.height()) {
            const int w = area.width() * 3 / 10;
            m_memoPane->setGeometry(area.right() - w + 1, area.top(), w, area.height());
            area.setWidth(area.width() - w);
        } else {
            const int h = area.height() * 3 / 10;
            m_memoPane->setGeometry(area.left(), area.bottom() - h + 1, area.width(), h);
            area.setHeight(area.height() - h);
        }
    }
    const QSize aspect = ui.overlay ? ui.overlay->size() : QSize(4, 3);
    m_pictureRect = fitted(aspect, area);
    m_bar->setGeometry(0, height() - kBarHeight, width(), kBarHeight);
    m_bar->raise();
    m_magnifier->raise();
}

void FullScreenView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layOut();
}

void FullScreenView::showBar()
{
    m_bar->show();
    m_bar->raise();
    m_barTimer.start();
}

QPointF FullScreenView::overlayPointOf(const QPointF& viewPoint) const
{
    if (!ui.overlay || m_pictureRect.isEmpty())
        return {};
    // Pixel centres onto pixel centres: whole numbers are the centres of the overlay's pixels.
    const double sx = double(m_pictureRect.width()) / ui.overlay->width();
    const double sy = double(m_pictureRect.height()) / ui.overlay->height();
    return QPointF((viewPoint.x() - m_pictureRect.x() + 0.5) / sx - 0.5,
                   (viewPoint.y() - m_pictureRect.y() + 0.5) / sy - 0.5);
}

const QImage& FullScreenView::sharpPicture() const
{
    return m_sharp->image();
}

int FullScreenView::sharpFrame() const
{
    return m_sharp->frame();
}

void FullScreenView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    // The frame at the video's own resolution once it is there, the window's picture until then.
    const bool sharp = !m_sharp->image().isNull() && m_sharp->frame() == m_device.position();
    const QImage& frame = sharp ? m_sharp->image() : ui.surface ? ui.surface->frame() : QImage();
    if (!frame.isNull()) {
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(m_pictureRect, frame);
    }
    if (ui.overlay && !ui.overlay->items().empty() && ui.overlay->width() > 0) {
        p.save();
        p.setClipRect(m_pictureRect);
        p.translate(m_pictureRect.topLeft());
        p.scale(double(m_pictureRect.width()) / ui.overlay->width(),
                double(m_pictureRect.height()) / ui.overlay->height());
        p.setRenderHint(QPainter::Antialiasing);
        OverlayBox::paintItems(p, ui.overlay->items());
        p.restore();
    }
}

void FullScreenView::clickIfOffered(QPushButton* button)
{
    if (button && button->isEnabled() && button->window() && button->isVisibleTo(button->window()))
        button->click();
}

void FullScreenView::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_F11:
        leave();
        return;
    case Qt::Key_Space:
        // What the buttons would do: "Pause" or "Weiter" while offered, else "Start".
        if (ui.pauseButton && ui.pauseButton->isEnabled() && ui.pauseButton->isVisibleTo(m_mainWindow))
            clickIfOffered(ui.pauseButton);
        else
            clickIfOffered(ui.startButton);
        sync();
        return;
    case Qt::Key_Right:
        clickIfOffered(ui.forwardButton);
        sync();
        return;
    case Qt::Key_Left:
        clickIfOffered(ui.backButton);
        sync();
        return;
    case Qt::Key_L:
        // The box's toggle shows or hides the magnifier at the pointer.
        if (ui.magnifierBox && magnifierOffered && magnifierOffered())
            ui.magnifierBox->click();
        return;
    default: QWidget::keyPressEvent(event);
    }
}

void FullScreenView::mousePressEvent(QMouseEvent* event)
{
    showBar();
    const QPoint at = event->position().toPoint();
    // A press on the bar between its controls reaches the picture below.
    if (!m_pictureRect.contains(at) || !ui.overlay)
        return;
    if (event->button() == Qt::RightButton) {
        if (openMenu)
            openMenu(event->globalPosition().toPoint());
        return;
    }
    ui.overlay->pressAt(overlayPointOf(event->position()), event->button());
    sync();
}

void FullScreenView::mouseDoubleClickEvent(QMouseEvent* event)
{
    // A second press like the first (two quick clicks while measuring are two points).
    mousePressEvent(event);
}

void FullScreenView::mouseMoveEvent(QMouseEvent* event)
{
    showBar();
    if (ui.overlay && m_pictureRect.contains(event->position().toPoint()))
        ui.overlay->moveAt(overlayPointOf(event->position()), event->buttons());
    followPointer(event->position());
}

void FullScreenView::followPointer(const QPointF& viewPoint)
{
    const bool wanted = ui.magnifierBox && ui.magnifierBox->isChecked() && magnifierOffered &&
                        magnifierOffered() && m_pictureRect.contains(viewPoint.toPoint());
    if (!wanted) {
        m_magnifier->hide();
        return;
    }
    const QPointF onPicture(viewPoint.x() - m_pictureRect.x(), viewPoint.y() - m_pictureRect.y());
    m_magnifier->showAt(Magnifier::videoPointOf(onPicture, m_pictureRect.size(), m_device.fullFrameSize()),
                        viewPoint.toPoint());
}

} // namespace kadro
