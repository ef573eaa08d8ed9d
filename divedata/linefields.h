#pragma once

// The fields of a profile line as the dive files and the logbook carry them,
// each listed once: its member, its key in the JSON line object (and so in
// the binary file), its place in a plan-stream line record, its logbook
// column and its place in the CSV export and import. Every format walks this
// table in its own order; the quirks of one format (a ceiling written as 0
// when negative, a column that may be NULL) stay with that format, by field.

#include "divedata/diveline.h"

#include <QLatin1String>
#include <QList>

#include <array>
#include <variant>

class QJsonValue;

namespace LineFields {

// Every field a format carries, in the order of the JSON line object.
enum Id {
    TimeSec, Depth, Pressure, Speed, AmbientTemp, DecoCeiling, Ndl, GradientFactor, Otu, Cns, PpO2, GasIndex,
    SetpointIndex, Ccr, AlertFlag, AlertFlagTransmitter, Battery, TankPressure, GfLow, GfHigh, Tag,
    TankPressureTxIndex,
    Count
};

// The member a field lives in; its type is the field's width everywhere
// (a plan stream writes it as is, a bool as one byte 0 or 1).
using Member = std::variant<double DiveLine::*, qint16 DiveLine::*, qint32 DiveLine::*, quint8 DiveLine::*,
                            quint16 DiveLine::*, quint32 DiveLine::*, bool DiveLine::*>;

struct Field
{
    Id id;
    Member member;
    const char* json;    // key in a JSON line object; null: not carried
    int planPosition;    // place in a plan-stream line record; -1: not carried
    const char* column;  // column of the logbook's profiles table; null: not stored
    int csvExport;       // column of the CSV export's point rows; -1: not exported
    int csvImport;       // field of the tab-separated profile format; -1: not read
    // Sets the member from a JSON value; a value of the wrong kind gives the
    // default a new line has (a whole number is read with all 64 bits).
    void (*setFromJson)(DiveLine& line, const QJsonValue& value);
};

using Table = std::array<Field, Count>;

// The table, in the order of the JSON line object (entry i has id i).
const Table& table();
// The fields a format carries, in that format's order.
enum class Format { Json, PlanStream, Logbook, CsvExport, CsvImport };
const QList<const Field*>& inOrder(Format format);
// The field a JSON key names; null for a key no field has.
const Field* byJsonKey(QLatin1String key);

// Calls `f(value)` with a reference to the field's member of `line` (const
// for a const line), of the member's own type.
template <class Line, class F>
void visit(const Field& field, Line& line, F&& f)
{
    std::visit([&line, &f](auto member) { f(line.*member); }, field.member);
}

} // namespace LineFields
