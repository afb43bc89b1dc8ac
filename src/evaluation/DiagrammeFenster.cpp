#include "evaluation/DiagrammeFenster.h"

#include "common/Cp1252.h"
#include "common/ErrorReport.h"
#include "common/FrameClock.h"
#include "common/Prompts.h"
#include "measure/model/MeasurementSeries.h"

#include <QBuffer>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QPainter>
#include <QScreen>
#include <QSvgGenerator>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>

#include <algorithm>
#include <cmath>

namespace kadro {

namespace {

const QString kHint = QStringLiteral(
    "v(i) = (x(i+1) − x(i−1)) / (t(i+1) − t(i−1)) mit den Zeiten der Bilder; a aus der Ausgleichsparabel "
    "über fünf benachbarte Punkte. Wo Nachbarn fehlen, bleibt das Feld leer.");
const QString kHelp = QStringLiteral(
    "Geschwindigkeit (zentrale Differenz): v(i) = (x(i+1) − x(i−1)) / (t(i+1) − t(i−1)),\n"
    "mit der Zeit jedes Bildes, so dass ungleiche Schritte und gelöschte Punkte richtig zählen.\n"
    "Beschleunigung: a(i) = 2·c der Ausgleichsparabel durch die Punkte i−2 bis i+2.\n"
    "Beim ersten und letzten Punkt (für a: den ersten und letzten beiden) fehlen Nachbarn: leer.\n"
    "Unsicherheiten der Ausgleichskurve: σ² = SSE / (n − p), u(Parameter) = √(σ² · (AᵀA)⁻¹ᵢᵢ),\n"
    "auf zwei gültige Ziffern gerundet, der Wert passend dazu.");

void writeOrFail(const QString& path, const QByteArray& bytes)
{
    if (!writeFileSafely(path, bytes))
        throw KadroError(QStringLiteral("Die Datei %1 kann nicht geschrieben werden.").arg(path));
}

// An axis over [low, high] with a margin, ticks at whole multiples of a round step (1, 2 or 5
// times a power of ten), so that zero is a tick of its own and not "-0,00".
void scaleAxis(QValueAxis* axis, double low, double high, double margin)
{
    const double span = high - low;
    const double raw = span / 6;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double r = raw / magnitude;
    const double step = (r < 1.5 ? 1 : r < 3 ? 2 : r < 7 ? 5 : 10) * magnitude;
    axis->setRange(low - margin * span, high + margin * span);
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setTickInterval(step);
    const int decimals = std::max(0, -int(std::floor(std::log10(step) + 1e-9)));
    axis->setLabelFormat(QStringLiteral("%.%1f").arg(decimals));
}

} // namespace

TDiagrammeFenster::TDiagrammeFenster(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("DiagrammeFenster"));
    setWindowTitle(QStringLiteral("Kadro - Diagramme"));
    resize(1000, 640);

    Tabelle = new QTableWidget(this);
    Tabelle->setObjectName(QStringLiteral("DiagrammeTabelle"));
    Tabelle->setColumnCount(int(kinematicsHeader().size()));
    Tabelle->setHorizontalHeaderLabels(kinematicsHeader());
    Tabelle->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Tabelle->setSelectionBehavior(QAbstractItemView::SelectRows);
    Tabelle->verticalHeader()->setDefaultSectionSize(19);
    Tabelle->horizontalHeader()->setDefaultSectionSize(62);
    Tabelle->setMinimumWidth(8 * 62 + 50);

    GroesseComboBox = new QComboBox(this);
    GroesseComboBox->setObjectName(QStringLiteral("GroesseComboBox"));
    for (int q = 0; q < kQuantityCount; ++q)
        GroesseComboBox->addItem(quantityName(Quantity(q)));
    GroesseComboBox->setCurrentIndex(int(Quantity::Y));
    AusgleichComboBox = new QComboBox(this);
    AusgleichComboBox->setObjectName(QStringLiteral("AusgleichComboBox"));
    AusgleichComboBox->addItems({QStringLiteral("keine"), QStringLiteral("Gerade"), QStringLiteral("Parabel")});
    HilfeLabel = new QLabel(QStringLiteral("?"), this);
    HilfeLabel->setObjectName(QStringLiteral("HilfeLabel"));
    HilfeLabel->setToolTip(kHelp);
    HilfeLabel->setFrameShape(QFrame::Panel);
    HilfeLabel->setAlignment(Qt::AlignCenter);
    HilfeLabel->setFixedWidth(20);

    m_chart = new QChart;
    m_chart->legend()->hide();
    m_chart->setLocalizeNumbers(true);
    m_chart->setLocale(QLocale());
    DiagrammView = new QChartView(m_chart, this);
    DiagrammView->setObjectName(QStringLiteral("DiagrammView"));
    DiagrammView->setRenderHint(QPainter::Antialiasing);
    DiagrammView->setMinimumSize(420, 320);

