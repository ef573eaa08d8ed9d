// Storing, loading, changing and deleting dives.

#include "db/divedb.h"
#include "db/divedbtransaction.h"
#include "divedata/divefilelimits.h"

#include "divedata/dive.h"
#include "divedata/linefields.h"

#include <QByteArray>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

#include <cmath>
#include <iterator>
#include <type_traits>

namespace {

QSqlDatabase connection()
{
    return QSqlDatabase::database(QSqlDatabase::defaultConnection, false);
}

// The 16 tissue tensions as a 32-byte blob, two bytes each, low byte first.
QByteArray packTensions(const std::array<quint16, 16>& values)
{
    QByteArray blob(int(values.size() * 2), '\0');
    for (std::size_t i = 0; i < values.size(); ++i) {
        blob[int(2 * i)] = char(values[i] & 0xFF);
        blob[int(2 * i + 1)] = char(values[i] >> 8);
    }
    return blob;
}

// Reads as many whole values as the blob holds (up to 16); the rest stay 0.
std::array<quint16, 16> unpackTensions(const QByteArray& blob)
{
    std::array<quint16, 16> values{};
    const std::size_t count = std::min<std::size_t>(values.size(), std::size_t(blob.size()) / 2);
    for (std::size_t i = 0; i < count; ++i) {
        const auto low = quint8(blob.at(int(2 * i)));
        const auto high = quint8(blob.at(int(2 * i + 1)));
        values[i] = quint16(low | (high << 8));
    }
    return values;
}

// The dive's alert summary as one unsigned number, little-endian: the four
// bytes of a Kelvo computer's summary, else the three of a Pelagon one.
qint64 packAlertSummary(const Dive& dive)
{
    quint32 packed = 0;
    if (dive.computerModel == ComputerModel::Kelvo) {
        for (int i = 0; i < 4; ++i)
            packed |= quint32(dive.alertsKelvo[std::size_t(i)]) << (8 * i);
    } else {
        for (int i = 0; i < 3; ++i)
            packed |= quint32(dive.alertsPelagon[std::size_t(i)]) << (8 * i);
    }
    return qint64(packed);
}

qint64 packLineAlerts(const std::array<quint8, 3>& bytes)
{
    return qint64(bytes[0]) | (qint64(bytes[1]) << 8) | (qint64(bytes[2]) << 16);
}

std::array<quint8, 3> unpackLineAlerts(qint64 value)
{
    return {quint8(value & 0xFF), quint8((value >> 8) & 0xFF), quint8((value >> 16) & 0xFF)};
}

// Profile rows written before "alertPelagon" existed carry the Pelagon alerts
// in the computer's alert byte (F) and the transmitter's (A) only.
std::array<quint8, 3> pelagonAlertsFromFlags(quint8 f, quint8 a)
{
    std::array<quint8, 3> out{};
    const auto bit = [](quint8 value, int n) { return (value >> n) & 1; };
    if (bit(f, 1))
        out[0] |= 0x03;
    if (bit(f, 2))
        out[0] |= 0x0C;
    if (bit(f, 3))
        out[0] |= 0x30;
    if (bit(f, 6))
        out[0] |= 0xC0;
    if (bit(f, 7))
        out[1] |= 0x03;
    if (bit(f, 0))
        out[1] |= 0x04;
    if (bit(f, 4))
        out[1] |= 0x08;
    if (bit(f, 5))
        out[1] |= 0x10;
    for (int i = 0; i < 4; ++i) {
        if ((a >> (2 * i)) & 0x3)
            out[2] |= quint8(1 << (2 * i));
    }
    return out;
}

int percent(float fraction)
{
    return int(std::lround(double(fraction) * 100.0));
}

const char* const kInsertDive =
    "INSERT INTO dives (diveid, name, computer, datetime, serial, period, alerts, alertsAI, divermode, divemode, "
    "ocdivemode, gfslow, gfshigh, waterdensity, psurf, computertype, firmwareversion, place, site, buddy, diveNumber, "
    "uploaded, gasSet, diverN2, diverHe) VALUES (:diveid, :name, :computer, :datetime, :serial, :period, :alerts, "
    ":alertsAI, :divermode, :divemode, :ocdivemode, :gfslow, :gfshigh, :waterdensity, :psurf, :computertype, "
    ":firmwareversion, :place, :site, :buddy, :diveNumber, :uploaded, :gasSet, :diverN2, :diverHe)";

const char* const kInsertGas =
    "INSERT INTO gases (diveid, gasid, o2, he, gasClass) VALUES (:diveid, :gasid, :o2, :he, :gasClass)";

const char* const kSelectDive =
    "SELECT diveid, name, computer, datetime, serial, period, divermode, divemode, ocdivemode, gfslow, gfshigh, "
    "waterdensity, psurf, alerts, alertsAI, computertype, gasSet, firmwareversion, place, site, buddy, diveNumber, "
    "uploaded, diverN2, diverHe FROM dives WHERE diveid=:diveid";

const char* const kSelectGases = "SELECT gasid, o2, he, gasClass FROM gases WHERE diveid=:diveid ORDER BY gasid";

// The profiles columns: the line fields the logbook stores, in the field
// table's order, then the alert bytes of a Pelagon line packed in one.
const char* const kPackedAlertsColumn = "alertPelagon";

QStringList lineColumns()
{
    QStringList columns;
    for (const LineFields::Field* field : LineFields::inOrder(LineFields::Format::Logbook))
        columns << QLatin1String(field->column);
    columns << QLatin1String(kPackedAlertsColumn);
    return columns;
}

QString insertLineStatement()
{
    const QStringList columns = QStringList{QStringLiteral("diveid"), QStringLiteral("pointid")} + lineColumns();
    QStringList placeholders;
    for (const QString& column : columns)
        placeholders << QLatin1Char(':') + column;
    return QStringLiteral("INSERT INTO profiles (%1) VALUES (%2)")
        .arg(columns.join(QStringLiteral(", ")), placeholders.join(QStringLiteral(", ")));
}

QString selectLinesStatement()
{
    return QStringLiteral("SELECT %1 FROM profiles WHERE diveid=:diveid ORDER BY pointid")
        .arg(lineColumns().join(QStringLiteral(", ")));
}

// Placeholder names of a statement, made once. Binding by name is a hash
// look-up; binding by position makes Qt format a name for every value.
template <std::size_t N>
std::array<QString, N> placeholders(const char* const (&names)[N])
{
    std::array<QString, N> out;
    for (std::size_t i = 0; i < N; ++i)
        out[i] = QLatin1Char(':') + QLatin1String(names[i]);
    return out;
}

const char* const kDiveNames[] = {
    "diveid", "name", "computer", "datetime", "serial", "period", "alerts", "alertsAI", "divermode",
    "divemode", "ocdivemode", "gfslow", "gfshigh", "waterdensity", "psurf", "computertype", "firmwareversion",
    "place", "site", "buddy", "diveNumber", "uploaded", "gasSet", "diverN2", "diverHe",
};

bool bindDiveRow(QSqlQuery& query, int diveId, const Dive& dive, const QString& name, const QString& computer,
                 const QString& serial)
{
    static const auto names = placeholders(kDiveNames);
    // In the order of kDiveNames.
    const QVariant values[] = {
        diveId,
        name,
        computer,
        qlonglong(dive.beginTime),
        serial,
        int(dive.samplePeriod),
        qlonglong(packAlertSummary(dive)),
        int(dive.alertsAI),
        int(dive.diverMode),
        int(dive.divemode),
        int(dive.ocdivemode),
        int(dive.gfLow),
        int(dive.gfHigh),
        int(dive.density),
        int(dive.surfacePressure),
        int(dive.computerModel),
        dive.firmwareVersion,
        dive.place,
        dive.site,
        dive.buddy,
        int(dive.diveNumber),
        dive.uploaded ? 1 : 0,
        int(dive.gasSet),
        packTensions(dive.diverN2),
        packTensions(dive.diverHe),
    };
    static_assert(std::size(values) == std::size(kDiveNames));
    for (std::size_t i = 0; i < names.size(); ++i)
        query.bindValue(names[i], values[i]);
    return query.exec();
}

void bindLine(QSqlQuery& query, int diveId, int pointId, const DiveLine& line)
{
    static const QStringList names = [] {
        QStringList out{QStringLiteral(":diveid"), QStringLiteral(":pointid")};
        for (const QString& column : lineColumns())
            out << QLatin1Char(':') + column;
        return out;
    }();
    const QList<const LineFields::Field*>& fields = LineFields::inOrder(LineFields::Format::Logbook);
    query.bindValue(names[0], diveId);
    query.bindValue(names[1], pointId);
    for (qsizetype i = 0; i < fields.size(); ++i) {
        const QString& name = names[i + 2];
        LineFields::visit(*fields[i], line, [&query, &name](const auto& value) {
            if constexpr (std::is_same_v<std::decay_t<decltype(value)>, double>)
                query.bindValue(name, value);
            else
                query.bindValue(name, int(value));
        });
    }
    query.bindValue(names.last(), qlonglong(packLineAlerts(line.pelagonAlerts)));
}

void readDiveRow(const QSqlQuery& row, Dive& dive)
{
    dive.name = row.value(1).toString();
    dive.computerName = row.value(2).toString();
    dive.beginTime = row.value(3).toLongLong();
    dive.computerSerial = row.value(4).toString();
    // Periods below 2 s come from files that stored 0 for "every second".
    const int period = row.value(5).toInt();
    dive.samplePeriod = quint8(period < 2 ? 1 : std::min(period, 255));
    dive.diverMode = row.value(6).isNull() ? quint8(255) : quint8(row.value(6).toInt());
    dive.divemode = quint8(row.value(7).toInt());
    dive.ocdivemode = quint8(row.value(8).toInt());
    dive.gfLow = quint8(row.value(9).toInt());
    dive.gfHigh = quint8(row.value(10).toInt());
    dive.density = row.value(11).toInt() != 0 ? 1 : 0;
    dive.surfacePressure = quint16(row.value(12).toInt());
    const qint64 alerts = row.value(13).toLongLong();
    dive.alertsAI = quint8(row.value(14).toInt());
    dive.computerModel = row.value(15).toInt();
    dive.gasSet = quint16(row.value(16).toInt());
    dive.firmwareVersion = row.value(17).toString();
    dive.place = row.value(18).toString();
    dive.site = row.value(19).toString();
    dive.buddy = row.value(20).toString();
    dive.diveNumber = quint16(row.value(21).toInt());
    dive.uploaded = row.value(22).toInt() != 0;
    dive.diverN2 = unpackTensions(row.value(23).toByteArray());
    dive.diverHe = unpackTensions(row.value(24).toByteArray());

    if (dive.computerModel == ComputerModel::Pelagon) {
        for (int i = 0; i < 3; ++i)
            dive.alertsPelagon[std::size_t(i)] = quint8((alerts >> (8 * i)) & 0xFF);
    } else if (dive.computerModel == ComputerModel::Kelvo) {
        for (int i = 0; i < 4; ++i)
            dive.alertsKelvo[std::size_t(i)] = quint8((alerts >> (8 * i)) & 0xFF);
    }
}

DiveLine readLine(const QSqlQuery& row, bool pelagon)
{
    DiveLine line;
    const QList<const LineFields::Field*>& fields = LineFields::inOrder(LineFields::Format::Logbook);
    for (qsizetype i = 0; i < fields.size(); ++i) {
        const QVariant value = row.value(int(i));
        // Logbooks from before the transmitter index hold NULL there: none.
        if (fields[i]->id == LineFields::TankPressureTxIndex && value.isNull())
            continue;
        LineFields::visit(*fields[i], line, [&value](auto& field) {
            using T = std::decay_t<decltype(field)>;
            if constexpr (std::is_same_v<T, double>)
                field = value.toDouble();
            else
                field = T(value.toInt());
        });
    }
    if (pelagon) {
        const QVariant packed = row.value(int(fields.size()));
        line.pelagonAlerts = packed.isNull() ? pelagonAlertsFromFlags(line.alertFlag, line.alertFlagTransmitter)
                                             : unpackLineAlerts(packed.toLongLong());
    }
    return line;
}

} // namespace

