#include "online/onlineconfig.h"

#include <QHostAddress>
#include <QSettings>

namespace {

const char kDefaultRepositoryApi[] = "https://api.github.com";
const char kDefaultWebsite[] = "https://www.tessaly-systems.com";
const char kDefaultProductPageEnglish[] = "https://www.tessaly-systems.com/en/pelagon-divelog/";
const char kDefaultProductPage[] = "https://www.tessaly-systems.com/pelagon-divelog/";
const char kDefaultLicensePrefix[] = "https://www.tessaly-systems.com/wp-content/uploads/PelagonDiveLog-license-";

int effectivePort(const QUrl& url)
{
    return url.port(url.scheme() == QLatin1String("https") ? 443 : 80);
}

QUrl urlSetting(const QSettings& settings, const QString& key, const char* fallback)
{
    const QString value = settings.value(key).toString().trimmed();
    return QUrl(value.isEmpty() ? QString::fromLatin1(fallback) : value);
}

} // namespace

const QString RepositoryAccess::kOwner = QStringLiteral("Tessaly-Systems");

RepositoryAccess::RepositoryAccess(QUrl apiBase, QString token)
    : mApiBase(std::move(apiBase))
    , mToken(std::move(token))
{
}

QUrl RepositoryAccess::contentsUrl() const
{
    QUrl url = mApiBase;
    QString path = url.path();
    while (path.endsWith(u'/'))
        path.chop(1);
    url.setPath(path + QStringLiteral("/repos/%1/Pelagon_Repository/contents").arg(kOwner));
    return url;
}

QByteArray RepositoryAccess::authorizationFor(const QUrl& url) const
{
    if (mToken.isEmpty() || !url.isValid())
        return {};
    if (url.host().compare(mApiBase.host(), Qt::CaseInsensitive) != 0 || effectivePort(url) != effectivePort(mApiBase))
        return {};
    const bool secure = url.scheme() == QLatin1String("https");
    const bool localClear = url.scheme() == QLatin1String("http") && isLoopbackHost(url.host());
    if (!secure && !localClear)
        return {};
    return "Basic " + (kOwner + u':' + mToken).toUtf8().toBase64();
}

QUrl OnlineConfig::licenseUrl(const QString& languageCode) const
{
    return QUrl(licensePrefix + languageCode + QStringLiteral(".pdf"));
}

QUrl OnlineConfig::productPageFor(const QString& languageCode) const
{
    return languageCode == QLatin1String("en") ? productPageEnglish : productPage;
}

OnlineConfig OnlineConfig::fromSettings(const QSettings& settings)
{
    QString token = qEnvironmentVariable(kRepositoryTokenVariable).trimmed();
    if (token.isEmpty())
        token = settings.value(OnlineKey::repositoryToken).toString().trimmed();

    OnlineConfig config;
    config.repository = RepositoryAccess(urlSetting(settings, OnlineKey::repositoryApi, kDefaultRepositoryApi), token);
    config.website = urlSetting(settings, OnlineKey::website, kDefaultWebsite);
    config.productPageEnglish = urlSetting(settings, OnlineKey::productPageEnglish, kDefaultProductPageEnglish);
    config.productPage = urlSetting(settings, OnlineKey::productPage, kDefaultProductPage);
    const QString prefix = settings.value(OnlineKey::licensePrefix).toString().trimmed();
    config.licensePrefix = prefix.isEmpty() ? QString::fromLatin1(kDefaultLicensePrefix) : prefix;
    return config;
}

bool isLoopbackHost(const QString& host)
{
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}
