#include "app/Infofenster.h"

#include "common/MainState.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QTimer>

namespace kadro {

namespace {

const QColor kYellow(0xFF, 0xFF, 0x00);
const QColor kTeal(0x00, 0x80, 0x80);

// The drawing surface of the acknowledgements: the thirteen lines at the scroll position it was
// last given, on the panel's yellow.
class AcknowledgementsBox : public QWidget {
public:
    explicit AcknowledgementsBox(QWidget* parent) : QWidget(parent)
    {
        QFont f(QStringLiteral("Arial"));
        f.setPixelSize(12);
        setFont(f);
    }
    void showAt(int scroll)
    {
        m_scroll = scroll;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), kYellow);
        p.setFont(font());
        const int ascent = QFontMetrics(font()).ascent();
        for (const TInfofenster::Line& line : TInfofenster::acknowledgements()) {
            p.setPen(line.colour);
            p.drawText(QPoint(line.x, m_scroll + line.yOffset + ascent), line.text);
        }
    }

private:
    // Before the first tick the list lies below the visible part.
    int m_scroll = 100;
};

QLabel* label(QWidget* parent, const char* name, const QString& text, int x, int y, int pixelSize,
              const QColor& colour, bool bold = false, bool underline = false)
{
    auto* l = new QLabel(text, parent);
    if (name)
        l->setObjectName(QString::fromLatin1(name));
    l->setTextFormat(Qt::PlainText);
    QFont f = l->font();
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setUnderline(underline);
    l->setFont(f);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, colour);
    l->setPalette(pal);
    // A little room above the text, so that capital umlauts are not cut off.
    l->adjustSize();
    l->setGeometry(x, y - 2, l->width(), l->height() + 4);
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return l;
}

QFrame* yellowPanel(QWidget* parent, const char* name, const QRect& geometry)
{
    auto* f = new QFrame(parent);
    f->setObjectName(QString::fromLatin1(name));
    f->setFrameShape(QFrame::Box);
    f->setLineWidth(1);
    f->setAutoFillBackground(true);
    QPalette pal = f->palette();
    pal.setColor(QPalette::Window, kYellow);
    f->setPalette(pal);
    f->setGeometry(geometry);
    return f;
}

} // namespace

const std::array<TInfofenster::Line, 13>& TInfofenster::acknowledgements()
{
    static const QColor blue(0x00, 0x00, 0xFF);
    static const QColor red(0xFF, 0x00, 0x00);
    static const std::array<Line, 13> lines{{
        {15, 25, blue, QStringLiteral("Special Thanks To:")},
        {15, 70, blue, QStringLiteral("Lessing-Gymnasium Neustadt")},
        {45, 95, red, QStringLiteral("Dr. Anna Weber")},
        {45, 115, red, QStringLiteral("Markus Hoffmann")},
        {45, 135, red, QStringLiteral("Julia Schneider")},
        {15, 185, blue, QStringLiteral("Kadro - Logo:")},
        {45, 210, red, QStringLiteral("Lena Bergmann")},
        {15, 260, blue, QStringLiteral("Allgemein:")},
        {45, 285, red, QStringLiteral("Stefan Krüger")},
        {45, 305, red, QStringLiteral("Miriam Fischer")},
        {45, 325, red, QStringLiteral("Jonas Wagner")},
        {45, 345, red, QStringLiteral("Petra Schulz")},
        {45, 365, red, QStringLiteral("Daniel Becker")},
    }};
    return lines;
}

QPixmap TInfofenster::paintClipart(const QSize& size)
{
    // A piece of film: three frames of a ball thrown sideways, its earlier positions fading, as
    // the start page's banner shows the whole throw.
    QPixmap pm(size);
    pm.fill(kYellow);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, true);
    const double w = size.width(), h = size.height();
    const QRectF strip(0, 0, w, h);
    p.fillRect(strip, QColor(30, 36, 48));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(235, 235, 235));
    for (double x = 3; x < w; x += 11) {
        p.drawRoundedRect(QRectF(x, 2, 6, 4), 1, 1);
        p.drawRoundedRect(QRectF(x, h - 6, 6, 4), 1, 1);
    }
    const double frameW = (w - 8) / 3.0;
    for (int frame = 0; frame < 3; ++frame) {
        const QRectF r(2 + frame * (frameW + 2), 9, frameW, h - 18);
        QLinearGradient sky(r.topLeft(), r.bottomLeft());
        sky.setColorAt(0, QColor(214, 230, 245));
        sky.setColorAt(1, QColor(245, 248, 252));
        p.fillRect(r, sky);
        // The throw up to this frame: x = v t, y = g t² / 2.
        for (int i = 0; i <= frame + 1; ++i) {
            const double t = i / 3.0;
            const QPointF pt(r.left() + 6 + (r.width() - 12) * t, r.top() + 4 + (r.height() - 8) * t * t);
            p.setBrush(QColor(200, 40, 40, i == frame + 1 ? 255 : 110));
            p.drawEllipse(pt, 3.2, 3.2);
        }
    }
    p.end();
    return pm;
}