int DiveDb::nextDiveId()
{
    // diveid is the table's rowid, so MAX() is one look-up; an empty table
    // gives NULL and the first dive gets 1.
    QSqlQuery query(connection());
    if (!query.exec(QStringLiteral("SELECT MAX(diveid) FROM dives")) || !query.next()) {
        mLastError = query.lastError().text();
        return 1;
    }
    return query.value(0).isNull() ? 1 : query.value(0).toInt() + 1;
}

bool DiveDb::writable()
{
    if (!mReadOnly)
        return true;
    mLastError = readOnlyReason();
    return false;
}

int DiveDb::insertDive(const Dive& dive, int* storedId)
{
    if (!isOpen())
        return NotOpen;
    if (!writable())
        return SqlError;
    const bool summaries = listCacheReady();

    QSqlDatabase db = connection();
    // The duplicate check and the new id belong to the transaction: another
    // program storing between them and the insert cannot slip in.
    DbTransaction transaction(db);
    if (!transaction.isActive()) {
        mLastError = transaction.error();
        return SqlError;
    }

    const QString computer = dive.computerName.isEmpty() ? tr("No name") : dive.computerName;
    const QString serial = dive.computerSerial.isEmpty() ? tr("No serial number") : dive.computerSerial;
    // A dive without a name gets the name a nameless dive gets in the files:
    // stored as NULL it could never be found again, and would be stored once
    // more on every import.
    const QString name = dive.name.isEmpty() ? DiveFileLimits::defaultDiveName() : dive.name;
    // The check uses the name and serial as they will be stored, so that a
    // dive without either cannot be stored twice.
    if (findDiveId(name, serial) >= 0)
        return DiveExists;
    const int diveId = nextDiveId();
    const auto fail = [this](const QSqlQuery& query) {
        mLastError = query.lastError().text();
        return SqlError;
    };

    QSqlQuery row(db);
    if (!row.prepare(QString::fromLatin1(kInsertDive)) || !bindDiveRow(row, diveId, dive, name, computer, serial))
        return fail(row);

    if (!dive.gases.isEmpty()) {
        QSqlQuery gas(db);
        if (!gas.prepare(QString::fromLatin1(kInsertGas)))
            return fail(gas);
        gas.bindValue(QStringLiteral(":diveid"), diveId);
        int gasId = 1;
        for (const DiveGas& g : dive.gases) {
            gas.bindValue(QStringLiteral(":gasid"), gasId++);
            gas.bindValue(QStringLiteral(":o2"), percent(g.o2));
            gas.bindValue(QStringLiteral(":he"), percent(g.he));
            gas.bindValue(QStringLiteral(":gasClass"), g.gasClass());
            if (!gas.exec())
                return fail(gas);
        }
    }

    if (!dive.lines.isEmpty()) {
        QSqlQuery line(db);
        if (!line.prepare(insertLineStatement()))
            return fail(line);
        int pointId = 0;
        for (const DiveLine& l : dive.lines) {
            bindLine(line, diveId, pointId++, l);
            if (!line.exec())
                return fail(line);
        }
    }

    // The list's summary of the new dive. It only saves the list reading the
    // profile again: a failure here does not fail the store, and a dive
    // without summary is summarised when listed.
    if (summaries) {
        QSqlQuery summary(db);
        const bool summarised =
            summary.prepare(QStringLiteral("UPDATE dives SET (listDuration, listMaxDepth) = "
                                           "(SELECT COALESCE(MAX(time), 0), COALESCE(MAX(depth), 0) "
                                           "FROM profiles WHERE diveid=:diveid) WHERE diveid=:diveid"))
            && (summary.bindValue(QStringLiteral(":diveid"), diveId), summary.exec());
        if (!summarised)
            mListCache = CacheUnknown;
    }

    if (!transaction.commit()) {
        mLastError = transaction.error();
        return SqlError;
    }
    if (storedId != nullptr)
        *storedId = diveId;
    return Stored;
}

