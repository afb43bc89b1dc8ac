#pragma once
#include <QString>

namespace kadro {

// The texts of the measuring panel's message boxes. "\r" is the line break of a message box.

// Information box (OK) of "Datenaufnahme" while no calibration is accepted.
inline const QString kNoCalibrationText = QStringLiteral(
    "Es wurde noch keine Kalibrierung vorgenommen.\r\r"
    "Um eine Kalibrierung vorzunehmen, markieren sie per Mausklick zuerst den\r"
    "Anfangspunkt und danach den Endpunkt einer bekannten Strecke im Videofenster\r"
    "(die Koordinaten werden unter Position 1 bzw. Position 2 angezeigt).\r\r"
    "Geben Sie dann die Originallänge dieser Strecke im \"Abstand\" - Fenster ein.\r\r"
    "Klicken Sie anschließend auf \"Kalibrieren\".");

// Information box (OK) once the origin is fixed.
inline const QString kStartMeasuringText = QStringLiteral("Sie können mit der Datenaufnahme beginnen!");

// Warning box (OK) of "Kalibrieren" when both positions are the same pixel.
inline const QString kIdenticalPositionsText =
    QStringLiteral("Position 1 und Position 2 sind identisch!\rKalibrierung kann nicht vorgenommen werden.");

// Information box (OK) of "Kalibrieren" (the button or Enter in the distance field) before both
// positions are clicked.
inline const QString kClickPositionsFirstText = QStringLiteral(
    "Bitte markieren Sie zuerst per Mausklick Position 1 und Position 2 im Videofenster.");

// Warning box (OK) of "Kalibrieren" for a distance of 0 or below: such a scale would turn every
// point into 0,000 m (or mirror the picture) and every fit divides by it.
inline const QString kDistanceNotPositiveText = QStringLiteral(
    "Der Abstand muss größer als 0 m sein!\rKalibrierung kann nicht vorgenommen werden.");

// Confirmation box ("Ja", "Abbrechen") after the scale was computed.
inline const QString kAcceptCalibrationText =
    QStringLiteral("Kalibrierung wurde durchgeführt.\rKalibrierung übernehmen?");

// Information box ("Ja", "Nein") after a calibration was accepted.
inline const QString kOriginQuestionText = QStringLiteral(
    "Wenn sie einen Nullpunkt festlegen wollen klicken Sie auf \"Ja\"\r"
    "und anschließend auf die gewünschte Position im Videofenster.\r\r"
    "Klicken Sie auf \"Nein\", wenn Sie keinen Nullpunkt festlegen wollen.\r"
    "In diesem Fall wird automatisch die linke, untere Ecke des Video-\r"
    "fensters als Nullpunkt gesetzt.");

// Warning box ("Ja", "Nein") of "Kalibrierung neu".
inline const QString kRenewCalibrationText =
    QStringLiteral("Es wurde schon eine Kalibrierung durchgeführt.\rWollen Sie diese wirklich ändern?");

// Confirmation box ("Ja", "Nein", "Abbrechen") when the player view is left with unsaved points.
inline const QString kUnsavedMeasurementsText =
    QStringLiteral("Messwerte wurden noch nicht gespeichert.\rWollen Sie jetzt speichern?");

// Captions that the handlers compare or set.
inline const QString kKalibrierenCaption = QStringLiteral("Kalibrieren");
inline const QString kKalibrierungNeuCaption = QStringLiteral("Kalibrierung neu");
inline const QString kMesswerteNeuCaption = QStringLiteral("Messwerte neu");
inline const QString kMesswerteSpeichernCaption = QStringLiteral("Speichern");
inline const QString kDiagrammAnCaption = QStringLiteral("Diagramm an");
inline const QString kDiagrammAusCaption = QStringLiteral("Diagramm aus");
inline const QString kSchliessenCaption = QStringLiteral("Schließen");
// The grid's pop-up item before the first right click renames it.
inline const QString kMessungLoeschenCaption = QStringLiteral("Messung löschen");

} // namespace kadro
