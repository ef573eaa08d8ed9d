#pragma once

#include <QJsonObject>
#include <QLatin1String>
#include <QList>

struct Dive;
struct DiveGas;
struct DiveHeader;
struct DiveLine;

// JSON form of a dive: the payload of the binary dive file. It carries the
// header, the names, the profile lines and the gases; simulation results and
// the other line lists are not written.
//
// Reading never fails: a missing or mistyped key gives its documented default
// (samplePeriod 5, gradient factors 80/80 at dive level, pSurf 1.013 bar,
// gasSet 1, a line's gasIndex -1, a gas's o2 21 % and colour 0xFFFFFF, every
// other value 0, false or empty). Whole numbers are read as 64-bit values, so
// times since the epoch and 32-bit unsigned words come back intact.

QJsonObject diveToJson(const Dive& dive);
// Replaces the dive's header, names, lines and gases with the object's and
// resets the simulation fields; `uploaded` is kept.
void diveFromJson(const QJsonObject& object, Dive& dive);
// The same with the profile lines already read (the binary file decodes them
// straight from CBOR); the object's "lines" key is not looked at.
void diveFromJsonWithLines(const QJsonObject& object, QList<DiveLine> lines, Dive& dive);

QJsonObject headerToJson(const DiveHeader& header);
// Every header field from the object: missing keys give 0 or empty (the
// sample period 5); fields the object does not carry get their defaults.
void headerFromJson(const QJsonObject& object, DiveHeader& header);

QJsonObject lineToJson(const DiveLine& line);
DiveLine lineFromJson(const QJsonObject& object);
// Sets the one line field that `key` names, as lineFromJson does for each
// key of a line object (a value of the wrong kind gives the field's default);
// unknown keys are ignored.
void setLineField(DiveLine& line, QLatin1String key, const QJsonValue& value);

QJsonObject gasToJson(const DiveGas& gas);
DiveGas gasFromJson(const QJsonObject& object);
