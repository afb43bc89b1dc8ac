#pragma once
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <functional>
#include <optional>

class QLabel;
class QWidget;

namespace kadro {

struct MainWindowUi;

// The hint line along the bottom of the main window. While the pointer moves over a button of
// the player, authoring or measuring view the line says in one sentence what the button does;
// moving over the bare background of certain areas empties it. Every other control leaves the
// line as it is, so a hint stays until the pointer reaches something that sets or clears it.
//
// Each control gets its own mouse moves, as the user sees them: a move over a button is not also
// a move over the panel the button lies on.
class HoverHints : public QObject {
    Q_OBJECT
public:
    // A hint that depends on the control's state; no value leaves the line unchanged.
    using HintFunction = std::function<std::optional<QString>()>;

    // The texts, leading blanks included.
    static const QString StartStarts;         // VideoStartButton reads "Start"
    static const QString StartGoesBack;       // any other caption ("Zurück")
    static const QString StopPauses;          // VideoStopButton reads "Pause"
    static const QString StopContinues;       // any other caption ("Weiter")
    static const QString BildvorHint;
    static const QString BildzurueckHint;
    static const QString ZeitlupeHint;
    static const QString OeffnenHint;
    static const QString SpeichernHint;
    static const QString MarkeSetzenHint;
    static const QString NaechsteMarkeWeiter;     // NaechsteMarkeButton reads "weiter"
    static const QString NaechsteMarkeStartseite; // NaechsteMarkeButton reads "Startseite"
    static const QString MarkeZurueckHint;
    // The measuring buttons' hints (the two diagram buttons' texts begin with one blank only).
    static const QString DiagrammButtonHint;
    static const QString DiagrammButton2Hint;
    static const QString KalibrierungNeuButtonHint;
    static const QString MesswerteNeuButtonHint;
    static const QString MesswerteSpeichernButtonHint;
    static const QString AuswertungSchliessenButtonHint;
    static const QString VerfolgenButtonHint;

    // The hints as the buttons' captions decide them (exact comparison, capitals included).
    static QString startButtonHint(const QString& caption);
    static QString stopButtonHint(const QString& caption);
    static std::optional<QString> naechsteMarkeHint(const QString& caption);

    explicit HoverHints(QLabel* hintLine, QObject* parent = nullptr);

    // Registers the player's, the authoring view's and the main window's controls and areas.
    void installOn(const MainWindowUi& ui);

    // A control that writes its hint on every mouse move over it.
    void addHint(QWidget* control, const QString& hint);
    void addHint(QWidget* control, HintFunction hint);
    // An area whose bare background empties the line on every mouse move over it (and, with
    // `clickEmpties`, on a click); moves over its child controls are theirs.
    void addEmptyingArea(QWidget* area, bool clickEmpties = false);

    QString text() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watch(QWidget* w);
    void setText(const QString& text);

    QLabel* m_line;
    QHash<QObject*, HintFunction> m_hints;
    QSet<QObject*> m_areas;
    QSet<QObject*> m_clickAreas;
};

} // namespace kadro
