#pragma once
#include "evaluation/model/Kinematics.h"

#include <QWidget>
#include <functional>
#include <vector>

class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace kadro {

class FrameClock;
class MeasurementSeries;
class Prompts;

// The window "Kadro - Diagramme": the measured points over time as a table (t, x, y, vx, vy, v,
// ax, ay), one quantity plotted over t with a line or parabola fitted through it, the fit's
// equation with the parameters' uncertainties, and the exports (clipboard, CSV file, picture).
// It is only a view of the measurement series: it keeps the choices of quantity and fit and
// nothing else, and is shown afresh whenever the series or the time base changes (refresh()).
class TDiagrammeFenster : public QWidget {
    Q_OBJECT
public:
    explicit TDiagrammeFenster(QWidget* parent = nullptr);

    // What it shows: the series, the clock of the time base in use (asked anew at each refresh,
    // as the time base may change) and the prompts for the save dialogs and failures.
    void attach(const MeasurementSeries* series, std::function<const FrameClock&()> clock, Prompts* prompts);

    // Shows the window beside `mainWindow` (first time) or raises it, with the series as it is now.
    void showBeside(const QWidget* mainWindow);
    // The series or the time base changed: shown afresh if the window is open, else when it opens.
    void refresh();

    // Handlers.
    void KopierenButtonClick();
    void CsvButtonClick();
    void BildButtonClick();

    // The rows shown now, and the texts under the plot.
    const std::vector<KinematicsRow>& rows() const { return m_rows; }
    QStringList fitLines() const;

    QTableWidget* Tabelle = nullptr;
    QComboBox* GroesseComboBox = nullptr;
    QComboBox* AusgleichComboBox = nullptr;
    QChartView* DiagrammView = nullptr;
    QLabel* GleichungLabel = nullptr;
    QLabel* HinweisLabel = nullptr;
    QLabel* HilfeLabel = nullptr;
    QPushButton* KopierenButton = nullptr;
    QPushButton* CsvButton = nullptr;
    QPushButton* BildButton = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void rebuild();
    void fillTable();
    void plot();
    QString timePattern() const;
    Quantity quantity() const;

    const MeasurementSeries* m_series = nullptr;
    std::function<const FrameClock&()> m_clock;
    Prompts* m_prompts = nullptr;
    std::vector<KinematicsRow> m_rows;
    QChart* m_chart = nullptr;
    bool m_placed = false;
};

} // namespace kadro
