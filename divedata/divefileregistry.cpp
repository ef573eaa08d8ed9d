// The registry of dive file formats: the only place that knows which handler
// serves which suffix. A new format adds its handler file pair and fills in
// (or appends) its entry here.

#include "divedata/binaryfile.h"
#include "divedata/csvfile.h"
#include "divedata/divelinesio.h"
#include "divedata/planificator.h"
#include "divedata/uddffile.h"

#include <QCoreApplication>

const QList<DiveFileFormat>& diveFileFormats()
{
    using namespace DiveFileAbility;
    // The binary format is written by path (the tool converts to it) but not
    // handed out by createWriter; the plan stream is read and written as a
    // stream only. A CSV file is the spreadsheet export, not a profile a drop
    // can show. The export dialogs list UDDF first: it keeps the most.
    static const QList<DiveFileFormat> formats = {
        {DiveFileType::Csv, "csv", QT_TRANSLATE_NOOP("DiveFileFormat", "Csv file"), &makeDiveFileHandler<CsvFile>,
         ReadsDive | WritesDive | FactoryWriter, 2},
        {DiveFileType::Uddf, "uddf", QT_TRANSLATE_NOOP("DiveFileFormat", "UDDF file"), &makeDiveFileHandler<UddfFile>,
         ReadsDive | WritesDive | FactoryWriter | OpenedWhenDropped, 1},
        {DiveFileType::Binary, "divebin", QT_TRANSLATE_NOOP("DiveFileFormat", "Binary dive file"),
         &makeDiveFileHandler<BinaryFile>, ReadsDive | WritesDive | OpenedWhenDropped, 0},
        {DiveFileType::Plan, "diveplan", QT_TRANSLATE_NOOP("DiveFileFormat", "Dive plan stream"),
         &makeDiveFileHandler<Planificator>, FactoryWriter, 0},
    };
    return formats;
}