bool DiveDb::loadDive(int diveId, Dive& dive)
{
    if (!isOpen())
        return false;
    QSqlDatabase db = connection();
    // One read transaction: the header, the gases and the lines come from the
    // same state of the file.
    DbTransaction snapshot(db);

    QSqlQuery header(db);
    header.setForwardOnly(true);
    if (!header.prepare(QString::fromLatin1(kSelectDive))) {
        mLastError = header.lastError().text();
        return false;
    }
    header.bindValue(QStringLiteral(":diveid"), diveId);
    if (!header.exec()) {
        mLastError = header.lastError().text();
        return false;
    }
    if (!header.next())
        return false;

    // Filled aside and handed over at the end, so that a failure half-way
    // leaves the caller's dive as it was.
    Dive loaded = dive;
    loaded.clear();
    readDiveRow(header, loaded);
    header.finish();

    QSqlQuery gases(db);
    gases.setForwardOnly(true);
    if (gases.prepare(QString::fromLatin1(kSelectGases))) {
        gases.bindValue(QStringLiteral(":diveid"), diveId);
        // A logbook whose gas rows are missing still gives its dives, without gases.
        if (gases.exec()) {
            while (gases.next()) {
                DiveGas gas;
                gas.setO2(gases.value(1).toDouble() / 100.0);
                gas.setHe(gases.value(2).toDouble() / 100.0);
                gas.setGasClass(gases.value(3).toInt());
                loaded.gases.append(gas);
            }
        }
    }

    QSqlQuery lines(db);
    lines.setForwardOnly(true);
    if (!lines.prepare(selectLinesStatement())) {
        mLastError = lines.lastError().text();
        return false;
    }
    lines.bindValue(QStringLiteral(":diveid"), diveId);
    if (!lines.exec()) {
        mLastError = lines.lastError().text();
        return false;
    }
    const bool pelagon = loaded.computerModel == ComputerModel::Pelagon;
    while (lines.next())
        loaded.lines.append(readLine(lines, pelagon));
    // A read that stops on an error is not the end of the profile.
    if (lines.lastError().isValid()) {
        mLastError = lines.lastError().text();
        return false;
    }
    lines.finish();

    if (pelagon)
        loaded.computePelagonAlertSummary();
    loaded.refreshDerived();
    snapshot.commit();
    dive = std::move(loaded);
    return true;
}

