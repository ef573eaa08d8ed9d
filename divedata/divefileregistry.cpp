// The registry of dive file formats: the only place that knows which handler
// serves which suffix. A new format adds its handler file pair and fills in
// (or appends) its entry here.

#include "divedata/binaryfile.h"
#include "divedata/csvfile.h"
#include "divedata/divelinesio.h"
#include "divedata/planificator.h"
#include "divedata/uddffile.h"

const QList<DiveFileFormat>& diveFileFormats()
{
    static const QList<DiveFileFormat> formats = {
        // type                  suffix      handler                             offered by createWriter
        {DiveFileType::Csv,    "csv",      &makeDiveFileHandler<CsvFile>,      true},
        {DiveFileType::Uddf,   "uddf",     &makeDiveFileHandler<UddfFile>,     true},
        {DiveFileType::Binary, "divebin",  &makeDiveFileHandler<BinaryFile>,   false},
        {DiveFileType::Plan,   "diveplan", &makeDiveFileHandler<Planificator>, true},
    };
    return formats;
}
