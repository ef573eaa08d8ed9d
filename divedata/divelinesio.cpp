#include "divedata/divelinesio.h"

#include "divedata/dive.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>

namespace {

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

bool DiveLinesIO::refuseUnread(const QString& path)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return refuse(ReadProblem::NotAFile);
    if (!info.exists() || !info.isReadable())
        return refuse(ReadProblem::CannotOpen);
    return refuse(ReadProblem::Damaged);
}

bool DiveLinesIO::readDives(const QString& path, QList<Dive>& dives)
{
    Dive dive;
    if (!readDive(path, dive))
        return false;
    dives.append(std::move(dive));
    return true;
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
    return create(diveFileFormat(fileTypeOf(path)));
}

std::unique_ptr<DiveLinesIO> DiveLinesIO::createWriter(const QString& path)
{
    const DiveFileFormat* format = diveFileFormat(fileTypeOf(path));
    if (format == nullptr || !format->has(DiveFileAbility::FactoryWriter))
        return nullptr;
    return create(format);
}

std::unique_ptr<DiveLinesIO> DiveLinesIO::createByType(int type)
{
    return create(diveFileFormat(type));
}

bool DiveLinesIO::writeDiveFile(const QString& path, const Dive& dive)
{
    const std::unique_ptr<DiveLinesIO> writer = createWriter(path);
    return writer != nullptr && writer->writeDive(path, dive);
}

QString DiveFileFormat::translatedName() const
{
    return QCoreApplication::translate("DiveFileFormat", displayName);
}

const DiveFileFormat* diveFileFormat(int type)
{
    for (const DiveFileFormat& format : diveFileFormats()) {
        if (format.type == type)
            return &format;
    }
    return nullptr;
}

QList<const DiveFileFormat*> diveFileFormats(DiveFileDialog dialog)
{
    QList<const DiveFileFormat*> offered;
    for (const DiveFileFormat& format : diveFileFormats()) {
        if (dialog == DiveFileDialog::Open ? format.has(DiveFileAbility::ReadsDive) : format.exportRank > 0)
            offered.append(&format);
    }
    if (dialog == DiveFileDialog::Export) {
        std::stable_sort(offered.begin(), offered.end(),
                         [](const DiveFileFormat* a, const DiveFileFormat* b) { return a->exportRank < b->exportRank; });
    }
    return offered;
}

QString diveFileDialogFilter(DiveFileDialog dialog)
{
    const QList<const DiveFileFormat*> offered = diveFileFormats(dialog);
    QStringList patterns;
    QStringList filters;
    for (const DiveFileFormat* format : offered) {
        const QString pattern = QStringLiteral("*.") + QLatin1String(format->suffix);
        patterns.append(pattern);
        filters.append(QStringLiteral("%1 (%2)").arg(format->translatedName(), pattern));
    }
    filters.prepend(QStringLiteral("%1 (%2)").arg(QCoreApplication::translate("DiveFileFormat", "Dive file"),
                                                  patterns.join(u' ')));
    return filters.join(QStringLiteral(";;"));
}
