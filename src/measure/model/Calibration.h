#pragma once
#include <QPoint>
#include <QString>
#include <functional>
#include <optional>

namespace kadro {

class Prompts;

// Integer pixel coordinates on the picture: x from the left edge to the right, y upward from the
// bottom pixel row (the bottom row is py = 0).
struct PictureCoordinates {
    int px = 0;
    int py = 0;

    // A mouse position (x, y) on the paint surface, whose height is `surfaceHeight` at the
    // moment of the event.
    static PictureCoordinates fromClient(int x, int y, int surfaceHeight)
    {
        return {x, surfaceHeight - 1 - y};
    }
    bool operator==(const PictureCoordinates&) const = default;
};

// The texts of the calibration panel's edit fields as the user sees them: the coordinates of
// Position 1 and Position 2 (written by clicks, but the user may type them) and the distance.
struct CalibrationFields {
    QString x1;
    QString y1;
    QString x2;
    QString y2;
    QString distance;
};

// What a left click on the picture asks of the caller.
struct PictureClickResult {
    enum class Action {
        None,           // nothing happens
        Position1,      // XKoord1/YKoord1 := xText/yText; XKoord2/YKoord2 emptied
        Position2,      // XKoord2/YKoord2 := xText/yText
        Origin,         // the origin was fixed: show the information box `information`
        MeasuredPoint,  // record a point at `at` in the measurement series
    };
    Action action = Action::None;
    PictureCoordinates at;
    QString xText;
    QString yText;
    std::optional<QString> information;
};

// What "Datenaufnahme" asks of the caller once the calibration state is updated: empty the four
// coordinate fields, uncover the measuring panel, disable the menu item, show or hide the "m"
// labels and, without a calibration, pause the video and show the information box.
struct DatenaufnahmeResult {
    bool unitLabelsVisible = false;
    std::optional<QString> information;
};

// The first half of "Kalibrieren": the scale from the panel's fields.
struct ScaleResult {
    enum class Outcome {
        NotReady,  // not both positions clicked (or Position 1 clicked last): show `information`
        Refused,   // show the warning box `warning`; nothing changed
        Computed,  // `Scale` is stored; show `scaleText` in KalibrierungsLabel
    };
    Outcome outcome = Outcome::NotReady;
    QString information;
    QString warning;
    QString scaleText;
};

// How "Kalibrieren" ended, with its questions answered.
enum class KalibrierenOutcome {
    NotReady,         // the positions are not both clicked: the user was told to click them
    Refused,          // the warning was shown; nothing changed
    Cancelled,        // "Abbrechen" to the acceptance question: only Scale and its label changed
    AwaitingOrigin,   // accepted, "Ja" to the origin question: the next picture click fixes it
    OriginLowerLeft,  // accepted, "Nein": origin (0, 0), measuring can start
};

// The steps of "Kalibrieren" that touch widgets, run at their moment between the questions.
struct KalibrierenHooks {
    // KalibrierungsLabel := text (before the acceptance question).
    std::function<void(const QString& scaleText)> showScale;
    // After "Ja" to the acceptance question, before the origin question: show the "m" labels,
    // hide the calibration panel, show the button row at 10, 70, disable "Diagramm an", move
    // the live display to top 10, DataSaved := false.
    std::function<void()> accepted;
};

// The calibration of the picture: metres per pixel, the origin and the state of the clicks that
// lead there. One instance lives as long as the main window.
class Calibration {
public:
    double Scale = 0;                 // metres per picture pixel (used only while Calibrated)
    bool Calibrated = false;          // a calibration was accepted
    int OriginX = 0;                  // origin in picture coordinates
    int OriginY = 0;
    bool OriginSet = false;           // the origin is fixed: clicks record points
    bool ExpectFirstPosition = true;  // the next calibration click is Position 1
    bool SecondPositionPending = true;  // Position 1 was clicked last
    bool EvaluationClosed = false;    // the panel was closed with "Schließen"

    // The player view is set up: awaiting Position 1 with no origin. The scale keeps its value.
    void resetForPlayerView();

    // "Datenaufnahme": the next calibration click is Position 1 again; the panel counts clicks
    // again after "Schließen" (the origin and the series stay).
    DatenaufnahmeResult startAcquisition();

    // Left click on the picture at `at`. Calibration clicks need a loaded video; the origin click
    // does not, but is ignored while the panel is closed; points are recorded by the caller.
    PictureClickResult pictureClick(PictureCoordinates at, bool videoLoaded);
    // The same click in fractions of a pixel (from a larger view of the picture), told just
    // before pictureClick: a position keeps the fraction for the scale as long as its fields
    // show the texts the click wrote.
    void setClickFraction(double px, double py) { m_clickFraction = {px, py, true}; }

    // "Kalibrieren" without its questions. Reads the four coordinates as whole numbers and the
    // distance as a decimal number; a text that is not a number throws ConvertError and
    // changes nothing. Coinciding positions and a distance of 0 or below are refused.
    ScaleResult computeScale(const CalibrationFields& fields);
    // "Ja" to "Kalibrierung übernehmen?".
    void accept();
    // "Nein" to the origin question: the lower-left picture pixel becomes the origin.
    void takeLowerLeftOrigin();

    // "Kalibrieren" with its questions: the acceptance question (confirmation, "Ja" and
    // "Abbrechen"), then the origin question (information, "Ja" and "Nein") and, on "Nein", the
    // information that measuring can start. The hooks run at their moments in between.
    KalibrierenOutcome kalibrieren(const CalibrationFields& fields, Prompts& prompts,
                                   const KalibrierenHooks& hooks = {});

    // "Ja" to "Kalibrierung neu": back to awaiting Position 1 (no position pending), origin (0, 0). The scale keeps its
    // value until the next "Kalibrieren". (The caller also clears the series and the diagram.)
    void renew();

    // "Schließen" on the measuring panel: origin clicks are ignored until "Datenaufnahme" or a
    // file is opened.
    void closeEvaluation() { EvaluationClosed = true; }
    // A file was opened with the open dialog.
    void fileOpened() { EvaluationClosed = false; }

    // "Kalibrieren" is enabled whenever the distance field is not empty.
    static bool calibrateButtonEnabled(const QString& distanceText) { return !distanceText.isEmpty(); }

    // Pixel difference to the origin (no overflow for any picture coordinate).
    qint64 dx(int px) const { return qint64(px) - OriginX; }
    qint64 dy(int py) const { return qint64(py) - OriginY; }
    // Metre coordinates of a picture point: x grows to the right, y upward.
    double metresX(int px) const { return double(dx(px)) * Scale; }
    double metresY(int py) const { return double(dy(py)) * Scale; }

    // The live X/Y display for the pointer at `at`: metres while calibrated, else the pixel
    // differences as whole numbers.
    struct LiveTexts {
        QString x;
        QString y;
    };
    LiveTexts liveTexts(PictureCoordinates at) const;

    // Where the picture's pop-up menu opens for a right click at (x, y) on the picture.
    static QPoint picturePopupPoint(QPoint windowTopLeft, int x, int y)
    {
        return windowTopLeft + QPoint(x + 23, y + 10);
    }

private:
    struct ExactPosition {
        double x = 0;
        double y = 0;
        bool set = false;
        QString xText;
        QString yText;
    };
    ExactPosition m_clickFraction;
    ExactPosition m_exact1;
    ExactPosition m_exact2;
};

// The Euclidean distance in pixels of two picture points given as whole numbers of any size.
double pixelDistance(qint64 x1, qint64 y1, qint64 x2, qint64 y2);

} // namespace kadro
