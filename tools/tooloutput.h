#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

namespace divetool {

// Exit statuses of every command.
enum ExitStatus : int {
    Success = 0,
    Failure = 1,     // a file, the logbook or a dive could not be handled
    UsageError = 2,  // the command line itself is wrong
};

// Writes text to stdout as UTF-8; a line break ends it when missing.
void printText(const QString& text);
// Writes the document to stdout, indented, ending with a line break.
void printJson(const QJsonObject& document);
// One line on stderr: "divetool: <subject>: <problem>". The subject names the
// file (or the command for a usage error); the problem never spans lines.
void printError(const QString& subject, const QString& problem);

// The text with its control characters (C0, DEL, C1, and the marks that
// reorder text on a terminal) written as escapes ("\x1b", "\u202e"), so that
// a name or a file name from a file cannot move the cursor, clear the screen
// or hide what follows it.
QString printable(const QString& text);

// Start of a dive (seconds since the epoch, UTC) as ISO 8601 in local time
// with its UTC offset; empty when the dive carries no start (0 or less).
QString isoStartTime(qint64 secondsSinceEpoch);
// One line of progress on stderr ("divetool: <subject>: <text>"), so that
// stdout keeps only the result.
void printProgress(const QString& subject, const QString& text);

// A number for a JSON document: null when it is not finite (a damaged file
// may hold anything), so that the document stays valid JSON.
QJsonValue jsonNumber(double value);
// A number rounded to `decimals` places, for text; "-" when not finite.
QString numberText(double value, int decimals = 1);

} // namespace divetool
