#pragma once

// Shared helpers of the simulation and planner tests: a planner whose two
// callbacks are recorded, and short-hand profiles.

#include "deco/diveplanner.h"

#include <QList>
#include <QStringList>

#include <algorithm>
#include <initializer_list>
#include <utility>

// Profile lines from (seconds, metres) pairs, all naming gas 0.
inline QList<DiveLine> profile(std::initializer_list<std::pair<double, double>> points)
{
    QList<DiveLine> lines;
    for (const auto& [time, depth] : points) {
        DiveLine line;
        line.timeSec = time;
        line.depth = depth;
        line.gasIndex = 0;
        lines.append(line);
    }
    return lines;
}

struct RecordedPlanner
{
    deco::DivePlanner planner;
    QList<deco::LinePlan> records;
    QStringList texts;

    explicit RecordedPlanner(int filledSlots = 0)
    {
        planner.setPlanCallback([this](const deco::LinePlan& record) { records.append(record); });
        planner.setTextCallback([this](const QString& text) { texts.append(text); });
        for (int i = 0; i < filledSlots; ++i)
            planner.addDive();
    }

    deco::PlannedDive& slot() { return *planner.currentSlot(); }
    Dive& dive() { return *planner.currentDive(); }

    // The current slot gets these lines and is simulated again.
    QList<deco::LinePlan> run(const QList<DiveLine>& lines,
                              const std::optional<deco::GradientFactors>& gf = std::nullopt)
    {
        dive().lines = lines;
        records.clear();
        texts.clear();
        planner.simulateCurrentDive(gf);
        return records;
    }

    // The record kinds in order, e.g. "0 1 1 1 2".
    QString kinds() const
    {
        QStringList out;
        for (const deco::LinePlan& r : records)
            out.append(QString::number(r.kind));
        return out.join(' ');
    }

    QList<deco::LinePlan> computed() const
    {
        QList<deco::LinePlan> out;
        for (const deco::LinePlan& r : records) {
            if (r.kind == deco::LinePlan::Segment && r.computed)
                out.append(r);
        }
        return out;
    }
};

inline bool sameRecords(const QList<deco::LinePlan>& a, const QList<deco::LinePlan>& b)
{
    auto same = [](const deco::LinePlan& x, const deco::LinePlan& y) {
        return x.kind == y.kind && x.segmentType == y.segmentType && x.computed == y.computed && x.depth == y.depth
            && x.duration == y.duration && x.runtime == y.runtime && x.gasIndex == y.gasIndex && x.cns == y.cns
            && x.otu == y.otu;
    };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), same);
}
