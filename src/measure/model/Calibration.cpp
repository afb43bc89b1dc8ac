#include "measure/model/Calibration.h"

#include "common/NumberFormat.h"
#include "common/Prompts.h"
#include "measure/model/MeasureFormat.h"
#include "measure/model/MeasureTexts.h"

#include <cmath>

namespace kadro {

double pixelDistance(qint64 x1, qint64 y1, qint64 x2, qint64 y2)
{
    const qint64 dx = x1 - x2;
    const qint64 dy = y1 - y2;
    // Up to 2^31 each square and their sum fit in 64 bits, and the root of an exact sum is
    // correctly rounded; beyond that (typed coordinates) hypot avoids any overflow.
    constexpr qint64 limit = qint64(1) << 31;
    if (dx > -limit && dx < limit && dy > -limit && dy < limit) {
        const quint64 sum = quint64(dx * dx) + quint64(dy * dy);
        return std::sqrt(double(sum));
    }
    return std::hypot(double(dx), double(dy));
}

void Calibration::resetForPlayerView()
{
    Calibrated = false;
    ExpectFirstPosition = true;
    SecondPositionPending = true;
    OriginSet = false;
    OriginX = 0;
    OriginY = 0;
}

DatenaufnahmeResult Calibration::startAcquisition()
{
    ExpectFirstPosition = true;
    // The panel is open again, so clicks count again: a calibrated series goes on with its
    // origin (after "Schließen" the same series takes the next points), and a calibration whose
    // origin was not clicked yet takes the next click as its origin.
    EvaluationClosed = false;
    DatenaufnahmeResult result;
    result.unitLabelsVisible = Calibrated;
    if (!Calibrated)
        result.information = kNoCalibrationText;
    return result;
}

PictureClickResult Calibration::pictureClick(PictureCoordinates at, bool videoLoaded)
{
    // A fraction told for this click only.
    struct Forget {
        ExactPosition& fraction;
        ~Forget() { fraction.set = false; }
    } forget{m_clickFraction};
    PictureClickResult result;
    result.at = at;
    if (!Calibrated) {
        if (!videoLoaded)
            return result;
        result.xText = QString::number(at.px);
        result.yText = QString::number(at.py);
        ExactPosition exact = m_clickFraction.set ? m_clickFraction : ExactPosition{double(at.px), double(at.py), true};
        exact.xText = result.xText;
        exact.yText = result.yText;
        (ExpectFirstPosition ? m_exact1 : m_exact2) = exact;
        if (ExpectFirstPosition) {
            result.action = PictureClickResult::Action::Position1;
            ExpectFirstPosition = false;
            SecondPositionPending = true;
        } else {
            result.action = PictureClickResult::Action::Position2;
            ExpectFirstPosition = true;
            SecondPositionPending = false;
        }
        return result;
    }
    if (!OriginSet) {
        if (EvaluationClosed)
            return result;
        OriginX = at.px;
        OriginY = at.py;
        OriginSet = true;
        result.action = PictureClickResult::Action::Origin;
        result.information = kStartMeasuringText;
        return result;
    }
    if (videoLoaded)
        result.action = PictureClickResult::Action::MeasuredPoint;
    return result;
}

ScaleResult Calibration::computeScale(const CalibrationFields& fields)
{
    ScaleResult result;
    if (!ExpectFirstPosition || SecondPositionPending) {
        result.information = kClickPositionsFirstText;
        return result;
    }
    const int x1 = parseInteger(fields.x1);
    const int y1 = parseInteger(fields.y1);
    const int x2 = parseInteger(fields.x2);
    const int y2 = parseInteger(fields.y2);
    const double distance = parseDecimal(fields.distance);

    double pixels = pixelDistance(x1, y1, x2, y2);
    // Positions clicked on a larger view keep their fractions while the fields show the clicks.
    const bool exact1 = m_exact1.set && fields.x1 == m_exact1.xText && fields.y1 == m_exact1.yText;
    const bool exact2 = m_exact2.set && fields.x2 == m_exact2.xText && fields.y2 == m_exact2.yText;
    if (exact1 && exact2 && pixels != 0)
        pixels = std::hypot(m_exact2.x - m_exact1.x, m_exact2.y - m_exact1.y);
    if (pixels == 0) {
        result.outcome = ScaleResult::Outcome::Refused;
        result.warning = kIdenticalPositionsText;
        return result;
    }
    const double newScale = distance / pixels;
    // A distance of 0 or below (or one so small that the quotient vanishes) would make every
    // point read 0,000 and every fit divide by zero: refused like coinciding positions.
    if (!(distance > 0) || !(newScale > 0) || !std::isfinite(newScale)) {
        result.outcome = ScaleResult::Outcome::Refused;
        result.warning = kDistanceNotPositiveText;
        return result;
    }
    Scale = newScale;
    result.outcome = ScaleResult::Outcome::Computed;
    result.scaleText = formatPattern(Scale, QStringLiteral("0.00E+00"));
    return result;
}

void Calibration::accept()
{
    Calibrated = true;
    OriginSet = false;
}

void Calibration::takeLowerLeftOrigin()
{
    OriginSet = true;
    OriginX = 0;
    OriginY = 0;
}

KalibrierenOutcome Calibration::kalibrieren(const CalibrationFields& fields, Prompts& prompts,
                                            const KalibrierenHooks& hooks)
{
    const ScaleResult computed = computeScale(fields);
    switch (computed.outcome) {
    case ScaleResult::Outcome::NotReady:
        // Both positions are missing or Position 2 is: the user is told where to click.
        prompts.information(computed.information);
        return KalibrierenOutcome::NotReady;
    case ScaleResult::Outcome::Refused:
        prompts.warning(computed.warning);
        return KalibrierenOutcome::Refused;
    case ScaleResult::Outcome::Computed:
        break;
    }
    if (hooks.showScale)
        hooks.showScale(computed.scaleText);
    if (prompts.message(BoxKind::Confirmation, kAcceptCalibrationText, {Button::Ja, Button::Abbrechen})
        != Button::Ja)
        return KalibrierenOutcome::Cancelled;
    accept();
    if (hooks.accepted)
        hooks.accepted();
    // Only "Nein" fixes the origin here; "Ja" (or a box closed without an answer) leaves the
    // next picture click to fix it.
    if (prompts.message(BoxKind::Information, kOriginQuestionText, {Button::Ja, Button::Nein}) != Button::Nein)
        return KalibrierenOutcome::AwaitingOrigin;
    takeLowerLeftOrigin();
    prompts.information(kStartMeasuringText);
    return KalibrierenOutcome::OriginLowerLeft;
}

void Calibration::renew()
{
    Calibrated = false;
    OriginSet = false;
    OriginX = 0;
    OriginY = 0;
    ExpectFirstPosition = true;
    // The positions of the old calibration are gone with their fields.
    SecondPositionPending = true;
}

Calibration::LiveTexts Calibration::liveTexts(PictureCoordinates at) const
{
    const qint64 x = dx(at.px);
    const qint64 y = dy(at.py);
    if (!Calibrated)
        return {QString::number(x), QString::number(y)};
    return {liveNumberText(x, double(x) * Scale), liveNumberText(y, double(y) * Scale)};
}

} // namespace kadro
