// The firmware repository client, the generic file downloader and the
// WordPress media client against a real HTTP server on 127.0.0.1.

#include "loopbackhttpserver.h"
#include "online/firmwaredownloader.h"
#include "online/genericfiledownloader.h"
#include "online/onlineconfig.h"
#include "online/wordpressclient.h"

#include <QDir>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using Mode = LoopbackHttpServer::Reply::Mode;

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace

class TestOnlineClients : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void repositoryCatalogue();
    void authorizationStaysOnTheApiHost();
    void failedRepliesAreNotData();
    void streamedDownload_data();
    void streamedDownload();
    void cancelLeavesNothingRunning();
    void defaultDownloadFolder();
    void mediaPages();
    void mediaFailures_data();
    void mediaFailures();

private:
    std::unique_ptr<LoopbackHttpServer> mApi;      // the repository's API host
    std::unique_ptr<LoopbackHttpServer> mDownload; // another host: raw files and redirects
};

void TestOnlineClients::init()
{
    mApi = std::make_unique<LoopbackHttpServer>();
    mDownload = std::make_unique<LoopbackHttpServer>();
    QVERIFY(mApi->listen());
    QVERIFY(mDownload->listen());
}

void TestOnlineClients::repositoryCatalogue()
{
    const RepositoryAccess access{mApi->url(), "abc123"};
    FirmwareDownloader downloader(access);
    const QString contents = QStringLiteral("/repos/Tessaly-Systems/Pelagon_Repository/contents");
    QCOMPARE(downloader.url(FirmwareDownloader::ContentsUrl), mApi->url(contents));
    QCOMPARE(downloader.url(FirmwareDownloader::TableOfContentsUrl), mApi->url(contents + "/toc-private.json"));

    const QJsonArray toc{QJsonObject{{"File", "K2.1.4.2.b.bin"}, {"Version", "0x01040262"}}};
    const QJsonArray listing{QJsonObject{{"name", "K2.1.4.2.b.bin"}, {"download_url", mDownload->url("/K2.bin").toString()}}};
    LoopbackHttpServer::Reply tocReply = LoopbackHttpServer::ok(
        LoopbackHttpServer::repositoryFileObject("toc-private.json", QJsonDocument(toc).toJson()), "application/json");
    mApi->setReply(contents + "/toc-private.json", tocReply);
    mApi->setReply(contents, LoopbackHttpServer::json(QJsonDocument(listing)));

    // Both requests in flight at once: each reply comes back with its own
    // kind, whatever the order they finish in.
    QList<QPair<int, QByteArray>> replies;
    connect(&downloader, &FirmwareDownloader::downloaded, this,
            [&] { replies.append({downloader.requestKind(), downloader.lastReply()}); });
    QCOMPARE(downloader.request(downloader.url(FirmwareDownloader::ContentsUrl), FirmwareDownloader::Listing), 0);
    QCOMPARE(downloader.request(downloader.url(FirmwareDownloader::TableOfContentsUrl),
                                FirmwareDownloader::TableOfContents),
             0);
    QTRY_COMPARE(replies.size(), 2);
    for (const auto& reply : replies) {
        if (reply.first == FirmwareDownloader::TableOfContents)
            QCOMPARE(FirmwareDownloader::tableOfContents(reply.second), toc);
        else
            QCOMPARE(QJsonDocument::fromJson(reply.second).array(), listing);
    }
    QVERIFY(replies[0].first != replies[1].first);

    // An address that is not http(s) fails at once, with its code.
    QVERIFY(downloader.request(QUrl("file:///etc/passwd"), FirmwareDownloader::Listing) != 0);
    QVERIFY(downloader.request(QUrl("ftp://h.example/x"), FirmwareDownloader::Listing) != 0);
}

