#include "app/StartPage.h"

#include <QMouseEvent>
#include <QPixmap>

namespace kadro {

LinkLabel::LinkLabel(const QString& caption, const QString& hint, QWidget* parent)
    : QLabel(caption, parent), m_hint(hint)
{
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
    setTextFormat(Qt::PlainText);
    adjustSize();
}

void LinkLabel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked();
    else
        QLabel::mousePressEvent(event);
}

void LinkLabel::mouseMoveEvent(QMouseEvent* event)
{
    emit hovered(this);
    QLabel::mouseMoveEvent(event);
}

StartPage::StartPage(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("StartseitePanel"));
    setFrameShape(QFrame::NoFrame);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);
    setMouseTracking(true);
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPointSize(18);
    setFont(f);

    Banner = new QLabel(this);
    Banner->setObjectName(QStringLiteral("Banner"));
    Banner->setGeometry(103, 15, 593, 167);
    Banner->setScaledContents(true);
    const QPixmap banner(QStringLiteral(":/banner.png"));
    if (!banner.isNull())
        Banner->setPixmap(banner);

    auto make = [this](const char* name, const QString& caption, const QString& hint, int x, int y) {
        auto* l = new LinkLabel(caption, hint, this);
        l->setObjectName(QString::fromLatin1(name));
        l->move(x, y);
        connect(l, &LinkLabel::hovered, this, &StartPage::setHover);
        m_labels.append(l);
        return l;
    };
    VideoAbspielenLabel = make("VideoAbspielenLabel", QStringLiteral("Video abspielen"),
                               QStringLiteral("  öffnet das Fenster zum Abspielen eines Videos oder einer Präsentation"), 110, 210);
    PraesentationErstellenLabel = make("PraesentationErstellenLabel", QStringLiteral("Präsentation erstellen"),
                                       QStringLiteral("  öffnet das Fenster zur Erstellung einer Präsentation"), 450, 210);
    const int vstTops[5] = {265, 310, 355, 400, 445};
    for (int i = 0; i < 5; ++i)
        vstLabel[i] = make(QStringLiteral("vst%1Label").arg(i + 1).toLatin1().constData(), QString(), QString(), 110, vstTops[i]);
    BeendenLabel = make("BeendenLabel", QStringLiteral("Beenden"),
                        QStringLiteral("  hier können Sie das Programm Kadro beenden"), 110, 495);
    FAQLabel = make("FAQLabel", QStringLiteral("Fragen & Antworten"),
                    QStringLiteral("  hier können Sie sich Fragen und Antworten zum Programm Kadro durchlesen"), 311, 496);
    InfoLabel = make("InfoLabel", QStringLiteral("Info"),
                     QStringLiteral("  hier erhalten Sie Informationen zum Programm Kadro"), 644, 495);
}

void StartPage::resetHover()
{
    for (LinkLabel* l : m_labels)
        l->setStyleSheet(QStringLiteral("color: black;"));
}

void StartPage::setHover(LinkLabel* label)
{
    label->setStyleSheet(QStringLiteral("color: red;"));
    emit hintChanged(label->hint(), label->hint().isEmpty());
}

void StartPage::mouseMoveEvent(QMouseEvent* event)
{
    resetHover();
    emit hintChanged(QString(), false);
    QFrame::mouseMoveEvent(event);
}

void StartPage::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton)
        emit rightPressed(event->globalPosition().toPoint());
    QFrame::mousePressEvent(event);
}

} // namespace kadro
