#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

class QSettings;

// Keys of "settings.cfg" that point the program at its online services. Every
// one is optional: a missing key means the deployment's value below.
namespace OnlineKey {
inline const QString repositoryApi = QStringLiteral("online/repositoryApi");
inline const QString repositoryToken = QStringLiteral("online/repositoryToken");
inline const QString website = QStringLiteral("online/website");
inline const QString productPageEnglish = QStringLiteral("online/productPageEnglish");
inline const QString productPage = QStringLiteral("online/productPage");
inline const QString licensePrefix = QStringLiteral("online/licensePrefix");
} // namespace OnlineKey

// The environment variable that gives the firmware repository's access token;
// it wins over the settings key.
inline constexpr char kRepositoryTokenVariable[] = "PELAGON_REPOSITORY_TOKEN";

// Where the firmware images are published, and the credentials for it. The
// credentials are never built into the program: without a configured token
// no Authorization header is sent at all.
class RepositoryAccess
{
public:
    RepositoryAccess() = default;
    RepositoryAccess(QUrl apiBase, QString token);

    // The repository's REST contents endpoint on the configured API host.
    QUrl contentsUrl() const;
    const QUrl& apiBase() const { return mApiBase; }
    bool hasToken() const { return !mToken.isEmpty(); }

    // The Authorization header value for a request to `url`: "Basic ..." when
    // a token is configured and `url` is the configured API host over https
    // (plain http only to a loopback host); empty otherwise, so the token
    // never travels to a download host or in clear text.
    QByteArray authorizationFor(const QUrl& url) const;

    static const QString kOwner; // "Tessaly-Systems"

private:
    QUrl mApiBase;
    QString mToken;
};

// Everything online the program talks to, read from "settings.cfg" with the
// deployment's values as defaults.
struct OnlineConfig
{
    RepositoryAccess repository;
    QUrl website;              // root of the maker's site (WordPress media library)
    QUrl productPageEnglish;   // About box link when the interface is English
    QUrl productPage;          // About box link in every other language
    QString licensePrefix;     // license PDF = prefix + language code + ".pdf"

    QUrl licenseUrl(const QString& languageCode) const;
    QUrl productPageFor(const QString& languageCode) const;

    static OnlineConfig fromSettings(const QSettings& settings);
};

// True for hosts that never leave this machine (127.0.0.0/8, ::1, localhost).
bool isLoopbackHost(const QString& host);
