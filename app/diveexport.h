#pragma once

#include <QChar>
#include <QString>

#include <memory>
#include <optional>
#include <utility>

class DiveLinesIO;
struct Dive;

// What the window's export commands share: which files they write and how a
// selected time range becomes a dive of its own.
namespace DiveExport {

// The writer for an export file name: one of the export dialogs' formats by
// suffix (a CSV one set to the given field separator), or null for any other
// name.
std::unique_ptr<DiveLinesIO> writerFor(const QString& path, QChar csvSeparator);

// A selected pair of times as a range inside the dive: ordered, and clamped
// to 0 .. the dive's last profile time. Nothing when the range is empty or
// the dive has no profile.
std::optional<std::pair<qint64, qint64>> selectionRange(qint64 first, qint64 second, const Dive& dive);

} // namespace DiveExport
