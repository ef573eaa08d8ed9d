#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QFile;
class QIODevice;

// Writes a file so that it is replaced as a whole or not at all: the content
// goes to a temporary file beside the target, which is renamed over the target
// only when `write` returned true and every byte reached the disk. On false the
// previous file (if any) is left exactly as it was. A target that exists but
// is not a regular file (a device, a FIFO, a folder, or a link to one) is
// refused: renaming over it would replace the device with a file.
bool saveFileAtomically(const QString& path, const std::function<bool(QIODevice&)>& write);

// Opens path read-only when it is a regular file (links followed). Anything
// else is refused at once: a FIFO would wait for a writer forever and a
// device such as /dev/zero never ends. On false `file` stays closed.
bool openRegularFile(const QString& path, QFile& file);

// Reads a whole regular file of at most maxBytes. False when the file is not
// a regular file, cannot be opened or holds more than maxBytes; the cap is
// enforced while reading, so a file that grows does not make it allocate
// more than maxBytes.
bool readFileCapped(const QString& path, qint64 maxBytes, QByteArray& contents);
