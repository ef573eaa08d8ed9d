#include "app/syslogfile.h"

#include "divedata/safefile.h"

#include <QIODevice>
#include <QtEndian>

namespace SyslogFile {

QByteArray textForm(const QDateTime& extraction, const QString& computerModel, const QString& serialNumber,
                    const QString& log)
{
    QString text = QStringLiteral("-------------------- SYSLOG HEADER --------------------\n");
    text += QStringLiteral("Extraction date: ") + extraction.toLocalTime().toString(QStringLiteral("dd/MM/yyyy_hh:mm:ss"))
            + QLatin1Char('\n');
    text += QStringLiteral("Computer model: ") + computerModel + QLatin1Char('\n');
    text += QStringLiteral("Serial number: ") + serialNumber + QLatin1Char('\n');
    text += QStringLiteral("-------------------- SYSLOG BODY --------------------\n");
    text += log;
    return text.toUtf8().toBase64();
}

QByteArray binaryForm(const QList<SyslogBinRecord>& records)
{
    constexpr int kRecordSize = 24;
    QByteArray bytes("SysLogBinary");
    const qsizetype start = bytes.size();
    bytes.resize(start + records.size() * kRecordSize, '\0');
    char* out = bytes.data() + start;
    for (const SyslogBinRecord& record : records) {
        qToLittleEndian(quint64(record.time), out);
        out[8] = char(record.type);
        qToLittleEndian(quint32(record.value1), out + 12);
        qToLittleEndian(quint32(record.value2), out + 16);
        out += kRecordSize;
    }
    return bytes;
}

bool write(const QString& path, const QByteArray& bytes)
{
    return saveFileAtomically(path, [&bytes](QIODevice& device) { return device.write(bytes) == bytes.size(); });
}

} // namespace SyslogFile
