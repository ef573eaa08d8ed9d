#include "app/diveexport.h"

#include "divedata/csvfile.h"
#include "divedata/dive.h"
#include "divedata/divelinesio.h"

#include <algorithm>
#include <cmath>

namespace DiveExport {

std::unique_ptr<DiveLinesIO> writerFor(const QString& path, QChar csvSeparator)
{
    // Only the formats the export dialogs offer: other writable formats
    // (plans) are no export of a recorded dive.
    const DiveFileFormat* format = diveFileFormat(DiveLinesIO::fileTypeOf(path));
    if (format == nullptr || format->exportRank <= 0)
        return nullptr;
    std::unique_ptr<DiveLinesIO> writer = DiveLinesIO::createWriter(path);
    if (auto* csv = dynamic_cast<CsvFile*>(writer.get()))
        csv->setSeparator(csvSeparator);
    return writer;
}

std::optional<std::pair<qint64, qint64>> selectionRange(qint64 first, qint64 second, const Dive& dive)
{
    if (dive.lines.isEmpty())
        return std::nullopt;
    double last = 0.0;
    for (const DiveLine& line : dive.lines)
        last = std::max(last, line.timeSec);
    const auto end = qint64(std::floor(last));
    const qint64 from = std::clamp(std::min(first, second), qint64(0), end);
    const qint64 to = std::clamp(std::max(first, second), qint64(0), end);
    if (to <= from)
        return std::nullopt;
    return std::make_pair(from, to);
}

} // namespace DiveExport
