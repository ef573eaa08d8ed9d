#include "divedata/dive.h"

#include <QDateTime>
#include <QTimeZone>

#include <algorithm>
#include <cfloat>
#include <cmath>

void Dive::clear()
{
    // The manufacturer, the upload flag, the diver mode and the gas set describe
    // the computer rather than one dive: they survive a reset.
    const QString manufacturer = computerManufacturer;
    const bool wasUploaded = uploaded;
    const quint8 mode = diverMode;
    const quint16 set = gasSet;
    *this = Dive();
    computerManufacturer = manufacturer;
    uploaded = wasUploaded;
    diverMode = mode;
    gasSet = set;
}

void Dive::computeStatistics()
{
    maxTime = 0.0;
    minTemperature = DBL_MAX;
    maxTemperature = -DBL_MAX;
    maxDepth = 0.0;
    avgDepth = 0.0;
    minTankPressure = 65535;
    maxTankPressure = 0;
    double depthSum = 0.0;
    qsizetype count = 0;
    qsizetype deepest = -1;

    for (qsizetype i = 0; i < lines.size(); ++i) {
        DiveLine& line = lines[i];
        line.deepestPoint = false;
        maxTime = std::max(maxTime, line.timeSec);
        if (line.depth > maxDepth) {
            // Only the line that held the flag needs clearing: the flag ends on
            // the first line that reaches the maximum.
            if (deepest >= 0)
                lines[deepest].deepestPoint = false;
            maxDepth = line.depth;
            line.deepestPoint = true;
            deepest = i;
        }
        if (line.ambientTemp > 0.0) {
            minTemperature = std::min(minTemperature, line.ambientTemp);
            maxTemperature = std::max(maxTemperature, line.ambientTemp);
        }
        if (line.tankPressure != 0) {
            minTankPressure = std::min(minTankPressure, line.tankPressure);
            maxTankPressure = std::max(maxTankPressure, line.tankPressure);
        }
        depthSum += line.depth;
        ++count;
    }

    if (!decoLines.isEmpty()) {
        for (const DiveLine& line : std::as_const(decoLines)) {
            maxTime = std::max(maxTime, line.timeSec);
            depthSum += line.depth;
            ++count;
        }
        ascentTime = decoLines.last().timeSec - decoLines.first().timeSec;
        double stopTime = 0.0;
        for (qsizetype i = 1; i < decoLines.size(); ++i) {
            if (std::fabs(decoLines[i].depth - decoLines[i - 1].depth) < 0.01)
                stopTime += decoLines[i].timeSec - decoLines[i - 1].timeSec;
        }
        totalDecoTime = stopTime;
    }

    for (const DiveLine& line : std::as_const(overlayLines))
        maxTime = std::max(maxTime, line.timeSec);

    if (count > 0)
        avgDepth = depthSum / double(count);
    if (minTemperature == DBL_MAX)
        minTemperature = 0.0;
    if (maxTemperature == -DBL_MAX)
        maxTemperature = 0.0;

    if (beginTime >= 1 && maxTime > 0.0 && endTime <= beginTime)
        endTime = beginTime + qint64(maxTime);
}

void Dive::refreshDerived(CeilingCurve ceiling)
{
    computeStatistics();
    recomputeDerived(false);
    if (ceiling == CeilingCurve::Rebuild)
        rebuildCeilingProfile();
}

void Dive::computeSpeeds(QList<DiveLine>& list)
{
    if (list.isEmpty())
        return;
    list[0].speed = 0.0;
    for (qsizetype i = 1; i < list.size(); ++i) {
        const double dt = list[i].timeSec - list[i - 1].timeSec;
        list[i].speed = dt > 0.0 ? (list[i].depth - list[i - 1].depth) * 60.0 / dt : 0.0;
    }
}

void Dive::recomputeDerived(bool skipMainProfile)
{
    if (!skipMainProfile)
        computeSpeeds(lines);
    computeSpeeds(decoLines);
}

void Dive::rebuildCeilingProfile()
{
    ceilingProfile.clear();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const DiveLine& line = lines[i];
        if (!(line.decoCeiling > 0.0)) // none, or not a number
            continue;
        if (ceilingProfile.isEmpty()) {
            const double startTime = i > 0 ? lines[i - 1].timeSec : 0.0;
            ceilingProfile.append(CurvePoint{float(startTime), 0.0f, 0});
        }
        ceilingProfile.append(CurvePoint{float(line.timeSec), float(line.decoCeiling), 0});
    }
}

void Dive::fillGasIndexes()
{
    qint32 current = 0;
    for (DiveLine& line : lines) {
        if (line.gasIndex >= 0)
            current = line.gasIndex;
        else
            line.gasIndex = current;
    }
}

