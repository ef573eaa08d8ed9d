#pragma once

#include "divedata/divefilelimits.h"
#include "divedata/divelinesio.h"

// The plan stream: a dive (names, a few header values, gases and profile
// lines) as a big-endian Qt data stream led by the marker 0xFF000002 (top
// byte 0xFF, version 2 in the low 24 bits). Only the stream forms exist; the
// planner's ".diveplan" files use the plan file layout (planfile.h) instead.
class Planificator : public DiveLinesIO
{
public:
    static constexpr quint32 Marker = 0xFF000002u;
    static constexpr quint32 MaxVersion = 2;
    // Bounds on the counts a stream may claim; a count past them is corrupt.
    static constexpr qint32 MaxGases = qint32(DiveFileLimits::MaxGases);
    static constexpr quint32 MaxStringBytes = 1024u * 1024u;

    // False on a version above 2, a count out of bounds, a profile outside
    // DiveFileLimits or a truncated stream; the dive is only changed on
    // success.
    bool readStream(QDataStream& in, Dive& dive) override;
    bool writeStream(QDataStream& out, const Dive& dive) override;
    int typeCode() const override { return DiveFileType::Plan; }
};
