// Names from servers, credentials, the catalogue, the update decision and
// the unpacking of update archives: the online rules that need no network.

#include "online/firmwarecatalogue.h"
#include "online/firmwaredownloader.h"
#include "online/onlineconfig.h"
#include "online/safenames.h"
#include "online/updatearchive.h"
#include "online/updateoffer.h"
#include "loopbackhttpserver.h"
#include "testzip.h"

#include <QDir>
#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

class TestOnlineLogic : public QObject
{
    Q_OBJECT

private slots:
    void authorization_data();
    void authorization();
    void configuration();
    void serverNames_data();
    void serverNames();
    void catalogue();
    void updateOffer_data();
    void updateOffer();
    void unpack_data();
    void unpack();
    void freshFolder();
};

void TestOnlineLogic::authorization_data()
{
    QTest::addColumn<QString>("api");
    QTest::addColumn<QString>("token");
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("sent");
    const QString api = QStringLiteral("https://api.example.org");
    QTest::newRow("api host over https") << api << "abc123" << "https://api.example.org/repos/x" << true;
    QTest::newRow("host differs only in case") << api << "abc123" << "https://API.example.org/x" << true;
    QTest::newRow("no token") << api << "" << "https://api.example.org/repos/x" << false;
    QTest::newRow("download host") << api << "abc123" << "https://raw.example.org/x.bin" << false;
    QTest::newRow("api host in clear text") << api << "abc123" << "http://api.example.org/x" << false;
    QTest::newRow("api host on another port") << api << "abc123" << "https://api.example.org:8443/x" << false;
    QTest::newRow("loopback in clear text") << "http://127.0.0.1:8080" << "abc123" << "http://127.0.0.1:8080/x" << true;
    QTest::newRow("other loopback port") << "http://127.0.0.1:8080" << "abc123" << "http://127.0.0.1:8081/x" << false;
}

void TestOnlineLogic::authorization()
{
    QFETCH(QString, api);
    QFETCH(QString, token);
    QFETCH(QString, url);
    QFETCH(bool, sent);
    const RepositoryAccess access{QUrl(api), token};
    // "Tessaly-Systems:abc123" in Base64, worked out outside the program.
    QCOMPARE(access.authorizationFor(QUrl(url)), sent ? QByteArray("Basic VGVzc2FseS1TeXN0ZW1zOmFiYzEyMw==") : QByteArray());
}

void TestOnlineLogic::configuration()
{
    QTemporaryDir dir;
    QSettings settings(dir.filePath("settings.cfg"), QSettings::IniFormat);
    qunsetenv(kRepositoryTokenVariable);

    OnlineConfig config = OnlineConfig::fromSettings(settings);
    QVERIFY(!config.repository.hasToken());
    QCOMPARE(config.repository.apiBase().scheme(), QStringLiteral("https"));
    QVERIFY(config.website.isValid());
    QVERIFY(config.licenseUrl("fr").toString().endsWith("fr.pdf"));
    QVERIFY(config.productPageFor("en") != config.productPageFor("fr"));

    settings.setValue(OnlineKey::repositoryApi, "http://127.0.0.1:9000/");
    settings.setValue(OnlineKey::repositoryToken, "fromsettings");
    settings.setValue(OnlineKey::website, "http://127.0.0.1:9001");
    config = OnlineConfig::fromSettings(settings);
    QCOMPARE(config.repository.contentsUrl().toString(),
             QStringLiteral("http://127.0.0.1:9000/repos/Tessaly-Systems/Pelagon_Repository/contents"));
    QCOMPARE(config.website, QUrl("http://127.0.0.1:9001"));
    QCOMPARE(config.repository.authorizationFor(QUrl("http://127.0.0.1:9000/x")),
             "Basic " + QByteArray("Tessaly-Systems:fromsettings").toBase64());

    // The environment wins over the settings file.
    qputenv(kRepositoryTokenVariable, "fromenvironment");
    config = OnlineConfig::fromSettings(settings);
    qunsetenv(kRepositoryTokenVariable);
    QCOMPARE(config.repository.authorizationFor(QUrl("http://127.0.0.1:9000/x")),
             "Basic " + QByteArray("Tessaly-Systems:fromenvironment").toBase64());
}

