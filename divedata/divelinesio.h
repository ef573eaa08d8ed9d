#pragma once

#include <QList>
#include <QString>

#include <memory>

class QDataStream;
struct Dive;

// Type codes of the dive file formats. They are part of the files' contract
// with the rest of the program (dialogs, the planner, the tool), so a format
// keeps its code forever.
namespace DiveFileType {
enum Code : int {
    Csv = 0,
    Uddf = 1,
    Binary = 2,
    Plan = 3,
    Unknown = 4,
};
} // namespace DiveFileType

// The one interface of every dive file format. A handler holds no dive: the
// factory creates one for a single read or write and the caller drops it.
// The base answers false to every operation; a handler overrides what its
// format supports (stream forms, path forms or both).
class DiveLinesIO
{
public:
    DiveLinesIO() = default;
    DiveLinesIO(const DiveLinesIO&) = delete;
    DiveLinesIO& operator=(const DiveLinesIO&) = delete;
    virtual ~DiveLinesIO();

    // No dive file holds more profile lines than this (eleven days at one
    // sample a second); readers refuse larger counts before allocating.
    static constexpr qint32 MaxLines = 1'000'000;

    // Reads a dive from a stream the caller opened. On false the dive is left
    // as it was.
    virtual bool readStream(QDataStream& in, Dive& dive);
    // Reads the file at path. On false the dive is left as it was. Every
    // reader refuses a file from which no profile line was read.
    virtual bool readDive(const QString& path, Dive& dive);
    // Appends every dive the file holds (one for most formats; the base
    // reads one dive with readDive). On false nothing is appended.
    virtual bool readDives(const QString& path, QList<Dive>& dives);
    virtual bool writeStream(QDataStream& out, const Dive& dive);
    // Writes the file at path. A handler writes through saveFileAtomically
    // (safefile.h) so that a failed write leaves the previous file intact.
    virtual bool writeDive(const QString& path, const Dive& dive);
    virtual int typeCode() const = 0;

    // Why the last read of this handler failed.
    enum class ReadProblem {
        None,
        NotAFile,    // a folder, a FIFO, a device ...: refused unread
        CannotOpen,  // missing or not readable
        Damaged,     // not this format, cut short or too large
        NoProfile,   // read, but not a single profile line: no dive
        OutOfLimits, // a profile beyond DiveFileLimits (depths, times, gases)
    };
    ReadProblem readProblem() const { return m_readProblem; }

    // The type code of a file from its suffix (after the last '.', case
    // ignored): DiveFileType::Unknown when no format claims the suffix.
    static int fileTypeOf(const QString& path);
    // The handler that reads the file's format, or null.
    static std::unique_ptr<DiveLinesIO> createReader(const QString& path);
    // The handler that writes the file's format, or null when the format is
    // not offered for writing (the binary format is read-only here).
    static std::unique_ptr<DiveLinesIO> createWriter(const QString& path);
    static std::unique_ptr<DiveLinesIO> createByType(int type);
    // createWriter + writeDive; false when no handler writes the suffix.
    static bool writeDiveFile(const QString& path, const Dive& dive);

protected:
    // For readers: notes why a read failed and returns false.
    bool refuse(ReadProblem problem)
    {
        m_readProblem = problem;
        return false;
    }
    // The problem of a file that could not be opened or read whole: not a
    // regular file, missing or unreadable, else Damaged (too large).
    bool refuseUnread(const QString& path);
    void clearReadProblem() { m_readProblem = ReadProblem::None; }

private:
    ReadProblem m_readProblem = ReadProblem::None;
};

// What a format's handler does, and where the program offers the format.
namespace DiveFileAbility {
enum Flag : unsigned {
    ReadsDive = 0x1,         // the handler reads a dive from a file by path
    WritesDive = 0x2,        // the handler writes a dive to a file by path
    FactoryWriter = 0x4,     // createWriter hands out its handler
    OpenedWhenDropped = 0x8, // a file dropped on the profile is opened
};
} // namespace DiveFileAbility

// One entry of the format registry (divefileregistry.cpp). A new format is a
// handler file pair plus one entry there; nothing else changes: the dialogs,
// the window's drop and the command-line tool derive their lists from it.
struct DiveFileFormat
{
    int type = DiveFileType::Unknown;
    const char* suffix = "";      // lower case, without the dot
    // "UDDF file": English, translated in the "DiveFileFormat" context.
    const char* displayName = "";
    std::unique_ptr<DiveLinesIO> (*create)() = nullptr; // null: suffix known, no handler built in
    unsigned abilities = 0;       // DiveFileAbility flags
    int exportRank = 0;           // place in the export dialogs (1 first); 0: not offered

    bool has(DiveFileAbility::Flag ability) const { return (abilities & ability) != 0; }
    // The display name in the program's language.
    QString translatedName() const;
};

template <class Handler>
std::unique_ptr<DiveLinesIO> makeDiveFileHandler()
{
    return std::make_unique<Handler>();
}

// Every format the program knows, in type-code order.
const QList<DiveFileFormat>& diveFileFormats();
// The format of a type code, or null.
const DiveFileFormat* diveFileFormat(int type);

// The file dialogs that offer dive files.
enum class DiveFileDialog {
    Open,   // every format that reads a dive, in registry order
    Export, // the export formats, by export rank
};
// The formats a dialog offers, in the order it lists them.
QList<const DiveFileFormat*> diveFileFormats(DiveFileDialog dialog);
// The dialog's translated filter: "Dive file (*.a *.b);;A file (*.a);;B file (*.b)".
QString diveFileDialogFilter(DiveFileDialog dialog);
