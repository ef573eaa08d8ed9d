#include "divedata/divelinesio.h"

#include <QFileInfo>

namespace {

const DiveFileFormat* formatByType(int type)
{
    for (const DiveFileFormat& format : diveFileFormats()) {
        if (format.type == type)
            return &format;
    }
    return nullptr;
}

std::unique_ptr<DiveLinesIO> create(const DiveFileFormat* format)
{
    if (format == nullptr || format->create == nullptr)
        return nullptr;
    return format->create();
}

} // namespace

DiveLinesIO::~DiveLinesIO() = default;

bool DiveLinesIO::readStream(QDataStream&, Dive&)
{
    return false;
}

bool DiveLinesIO::readDive(const QString&, Dive&)
{
    return false;
}

bool DiveLinesIO::writeStream(QDataStream&, const Dive&)
{
    return false;
}

bool DiveLinesIO::writeDive(const QString&, const Dive&)
{
    return false;
}

int DiveLinesIO::fileTypeOf(const QString& path)
{
    // QFileInfo takes the suffix from the file name only, so a dot in a folder
    // name does not count.
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix.isEmpty())
        return DiveFileType::Unknown;
    for (const DiveFileFormat& format : diveFileFormats()) {
        if (suffix == QLatin1String(format.suffix))
            return format.type;
    }
    return DiveFileType::Unknown;
}

std::unique_ptr<DiveLinesIO> DiveLinesIO::createReader(const QString& path)
{
    return create(formatByType(fileTypeOf(path)));
}

std::unique_ptr<DiveLinesIO> DiveLinesIO::createWriter(const QString& path)
{
    const DiveFileFormat* format = formatByType(fileTypeOf(path));
    if (format == nullptr || !format->offeredForWriting)
        return nullptr;
    return create(format);
}

std::unique_ptr<DiveLinesIO> DiveLinesIO::createByType(int type)
{
    return create(formatByType(type));
}

bool DiveLinesIO::writeDiveFile(const QString& path, const Dive& dive)
{
    const std::unique_ptr<DiveLinesIO> writer = createWriter(path);
    return writer != nullptr && writer->writeDive(path, dive);
}
