#pragma once

#include <QByteArrayView>

struct Dive;

// Reads the CBOR payload of a binary dive file: exactly one well-formed CBOR
// map, read as Qt's CBOR-to-JSON conversion followed by diveFromJson would
// read it. The profile lines, nearly all of a long dive's bytes, are decoded
// straight from the CBOR bytes instead of through an intermediate JSON tree,
// which keeps a ten-hour dive well within a tenth of a second.
//
// False, with the dive untouched, when the payload is not one well-formed
// map, holds more than DiveLinesIO::MaxLines lines or DiveFileLimits::MaxGases
// gases, or carries more than MaxOtherBytes outside its lines (no header, gas
// list or notes come near). Keys the JSON reader does not know are passed
// over without being converted, so that reading stays linear in the size of
// the payload however many there are.
bool diveFromCbor(QByteArrayView payload, Dive& dive);

namespace DiveCbor {
constexpr qsizetype MaxOtherBytes = 4 * 1024 * 1024;
} // namespace DiveCbor
