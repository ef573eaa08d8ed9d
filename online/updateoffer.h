#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

// Major, minor and patch of a program version.
struct VersionTriple
{
    int major = 0;
    int minor = 0;
    int patch = 0;

    // "1.4.0.1176" → 1.4.0; missing parts are 0.
    static VersionTriple fromString(const QString& version);
    QString toString() const; // "1.4.0"
    bool operator<(const VersionTriple& other) const;
    bool operator==(const VersionTriple& other) const;
};

// A newer installer found in the website's media library.
struct UpdateOffer
{
    VersionTriple version;
    QUrl url; // its "source_url"
};

namespace UpdateCheck {

inline const QString kInstallerPrefix = QStringLiteral("PelagonDiveLogSetup");

// The offer of the first media object whose rendered title starts with the
// installer prefix, when its version ("PelagonDiveLogSetup_1.5.0": the seven
// characters after the prefix and one separator, exactly three parts split
// at ".") is strictly newer than `running`. Nothing otherwise.
std::optional<UpdateOffer> findOffer(const QList<QJsonObject>& media, const VersionTriple& running);

} // namespace UpdateCheck