void Dive::computePelagonAlertSummary()
{
    std::array<quint8, 3> summary{};
    for (const DiveLine& line : std::as_const(lines)) {
        const auto& a = line.pelagonAlerts;
        // Byte 0: four 2-bit levels, the highest level reached wins.
        quint8 byte0 = 0;
        for (int shift = 0; shift < 8; shift += 2) {
            const quint8 mine = (summary[0] >> shift) & 0x3;
            const quint8 theirs = (a[0] >> shift) & 0x3;
            byte0 |= quint8(std::max(mine, theirs) << shift);
        }
        summary[0] = byte0;
        // Byte 1: a 2-bit level in bits 0-1, flags in bits 2-5, bits 6-7 unused.
        const quint8 level = std::max<quint8>(summary[1] & 0x3, a[1] & 0x3);
        summary[1] = quint8(level | ((summary[1] | a[1]) & 0x3C));
        // Byte 2: flags.
        summary[2] |= a[2];
    }
    alertsPelagon = summary;
}

double Dive::depthAt(double time) const
{
    if (lines.isEmpty())
        return 0.0;
    if (lines.size() == 1)
        return lines.first().depth;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const DiveLine& a = lines[i - 1];
        const DiveLine& b = lines[i];
        if (a.timeSec <= time && time <= b.timeSec) {
            const double span = b.timeSec - a.timeSec;
            if (span == 0.0)
                return a.depth;
            return a.depth + (b.depth - a.depth) * (time - a.timeSec) / span;
        }
    }
    return lines.last().depth;
}

Dive Dive::extractPortion(qint64 from, qint64 to) const
{
    Dive portion;
    if (lines.isEmpty())
        return portion;

    const double d1 = depthAt(double(from));
    const double d2 = depthAt(double(to));
    const double descent = std::trunc(2.0 * d1); // 30 m/min down to the first kept depth
    const double ascent = std::trunc(6.0 * d2);  // 10 m/min up from the last kept depth

    const qsizetype last = lines.size() - 1;
    qsizetype i0 = last;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (lines[i].timeSec > double(from)) {
            i0 = i;
            break;
        }
    }
    qsizetype i1 = last;
    for (qsizetype j = 1; j < lines.size(); ++j) {
        if (lines[j].timeSec >= double(to)) {
            i1 = j - 1;
            break;
        }
    }

    portion.gases = gases;
    portion.density = density;
    portion.computerName = computerName;
    portion.format = PlannedProfile;

    portion.lines.append(lines.first());
    DiveLine start;
    start.timeSec = descent;
    start.depth = d1;
    portion.lines.append(start);
    for (qsizetype i = i0; i <= i1; ++i) {
        DiveLine line = lines[i];
        line.timeSec = line.timeSec - double(from) + descent;
        portion.lines.append(line);
    }
    const double end = descent - double(from) + double(to);
    DiveLine bottomEnd;
    bottomEnd.timeSec = end;
    bottomEnd.depth = d2;
    portion.lines.append(bottomEnd);
    DiveLine surface;
    surface.timeSec = end + ascent;
    portion.lines.append(surface);

    // The portion starts without a ceiling curve, as a planned profile does.
    portion.refreshDerived(CeilingCurve::Keep);
    return portion;
}

QString Dive::dateText() const
{
    return QDateTime::fromSecsSinceEpoch(beginTime, QTimeZone::utc()).toString(QStringLiteral("dd/MM/yyyy HH:mm"));
}

QString Dive::durationText() const
{
    return formatDuration(double(endTime - beginTime));
}

QString Dive::formatDuration(double seconds)
{
    const qint64 d = std::isfinite(seconds) && seconds > 0.0 ? qint64(std::min(seconds, 1e12)) : 0;
    const QChar zero(u'0');
    if (d < 3600)
        return QStringLiteral("%1:%2").arg(d / 60, 2, 10, zero).arg(d % 60, 2, 10, zero);
    return QStringLiteral("%1:%2:%3")
        .arg(d / 3600, 2, 10, zero)
        .arg((d / 60) % 60, 2, 10, zero)
        .arg(d % 60, 2, 10, zero);
}

QString Dive::gasSetName() const
{
    switch (gasSet) {
    case 0: return QStringLiteral("None");
    case 1: return QStringLiteral("Air");
    case 2: return QStringLiteral("Nx30");
    case 4: return QStringLiteral("Nx40");
    case 9: return QStringLiteral("Air + VidAD");
    case 17: return QStringLiteral("Air + ZezUR");
    case 32: return QStringLiteral("Oxy");
    case 64: return QStringLiteral("Nx60");
    case 128: return QStringLiteral("Nx50");
    case 256: return QStringLiteral("Nx40");
    case 1280: return QStringLiteral("Nx40 + Oxy");
    case 1536: return QStringLiteral("Nx30 + Oxy");
    case 2080: return QStringLiteral("Nx60 Oxymix");
    default: return QStringLiteral("Inconnu");
    }
}

QString Dive::diveModeLabel() const
{
    QString label = diverMode == 0 ? QStringLiteral("PLB") : QStringLiteral("PLS");
    if (divemode == 0)
        label += QStringLiteral(" OC");
    return label;
}