void TestOnlineLogic::serverNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("plain");
    QTest::newRow("image") << "K2.1.4.2.b.bin" << true;
    QTest::newRow("spaces and accents") << "Mise à jour 2.bin" << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("dot") << "." << false;
    QTest::newRow("dot dot") << ".." << false;
    QTest::newRow("leading dot dot") << "..evil.bin" << false;
    QTest::newRow("parent folder") << "../evil.bin" << false;
    QTest::newRow("sub folder") << "a/b.bin" << false;
    QTest::newRow("backslash") << "a\\b.bin" << false;
    QTest::newRow("drive") << "C:evil.bin" << false;
    QTest::newRow("control character") << QString("a\nb.bin") << false;
    QTest::newRow("escape") << QString("a\x1b.bin") << false;
    QTest::newRow("too long") << QString(300, u'a') << false;
}

void TestOnlineLogic::serverNames()
{
    QFETCH(QString, name);
    QFETCH(bool, plain);
    QCOMPARE(SafeNames::plainBaseName(name), plain ? name : QString());
    // The same rule holds for names taken from an address, percent-decoded
    // (an encoded '/' only separates another last segment).
    const QUrl url(QStringLiteral("https://h.example/files/") + QString::fromLatin1(QUrl::toPercentEncoding(name)));
    const QString fromUrl = SafeNames::fileNameOfUrl(url);
    if (name.contains(u'/'))
        QCOMPARE(fromUrl, name.section(u'/', -1));
    else
        QCOMPARE(fromUrl, plain ? name : QString());
}

void TestOnlineLogic::catalogue()
{
    const QJsonArray toc{
        QJsonObject{{"File", "K2.1.4.2.b.bin"}, {"Version", "0x01040262"}, {"Description", "Stable"},
                    {"Color", "#FF8000"}, {"DateTime", "2024-05-01T10:20:30Z"}},
        QJsonObject{{"File", "BOOT.2.0.0.a.bin"}, {"Version", "0x02000061"}, {"Description", "Bootloader"},
                    {"Color", ""}, {"DateTime", ""}},
        QJsonObject{{"File", "../escape.bin"}, {"Version", "0x01000000"}},
        QJsonObject{{"File", "notes.txt"}, {"Version", "0x01000000"}},
        QJsonObject{{"File", "K2.0.9.bin"}, {"Version", "1.2"}, {"Color", "orange"}},
    };
    // The repository's file object: Base64 in lines of 60 characters.
    const QByteArray fileObject = LoopbackHttpServer::repositoryFileObject(
        "toc-private.json", QJsonDocument(toc).toJson(QJsonDocument::Compact));
    QVERIFY(fileObject.count("\\n") > 3);
    QCOMPARE(FirmwareDownloader::tableOfContents(fileObject), toc);
    QVERIFY(FirmwareDownloader::tableOfContents("<html>not json</html>").isEmpty());

    QList<FirmwareEntry> entries = FirmwareCatalogue::fromTableOfContents(toc);
    QCOMPARE(entries.size(), 3); // the escaping and the non-image names are refused
    QCOMPARE(entries[0].version, 0x01040262u);
    QCOMPARE(entries[0].versionText, QStringLiteral("1.4.2.b"));
    QCOMPARE(entries[0].color, QColor(255, 128, 0));
    QCOMPARE(entries[0].localName(), QStringLiteral("2024-05-01_10-20-30__K2.1.4.2.b.bin"));
    QCOMPARE(entries[0].uploadName(), QStringLiteral("K2.1.4.2.b"));
    QCOMPARE(entries[1].color, QColor(Qt::white));
    QCOMPARE(entries[1].localName(), QStringLiteral("BOOT.2.0.0.a.bin"));
    QCOMPARE(entries[2].version, 0u);
    QCOMPARE(entries[2].color, QColor(Qt::white));

    const QJsonArray listing{
        QJsonObject{{"name", "K2.1.4.2.b.bin"}, {"download_url", "https://raw.example/K2.1.4.2.b.bin"}},
        QJsonObject{{"name", "UNLISTED.1.0.0.a.bin"}, {"download_url", "https://raw.example/UNLISTED.bin"}},
        QJsonObject{{"name", "K2.0.9.bin"}, {"download_url", "file:///etc/passwd"}},
        QJsonObject{{"name", "toc-private.json"}, {"download_url", "https://raw.example/toc-private.json"}},
    };
    FirmwareCatalogue::applyListing(entries, listing);
    QCOMPARE(entries.size(), 3);
    QCOMPARE(entries[0].downloadUrl, QUrl("https://raw.example/K2.1.4.2.b.bin"));
    QVERIFY(entries[1].downloadUrl.isEmpty()); // described but not published
    QVERIFY(entries[2].downloadUrl.isEmpty()); // not a web address

    // A name described twice and listed twice: both entries get the last
    // web address listed for it.
    QList<FirmwareEntry> twice = FirmwareCatalogue::fromTableOfContents({toc[0], toc[0]});
    FirmwareCatalogue::applyListing(twice, {listing[0],
                                            QJsonObject{{"name", "K2.1.4.2.b.bin"}, {"download_url", "https://b.example/K2"}},
                                            QJsonObject{{"name", "K2.1.4.2.b.bin"}, {"download_url", "ftp://c.example/K2"}}});
    QCOMPARE(twice.size(), 2);
    QCOMPARE(twice[0].downloadUrl, QUrl("https://b.example/K2"));
    QCOMPARE(twice[1].downloadUrl, QUrl("https://b.example/K2"));

    QVERIFY(!FirmwareCatalogue::isImageSize(543));
    QVERIFY(FirmwareCatalogue::isImageSize(544));
    QVERIFY(FirmwareCatalogue::isImageSize(16 * 1024 * 1024));
    QVERIFY(!FirmwareCatalogue::isImageSize(16 * 1024 * 1024 + 1));
}