void TestOnlineClients::authorizationStaysOnTheApiHost()
{
    QTemporaryDir dir;
    const QByteArray expected = "Basic " + QByteArray("Tessaly-Systems:abc123").toBase64();
    const QByteArray image = LoopbackHttpServer::pattern(0, 4096);
    mApi->setReply("/api-file.bin", LoopbackHttpServer::ok(image));
    mApi->setReply("/to-download-host", LoopbackHttpServer::redirect(mDownload->url("/K2.bin")));
    mDownload->setReply("/K2.bin", LoopbackHttpServer::ok(image));
    mDownload->setReply("/back-to-api", LoopbackHttpServer::redirect(mApi->url("/api-file.bin")));

    for (const QString& token : {QStringLiteral("abc123"), QString()}) {
        mApi->clearRequests();
        mDownload->clearRequests();
        FirmwareDownloader downloader(RepositoryAccess{mApi->url(), token});
        QSignalSpy done(&downloader, &FirmwareDownloader::downloaded);
        const QString path = dir.filePath("K2.bin");
        downloader.requestFile(mApi->url("/api-file.bin"), 2, path, -1);
        downloader.requestFile(mApi->url("/to-download-host"), 2, path + "2", -1);
        downloader.requestFile(mDownload->url("/back-to-api"), 2, path + "3", -1);
        QTRY_COMPARE(done.size(), 3);
        QCOMPARE(readAll(path + "2"), image);
        QCOMPARE(mApi->requests().size(), 3);
        QCOMPARE(mDownload->requests().size(), 2);
        for (const auto& request : mApi->requests())
            QCOMPARE(request.headers.value("authorization"), token.isEmpty() ? QByteArray() : expected);
        for (const auto& request : mDownload->requests())
            QVERIFY(!request.headers.contains("authorization"));
    }
}

void TestOnlineClients::failedRepliesAreNotData()
{
    FirmwareDownloader downloader(RepositoryAccess{mApi->url(), "abc123"});
    downloader.setTransferTimeout(300);
    const QByteArray body = QJsonDocument(QJsonArray{QJsonObject{{"name", "a.bin"}}}).toJson();
    mApi->setReply("/missing", LoopbackHttpServer::status(404));
    mApi->setReply("/error", LoopbackHttpServer::status(500, "[]"));
    mApi->setReply("/cut", LoopbackHttpServer::withMode(LoopbackHttpServer::ok(body), Mode::CutShort));
    mApi->setReply("/stall", LoopbackHttpServer::withMode(LoopbackHttpServer::ok(body), Mode::Stall));
    mApi->setReply("/unlimited", LoopbackHttpServer::withMode(LoopbackHttpServer::ok(body), Mode::NoLength));

    QSignalSpy ok(&downloader, &FirmwareDownloader::downloaded);
    QSignalSpy failed(&downloader, &FirmwareDownloader::downloadFailed);
    for (const char* path : {"/missing", "/error", "/cut", "/stall"}) {
        failed.clear();
        QCOMPARE(downloader.request(mApi->url(path), FirmwareDownloader::Listing), 0);
        QVERIFY2(failed.wait(5000), path);
        QCOMPARE(downloader.requestKind(), int(FirmwareDownloader::Listing));
        QVERIFY(downloader.lastReply().isEmpty());
        QVERIFY(downloader.listing().isEmpty());
    }
    QCOMPARE(ok.size(), 0);
    // A body without a length ends with the connection, and is whole.
    downloader.request(mApi->url("/unlimited"), FirmwareDownloader::Listing);
    QVERIFY(ok.wait(5000));
    QCOMPARE(downloader.lastReply(), body);
}

void TestOnlineClients::streamedDownload_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<qint64>("cap");
    QTest::addColumn<bool>("ok");
    QTest::newRow("whole") << "/file" << qint64(-1) << true;
    QTest::newRow("no length") << "/unlimited" << qint64(-1) << true;
    QTest::newRow("redirected twice") << "/moved" << qint64(-1) << true;
    QTest::newRow("not found") << "/missing" << qint64(-1) << false;
    QTest::newRow("cut short") << "/cut" << qint64(-1) << false;
    QTest::newRow("stalled") << "/stall" << qint64(-1) << false;
    QTest::newRow("over the cap") << "/file" << qint64(299999) << false;
    QTest::newRow("unlimited over the cap") << "/unlimited" << qint64(100000) << false;
    QTest::newRow("redirect loop") << "/loop" << qint64(-1) << false;
}

