// Firmware uploads and display layouts through the session, against the
// simulated computer: what goes over the link, what the computer ends up
// holding, and how failures end a job.

#include "corvane/simulator/computerflash.h"
#include "tests/corvane/session/sessionrig.h"

#include <QtEndian>
#include <QtTest>

using namespace PelagonCommand;
using SessionRig::Rig;

namespace {

constexpr quint32 kApplication = 0xDEADBEEF;
constexpr quint32 kBootloader = 0x424F4F54;

// The requests the computer received, in order.
struct Requests
{
    QList<int> commands;
    QList<QByteArray> payloads;

    explicit Requests(SimulatedComputer& computer)
    {
        QObject::connect(&computer, &SimulatedComputer::requestReceived, &computer,
                         [this](int command, const QByteArray& payload) {
                             commands.append(command);
                             payloads.append(payload);
                         });
    }
    QList<QByteArray> of(int command) const
    {
        QList<QByteArray> found;
        for (int i = 0; i < commands.size(); ++i) {
            if (commands.at(i) == command)
                found.append(payloads.at(i));
        }
        return found;
    }
    QList<int> sizesOf(int command) const
    {
        QList<int> sizes;
        for (const QByteArray& payload : of(command))
            sizes.append(int(payload.size()));
        return sizes;
    }
};

// Connected to the rig's computer with its identification read.
bool ready(Rig& rig)
{
    return rig.connect() && rig.run(Identification);
}

// Waits until the upload ends one way or the other.
void waitForUploadEnd(Rig& rig)
{
    QTRY_VERIFY_WITH_TIMEOUT(!rig.session.isUploading(), 10000);
}

QList<int> chunkSizes(int size, int frame)
{
    QList<int> sizes;
    for (int at = 0; at < size; at += frame)
        sizes.append(qMin(frame, size - at));
    return sizes;
}

} // namespace

class TestSessionFirmware : public QObject
{
    Q_OBJECT

private slots:
    void uploads_data();
    void uploads();
    void refusals_data();
    void refusals();
    void oneUploadAtATime();
    void failedChunkRestartsFromTheStart();
    void linkLossMidUpload_data();
    void linkLossMidUpload();
    void startOffset_data();
    void startOffset();
    void layoutChunks_data();
    void layoutChunks();
    void layoutStore();
    void shortActiveAnswer();
    void failedLayoutChunkRestarts();
};

void TestSessionFirmware::uploads_data()
{
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("opening");
    QTest::addColumn<int>("chunk");
    QTest::addColumn<bool>("bootloader");
    QTest::addColumn<quint32>("version");
    QTest::newRow("without header") << SimulatedFlash::firmwareImage(0, 0, 1000) << "X.2.0.11.a.bin"
                                    << int(Begin_program) << int(Program) << false << 0x02000B61u;
    QTest::newRow("application") << SimulatedFlash::firmwareImage(kApplication, 0x02010063, 5000, 7) << "app.bin"
                                 << int(BeginUpdate) << int(ProgramUpdate) << false << 0x02010063u;
    QTest::newRow("bootloader") << SimulatedFlash::firmwareImage(kBootloader, 0x01030061, 3001, 9) << "boot.bin"
                                << int(BeginUpdate) << int(ProgramUpdate) << true << 0x01030061u;
}

void TestSessionFirmware::uploads()
{
    QFETCH(QByteArray, image);
    QFETCH(QString, name);
    QFETCH(int, opening);
    QFETCH(int, chunk);
    QFETCH(bool, bootloader);
    QFETCH(quint32, version);
    Rig rig;
    QVERIFY(ready(rig));
    Requests requests(rig.computer());
    QSignalSpy progress(&rig.session, &KelvoSession::uploadFirmwareProgress);
    QSignalSpy ended(&rig.session, &KelvoSession::endCommand);
    QSignalSpy failed(&rig.session, &KelvoSession::exchangeError);
    QSignalSpy lost(&rig.session, &KelvoSession::disconnectController);

    QCOMPARE(rig.session.uploadFirmware(image, name, false), int(image.size()));
    QVERIFY(rig.session.isUploading());
    QVERIFY(lost.wait(10000)); // the computer restarts into the new image
    QVERIFY(failed.isEmpty());
    QCOMPARE(ended.size(), 1);
    QCOMPARE(ended.at(0).at(0).toInt(), int(End_program));

    QCOMPARE(requests.commands.first(), opening);
    QCOMPARE(requests.payloads.first().size(), opening == Begin_program ? 44 : 32);
    QCOMPARE(requests.sizesOf(chunk), chunkSizes(int(image.size()), 232));
    QCOMPARE(requests.of(chunk).join(), image);
    QCOMPARE(progress.at(progress.size() - 2), (QList<QVariant>{int(image.size()), 100}));
    QCOMPARE(progress.last(), (QList<QVariant>{0, 100}));
    QVERIFY(rig.session.uploadElapsed().count() > 0);

    const FirmwareReceiver& flash = rig.computer().state().firmware;
    QCOMPARE(bootloader ? flash.installedBootloader : flash.installedFirmware, image);
    QVERIFY(ready(rig));
    QCOMPARE(bootloader ? rig.session.bootloaderVersion() : rig.session.firmwareVersion(), version);
}

