#pragma once

#include "divedata/dive.h"
#include "divedata/divelinesio.h"

#include <QCoreApplication>
#include <QList>
#include <QString>

// Reading a dive file for the logbook window and storing the dives of a file
// that holds several (a UDDF logbook export). No widgets: the window asks the
// questions and shows the texts.
class DiveFileImport
{
    Q_DECLARE_TR_FUNCTIONS(DiveFileImport)

public:
    // The dives of the file, their derived values up to date; false with a
    // message for the user (the first line "Impossible to open file").
    static bool read(const QString& path, QList<Dive>& dives, QString& message);

    struct StoreReport
    {
        int stored = 0;
        int alreadyStored = 0; // same name and serial as a dive in the logbook
        int failed = 0;
        QString firstError;
        int firstStoredId = -1;
    };
    // Stores each dive in the logbook, each checked for a copy as usual.
    static StoreReport storeAll(const QList<Dive>& dives);
    // The report as the window shows it.
    static QString reportText(const StoreReport& report, qsizetype total);
};