TInfofenster::TInfofenster(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Infofenster"));
    setWindowTitle(QStringLiteral("Infofenster"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint);
    setModal(true);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kTeal);
    setPalette(pal);
    setFixedSize(352, 405);

    const QColor blue(0x00, 0x00, 0xFF);
    const QColor black(0x00, 0x00, 0x00);

    Panel1 = yellowPanel(this, "Panel1", QRect(7, 7, 338, 189));
    Panel1->setMouseTracking(true);
    Panel1->installEventFilter(this);

    Clipart = new QLabel(Panel1);
    Clipart->setObjectName(QStringLiteral("Clipart"));
    Clipart->setGeometry(10, 10, 163, 43);
    Clipart->setScaledContents(true);
    Clipart->setPixmap(paintClipart(QSize(163, 43)));

    Titel = label(Panel1, "Titel", QStringLiteral("Kadro"), 190, 8, 21, blue, true);
    QFont titleFont(QStringLiteral("Arial"));
    titleFont.setPixelSize(21);
    titleFont.setBold(true);
    Titel->setFont(titleFont);
    Titel->adjustSize();
    Titel->move(190, 8);
    Version = label(Panel1, "Version", QStringLiteral("Version 2.0"), 192, 38, 13, blue);

    const QString origin[4] = {QStringLiteral("Videoanalyse für den Physikunterricht"),
                               QStringLiteral("Idee und Programm: Martin Keller"),
                               QStringLiteral("Didaktik der Physik, Universität Hohenstein"),
                               QStringLiteral("Überarbeitete Fassung 2.0")};
    const QColor originColour[4] = {blue, black, black, black};
    for (int i = 0; i < 4; ++i) {
        OriginLabels[i] = label(Panel1, nullptr, origin[i], 12, 62 + 18 * i, 12, originColour[i]);
        OriginLabels[i]->setObjectName(QStringLiteral("HerkunftLabel%1").arg(i + 1));
    }

    MailLabel = label(Panel1, "MailLabel", QStringLiteral("Mail:"), 12, 140, 12, black);
    MailLabel2 = label(Panel1, "MailLabel2", kSupportMail, 90, 140, 12, blue, false, true);
    HPLabel1 = label(Panel1, "HPLabel1", QStringLiteral("Homepage:"), 12, 160, 12, black);
    HPLabel2 = label(Panel1, "HPLabel2", kHomepage, 90, 160, 12, blue, false, true);
    for (QLabel* link : {MailLabel2, HPLabel2}) {
        link->setCursor(Qt::PointingHandCursor);
        link->setMouseTracking(true);
        link->installEventFilter(this);
    }

    AnimationsPanel = yellowPanel(this, "AnimationsPanel", QRect(66, 206, 220, 120));
    PaintBox = new AcknowledgementsBox(AnimationsPanel);
    PaintBox->setObjectName(QStringLiteral("PaintBox"));
    PaintBox->setGeometry(2, 2, 216, 116);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(138, 350, 75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &TInfofenster::OKButtonClick);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(50);
    connect(Timer1, &QTimer::timeout, this, &TInfofenster::Timer1Timer);
}

void TInfofenster::attach(MainState& st)
{
    m_st = &st;
}

void TInfofenster::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormActivate();
}

void TInfofenster::hideEvent(QHideEvent* event)
{
    // Closed by the close box: nothing is drawn while nobody sees it.
    Timer1->stop();
    QDialog::hideEvent(event);
}

void TInfofenster::FormActivate()
{
    m_scroll = 100;
    static_cast<AcknowledgementsBox*>(PaintBox)->showAt(m_scroll);
    Timer1->start();
}

void TInfofenster::Timer1Timer()
{
    // Draw at the current position, then one pixel up; once the list has left the top it starts
    // again at the bottom edge.
    static_cast<AcknowledgementsBox*>(PaintBox)->showAt(m_scroll);
    --m_scroll;
    if (m_scroll <= -390)
        m_scroll = 90;
}

void TInfofenster::OKButtonClick()
{
    accept();
    Timer1->stop();
    if (m_st && m_st->IsPlaying)
        emit runToContinue();
}

void TInfofenster::MailLabel2Click()
{
    if (openLink)
        openLink(supportMailLink());
}

void TInfofenster::HPLabel2Click()
{
    if (openLink)
        openLink(kHomepage);
}

void TInfofenster::setColour(QLabel* label, const QColor& colour)
{
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, colour);
    label->setPalette(pal);
}

bool TInfofenster::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove) {
        if (watched == MailLabel2 || watched == HPLabel2) {
            setColour(static_cast<QLabel*>(watched), Qt::red);
            return true;
        }
        // Over the panel's own background (not over one of its labels) both links turn blue.
        auto* me = static_cast<QMouseEvent*>(event);
        if (watched == Panel1 && !Panel1->childAt(me->position().toPoint())) {
            setColour(MailLabel2, Qt::blue);
            setColour(HPLabel2, Qt::blue);
        }
    } else if (event->type() == QEvent::MouseButtonRelease) {
        auto* me = static_cast<QMouseEvent*>(event);
        auto* w = static_cast<QWidget*>(watched);
        if (me->button() == Qt::LeftButton && w->rect().contains(me->position().toPoint())) {
            if (watched == MailLabel2) {
                MailLabel2Click();
                return true;
            }
            if (watched == HPLabel2) {
                HPLabel2Click();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace kadro
