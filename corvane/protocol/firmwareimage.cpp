#include "corvane/protocol/firmwareimage.h"

#include "corvane/protocol/frame.h"

#include <QStringList>
#include <QtEndian>

namespace FirmwareImage {

namespace {

quint32 wordAt(const QByteArray& bytes, qsizetype offset)
{
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

void appendWord(QByteArray& bytes, quint32 value)
{
    char raw[4];
    qToLittleEndian(value, raw);
    bytes.append(raw, 4);
}

QString lastPart(const QString& fileName)
{
    const qsizetype slash = qMax(fileName.lastIndexOf(QLatin1Char('/')), fileName.lastIndexOf(QLatin1Char('\\')));
    return fileName.mid(slash + 1);
}

// One numeric field of a version: its value, 0 for a field that is no
// number, -1 for a number that does not fit 8 bits.
int numberField(const QString& field)
{
    bool digits = !field.isEmpty();
    for (const QChar c : field)
        digits = digits && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    if (!digits)
        return 0;
    bool ok = false;
    const qulonglong value = field.toULongLong(&ok);
    return ok && value <= 255 ? int(value) : -1;
}

} // namespace

bool versionFromFileName(const QString& fileName, quint32& version)
{
    const QString name = lastPart(fileName);
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    const QStringList fields = dot < 0 ? QStringList() : name.mid(dot + 1).split(QLatin1Char('.'));
    version = 0;
    for (int i = 0; i < 3 && i < fields.size(); ++i) {
        const int value = numberField(fields.at(i));
        if (value < 0)
            return false;
        version |= quint32(value) << (24 - 8 * i);
    }
    if (fields.size() > 3 && !fields.at(3).isEmpty()) {
        const char16_t letter = fields.at(3).at(0).unicode();
        if (letter > 255)
            return false;
        version |= letter;
    }
    return true;
}

QByteArray description(const QByteArray& name, quint32 version, const QByteArray& image)
{
    QByteArray bytes = name.left(kNameSize);
    bytes.append(kNameSize - bytes.size(), '\0');
    appendWord(bytes, version);
    appendWord(bytes, quint32(image.size()));
    appendWord(bytes, KelvoFrame::crc16(image));
    return bytes;
}

Inspection inspect(const QByteArray& image, const QString& fileName)
{
    Inspection result;
    if (image.size() < kMinimumSize) {
        result.problem = QStringLiteral("the image has %1 bytes, fewer than %2").arg(image.size()).arg(kMinimumSize);
        return result;
    }
    if (image.size() > kMaximumSize) {
        result.problem = QStringLiteral("the image has %1 bytes, more than %2").arg(image.size()).arg(kMaximumSize);
        return result;
    }
    switch (wordAt(image, kHeaderOffset)) {
    case 0: {
        result.kind = Kind::Headerless;
        const QString name = lastPart(fileName);
        const QByteArray imageName = name.left(name.indexOf(QLatin1Char('.'))).toUtf8();
        if (imageName.size() > kNameSize) {
            result.problem = QStringLiteral("the image name \"%1\" is longer than %2 bytes")
                                 .arg(QString::fromUtf8(imageName))
                                 .arg(kNameSize);
            return result;
        }
        if (!versionFromFileName(name, result.version)) {
            result.problem = QStringLiteral("the version in \"%1\" does not fit its fields").arg(name);
            return result;
        }
        result.opening = description(imageName, result.version, image);
        return result;
    }
    case kApplicationMagic:
        result.kind = Kind::Application;
        break;
    case kBootloaderMagic:
        result.kind = Kind::Bootloader;
        break;
    default:
        return result; // unknown magic: Kind::Unknown, told by the caller
    }
    result.version = wordAt(image, kHeaderOffset + 8);
    result.opening = image.mid(kHeaderOffset, kHeaderSize);
    return result;
}

} // namespace FirmwareImage