void TestSessionFirmware::refusals_data()
{
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("force");
    QTest::addColumn<quint32>("computerBootloader");
    QTest::addColumn<int>("result");
    const quint32 firmware = 0x02000C62; // the simulated computer's
    const quint32 loader = 0x01020061;
    const QByteArray ownFirmware = SimulatedFlash::firmwareImage(kApplication, firmware, 2000);
    const QByteArray ownLoader = SimulatedFlash::firmwareImage(kBootloader, loader, 2000);
    QTest::newRow("unknown magic") << SimulatedFlash::firmwareImage(0x11223344, 1, 2000) << "a.bin" << false << loader
                                   << -1;
    QTest::newRow("installed bootloader") << ownLoader << "b.bin" << false << loader << -2;
    QTest::newRow("installed bootloader, forced") << ownLoader << "b.bin" << true << loader << 2000;
    QTest::newRow("installed firmware") << ownFirmware << "f.bin" << false << loader << -3;
    QTest::newRow("installed firmware, forced") << ownFirmware << "f.bin" << true << loader << 2000;
    QTest::newRow("bootloader unknown") << SimulatedFlash::firmwareImage(kApplication, 0x03000061, 2000) << "f.bin"
                                        << false << 0u << -4;
    QTest::newRow("shorter than a header") << SimulatedFlash::firmwareImage(0, 0, 543) << "X.1.0.0.a.bin" << false
                                           << loader << 0;
    QTest::newRow("name over 32 bytes") << SimulatedFlash::firmwareImage(0, 0, 600)
                                        << QString(33, QLatin1Char('N')) + ".1.0.0.a.bin" << false << loader << 0;
    QTest::newRow("version field over 8 bits") << SimulatedFlash::firmwareImage(0, 0, 600) << "X.1.256.0.a.bin"
                                               << false << loader << 0;
    QTest::newRow("over 16 MiB") << SimulatedFlash::firmwareImage(kApplication, 7, 16 * 1024 * 1024 + 1) << "f.bin"
                                 << false << loader << 0;
}

void TestSessionFirmware::refusals()
{
    QFETCH(QByteArray, image);
    QFETCH(QString, name);
    QFETCH(bool, force);
    QFETCH(quint32, computerBootloader);
    QFETCH(int, result);
    Rig rig;
    rig.computer().state().bootloaderVersion = computerBootloader;
    QVERIFY(ready(rig));
    Requests requests(rig.computer());
    QCOMPARE(rig.session.uploadFirmware(image, name, force), result);
    if (result > 0) {
        waitForUploadEnd(rig);
        QCOMPARE(requests.commands.first(), int(BeginUpdate));
        return;
    }
    QVERIFY(!rig.session.isUploading());
    QVERIFY(rig.run(Owner)); // the link carries on, and nothing else went out
    QCOMPARE(requests.commands, QList<int>{Owner});
    if (result == 0)
        QVERIFY(rig.session.message().startsWith(QStringLiteral("Firmware upload refused: ")));
}

