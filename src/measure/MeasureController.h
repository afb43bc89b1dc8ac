#pragma once
#include "common/Context.h"
#include "measure/MeasureWidgets.h"
#include "measure/model/Calibration.h"
#include "measure/model/MeasurementSeries.h"
#include "player/PictureWidgets.h"

#include <QObject>
#include <QPoint>
#include <QPointF>
#include <QTimer>

#include <memory>

namespace kadro {

class FrameClock;
class ObjectTracker;
class Transport;

// Measuring in the player view: "Datenaufnahme", calibrating the picture with two clicked
// positions and a distance, the origin, recording clicked points into the measurement table,
// deleting and clearing points, the live position display and saving the points as a .mes file.
class MeasureController : public QObject {
    Q_OBJECT
public:
    MeasureController(const Context& context, const MeasureWidgets& widgets, const PictureWidgets& picture,
                      Transport& transport);
    ~MeasureController() override;


    const Calibration& calibration() const { return m_calibration; }
    const MeasurementSeries& series() const { return m_series; }

    // The measuring part of laying out the views afresh.
    void setUpAuthoringView();
    void setUpPlayerView();

    // Handlers.
    void MenuDatenaufnahmeClick();
    // (x, y) on the picture's drawing surface, in its pixels; a larger view of the picture gives
    // them in fractions, which a measured point keeps.
    void PaintBox1MouseDown(Qt::MouseButton button, double x, double y);
    void PaintBox1MouseMove(double x, double y);
    void XYAbstandEditChange();
    void XYAbstandEditKeyPress(int key);
    void KalibrierenButtonClick();
    void KalibrierungNeuButtonClick();
    void AuswertungSchliessenButtonClick();
    void MesswerteStringGridMouseDown(Qt::MouseButton button, int x, int y);
    void MesswertePopupMenuMessungLoeschenClick();
    void MesswertLoeschen(int row);
    void MesswerteNeuButtonClick();
    void MesswerteSpeichernButtonClick();
    // "Verfolgen" (ask for the click on the object) or "Stopp" (end the tracking).
    void VerfolgenButtonClick();

    // The automatic tracking: waiting for the click on the object (at the start or after it was
    // lost), running from frame to frame, or off.
    enum class TrackingState { Off, AwaitingClick, Running };
    TrackingState trackingState() const { return m_trackingState; }
    // Ends the tracking (the points recorded so far stay).
    void stopTracking();
    // Captions and texts of the tracking.
    static const QString kVerfolgen;
    static const QString kStopp;
    static const QString kTrackingClickHint;
    // "Das Objekt wurde in Frame N nicht sicher wiedergefunden.\rKlicken Sie es an, ...".
    static QString trackingLostText(int frame);

    // Another time base (the settings' time step, the video's own time, a capture rate): the
    // time-step column is written again from the frames.
    void timeBaseChanged();
    // A section offers measuring (the panel is uncovered) or not.
    void offerEvaluation(bool offered);
    // Opening a file with the open dialog: the panel's "Schließen" no longer holds.
    void resetForOpenedFile();
    // A presentation in the player view: no measuring menu and no "Schließen".
    void hideForPresentation();
    void hideDataAcquisitionMenu();
    void showCloseButton(bool shown);

    // Where the grid's pop-up menu was opened last (screen coordinates).
    QPoint lastPopupPoint() const { return m_lastPopupPoint; }

signals:
    // A right click on the picture: the main pop-up menu opens at this screen point (after the
    // video paused as before every pop-up menu).
    void pictureMenuRequested(const QPoint& globalPos);
    // What the evaluation over the picture follows (the shell connects it): the series changed;
    // the calibration was accepted; it was renewed (the points are cleared next); after renewing,
    // the diagram and the chosen evaluation are switched off.
    void seriesUpdated(const SeriesUpdate& update);
    void calibrationAccepted();
    void calibrationRenewed();
    void drawingsReset();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool videoLoaded() const;
    // The measurement table shows the series: rows, cells, widths and its place.
    void showSeries();
    void fitSeriesGrid();
    void applyUpdate(const SeriesUpdate& update);
    void setUnitLabelsVisible(bool visible);
    void emptyCoordinateFields();
    // Records a point at picture coordinates (px, py) of `frame` into the table, as a click does.
    void recordPoint(double px, double py, qint64 frame);
    // The tracking (MeasureTracking.cpp).
    void trackingClicked(PictureCoordinates at);
    void trackingTick();
    void setTrackingState(TrackingState state);
    QPointF pictureToFrame(QPointF picture) const;
    QPointF frameToPicture(QPointF frame) const;

    Context c;
    MeasureWidgets ui;
    PictureWidgets pic;
    Transport& transport;
    Calibration m_calibration;
    MeasurementSeries m_series;
    QPoint m_lastPopupPoint;
    // The tracking.
    TrackingState m_trackingState = TrackingState::Off;
    std::unique_ptr<ObjectTracker> m_tracker;
    QTimer m_trackingTimer;
    QPointF m_trackingStart;      // the clicked centre in frame pixels, until the tracker starts
    bool m_trackingStarted = false;
    int m_trackingFrame = -1;     // the frame whose full picture is awaited (-1: step on next)
};

} // namespace kadro
