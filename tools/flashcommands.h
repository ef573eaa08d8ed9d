#pragma once

#include <QByteArray>
#include <QString>

namespace divetool {

class ComputerLink;
class ParsedArguments;

// Reads a file given on the command line, at most `limit` bytes; false with
// the problem told on stderr.
bool readInputFile(const QString& path, qint64 limit, QByteArray& bytes);

// divetool computer firmware FILE [--force]: writes the image into the
// connected computer, with progress on stderr, and reports the versions the
// computer restarts with.
int runFirmwareUpload(ComputerLink& link, const QString& path, const QByteArray& image, bool force, bool json);

// Empty when `words` form a layouts action, else what is wrong with them.
QString layoutsUsageProblem(const QStringList& words);

// divetool computer layouts list | get INDEX FILE | add FILE |
// remove INDEX|all | active [MODE INDEX]. `blob` is the file read for add.
int runLayouts(ComputerLink& link, const QStringList& words, const QByteArray& blob, bool json);

} // namespace divetool