void TestSessionFirmware::oneUploadAtATime()
{
    const QByteArray image = SimulatedFlash::firmwareImage(0, 0, 3000);
    {
        KelvoSession alone(nullptr);
        QCOMPARE(alone.uploadFirmware(image, QStringLiteral("X.1.0.0.a.bin"), false), 0); // no link
    }
    Rig rig;
    QVERIFY(ready(rig));
    QSignalSpy refused(&rig.session, &KelvoSession::jobRefused);
    QSignalSpy ended(&rig.session, &KelvoSession::endCommand);
    QCOMPARE(rig.session.uploadFirmware(image, QStringLiteral("X.1.0.0.a.bin"), false), 3000);
    QCOMPARE(rig.session.uploadFirmware(image, QStringLiteral("X.1.0.0.a.bin"), false), 0);
    QVERIFY(!rig.session.startCommand(Owner));
    QCOMPARE(refused.size(), 2);
    waitForUploadEnd(rig);
    QCOMPARE(ended.size(), 1);
    QCOMPARE(rig.computer().state().firmware.installedFirmware, image);
    QVERIFY(!QFile::exists(QStringLiteral("/nonexistent/X.1.0.0.a.bin")));
    QCOMPARE(rig.session.uploadFirmware(QStringLiteral("/nonexistent/X.1.0.0.a.bin"), false), 0);
}

void TestSessionFirmware::failedChunkRestartsFromTheStart()
{
    const QByteArray image = SimulatedFlash::firmwareImage(0, 0, 2000);
    Rig rig;
    QVERIFY(ready(rig));
    rig.computer().faults().corruptChunk = 2;
    Requests requests(rig.computer());
    QSignalSpy damaged(&rig.computer(), &SimulatedComputer::badRequest);
    QSignalSpy failed(&rig.session, &KelvoSession::exchangeError);
    QCOMPARE(rig.session.uploadFirmware(image, QStringLiteral("X.1.0.0.a.bin"), false), 2000);
    QVERIFY(failed.wait(5000));
    QCOMPARE(failed.first(), (QList<QVariant>{QVariant::fromValue(Program), QVariant::fromValue(ExchangeError::ProgramError)}));
    QVERIFY(!rig.session.isUploading());
    QCOMPARE(requests.of(Program).size(), 2); // then the damaged one, and nothing after it
    QCOMPARE(damaged.size(), 1);

    rig.computer().faults().corruptChunk = -1;
    requests.commands.clear();
    requests.payloads.clear();
    QSignalSpy ended(&rig.session, &KelvoSession::endCommand);
    QCOMPARE(rig.session.uploadFirmware(image, QStringLiteral("X.1.0.0.a.bin"), false), 2000);
    QVERIFY(ended.wait(5000));
    QCOMPARE(requests.commands.first(), int(Begin_program));
    QCOMPARE(requests.of(Program).join(), image);
    QCOMPARE(rig.computer().state().firmware.installedFirmware, image);
}

void TestSessionFirmware::linkLossMidUpload_data()
{
    QTest::addColumn<bool>("resume");
    QTest::newRow("computer starts over") << false;
    QTest::newRow("computer resumes") << true;
}

void TestSessionFirmware::linkLossMidUpload()
{
    QFETCH(bool, resume);
    const QByteArray image = SimulatedFlash::firmwareImage(kApplication, 0x02010063, 5000, 3);
    Rig rig;
    QVERIFY(ready(rig));
    rig.computer().faults().linkLossAfterChunks = 10;
    rig.computer().state().firmware.resume = resume;
    QSignalSpy failed(&rig.session, &KelvoSession::exchangeError);
    QSignalSpy lost(&rig.session, &KelvoSession::disconnectController);
    QCOMPARE(rig.session.uploadFirmware(image, QStringLiteral("app.bin"), false), 5000);
    QVERIFY(lost.wait(5000));
    QCOMPARE(failed.size(), 1); // told, never a silent stop
    QCOMPARE(failed.first().at(0).value<PelagonCommandIn>(), Program);
    QCOMPARE(failed.first().at(1).value<ExchangeError::ExchangeErrorIn>(), ExchangeError::ProgramError);
    QVERIFY(!rig.session.isUploading());

    rig.computer().faults().linkLossAfterChunks = -1;
    QVERIFY(ready(rig));
    Requests requests(rig.computer());
    QSignalSpy ended(&rig.session, &KelvoSession::endCommand);
    QCOMPARE(rig.session.uploadFirmware(image, QStringLiteral("app.bin"), false), 5000);
    QVERIFY(ended.wait(5000));
    QCOMPARE(requests.commands.first(), int(BeginUpdate)); // from the beginning of the procedure
    const int start = resume ? 11 * 232 : 0;                // where the computer asked to go on
    QCOMPARE(requests.of(ProgramUpdate).join(), image.mid(start));
    QCOMPARE(rig.computer().state().firmware.installedFirmware, image);
}