void TestOnlineLogic::updateOffer_data()
{
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QString>("running");
    QTest::addColumn<QString>("offered"); // empty: nothing offered
    QTest::addColumn<int>("source");      // index of the media whose address is offered
    QTest::newRow("newer patch") << QStringList{"Manual", "PelagonDiveLogSetup_1.4.1"} << "1.4.0.1" << "1.4.1" << 1;
    QTest::newRow("newer major") << QStringList{"PelagonDiveLogSetup-2.0.0"} << "1.9.9" << "2.0.0" << 0;
    QTest::newRow("equal") << QStringList{"PelagonDiveLogSetup_1.4.0"} << "1.4.0.1176" << "" << -1;
    QTest::newRow("older") << QStringList{"PelagonDiveLogSetup_1.3.9"} << "1.4.0" << "" << -1;
    QTest::newRow("first match decides")
        << QStringList{"PelagonDiveLogSetup_1.3.0", "PelagonDiveLogSetup_9.0.0"} << "1.4.0" << "" << -1;
    QTest::newRow("two parts") << QStringList{"PelagonDiveLogSetup_1.5"} << "1.4.0" << "" << -1;
    QTest::newRow("four parts") << QStringList{"PelagonDiveLogSetup_1.5.0.2"} << "1.4.0" << "" << -1;
    QTest::newRow("prefix case") << QStringList{"pelagondivelogsetup_9.0.0"} << "1.4.0" << "" << -1;
    QTest::newRow("running without patch") << QStringList{"PelagonDiveLogSetup_1.4.1"} << "1.4" << "1.4.1" << 0;
}

void TestOnlineLogic::updateOffer()
{
    QFETCH(QStringList, titles);
    QFETCH(QString, running);
    QFETCH(QString, offered);
    QFETCH(int, source);
    QList<QJsonObject> media;
    for (int i = 0; i < titles.size(); ++i)
        media.append(QJsonObject{{"title", QJsonObject{{"rendered", titles[i]}}},
                                 {"source_url", QStringLiteral("https://site.example/setup%1.zip").arg(i)}});
    const auto offer = UpdateCheck::findOffer(media, VersionTriple::fromString(running));
    QCOMPARE(offer.has_value(), !offered.isEmpty());
    if (offer) {
        QCOMPARE(offer->version.toString(), offered);
        QCOMPARE(offer->url, QUrl(QStringLiteral("https://site.example/setup%1.zip").arg(source)));
    }
}