bool DiveDb::deleteDive(int diveId)
{
    if (!isOpen() || !writable())
        return false;
    QSqlDatabase db = connection();
    DbTransaction transaction(db);
    if (!transaction.isActive()) {
        mLastError = transaction.error();
        return false;
    }
    for (const char* table : {"profiles", "gases", "dives"}) {
        QSqlQuery query(db);
        if (!query.prepare(QStringLiteral("DELETE FROM %1 WHERE diveid=:id").arg(QLatin1String(table)))) {
            mLastError = query.lastError().text();
            return false;
        }
        query.bindValue(QStringLiteral(":id"), diveId);
        if (!query.exec()) {
            mLastError = query.lastError().text();
            return false;
        }
    }
    if (!transaction.commit()) {
        mLastError = transaction.error();
        return false;
    }
    return true;
}

bool DiveDb::renameDive(int diveId, const QString& name)
{
    if (!isOpen() || !writable())
        return false;
    QSqlDatabase db = connection();
    QString serial;
    {
        QSqlQuery query(db);
        query.setForwardOnly(true);
        query.prepare(QStringLiteral("SELECT serial FROM dives WHERE diveid=:id"));
        query.bindValue(QStringLiteral(":id"), diveId);
        if (query.exec() && query.next())
            serial = query.value(0).toString();
    }
    if (serial.isEmpty())
        return false;
    // Names are unique per serial; the dive's own current name counts as taken.
    if (findDiveId(name, serial) >= 0)
        return false;
    QSqlQuery update(db);
    update.prepare(QStringLiteral("UPDATE dives SET name=:name WHERE diveid=:id"));
    update.bindValue(QStringLiteral(":name"), name);
    update.bindValue(QStringLiteral(":id"), diveId);
    if (!update.exec()) {
        mLastError = update.lastError().text();
        return false;
    }
    return true;
}