void TestSessionFirmware::startOffset_data()
{
    QTest::addColumn<qint64>("offset");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("inside") << qint64(1000) << true;
    QTest::newRow("last byte") << qint64(4999) << true;
    QTest::newRow("the size") << qint64(5000) << false;
    QTest::newRow("beyond") << qint64(5001) << false;
    QTest::newRow("largest word") << qint64(0xFFFFFFFF) << false;
}

void TestSessionFirmware::startOffset()
{
    QFETCH(qint64, offset);
    QFETCH(bool, accepted);
    const QByteArray image = SimulatedFlash::firmwareImage(kBootloader, 0x01040061, 5000, 5);
    Rig rig;
    QVERIFY(ready(rig));
    rig.computer().state().firmware.installedBootloader = image; // its flash holds the start already
    rig.computer().faults().beginUpdateOffset = offset;
    Requests requests(rig.computer());
    QSignalSpy failed(&rig.session, &KelvoSession::exchangeError);
    QSignalSpy ended(&rig.session, &KelvoSession::endCommand);
    QCOMPARE(rig.session.uploadFirmware(image, QStringLiteral("boot.bin"), false), 5000);
    waitForUploadEnd(rig);
    if (!accepted) {
        QCOMPARE(failed.size(), 1);
        QCOMPARE(failed.first().at(0).value<PelagonCommandIn>(), BeginUpdate);
        QCOMPARE(failed.first().at(1).value<ExchangeError::ExchangeErrorIn>(), ExchangeError::BeginProgramError);
        QVERIFY(requests.of(ProgramUpdate).isEmpty());
        return;
    }
    QCOMPARE(ended.size(), 1);
    QCOMPARE(requests.of(ProgramUpdate).join(), image.mid(int(offset)));
    QCOMPARE(rig.computer().state().bootloaderVersion, 0x01040061u);
}

void TestSessionFirmware::layoutChunks_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<QList<int>>("sizes");
    QTest::addColumn<QList<int>>("flags");
    QTest::newRow("500 bytes") << 500 << QList<int>{231, 231, 38} << QList<int>{1, 0, 2};
    QTest::newRow("one full chunk") << 231 << QList<int>{231} << QList<int>{3};
    QTest::newRow("one byte over") << 232 << QList<int>{231, 1} << QList<int>{1, 2};
    QTest::newRow("empty") << 0 << QList<int>{0} << QList<int>{3};
}

void TestSessionFirmware::layoutChunks()
{
    QFETCH(int, size);
    QFETCH(QList<int>, sizes);
    QFETCH(QList<int>, flags);
    const QByteArray blob = size == 0 ? QByteArray() : SimulatedFlash::layoutBlob(4, "Night", QByteArray(size - 7, 'd'));
    QCOMPARE(blob.size(), size);
    Rig rig;
    QVERIFY(rig.connect());
    Requests requests(rig.computer());
    QSignalSpy failed(&rig.session, &KelvoSession::exchangeError);
    const bool stored = rig.run([&] { return rig.session.startLayoutAdd(blob); }, LayoutAdd);
    QList<int> sent;
    QList<int> sentFlags;
    QByteArray joined;
    for (const QByteArray& payload : requests.of(LayoutAdd)) {
        sentFlags.append(quint8(payload.at(0)));
        sent.append(int(payload.size()) - 1);
        joined += payload.mid(1);
    }
    QCOMPARE(sent, sizes);
    QCOMPARE(sentFlags, flags);
    QCOMPARE(joined, blob);
    // An empty blob names no layout: the computer refuses it.
    QCOMPARE(stored, size > 0);
    QCOMPARE(rig.session.layoutCommandSuccess(), size > 0);
    QCOMPARE(failed.size(), size > 0 ? 0 : 1);
    if (size > 0) {
        QCOMPARE(rig.computer().state().layouts.layouts.size(), 1);
        QCOMPARE(rig.computer().state().layouts.layouts.first().blob, blob);
    }
}