void TestOnlineLogic::unpack_data()
{
    QTest::addColumn<QList<testzip::Entry>>("entries");
    QTest::addColumn<qint64>("cap");
    QTest::addColumn<bool>("ok");
    const QByteArray setup = QByteArray(300000, 'x') + "end";
    QTest::newRow("installer and folder")
        << QList<testzip::Entry>{{"PelagonDiveLogSetup_1.5.0.exe", setup}, {"doc/", {}}, {"doc/readme.txt", "hi"}}
        << qint64(1 << 20) << true;
    QTest::newRow("dot segments inside") << QList<testzip::Entry>{{"./a/./b.txt", "b"}} << qint64(1 << 20) << true;
    QTest::newRow("parent folder")
        << QList<testzip::Entry>{{"ok.txt", "ok"}, {"../evil.txt", "evil"}} << qint64(1 << 20) << false;
    QTest::newRow("hidden parent") << QList<testzip::Entry>{{"a/../../evil.txt", "evil"}} << qint64(1 << 20) << false;
    QTest::newRow("backslash parent") << QList<testzip::Entry>{{"a\\..\\..\\evil.txt", "evil"}} << qint64(1 << 20)
                                      << false;
    QTest::newRow("absolute") << QList<testzip::Entry>{{"/tmp/evil.txt", "evil"}} << qint64(1 << 20) << false;
    QTest::newRow("drive") << QList<testzip::Entry>{{"C:/evil.txt", "evil"}} << qint64(1 << 20) << false;
    // 300 kB of one letter compresses to almost nothing: counted as inflated.
    QTest::newRow("over the size cap") << QList<testzip::Entry>{{"big.bin", setup}} << qint64(100000) << false;
}

void TestOnlineLogic::unpack()
{
    QFETCH(QList<testzip::Entry>, entries);
    QFETCH(qint64, cap);
    QFETCH(bool, ok);
    QTemporaryDir dir;
    const QString archive = dir.filePath("downloads/PelagonDiveLogSetup_1.5.0.zip");
    QVERIFY(QDir().mkpath(dir.filePath("downloads")));
    QVERIFY(testzip::write(archive, entries));

    const QString folder = UpdateArchive::freshFolderFor(archive);
    QCOMPARE(folder, dir.filePath("downloads/PelagonDiveLogSetup_1.5.0"));
    const UpdateArchive::Result result = UpdateArchive::unpack(archive, folder, cap);
    QCOMPARE(result.ok, ok);
    QCOMPARE(result.error.isEmpty(), ok);
    if (ok) {
        for (const testzip::Entry& entry : entries) {
            const QString path = QDir(folder).filePath(UpdateArchive::entryPath(entry.first));
            if (entry.first.endsWith('/')) {
                QVERIFY(QFileInfo(path).isDir());
                continue;
            }
            QFile file(path);
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
            QCOMPARE(file.readAll(), entry.second);
        }
        QCOMPARE(UpdateArchive::installerPath(folder, archive),
                 dir.filePath("downloads/PelagonDiveLogSetup_1.5.0/PelagonDiveLogSetup_1.5.0.exe"));
    } else {
        // Nothing of a refused archive stays, inside or outside its folder.
        QVERIFY(!QFileInfo::exists(folder));
        QStringList left;
        for (QDirIterator it(dir.path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
            left.append(QDir(dir.path()).relativeFilePath(it.next()));
        QCOMPARE(left, QStringList{"downloads/PelagonDiveLogSetup_1.5.0.zip"});
    }
}

void TestOnlineLogic::freshFolder()
{
    QTemporaryDir dir;
    const QString archive = dir.filePath("Setup_1.5.0.zip");
    QVERIFY(testzip::write(archive, {{"a.txt", "a"}}));
    QVERIFY(QDir().mkpath(dir.filePath("Setup_1.5.0")));
    QCOMPARE(UpdateArchive::freshFolderFor(archive), dir.filePath("Setup_1.5.0-2"));
    // A folder that exists is never unpacked into, and a file that is not an
    // archive is refused.
    QVERIFY(!UpdateArchive::unpack(archive, dir.filePath("Setup_1.5.0")).ok);
    QFile notZip(dir.filePath("page.zip"));
    QVERIFY(notZip.open(QIODevice::WriteOnly));
    notZip.write("<html>404</html>");
    notZip.close();
    QVERIFY(!UpdateArchive::unpack(notZip.fileName(), dir.filePath("page")).ok);
    QVERIFY(!QFileInfo::exists(dir.filePath("page")));
}

QTEST_GUILESS_MAIN(TestOnlineLogic)
#include "tst_onlinelogic.moc"
