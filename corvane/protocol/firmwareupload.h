#pragma once

#include "corvane/corvaneglobal.h"

#include <QByteArray>
#include <QElapsedTimer>

#include <chrono>
#include <optional>

// The progress of one image being written into the computer: which bytes go
// next, when the end is reached and when progress is worth reporting. It
// knows nothing of frames or links; the session sends what it hands out.
class CORVANE_EXPORT FirmwareUpload
{
public:
    // Durations of an upload, in ticks of 100 ns.
    using Ticks = std::chrono::duration<qint64, std::ratio<1, 10000000>>;

    struct Progress
    {
        int bytesSent = 0;
        int percentDone = 0;
    };

    // Keeps the image and starts from offset 0; the clock starts now.
    void start(const QByteArray& image, bool updateMode);
    // The computer chose where to start; false when the offset lies outside
    // the image (the upload cannot go on).
    bool setStartOffset(quint32 offset);
    void setUpdateMode(bool updateMode) { m_updateMode = updateMode; }

    // The next chunk, at most `frameSize` bytes from the offset; the offset
    // moves past it. `report` is set when the progress is worth telling: the
    // percentage changed or more than 1000 bytes went since the last chunk.
    QByteArray nextChunk(int frameSize, std::optional<Progress>& report);
    // The whole image has been handed out.
    bool endReached() const { return m_offset >= m_image.size(); }
    // The image is written: the elapsed time is kept.
    void finish();

    bool updateMode() const { return m_updateMode; }
    int offset() const { return m_offset; }
    int size() const { return int(m_image.size()); }
    const QByteArray& image() const { return m_image; }
    // Time the last completed upload took.
    Ticks elapsed() const { return m_elapsed; }

private:
    QByteArray m_image;
    bool m_updateMode = false;
    int m_offset = 0;
    int m_lastOffset = 0;
    int m_lastPercent = -1;
    QElapsedTimer m_clock;
    Ticks m_elapsed{0};
};
