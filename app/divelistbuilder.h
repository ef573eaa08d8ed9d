#pragma once

#include "db/divedbtypes.h"

#include <QCoreApplication>
#include <QList>
#include <QString>

#include <array>

// One row of the dive list: a computer's header row or one dive.
struct DiveListRow
{
    bool header = false;
    int diveId = -1;                 // -1 on a header row
    std::array<QString, 4> cells;    // a header row fills cell 0 only
};

// Turns the database's dive list (serials ascending, grouped) into the rows
// and the count label the window shows. No widget here, so the grouping and
// the texts are checked without a window.
class DiveListBuilder
{
    Q_DECLARE_TR_FUNCTIONS(DiveListBuilder)

public:
    // A header row per run of one serial, followed by its dives.
    static QList<DiveListRow> rows(const QList<DiveListEntry>& dives);
    // "%1 %2 / %3 %4": computers, "Computers" or "Computer", dives, "Dives".
    static QString countLabel(int computers, int dives);
    static QStringList columnTitles();
};
