#include "divedata/divecbor.h"

#include "divedata/cborscan.h"
#include "divedata/dive.h"
#include "divedata/divejson.h"
#include "divedata/divelinesio.h"

#include "divedata/divefilelimits.h"

#include <QCborArray>
#include <QCborMap>
#include <QCborValue>
#include <QJsonObject>
#include <QJsonValue>
#include <QSet>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

using Head = CborScan::Head;

QCborValue decoded(QByteArrayView item)
{
    return QCborValue::fromCbor(item.data(), item.size());
}

// The JSON key Qt makes of a map key that is not plain text (a number, a
// byte string, a tagged or chunked string...).
QByteArray jsonKeyOf(QByteArrayView keyItem)
{
    QCborMap one;
    one.insert(decoded(keyItem), QCborValue());
    const QJsonObject object = one.toJsonObject();
    // Keys the program knows are ASCII; after toLatin1() a key with other
    // characters still matches none of them.
    return object.isEmpty() ? QByteArray() : object.begin().key().toLatin1();
}

// A map key at the given nesting depth: plain text is viewed in place,
// anything else converted.
bool readKey(CborScan& scan, int depth, QByteArrayView& key, QByteArray& storage)
{
    const qsizetype start = scan.position();
    Head head;
    if (!scan.readHead(head))
        return false;
    if (head.major == CborScan::Text && !head.indefinite)
        return scan.takeBytes(head.value, key) && CborScan::isValidUtf8(key);
    if (!scan.skipContent(head, depth))
        return false;
    storage = jsonKeyOf(scan.slice(start, scan.position()));
    key = storage;
    return true;
}

double halfToDouble(quint16 half)
{
    const int exponent = (half >> 10) & 0x1F;
    const int mantissa = half & 0x3FF;
    double value = 0.0;
    if (exponent == 0)
        value = std::ldexp(double(mantissa), -24);
    else if (exponent != 31)
        value = std::ldexp(double(mantissa + 1024), exponent - 25);
    else
        value = mantissa == 0 ? std::numeric_limits<double>::infinity() : std::numeric_limits<double>::quiet_NaN();
    return (half & 0x8000) ? -value : value;
}

// The common scalars, converted in place as Qt converts them to JSON (a
// non-finite number becomes null). False for everything else, which the
// caller hands to Qt.
bool scalarOf(const Head& head, QJsonValue& value)
{
    constexpr quint64 int64Max = quint64(std::numeric_limits<qint64>::max());
    switch (head.major) {
    case CborScan::Unsigned:
        if (head.value > int64Max)
            return false;
        value = QJsonValue(qint64(head.value));
        return true;
    case CborScan::Negative:
        if (head.value > int64Max)
            return false;
        value = QJsonValue(qint64(-1) - qint64(head.value));
        return true;
    case CborScan::Simple: {
        double number = 0.0;
        switch (head.info) {
        case 20:
            value = QJsonValue(false);
            return true;
        case 21:
            value = QJsonValue(true);
            return true;
        case 22:
        case 23:
            value = QJsonValue(QJsonValue::Null);
            return true;
        case 25:
            number = halfToDouble(quint16(head.value));
            break;
        case 26: {
            const quint32 bits = quint32(head.value);
            float single = 0.0f;
            std::memcpy(&single, &bits, sizeof single);
            number = single;
            break;
        }
        case 27:
            std::memcpy(&number, &head.value, sizeof number);
            break;
        default:
            return false;
        }
        value = std::isfinite(number) ? QJsonValue(number) : QJsonValue(QJsonValue::Null);
        return true;
    }
    default:
        return false;
    }
}

// Runs `entry` once per entry of a map or element of an array whose head
// was just read.
template <typename Entry>
bool forEachEntry(CborScan& scan, const Head& head, Entry&& entry)
{
    if (head.indefinite) {
        while (!scan.atBreak()) {
            if (scan.atEnd() || !entry())
                return false;
        }
        scan.skipBreak();
        return true;
    }
    for (quint64 i = 0; i < head.value; ++i) {
        if (!entry())
            return false;
    }
    return true;
}

// One element of "lines": a map gives a line from its keys, anything else a
// line of defaults (as a JSON value that is not an object would).
bool readLine(CborScan& scan, int depth, DiveLine& line)
{
    Head head;
    if (!scan.readHead(head))
        return false;
    line = DiveLine();
    if (head.major != CborScan::Map)
        return scan.skipContent(head, depth);
    return forEachEntry(scan, head, [&] {
        QByteArrayView key;
        QByteArray keyStorage;
        if (!readKey(scan, depth + 1, key, keyStorage))
            return false;
        const qsizetype valueStart = scan.position();
        Head valueHead;
        if (!scan.readHead(valueHead))
            return false;
        QJsonValue value;
        if (!scalarOf(valueHead, value)) {
            if (!scan.skipContent(valueHead, depth + 1))
                return false;
            value = decoded(scan.slice(valueStart, scan.position())).toJsonValue();
        }
        setLineField(line, QLatin1String(key.data(), key.size()), value);
        return true;
    });
}

