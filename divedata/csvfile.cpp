#include "divedata/csvfile.h"

#include "divedata/dive.h"
#include "divedata/divefilelimits.h"
#include "divedata/linefields.h"
#include "divedata/safefile.h"
#include "divedata/textnumbers.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStringList>
#include <QTextStream>

#include <cmath>
#include <type_traits>

namespace {

constexpr int ProfileFields = 20;

// Writes the fields of one row, the separator between them.
class RowWriter
{
public:
    RowWriter(QTextStream& out, QChar separator)
        : m_out(out)
        , m_separator(separator)
    {
    }

    template <class Value>
    RowWriter& operator<<(const Value& value)
    {
        if (!m_first)
            m_out << m_separator;
        m_first = false;
        m_out << value;
        return *this;
    }

    void endRow()
    {
        m_out << '\n';
        m_first = true;
    }

private:
    QTextStream& m_out;
    QChar m_separator;
    bool m_first = true;
};

// A free text (a name, a serial, a firmware version) as one field: quoted as
// RFC 4180 says when it holds the separator, a quote or a line break, so that
// it cannot shift the columns; as it is otherwise.
QString textField(const QString& text, QChar separator)
{
    const bool needsQuotes = text.contains(separator) || text.contains(u'"') || text.contains(u'\n')
        || text.contains(u'\r');
    if (!needsQuotes)
        return text;
    QString quoted = text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString diveAlertText(const Dive& dive)
{
    const auto& b = dive.alertsKelvo;
    QString text;
    if ((b[0] & 0x0C) != 0)
        text += QStringLiteral("RA");
    if (b[2] >= 64)
        text += QStringLiteral("RR");
    if ((b[3] & 0x0C) != 0)
        text += QStringLiteral("Yoyo");
    if (b[3] >= 64)
        text += QStringLiteral("24H");
    return text.isEmpty() ? QStringLiteral("Aucune") : text;
}

QString lineAlertText(quint8 flag)
{
    QStringList names;
    if (flag & 0x80)
        names << QStringLiteral("D24H");
    if (flag & 0x40)
        names << QStringLiteral("Effort");
    if (flag & 0x30)
        names << QStringLiteral("Yoyo");
    if (flag & 0x08)
        names << QStringLiteral("Pmax");
    if (flag & 0x04)
        names << QStringLiteral("RR");
    if (flag & 0x03)
        names << QStringLiteral("RA");
    return names.join(u'/');
}

QString transmitterAlertText(quint8 flag)
{
    QStringList pieces;
    for (int t = 0; t < 4; ++t) {
        if (flag & (1u << t))
            pieces << QStringLiteral("Tx%1:1").arg(t);
    }
    return pieces.join(u'/');
}

QString beginText(qint64 beginTime)
{
    if (beginTime <= 0)
        return QString();
    return QDateTime::fromSecsSinceEpoch(beginTime).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

// Parses one text line of the profile format into a line; false when it has
// not exactly 20 tab-separated fields.
bool parseProfileLine(QByteArrayView text, DiveLine& line)
{
    if (text.count('\t') != ProfileFields - 1)
        return false;
    std::array<QByteArrayView, ProfileFields> fields;
    qsizetype start = 0;
    for (int i = 0; i < ProfileFields; ++i) {
        qsizetype end = text.indexOf('\t', start);
        if (end < 0)
            end = text.size();
        fields[std::size_t(i)] = text.sliced(start, end - start);
        start = end + 1;
    }
    // What is not a finite number reads as 0.
    const auto number = [&fields](int i) { return TextNumbers::valueOr(fields[std::size_t(i)], 0.0); };
    line = DiveLine();
    for (const LineFields::Field* field : LineFields::inOrder(LineFields::Format::CsvImport)) {
        const double value = number(field->csvImport);
        LineFields::visit(*field, line, [value](auto& member) {
            using T = std::decay_t<decltype(member)>;
            if constexpr (std::is_same_v<T, double>)
                member = value;
            else
                member = TextNumbers::clampedTo<T>(value);
        });
    }
    return true;
}

} // namespace

QByteArray CsvFile::exportBytes(const Dive& dive) const
{
    // With '.' between the fields a decimal point could not be told from a
    // separator: numbers then take the decimal comma.
    const bool decimalComma = m_localeSwitch == FrenchLocale || m_separator == u'.';
    QLocale locale = decimalComma ? QLocale(QLocale::French, QLocale::France) : QLocale::c();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);

    QString text;
    QTextStream out(&text);
    out.setLocale(locale);
    const QChar sep = m_separator;
    RowWriter row(out, sep);

    for (const char* title : {"Nom de l'ordinateur", "N° de plongée", "Type", "Date", "N° de série", "Mode", "Gaz",
                              "Gfs", "Type d'eau", "Patm", "Alertes", "PMax", "DTP", "PMoy", "Tmin", "Tmax",
                              "Version Fw", "OTU"})
        row << QString::fromUtf8(title);
    row.endRow();

    row << textField(dive.computerName, sep) << textField(dive.name, sep) << QStringLiteral("Brix")
        << beginText(dive.beginTime) << textField(dive.computerSerial, sep) << dive.diveModeLabel()
        << dive.gasSetName()
        << QStringLiteral("GFlow%1_GFhigh%2").arg(int(dive.gfLow)).arg(int(dive.gfHigh))
        << (dive.density == 0 ? QStringLiteral("Salée") : QStringLiteral("Douce")) << dive.surfacePressure / 1000.0
        << diveAlertText(dive) << dive.maxDepth << Dive::formatDuration(dive.maxTime) << dive.avgDepth << dive.minTemperature
        << dive.maxTemperature << textField(dive.firmwareVersion, sep) << dive.otu;
    row.endRow();

    for (const char* title : {"N° de point", "Temps(sec)", "Profondeur(m)", "Plafond déco(m)", "Température (°C)",
                              "Tension de la batterie", "Gaz", "Alerte de type CNC", "Pression bloc",
                              "Alerte pression", "GF Low", "GF High", "PpO2"})
        row << QString::fromUtf8(title);
    row.endRow();

    // The point columns: the line fields the table places, and between them
    // the point's number, its gas name and its alert texts.
    enum Derived { PointNumber = 0, GasName = 6, Alerts = 7, TransmitterAlerts = 9, PointColumns = 13 };
    const QList<const LineFields::Field*>& fields = LineFields::inOrder(LineFields::Format::CsvExport);
    const QString unknownGas = QStringLiteral("Inconnu");
    for (qsizetype i = 0; i < dive.lines.size(); ++i) {
        const DiveLine& line = dive.lines.at(i);
        qsizetype next = 0;
        for (int column = 0; column < PointColumns; ++column) {
            if (next < fields.size() && fields[next]->csvExport == column) {
                const LineFields::Field& field = *fields[next++];
                LineFields::visit(field, line, [&row, &field](const auto& value) {
                    if constexpr (std::is_same_v<std::decay_t<decltype(value)>, double>)
                        row << (field.id == LineFields::DecoCeiling && value < 0.0 ? 0.0 : value); // no negative ceiling
                    else
                        row << int(value);
                });
                continue;
            }
            switch (column) {
            case PointNumber:
                row << qint64(i);
                break;
            case GasName: {
                const bool knownGas = line.gasIndex >= 0 && line.gasIndex < dive.gases.size();
                row << (knownGas ? textField(dive.gases.at(line.gasIndex).mName, sep) : unknownGas);
                break;
            }
            case Alerts:
                row << lineAlertText(line.alertFlag);
                break;
            case TransmitterAlerts:
                row << transmitterAlertText(line.alertFlagTransmitter);
                break;
            default:
                break;
            }
        }
        row.endRow();
    }
    out.flush();

    QByteArray bytes = QByteArrayLiteral("\xEF\xBB\xBF");
    bytes += text.toUtf8();
    return bytes;
}

bool CsvFile::writeDive(const QString& path, const Dive& dive)
{
    const QByteArray bytes = exportBytes(dive);
    return saveFileAtomically(path, [&bytes](QIODevice& device) { return device.write(bytes) == bytes.size(); });
}

bool CsvFile::readProfile(QIODevice& device, QList<DiveLine>& lines)
{
    QList<DiveLine> read;
    qint64 total = 0;
    bool firstLine = true;
    bool skippingLongLine = false;
    // One buffer for every line: no allocation per line.
    QByteArray buffer(qsizetype(MaxLineBytes) + 1, Qt::Uninitialized);
    for (;;) {
        const qint64 got = device.readLine(buffer.data(), buffer.size());
        if (got <= 0) {
            // End of data, or an error of the device.
            if (!device.atEnd())
                return false;
            break;
        }
        total += got;
        if (total > MaxFileBytes)
            return false;
        QByteArrayView text(buffer.constData(), qsizetype(got));
        const bool complete = text.endsWith('\n') || device.atEnd();
        if (skippingLongLine) {
            // The rest of a line longer than MaxLineBytes.
            skippingLongLine = !complete;
            continue;
        }
        if (!complete) {
            skippingLongLine = true;
            continue;
        }
        if (firstLine && text.startsWith("\xEF\xBB\xBF"))
            text = text.sliced(3);
        firstLine = false;
        while (!text.isEmpty() && (text.back() == '\n' || text.back() == '\r'))
            text.chop(1);
        DiveLine line;
        if (!parseProfileLine(text, line))
            continue;
        if (read.size() >= MaxLines)
            return false;
        read.append(line);
    }
    lines.append(read);
    return true;
}

bool CsvFile::readDive(const QString& path, Dive& dive)
{
    clearReadProblem();
    QFile file;
    if (!openRegularFile(path, file))
        return refuseUnread(path);
    QList<DiveLine> lines;
    if (!readProfile(file, lines))
        return refuse(ReadProblem::Damaged);
    // A text without a single profile row (an export of this program, any
    // other text) holds no dive.
    if (lines.isEmpty())
        return refuse(ReadProblem::NoProfile);
    if (!DiveFileLimits::linesAreSane(lines))
        return refuse(ReadProblem::OutOfLimits);
    dive.lines.append(lines);
    dive.name = QFileInfo(path).completeBaseName();
    return true;
}