void TestOnlineClients::streamedDownload()
{
    QFETCH(QString, path);
    QFETCH(qint64, cap);
    QFETCH(bool, ok);
    const qint64 size = 300000;
    mDownload->setReply("/file", LoopbackHttpServer::generated(size));
    mDownload->setReply("/unlimited", LoopbackHttpServer::withMode(LoopbackHttpServer::generated(size), Mode::NoLength));
    mDownload->setReply("/cut", LoopbackHttpServer::withMode(LoopbackHttpServer::generated(size), Mode::CutShort));
    mDownload->setReply("/stall", LoopbackHttpServer::withMode(LoopbackHttpServer::generated(size), Mode::Stall, 1000));
    mDownload->setReply("/missing", LoopbackHttpServer::status(404, QByteArray(5000, 'x')));
    mDownload->setReply("/moved", LoopbackHttpServer::redirect(mApi->url("/moved-again"), 301));
    mApi->setReply("/moved-again", LoopbackHttpServer::redirect(mDownload->url("/file"), 307));
    mDownload->setReply("/loop", LoopbackHttpServer::redirect(mDownload->url("/loop")));

    // An older file of the same name stays unless the new one arrives whole.
    QTemporaryDir dir;
    const QString target = dir.filePath("update.zip");
    QFile previous(target);
    QVERIFY(previous.open(QIODevice::WriteOnly));
    previous.write("previous version");
    previous.close();

    GenericFileDownloader downloader;
    downloader.setTransferTimeout(300);
    QSignalSpy finished(&downloader, &GenericFileDownloader::downloadFinished);
    QSignalSpy failed(&downloader, &GenericFileDownloader::downloadFailed);
    QSignalSpy progress(&downloader, &GenericFileDownloader::progressChanged);
    downloader.download(mDownload->url(path), target, cap);
    QTRY_COMPARE_WITH_TIMEOUT(finished.size() + failed.size(), 1, 10000);
    QCOMPARE(finished.size(), ok ? 1 : 0);
    if (ok) {
        QCOMPARE(finished.at(0).at(0).toString(), target);
        QCOMPARE(readAll(target), LoopbackHttpServer::pattern(0, size));
        QVERIFY(!progress.isEmpty());
        QCOMPARE(progress.last().at(0).toLongLong(), size);
        QCOMPARE(progress.last().at(1).toLongLong(), size);
    } else {
        QVERIFY(!failed.at(0).at(0).toString().isEmpty());
        QCOMPARE(readAll(target), QByteArray("previous version"));
    }
    QCOMPARE(filesIn(dir.path()), QStringList{"update.zip"}); // no temporary file left behind
    QTest::qWait(50);
    QCOMPARE(finished.size() + failed.size(), 1);
}

void TestOnlineClients::cancelLeavesNothingRunning()
{
    mDownload->setReply("/stall", LoopbackHttpServer::withMode(LoopbackHttpServer::generated(1 << 20), Mode::Stall, 70000));
    QTemporaryDir dir;
    const QString target = dir.filePath("fw.bin");

    GenericFileDownloader generic;
    FirmwareDownloader firmware(RepositoryAccess{mApi->url(), QString()});
    QSignalSpy genericFinished(&generic, &GenericFileDownloader::downloadFinished);
    QSignalSpy genericFailed(&generic, &GenericFileDownloader::downloadFailed);
    QSignalSpy firmwareDone(&firmware, &FirmwareDownloader::downloaded);
    QSignalSpy firmwareFailed(&firmware, &FirmwareDownloader::downloadFailed);
    generic.download(mDownload->url("/stall"), target);
    firmware.requestFile(mDownload->url("/stall"), 2, target + ".fw", -1);
    QVERIFY(firmware.isBusy());
    QTRY_COMPARE(mDownload->requests().size(), 2); // both answered, both stalled
    generic.cancel();
    firmware.cancel();
    QVERIFY(!generic.isRunning());
    QVERIFY(!firmware.isBusy());
    QTest::qWait(200);
    QCOMPARE(genericFinished.size() + genericFailed.size() + firmwareDone.size() + firmwareFailed.size(), 0);
    QCOMPARE(filesIn(dir.path()), QStringList());

    // A download that cannot even start is cancelled as well.
    generic.download(QUrl("ftp://h.example/x.zip"), target);
    generic.cancel();
    QTest::qWait(50);
    QCOMPARE(genericFailed.size(), 0);
}