bool readLines(CborScan& scan, int depth, QList<DiveLine>& lines)
{
    Head head;
    if (!scan.readHead(head))
        return false;
    lines.clear();
    if (head.major != CborScan::Array)
        return scan.skipContent(head, depth); // not an array: no lines
    if (!head.indefinite && head.value > quint64(DiveLinesIO::MaxLines))
        return false;
    lines.reserve(head.indefinite ? 0 : qsizetype(head.value));
    return forEachEntry(scan, head, [&] {
        if (lines.size() >= DiveLinesIO::MaxLines)
            return false;
        DiveLine line;
        if (!readLine(scan, depth + 1, line))
            return false;
        lines.append(line);
        return true;
    });
}

// ---- keeping only the keys the JSON reader looks at ------------------------
//
// A map converted to JSON costs time quadratic in its number of keys (each
// key is inserted in order), and a file may hold a hundred thousand keys the
// reader never asks for. Maps are therefore cut down to the keys of their
// place in the dive object before conversion. What a value of another kind
// reads as is kept: a map or array where a number or text is expected reads
// as the default either way, and stays an (empty) map or array here.

enum class Place { Dive, Header, GasList, Gas, Other };

QSet<QString> keysOf(const QJsonObject& object)
{
    const QStringList keys = object.keys();
    return QSet<QString>(keys.cbegin(), keys.cend());
}

const QSet<QString>& knownKeys(Place place)
{
    static const QSet<QString> dive = keysOf(diveToJson(Dive()));
    static const QSet<QString> header = [] {
        QSet<QString> keys = keysOf(headerToJson(DiveHeader()));
        keys.insert(QStringLiteral("site")); // read, though not written
        return keys;
    }();
    static const QSet<QString> gas = keysOf(gasToJson(DiveGas()));
    static const QSet<QString> none;
    switch (place) {
    case Place::Dive:
        return dive;
    case Place::Header:
        return header;
    case Place::Gas:
        return gas;
    default:
        return none;
    }
}

Place placeOfKey(Place map, const QString& key)
{
    if (map == Place::Dive && key == QLatin1String("header"))
        return Place::Header;
    if (map == Place::Dive && key == QLatin1String("gases"))
        return Place::GasList;
    return Place::Other;
}

// The JSON key Qt makes of a decoded map key.
QString jsonKeyOfValue(const QCborValue& key)
{
    if (key.isString())
        return key.toString();
    QCborMap one;
    one.insert(key, QCborValue());
    const QJsonObject object = one.toJsonObject();
    return object.isEmpty() ? QString() : object.begin().key();
}

// False when a gas list is longer than any file may hold.
bool prune(const QCborValue& value, Place place, QCborValue& out)
{
    if (value.isMap()) {
        const QSet<QString>& keys = knownKeys(place);
        QCborMap kept;
        const QCborMap map = value.toMap();
        for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
            const QString key = jsonKeyOfValue(it.key());
            if (!keys.contains(key))
                continue;
            QCborValue child;
            if (!prune(it.value(), placeOfKey(place, key), child))
                return false;
            kept.insert(it.key(), child); // a repeated key: the last one wins, as in JSON
        }
        out = kept;
        return true;
    }
    if (value.isArray()) {
        const QCborArray array = value.toArray();
        if (place == Place::GasList && array.size() > DiveFileLimits::MaxGases)
            return false;
        QCborArray kept;
        for (const QCborValue& element : array) {
            QCborValue child;
            if (!prune(element, place == Place::GasList ? Place::Gas : Place::Other, child))
                return false;
            kept.append(child);
        }
        out = kept;
        return true;
    }
    out = value;
    return true;
}

} // namespace

bool diveFromCbor(QByteArrayView payload, Dive& dive)
{
    // One pass both checks and reads: every byte goes through a head read,
    // a UTF-8 check or a checked skip, and the dive is only written at the end.
    CborScan scan(payload);
    Head top;
    if (!scan.readHead(top) || top.major != CborScan::Map)
        return false;

    QList<DiveLine> lines;
    QCborMap others;
    qsizetype otherBytes = 0;
    const bool read = forEachEntry(scan, top, [&] {
        const qsizetype keyStart = scan.position();
        QByteArrayView key;
        QByteArray keyStorage;
        if (!readKey(scan, 1, key, keyStorage))
            return false;
        const qsizetype valueStart = scan.position();
        if (key == QByteArrayView("lines"))
            return readLines(scan, 1, lines); // a repeated key: the last one wins, as in JSON
        if (!scan.skipItem(1))
            return false;
        otherBytes += scan.position() - keyStart;
        if (otherBytes > DiveCbor::MaxOtherBytes)
            return false;
        // Keys the reader does not know are passed over unread.
        const QString name = QString::fromLatin1(key.data(), key.size());
        if (!knownKeys(Place::Dive).contains(name))
            return true;
        QCborValue value;
        if (!prune(decoded(scan.slice(valueStart, scan.position())), placeOfKey(Place::Dive, name), value))
            return false;
        others.insert(decoded(scan.slice(keyStart, valueStart)), value);
        return true;
    });
    // Nothing may follow the map.
    if (!read || !scan.atEnd())
        return false;
    diveFromJsonWithLines(others.toJsonObject(), std::move(lines), dive);
    return true;
}