void TestSessionFirmware::layoutStore()
{
    Rig rig;
    rig.computer().state().layouts = SimulatedFlash::demoLayouts();
    const LayoutStore original = rig.computer().state().layouts;
    QVERIFY(rig.connect());
    KelvoSession& s = rig.session;
    QVERIFY(rig.run([&] { return s.startLayoutList(); }, LayoutList));
    QCOMPARE(s.layouts().size(), 5);
    QCOMPARE(s.layouts().at(2).index, quint8(2));
    QCOMPARE(s.layouts().at(2).type, quint8(3));
    QCOMPARE(s.layouts().at(2).name, QStringLiteral("Technical"));
    QVERIFY(rig.run([&] { return s.startLayoutGet(4); }, LayoutGet));
    QCOMPARE(s.layoutBlob(), original.layouts.at(4).blob); // several frames
    QVERIFY(rig.run([&] { return s.startLayoutGet(9); }, LayoutGet));
    QVERIFY(s.layoutBlob().isEmpty());

    QVERIFY(rig.run([&] { return s.startLayoutRemove(1); }, LayoutRemove));
    QVERIFY(rig.run([&] { return s.startLayoutActiveSet(3, 0); }, LayoutActiveSet));
    QVERIFY(rig.run([&] { return s.startLayoutActiveGet(); }, LayoutActiveGet));
    QCOMPARE(s.activeLayouts(), (std::array<qint8, 5>{0, -1, 2, 0, 4}));

    // Refused by the computer: a removed layout, a dive mode it lacks.
    for (const auto& start : std::vector<std::function<bool()>>{[&] { return s.startLayoutRemove(1); },
                                                                [&] { return s.startLayoutActiveSet(5, 0); },
                                                                [&] { return s.startLayoutActiveSet(0, 1); }}) {
        QSignalSpy failed(&s, &KelvoSession::exchangeError);
        QVERIFY(start());
        QVERIFY(failed.wait(5000));
        QCOMPARE(failed.first().at(1).value<ExchangeError::ExchangeErrorIn>(), ExchangeError::GenericError);
        QVERIFY(!s.layoutCommandSuccess());
    }
    QVERIFY(rig.run([&] { return s.startLayoutRemoveAll(); }, LayoutRemoveAll));
    QVERIFY(s.layoutCommandSuccess());
    QVERIFY(rig.run([&] { return s.startLayoutList(); }, LayoutList));
    QVERIFY(s.layouts().isEmpty());
    QVERIFY(rig.run([&] { return s.startLayoutActiveGet(); }, LayoutActiveGet));
    QCOMPARE(s.activeLayouts(), (std::array<qint8, 5>{-1, -1, -1, -1, -1}));
}

void TestSessionFirmware::shortActiveAnswer()
{
    Rig rig;
    rig.computer().state().layouts = SimulatedFlash::demoLayouts();
    QVERIFY(rig.connect());
    QCOMPARE(rig.session.activeLayouts(), (std::array<qint8, 5>{-1, -1, -1, -1, -1}));
    QVERIFY(rig.run([&] { return rig.session.startLayoutActiveGet(); }, LayoutActiveGet));
    QCOMPARE(rig.session.activeLayouts(), (std::array<qint8, 5>{0, 1, 2, 3, 4}));
    rig.computer().state().layouts.active = {4, 3, 2, 1, 0};
    rig.computer().state().layouts.activeAnswerBytes = 3;
    QVERIFY(rig.run([&] { return rig.session.startLayoutActiveGet(); }, LayoutActiveGet));
    QCOMPARE(rig.session.activeLayouts(), (std::array<qint8, 5>{4, 3, 2, 3, 4}));
}

void TestSessionFirmware::failedLayoutChunkRestarts()
{
    const QByteArray blob = SimulatedFlash::layoutBlob(2, "Reef", QByteArray(495, 'r'));
    Rig rig;
    QVERIFY(rig.connect());
    rig.computer().faults().corruptChunk = 1;
    Requests requests(rig.computer());
    QSignalSpy damaged(&rig.computer(), &SimulatedComputer::badRequest);
    QVERIFY(!rig.run([&] { return rig.session.startLayoutAdd(blob); }, LayoutAdd));
    QCOMPARE(requests.sizesOf(LayoutAdd), QList<int>{232}); // then the damaged one, and nothing after it
    QCOMPARE(damaged.size(), 1);
    QVERIFY(!rig.session.layoutCommandSuccess());
    rig.computer().faults().corruptChunk = -1;
    requests.payloads.clear();
    requests.commands.clear();
    QVERIFY(rig.run([&] { return rig.session.startLayoutAdd(blob); }, LayoutAdd));
    QCOMPARE(requests.of(LayoutAdd).first(), QByteArray(1, '\1') + blob.left(231));
    QCOMPARE(rig.computer().state().layouts.layouts.size(), 1);
    QCOMPARE(rig.computer().state().layouts.layouts.first().name, QByteArray("Reef"));
}

QTEST_GUILESS_MAIN(TestSessionFirmware)
#include "tst_sessionfirmware.moc"
