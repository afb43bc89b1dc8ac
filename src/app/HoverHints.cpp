#include "app/HoverHints.h"

#include "app/MainWindowUi.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

namespace kadro {

const QString HoverHints::StartStarts = QStringLiteral("  startet das Video");
const QString HoverHints::StartGoesBack = QStringLiteral("  setzt das Video an den Anfang zurück");
const QString HoverHints::StopPauses = QStringLiteral("  stopt das Video");
const QString HoverHints::StopContinues = QStringLiteral("  läßt das Video weiterlaufen");
const QString HoverHints::BildvorHint = QStringLiteral("  setzt das Video ein Bild weiter");
const QString HoverHints::BildzurueckHint = QStringLiteral("  setzt das Video ein Bild zurück");
const QString HoverHints::ZeitlupeHint =
    QStringLiteral("  startet die Zeitlupe; die Geschwindigkeit kann im Menü \"Einstellungen\" geändert werden");
const QString HoverHints::OeffnenHint = QStringLiteral("  hier kann eine Video-Datei geladen werden");
const QString HoverHints::SpeichernHint = QStringLiteral("  hier kann die Präsentation gespeichert werden");
const QString HoverHints::MarkeSetzenHint = QStringLiteral(
    "  setzt eine Marke; alle markierten Optionen im Menü \"Einstellungen\" werden automatisch gesetzt");
const QString HoverHints::NaechsteMarkeWeiter = QStringLiteral("  springt zum nächsten Abschnitt");
const QString HoverHints::NaechsteMarkeStartseite =
    QStringLiteral("  schließt das \"Video abspielen\"-Fenster und öffnet die Startseite");
const QString HoverHints::MarkeZurueckHint = QStringLiteral("  springt zum vorherigen Abschnitt");
const QString HoverHints::DiagrammButtonHint = QStringLiteral(" hier kann das Diagramm eingeschaltet werden");
const QString HoverHints::DiagrammButton2Hint = QStringLiteral(" hier kann das Diagramm ausgeschaltet werden");
const QString HoverHints::KalibrierungNeuButtonHint =
    QStringLiteral("  hier kann eine neue Kalibrierung vorgenommen werden");
const QString HoverHints::MesswerteNeuButtonHint = QStringLiteral("  hier kann eine neue Messreihe aufgenommen werden");
const QString HoverHints::MesswerteSpeichernButtonHint =
    QStringLiteral("  hier können die Messwerte als *.mes gespeichert werden");
const QString HoverHints::VerfolgenButtonHint =
    QStringLiteral("  hier kann ein Objekt automatisch von Bild zu Bild verfolgt werden");
const QString HoverHints::AuswertungSchliessenButtonHint = QStringLiteral(
    "  hier kann das Auswertungsfenster geschlossen werden. Ein klick auf Datenaufnahme öffnet es wieder. "
    "Die Messwerte gehen nicht verloren.");

QString HoverHints::startButtonHint(const QString& caption)
{
    return caption == QLatin1String("Start") ? StartStarts : StartGoesBack;
}

QString HoverHints::stopButtonHint(const QString& caption)
{
    return caption == QLatin1String("Pause") ? StopPauses : StopContinues;
}

std::optional<QString> HoverHints::naechsteMarkeHint(const QString& caption)
{
    if (caption == QLatin1String("weiter"))
        return NaechsteMarkeWeiter;
    if (caption == QLatin1String("Startseite"))
        return NaechsteMarkeStartseite;
    return std::nullopt;
}

HoverHints::HoverHints(QLabel* hintLine, QObject* parent) : QObject(parent), m_line(hintLine)
{
    // One line in the window's standard 12-pixel sans-serif font, black.
    QFont f = m_line->font();
    f.setPixelSize(12);
    m_line->setFont(f);
    QPalette pal = m_line->palette();
    pal.setColor(QPalette::WindowText, Qt::black);
    m_line->setPalette(pal);
}

void HoverHints::installOn(const MainWindowUi& ui)
{
    QPushButton* start = ui.VideoStartButton;
    QPushButton* stop = ui.VideoStopButton;
    QPushButton* next = ui.NaechsteMarkeButton;
    addHint(start, [start]() -> std::optional<QString> { return startButtonHint(start->text()); });
    addHint(stop, [stop]() -> std::optional<QString> { return stopButtonHint(stop->text()); });
    addHint(ui.VideoBildvorButton, BildvorHint);
    addHint(ui.VideoBildzurueckButton, BildzurueckHint);
    addHint(ui.VideoZeitlupeButton, ZeitlupeHint);
    addHint(ui.OeffnenButton, OeffnenHint);
    addHint(ui.SpeichernButton, SpeichernHint);
    addHint(ui.MarkeSetzenButton, MarkeSetzenHint);
    addHint(next, [next] { return naechsteMarkeHint(next->text()); });
    addHint(ui.MarkeZurueckButton, MarkeZurueckHint);

    addEmptyingArea(ui.SteuerungsPanel);
    addEmptyingArea(ui.StringGridPanel);
    addEmptyingArea(ui.BildschirmRahmen);
    addEmptyingArea(ui.RichEditAbdeckungsPanel);
    addEmptyingArea(ui.BerechnenAbdeckungsPanel);
    addEmptyingArea(ui.BerechnenAnzeigePanel, true);
    addHint(ui.DiagrammButton, DiagrammButtonHint);
    addHint(ui.DiagrammButton2, DiagrammButton2Hint);
    addHint(ui.KalibrierungNeuButton, KalibrierungNeuButtonHint);
    addHint(ui.MesswerteNeuButton, MesswerteNeuButtonHint);
    addHint(ui.MesswerteSpeichernButton, MesswerteSpeichernButtonHint);
    addHint(ui.AuswertungSchliessenButton, AuswertungSchliessenButtonHint);
    addHint(ui.VerfolgenButton, [b = ui.VerfolgenButton]() -> std::optional<QString> {
        // While it runs the button is "Stopp" and says nothing of its own.
        if (b->text() == QLatin1String("Verfolgen"))
            return VerfolgenButtonHint;
        return std::nullopt;
    });
    addEmptyingArea(ui.MesswerteButtonPanel);
}

void HoverHints::addHint(QWidget* control, const QString& hint)
{
    addHint(control, [hint]() -> std::optional<QString> { return hint; });
}

void HoverHints::addHint(QWidget* control, HintFunction hint)
{
    if (!control)
        return;
    const bool known = m_hints.contains(control) || m_areas.contains(control);
    m_hints.insert(control, std::move(hint)); // a second registration replaces the hint
    if (!known)
        watch(control);
}

void HoverHints::addEmptyingArea(QWidget* area, bool clickEmpties)
{
    if (!area)
        return;
    const bool known = m_hints.contains(area) || m_areas.contains(area);
    m_areas.insert(area);
    if (clickEmpties)
        m_clickAreas.insert(area);
    if (!known)
        watch(area);
}

void HoverHints::watch(QWidget* w)
{
    // Without tracking a widget hears of the mouse only while a button is held.
    w->setMouseTracking(true);
    w->installEventFilter(this);
    connect(w, &QObject::destroyed, this, [this](QObject* gone) {
        m_hints.remove(gone);
        m_areas.remove(gone);
        m_clickAreas.remove(gone);
    });
}

QString HoverHints::text() const
{
    return m_line->text();
}

void HoverHints::setText(const QString& text)
{
    m_line->setText(text);
}

bool HoverHints::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseMove && type != QEvent::MouseButtonRelease)
        return QObject::eventFilter(watched, event);
    auto* me = static_cast<QMouseEvent*>(event);
    auto* w = static_cast<QWidget*>(watched);

    if (type == QEvent::MouseMove) {
        const auto hint = m_hints.constFind(watched);
        if (hint != m_hints.constEnd()) {
            // A greyed-out button says what it would do, too.
            if (const std::optional<QString> text = (*hint)())
                setText(*text);
            return false;
        }
    }
    if (!m_areas.contains(watched))
        return false;
    // A move over a control that the area hears second (Qt passes it on to the parent) is the
    // control's, not the area's.
    if (w->childAt(me->position().toPoint()))
        return false;
    if (type == QEvent::MouseMove || (m_clickAreas.contains(watched) && me->button() == Qt::LeftButton
                                      && w->rect().contains(me->position().toPoint())))
        setText(QString());
    return false;
}

} // namespace kadro