    GleichungLabel = new QLabel(this);
    GleichungLabel->setObjectName(QStringLiteral("GleichungLabel"));
    GleichungLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    GleichungLabel->setMinimumHeight(4 * fontMetrics().lineSpacing());
    GleichungLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    GleichungLabel->setWordWrap(true);

    KopierenButton = new QPushButton(QStringLiteral("Kopieren"), this);
    KopierenButton->setObjectName(QStringLiteral("KopierenButton"));
    CsvButton = new QPushButton(QStringLiteral("Als CSV speichern..."), this);
    CsvButton->setObjectName(QStringLiteral("CsvButton"));
    BildButton = new QPushButton(QStringLiteral("Bild speichern..."), this);
    BildButton->setObjectName(QStringLiteral("BildButton"));

    HinweisLabel = new QLabel(kHint, this);
    HinweisLabel->setObjectName(QStringLiteral("HinweisLabel"));
    HinweisLabel->setWordWrap(true);
    HinweisLabel->setToolTip(kHelp);

    auto* choices = new QHBoxLayout;
    choices->addWidget(new QLabel(QStringLiteral("Größe über t:"), this));
    choices->addWidget(GroesseComboBox);
    choices->addSpacing(12);
    choices->addWidget(new QLabel(QStringLiteral("Ausgleich:"), this));
    choices->addWidget(AusgleichComboBox);
    choices->addStretch();
    choices->addWidget(HilfeLabel);
    auto* right = new QVBoxLayout;
    right->addLayout(choices);
    right->addWidget(DiagrammView, 1);
    right->addWidget(GleichungLabel);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(KopierenButton);
    buttons->addWidget(CsvButton);
    buttons->addWidget(BildButton);
    buttons->addStretch();
    auto* left = new QVBoxLayout;
    left->addWidget(Tabelle, 1);
    left->addLayout(buttons);
    auto* top = new QHBoxLayout;
    top->addLayout(left, 0);
    top->addLayout(right, 1);
    auto* all = new QVBoxLayout(this);
    all->addLayout(top, 1);
    all->addWidget(HinweisLabel);

    auto guard = [this](auto fn) {
        return [this, fn] {
            if (m_prompts)
                runGuarded(*m_prompts, fn);
        };
    };
    connect(KopierenButton, &QPushButton::clicked, this, guard([this] { KopierenButtonClick(); }));
    connect(CsvButton, &QPushButton::clicked, this, guard([this] { CsvButtonClick(); }));
    connect(BildButton, &QPushButton::clicked, this, guard([this] { BildButtonClick(); }));
    connect(GroesseComboBox, &QComboBox::currentIndexChanged, this, guard([this] { plot(); }));
    connect(AusgleichComboBox, &QComboBox::currentIndexChanged, this, guard([this] { plot(); }));
}

void TDiagrammeFenster::attach(const MeasurementSeries* series, std::function<const FrameClock&()> clock,
                               Prompts* prompts)
{
    m_series = series;
    m_clock = std::move(clock);
    m_prompts = prompts;
}

void TDiagrammeFenster::showBeside(const QWidget* mainWindow)
{
    if (!m_placed && mainWindow) {
        // Right of the main window where the screen has room, else as far right as it fits.
        const QRect frame = mainWindow->frameGeometry();
        QPoint at(frame.right() + 8, frame.top());
        if (const QScreen* screen = mainWindow->screen()) {
            const QRect avail = screen->availableGeometry();
            at.setX(std::max(avail.left(), std::min(at.x(), avail.right() + 1 - width())));
            at.setY(std::max(avail.top(), std::min(at.y(), avail.bottom() + 1 - height())));
        }
        move(at);
        m_placed = true;
    }
    show();
    raise();
    activateWindow();
    rebuild();
}

void TDiagrammeFenster::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    rebuild();
}

void TDiagrammeFenster::refresh()
{
    if (isVisible())
        rebuild();
}

QString TDiagrammeFenster::timePattern() const
{
    return m_clock ? m_clock().intervalPattern() : QStringLiteral("0.00");
}

Quantity TDiagrammeFenster::quantity() const
{
    return Quantity(std::clamp(GroesseComboBox->currentIndex(), 0, kQuantityCount - 1));
}

void TDiagrammeFenster::rebuild()
{
    m_rows.clear();
    QString failure;
    try {
        if (m_series && m_clock)
            m_rows = kinematicsOf(*m_series, m_clock());
    } catch (const std::exception& e) {
        // A time step in the settings that is no number: the window stays empty and says why
        // (the measuring itself reports it in the error box).
        failure = QString::fromStdString(e.what());
    }
    fillTable();
    plot();
    if (!failure.isEmpty())
        GleichungLabel->setText(failure);
}

