#include "online/updateoffer.h"

#include <QStringList>

#include <tuple>

VersionTriple VersionTriple::fromString(const QString& version)
{
    const QStringList parts = version.split(u'.');
    VersionTriple triple;
    int* fields[] = {&triple.major, &triple.minor, &triple.patch};
    for (int i = 0; i < 3 && i < parts.size(); ++i)
        *fields[i] = parts[i].trimmed().toInt();
    return triple;
}

QString VersionTriple::toString() const
{
    return QStringLiteral("%1.%2.%3").arg(major).arg(minor).arg(patch);
}

bool VersionTriple::operator<(const VersionTriple& other) const
{
    return std::tie(major, minor, patch) < std::tie(other.major, other.minor, other.patch);
}

bool VersionTriple::operator==(const VersionTriple& other) const
{
    return std::tie(major, minor, patch) == std::tie(other.major, other.minor, other.patch);
}

namespace UpdateCheck {

std::optional<UpdateOffer> findOffer(const QList<QJsonObject>& media, const VersionTriple& running)
{
    for (const QJsonObject& object : media) {
        const QString title = object.value(QLatin1String("title")).toObject().value(QLatin1String("rendered")).toString();
        if (!title.startsWith(kInstallerPrefix))
            continue;
        const QStringList parts = title.mid(kInstallerPrefix.size() + 1, 7).split(u'.');
        if (parts.size() != 3)
            return std::nullopt;
        const VersionTriple offered{parts[0].toInt(), parts[1].toInt(), parts[2].toInt()};
        if (!(running < offered))
            return std::nullopt;
        return UpdateOffer{offered, QUrl(object.value(QLatin1String("source_url")).toString())};
    }
    return std::nullopt;
}

} // namespace UpdateCheck
