#pragma once

#include "divedata/divelinesio.h"

#include <QByteArray>
#include <QChar>
#include <QList>

class QIODevice;
struct DiveLine;

// ".csv": writes a dive as a spreadsheet export with French column titles
// (a dive row, then one row per profile line), and reads a different,
// tab-separated profile format of twenty columns into profile lines. A file
// written here is therefore not read back here.
class CsvFile : public DiveLinesIO
{
public:
    // Values of the locale switch.
    enum NumberLocale { CLocale = 0, FrenchLocale = 1 };

    // Reading stops at this many bytes: far beyond MaxLines of twenty short
    // fields, and a bound for a file that is not a profile at all.
    static constexpr qint64 MaxFileBytes = 256 * 1024 * 1024;
    // A longer text line is no profile line; it is skipped without being
    // held in memory.
    static constexpr qint64 MaxLineBytes = 64 * 1024;

    // The field separator of the export, ',' unless set (the main window's
    // export command sets ',', '.' or ';').
    void setSeparator(QChar separator) { m_separator = separator; }
    QChar separator() const { return m_separator; }
    // FrenchLocale writes numbers with a decimal comma; any other value uses
    // the decimal point, except with the separator '.', where numbers always
    // take the decimal comma so that the fields can be split again.
    void setLocaleSwitch(int localeSwitch) { m_localeSwitch = localeSwitch; }
    int localeSwitch() const { return m_localeSwitch; }

    // Appends the lines of a tab-separated profile to the dive and names the
    // dive after the file's base name. Rows with other than 20 fields are
    // skipped. False when the file is not a regular file, cannot be read, is
    // larger than MaxFileBytes, holds no profile line or more than MaxLines,
    // or a profile outside DiveFileLimits; the dive is then left as it was.
    bool readDive(const QString& path, Dive& dive) override;
    // Replaces the file atomically with the export of the dive; false leaves
    // any previous file intact.
    bool writeDive(const QString& path, const Dive& dive) override;
    int typeCode() const override { return DiveFileType::Csv; }

    // The export as the file holds it (UTF-8 with a byte-order mark).
    QByteArray exportBytes(const Dive& dive) const;
    // Reads profile lines from an open device (the body of readDive).
    static bool readProfile(QIODevice& device, QList<DiveLine>& lines);

private:
    QChar m_separator = u',';
    int m_localeSwitch = CLocale;
};
