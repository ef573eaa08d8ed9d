#pragma once

// Shared helpers of the simulation and planner tests: a recorder for the two
// callbacks and short-hand profiles.

#include "deco/diveplanner.h"

#include <QList>
#include <QStringList>

#include <initializer_list>
#include <utility>

struct PlanRecorder
{
    QList<deco::LinePlan> records;
    QStringList texts;

    void attach(deco::DivePlanner& planner)
    {
        planner.setPlanCallback([this](const deco::LinePlan& record) { records.append(record); });
        planner.setTextCallback([this](const QString& text) { texts.append(text); });
    }

    void clear()
    {
        records.clear();
        texts.clear();
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

inline bool sameRecord(const deco::LinePlan& a, const deco::LinePlan& b)
{
    return a.kind == b.kind && a.segmentType == b.segmentType && a.computed == b.computed && a.depth == b.depth
        && a.duration == b.duration && a.runtime == b.runtime && a.gasIndex == b.gasIndex && a.cns == b.cns
        && a.otu == b.otu;
}

inline bool sameRecords(const QList<deco::LinePlan>& a, const QList<deco::LinePlan>& b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (!sameRecord(a.at(i), b.at(i)))
            return false;
    }
    return true;
}
