#include "app/divefileimport.h"

#include "db/divedb.h"

#include <memory>

bool DiveFileImport::read(const QString& path, QList<Dive>& dives, QString& message)
{
    const std::unique_ptr<DiveLinesIO> reader = DiveLinesIO::createReader(path);
    QList<Dive> read;
    if (!reader || !reader->readDives(path, read)) {
        message = tr("Impossible to open file");
        switch (reader ? reader->readProblem() : DiveLinesIO::ReadProblem::None) {
        case DiveLinesIO::ReadProblem::NotAFile:
            message += QLatin1Char('\n') + tr("It is not a regular file.");
            break;
        case DiveLinesIO::ReadProblem::NoProfile:
            message += QLatin1Char('\n') + tr("It holds no dive: not a single profile line could be read.");
            break;
        case DiveLinesIO::ReadProblem::OutOfLimits:
            message += QLatin1Char('\n') + tr("It holds impossible values (depths, times or gases).");
            break;
        default:
            break;
        }
        return false;
    }
    for (Dive& dive : read) {
        dive.refreshDerived();
    }
    dives.append(std::move(read));
    return true;
}

DiveFileImport::StoreReport DiveFileImport::storeAll(const QList<Dive>& dives)
{
    StoreReport report;
    DiveDb* db = DiveDb::instance();
    for (const Dive& dive : dives) {
        int diveId = -1;
        switch (db->insertDive(dive, &diveId)) {
        case DiveDb::Stored:
            if (report.stored++ == 0)
                report.firstStoredId = diveId;
            break;
        case DiveDb::DiveExists:
            ++report.alreadyStored;
            break;
        case DiveDb::NotOpen:
            if (report.failed++ == 0)
                report.firstError = tr("Database not open");
            break;
        default:
            if (report.failed++ == 0)
                report.firstError = db->lastError();
            break;
        }
    }
    return report;
}

QString DiveFileImport::reportText(const StoreReport& report, qsizetype total)
{
    QString text = tr("%1 of %2 dives stored.").arg(report.stored).arg(total);
    if (report.alreadyStored > 0)
        text += QLatin1Char('\n') + tr("%1 already in the logbook.").arg(report.alreadyStored);
    if (report.failed > 0)
        text += QLatin1Char('\n') + tr("%1 could not be stored: %2").arg(report.failed).arg(report.firstError);
    return text;
}
