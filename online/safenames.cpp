#include "online/safenames.h"

#include <QUrl>

namespace SafeNames {

QString plainBaseName(const QString& name)
{
    if (name.isEmpty() || name.size() > 255 || name == QLatin1String(".") || name.startsWith(QLatin1String("..")))
        return {};
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f || c == u'/' || c == u'\\' || c == u':'
            || c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
            return {};
    }
    return name;
}

QString fileNameOfUrl(const QUrl& url)
{
    return plainBaseName(url.fileName(QUrl::FullyDecoded));
}

QString localFirmwareName(const QString& file, const QString& dateTime)
{
    if (plainBaseName(file).isEmpty())
        return {};
    if (dateTime.isEmpty())
        return file;
    QString stamp = dateTime;
    stamp.replace(u'T', u'_').replace(u'Z', u'_').replace(u':', u'-');
    return plainBaseName(stamp + u'_' + file);
}

} // namespace SafeNames
