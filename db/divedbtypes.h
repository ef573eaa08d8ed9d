#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTime>

// What the dive list may be restricted to. The main window keeps one and the
// filter dialog edits it.
struct DiveFilter
{
    bool byComputer = false;     // keep only the serials below
    QStringList serials;         // none: no dive is kept
    bool byDate = false;         // keep dives from the day of startDate on
    QDateTime startDate;
    bool hasEndDate = false;     // and up to the day of endDate, that day included
    QDateTime endDate;
    bool byTime = false;         // with byDate: keep dives whose local start time of
    QTime startTime;             // day lies between startTime and endTime; a range
    QTime endTime;               // whose start is after its end crosses midnight
};

// One line of the dive list.
struct DiveListEntry
{
    int diveId = 0;
    QString name;
    QString serial;
    QDateTime dateTime;          // start of the dive, local date and time with its UTC offset
    QString computerName;
    double duration = 0.0;       // s, the largest profile time
    double maxDepth = 0.0;       // m, the largest profile depth
    int gfLow = 0;
    int gfHigh = 0;
};

// The user's notes on where and with whom a dive was made.
struct DivePlace
{
    QString place;
    QString site;
    QString buddy;
};