void TDiagrammeFenster::fillTable()
{
    const QString pattern = timePattern();
    Tabelle->setRowCount(int(m_rows.size()));
    for (int r = 0; r < int(m_rows.size()); ++r) {
        const QStringList cells = kinematicsCells(m_rows[r], pattern);
        for (int col = 0; col < cells.size(); ++col) {
            QTableWidgetItem* item = Tabelle->item(r, col);
            if (!item) {
                item = new QTableWidgetItem;
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                Tabelle->setItem(r, col, item);
            }
            item->setText(cells[col]);
        }
    }
}

QStringList TDiagrammeFenster::fitLines() const
{
    return GleichungLabel->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void TDiagrammeFenster::plot()
{
    const Quantity q = quantity();
    std::vector<double> t, values;
    quantitySamples(m_rows, q, &t, &values);

    m_chart->removeAllSeries();
    for (QAbstractAxis* axis : m_chart->axes())
        m_chart->removeAxis(axis), delete axis;

    auto* points = new QScatterSeries;
    points->setName(quantityName(q));
    points->setMarkerSize(7);
    for (std::size_t i = 0; i < t.size(); ++i)
        points->append(t[i], values[i]);
    m_chart->addSeries(points);

    auto* axisX = new QValueAxis;
    axisX->setTitleText(QStringLiteral("t [s]"));
    auto* axisY = new QValueAxis;
    axisY->setTitleText(quantityName(q) + QStringLiteral(" [") + quantityUnit(q) + QStringLiteral("]"));
    m_chart->addAxis(axisX, Qt::AlignBottom);
    m_chart->addAxis(axisY, Qt::AlignLeft);
    points->attachAxis(axisX);
    points->attachAxis(axisY);

    double tMin = 0, tMax = 1, vMin = 0, vMax = 1;
    if (!t.empty()) {
        tMin = *std::min_element(t.begin(), t.end());
        tMax = *std::max_element(t.begin(), t.end());
        vMin = *std::min_element(values.begin(), values.end());
        vMax = *std::max_element(values.begin(), values.end());
    }

    QStringList lines;
    const int degree = AusgleichComboBox->currentIndex(); // keine 0, Gerade 1, Parabel 2
    if (degree > 0 && !t.empty()) {
        if (const std::optional<PolynomialFit> fit = fitPolynomial(t, values, degree)) {
            auto* curve = new QLineSeries;
            curve->setName(AusgleichComboBox->currentText());
            const int steps = 100;
            for (int k = 0; k <= steps; ++k) {
                const double tk = tMin + (tMax - tMin) * k / steps;
                const double vk = fit->value(tk);
                curve->append(tk, vk);
                vMin = std::min(vMin, vk);
                vMax = std::max(vMax, vk);
            }
            m_chart->addSeries(curve);
            curve->attachAxis(axisX);
            curve->attachAxis(axisY);
            lines = fitTexts(q, *fit);
        } else {
            lines << QStringLiteral("Für eine %1 sind Punkte zu mindestens %2 verschiedenen Zeiten nötig.")
                         .arg(AusgleichComboBox->currentText())
                         .arg(degree + 1);
        }
    }
    if (tMax <= tMin)
        tMax = tMin + 1;
    if (vMax <= vMin) {
        vMin -= 0.5;
        vMax += 0.5;
    }
    scaleAxis(axisX, tMin, tMax, 0.03);
    scaleAxis(axisY, vMin, vMax, 0.05);
    GleichungLabel->setText(lines.join(QLatin1Char('\n')));
}

void TDiagrammeFenster::KopierenButtonClick()
{
    QGuiApplication::clipboard()->setText(kinematicsClipboardText(m_rows, timePattern()));
}

void TDiagrammeFenster::CsvButtonClick()
{
    FileDialogOptions options;
    options.filter = QStringLiteral("CSV-Datei (*.csv)|*.csv");
    options.defaultSuffix = QStringLiteral("csv");
    options.overwritePrompt = true;
    const QString path = m_prompts->saveFile(options);
    if (path.isEmpty())
        return;
    writeOrFail(path, kinematicsCsvBytes(m_rows, timePattern()));
}

void TDiagrammeFenster::BildButtonClick()
{
    FileDialogOptions options;
    options.filter = QStringLiteral("PNG-Bild (*.png)|*.png|SVG-Grafik (*.svg)|*.svg");
    options.defaultSuffix = QStringLiteral("png");
    options.overwritePrompt = true;
    const QString path = m_prompts->saveFile(options);
    if (path.isEmpty())
        return;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        // The plot as drawings (scalable for worksheets), at the size it has on the screen.
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(DiagrammView->size());
        svg.setViewBox(QRect(QPoint(0, 0), DiagrammView->size()));
        svg.setTitle(windowTitle());
        QPainter painter(&svg);
        DiagrammView->render(&painter);
        painter.end();
    } else {
        DiagrammView->grab().save(&buffer, "PNG");
    }
    writeOrFail(path, bytes);
}

} // namespace kadro
