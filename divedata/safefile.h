#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QIODevice;

// Writes a file so that it is replaced as a whole or not at all: the content
// goes to a temporary file beside the target, which is renamed over the target
// only when `write` returned true and every byte reached the disk. On false the
// previous file (if any) is left exactly as it was.
bool saveFileAtomically(const QString& path, const std::function<bool(QIODevice&)>& write);

// Reads a whole file of at most maxBytes. False when the file cannot be opened
// or holds more than maxBytes; the cap is enforced while reading, so devices
// and files that grow do not make it allocate more than maxBytes.
bool readFileCapped(const QString& path, qint64 maxBytes, QByteArray& contents);
