#pragma once

#include "corvane/corvaneglobal.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// What a firmware file says about itself before it is written into the
// computer. Images with a 32-byte header at byte 512 go through BeginUpdate
// (application or bootloader); images without one (magic 0) through
// Begin_program, described by their file name. Multi-byte words are
// little-endian.
namespace FirmwareImage {

constexpr int kHeaderOffset = 512;
constexpr int kHeaderSize = 32;
// The smallest image that holds the whole header.
constexpr qsizetype kMinimumSize = kHeaderOffset + kHeaderSize;
// The largest image a computer takes.
constexpr qsizetype kMaximumSize = 16 * 1024 * 1024;
constexpr quint32 kApplicationMagic = 0xDEADBEEF;
constexpr quint32 kBootloaderMagic = 0x424F4F54; // "TOOB"
// Image name field of the Begin_program description.
constexpr int kNameSize = 32;
constexpr int kDescriptionSize = 44;

enum class Kind { Headerless, Application, Bootloader, Unknown };

// Everything the upload needs to know of one image, or why it is refused.
struct CORVANE_EXPORT Inspection
{
    Kind kind = Kind::Unknown;
    // The image's version: from the header (headed kinds) or the file name.
    quint32 version = 0;
    // What is sent first: the 32 header bytes as they stand (BeginUpdate), or
    // the 44-byte description (Begin_program).
    QByteArray opening;
    // Why the image cannot be sent at all; empty when it can.
    QString problem;

    bool isRefused() const { return !problem.isEmpty(); }
};

// Reads the image's magic and version and builds what is sent first. An
// image shorter than the header's end or longer than kMaximumSize is
// refused; so is a headerless image whose name (the file name up to its first
// '.') takes more than 32 bytes of UTF-8 or whose version fields do not fit
// 8 bits. `fileName` may be a path; only its last part counts.
CORVANE_EXPORT Inspection inspect(const QByteArray& image, const QString& fileName);

// The version a headerless image's file name carries: the text after the
// first '.' split at '.'; three decimal numbers (anything else counts 0) in
// bits 24-31, 16-23 and 8-15, the fourth field's first character in bits
// 0-7. False when a number exceeds 255 or the character code does: such a
// version cannot be described. "NAME.1.4.2.b.bin" gives 0x01040262.
CORVANE_EXPORT bool versionFromFileName(const QString& fileName, quint32& version);

// The 44-byte Begin_program description: name (zero-padded to 32 bytes),
// version, image size and the image's CRC-16 in the low half of a word.
CORVANE_EXPORT QByteArray description(const QByteArray& name, quint32 version, const QByteArray& image);

} // namespace FirmwareImage