int DiveDb::updatePlaceSiteBuddy(int diveId, const DivePlace& place)
{
    if (!isOpen()) {
        mLastError = tr("Database not open");
        return SqlError;
    }
    if (!writable())
        return SqlError;
    QSqlQuery query(connection());
    query.prepare(QStringLiteral("UPDATE dives SET place=:place, site=:site, buddy=:buddy WHERE diveid=:id"));
    query.bindValue(QStringLiteral(":place"), place.place);
    query.bindValue(QStringLiteral(":site"), place.site);
    query.bindValue(QStringLiteral(":buddy"), place.buddy);
    query.bindValue(QStringLiteral(":id"), diveId);
    if (!query.exec()) {
        mLastError = query.lastError().text();
        return SqlError;
    }
    // An id that names no dive stores nothing: not a success.
    if (query.numRowsAffected() < 1) {
        mLastError = tr("No dive with id %1").arg(diveId);
        return SqlError;
    }
    return Stored;
}

int DiveDb::updateComputerName(const QString& serial, const QString& computerName, bool& changed)
{
    changed = false;
    if (!isOpen()) {
        mLastError = tr("Database not open");
        return SqlError;
    }
    if (!writable())
        return SqlError;
    QSqlQuery query(connection());
    query.prepare(QStringLiteral("UPDATE dives SET computer=:computer WHERE serial=:serial AND computer<>:computer"));
    query.bindValue(QStringLiteral(":computer"), computerName);
    query.bindValue(QStringLiteral(":serial"), serial);
    if (!query.exec()) {
        mLastError = query.lastError().text();
        return SqlError;
    }
    changed = query.numRowsAffected() > 0;
    return Stored;
}