void TestOnlineClients::defaultDownloadFolder()
{
    mDownload->setReply("/files/PelagonDiveLogSetup_1.5.0.zip", LoopbackHttpServer::ok("zip"));
    GenericFileDownloader downloader;
    QSignalSpy finished(&downloader, &GenericFileDownloader::downloadFinished);
    QSignalSpy failed(&downloader, &GenericFileDownloader::downloadFailed);
    downloader.download(mDownload->url("/files/PelagonDiveLogSetup_1.5.0.zip"));
    QVERIFY(finished.wait(5000));
    const QString expected = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation)
        + QStringLiteral("/PelagonDiveLogSetup_1.5.0.zip");
    QCOMPARE(finished.at(0).at(0).toString(), expected);
    QCOMPARE(readAll(expected), QByteArray("zip"));
    QFile::remove(expected);
    // Addresses without a usable file name are refused before any request.
    for (const char* target : {"/files/", "/files/a%0Ab.zip", "/files/.."}) {
        failed.clear();
        downloader.download(mDownload->url(target));
        QVERIFY2(failed.wait(5000), target);
    }
    QCOMPARE(mDownload->requests().size(), 1);
}

void TestOnlineClients::mediaPages()
{
    QList<QJsonObject> media;
    for (int i = 0; i < 250; ++i)
        media.append(QJsonObject{{"id", i}, {"title", QJsonObject{{"rendered", QStringLiteral("media %1").arg(i)}}}});
    mApi->serveMedia("/wp-json/wp/v2/media", media, 100, "&mime_type=application/zip");

    WordPressClient client(mApi->url("/"), "application/zip");
    QSignalSpy ready(&client, &WordPressClient::mediaListReady);
    client.start();
    QVERIFY(ready.wait(5000));
    QCOMPARE(ready.at(0).at(0).value<QList<QJsonObject>>(), media);
    QCOMPARE(mApi->requests().size(), 3);
    for (int page = 1; page <= 3; ++page)
        QCOMPARE(mApi->requests()[page - 1].target,
                 QByteArray("/wp-json/wp/v2/media?per_page=100&page=") + QByteArray::number(page)
                     + "&mime_type=application/zip");
    QTest::qWait(50);
    QCOMPARE(ready.size(), 1);
}

void TestOnlineClients::mediaFailures_data()
{
    QTest::addColumn<QString>("pageTwo"); // what the second page is
    QTest::newRow("not found") << "404";
    QTest::newRow("not an array") << "object";
    QTest::newRow("cut short") << "cut";
}

void TestOnlineClients::mediaFailures()
{
    QFETCH(QString, pageTwo);
    QList<QJsonObject> media;
    for (int i = 0; i < 150; ++i)
        media.append(QJsonObject{{"id", i}});
    mApi->serveMedia("/wp-json/wp/v2/media", media);
    const QString second = QStringLiteral("/wp-json/wp/v2/media?per_page=100&page=2");
    if (pageTwo == "404")
        mApi->setReply(second, LoopbackHttpServer::status(404));
    else if (pageTwo == "object")
        mApi->setReply(second, LoopbackHttpServer::json(QJsonDocument(QJsonObject{{"code", "rest_error"}})));
    else
        mApi->setReply(second, LoopbackHttpServer::withMode(LoopbackHttpServer::ok("[{\"id\": 1}, {\"id\": 2}]"),
                                                            Mode::CutShort, 10));

    WordPressClient client(mApi->url(), QString());
    QSignalSpy ready(&client, &WordPressClient::mediaListReady);
    QSignalSpy failed(&client, &WordPressClient::listingFailed);
    client.start();
    QVERIFY(failed.wait(5000));
    QTest::qWait(50);
    QCOMPARE(ready.size(), 0);
    QCOMPARE(failed.size(), 1);
}

QTEST_GUILESS_MAIN(TestOnlineClients)
#include "tst_onlineclients.moc"
