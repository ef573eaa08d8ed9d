#include "app/planreport.h"

#include "divedata/dive.h"

#include <algorithm>
#include <cmath>

namespace {

const QString kHeader = QStringLiteral(
    "<html><head><meta name=\"qrichtext\" content=\"1\" /><meta charset=\"utf-8\" /><style type=\"text/css\">"
    "p, li { white-space: pre-wrap; }hr { height: 1px; border-width: 0; }li.unchecked::marker { content: "
    "\"\\2610\"; }li.checked::marker { content: \"\\2612\"; }</style></head><body style=\" font-family:'Courier "
    "New'; font-size:9pt; font-weight:400; font-style:normal;\">");

const QString kParagraphStyle = QStringLiteral(
    "style=\" line-height:1em; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; "
    "-qt-block-indent:0; text-indent:0px;\"");

QString arrowName(const deco::LinePlan& record)
{
    QString name;
    switch (record.segmentType) {
    case deco::LinePlan::Descent: name = QStringLiteral("arrowD"); break;
    case deco::LinePlan::Ascent: name = QStringLiteral("arrowU"); break;
    default: name = QStringLiteral("arrowR"); break;
    }
    return record.computed ? name : name + QStringLiteral("dive");
}

// The arrow of the plain-text row.
QString directionMark(const deco::LinePlan& record)
{
    switch (record.segmentType) {
    case deco::LinePlan::Descent: return QStringLiteral("\u2193");
    case deco::LinePlan::Ascent: return QStringLiteral("\u2191");
    default: return QStringLiteral("\u2192");
    }
}

qint64 wholeNumber(float value)
{
    return std::isfinite(value) ? qint64(std::llround(std::clamp(double(value), -1e15, 1e15))) : 0;
}

} // namespace

const QString& PlanReport::header()
{
    return kHeader;
}

QString PlanReport::gasName(int gasIndex)
{
    switch (gasIndex) {
    case 0: return QStringLiteral("Air");
    case 1: return QStringLiteral("Nx40");
    case 2:
    case 3:
    case 4: return QStringLiteral("Oxy");
    default: return QString();
    }
}

QString PlanReport::nameOf(int gasIndex) const
{
    if (mGasNames.isEmpty())
        return gasIndex < 5 ? gasName(gasIndex) : QString();
    return gasIndex < mGasNames.size() ? mGasNames.at(gasIndex) : QString();
}

QString PlanReport::clockText(float minutes, bool& fromOneHour)
{
    const double seconds = std::isfinite(minutes) ? std::max(0.0, std::round(double(minutes) * 60.0)) : 0.0;
    fromOneHour = seconds >= 3600.0;
    return Dive::formatDuration(seconds);
}

bool PlanReport::add(const deco::LinePlan& record)
{
    switch (record.kind) {
    case deco::LinePlan::Reset:
        mHtml = kHeader;
        mRows.clear();
        mText.clear();
        mLastGas = -1;
        return false;
    case deco::LinePlan::Segment: {
        const QString icon = QStringLiteral("<img src = \":/TestGraphics/icons/%1.png\" style=\"vertical-align:middle\"/>")
                                 .arg(arrowName(record));
        const QString depth = QStringLiteral("%1m ").arg(double(record.depth), 6, 'g');
        QString paragraph = QStringLiteral("<p %1>%2 ").arg(kParagraphStyle, icon) + depth;
        QString row = directionMark(record) + QLatin1Char(' ') + depth;
        bool hours = false;
        const QString duration = clockText(record.duration, hours);
        row += hours ? QStringLiteral("| %1 ").arg(duration) : QStringLiteral("|    %1 ").arg(duration);
        const QString runtime = clockText(record.runtime, hours);
        if (hours) {
            row += QStringLiteral("| %1 |").arg(runtime);
        } else {
            QString gas;
            const QString name = record.gasIndex >= 0 ? nameOf(record.gasIndex) : QString();
            if (record.gasIndex != mLastGas && !name.isEmpty()) {
                gas = name;
                mLastGas = record.gasIndex;
            }
            row += QStringLiteral("|    %1 | %2").arg(runtime, gas);
        }
        paragraph += row.mid(2 + depth.size()) + QStringLiteral("</p>");
        mHtml += paragraph;
        mRows.append(paragraph);
        mText += row.trimmed() + QLatin1Char('\n');
        return false;
    }
    case deco::LinePlan::Summary:
    {
        const QString cns = QStringLiteral("CNS %1%").arg(wholeNumber(record.cns));
        const QString otu = QStringLiteral("OTU %1").arg(wholeNumber(record.otu));
        mRows.append(QStringLiteral("<p %1>").arg(kParagraphStyle) + cns);
        mRows.append(QStringLiteral("<p %1>").arg(kParagraphStyle) + otu + QStringLiteral("  "));
        mHtml += mRows.at(mRows.size() - 2) + mRows.last() + footer();
        mText += cns + QLatin1Char('\n') + otu + QLatin1Char('\n');
    }
        return true;
    default:
        return false;
    }
}
