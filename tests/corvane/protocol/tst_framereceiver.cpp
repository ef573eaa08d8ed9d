// The receiving half of the protocol: frames handed on as soon as they are
// whole, in both modes; remainders waiting and dropped; time-outs that fire
// whenever no frame came, and only then.

#include "corvane/protocol/framereceiver.h"

#include <QSignalSpy>
#include <QTest>

using namespace PelagonCommand;

namespace {

constexpr int kCommandMs = 1000;
constexpr int kGapMs = 50;

QByteArray frame(PelagonCommandIn command, const QByteArray& payload = {})
{
    return KelvoFrame::build(command, payload);
}

} // namespace

class TestFrameReceiver : public QObject
{
    Q_OBJECT

private slots:
    void timerModeCommands();
    void framesComeOutAtOnce_data();
    void framesComeOutAtOnce();
    void badCrc();
    void timeouts_data();
    void timeouts();
    void commandSentFromASlot();
    void lateBytesStartNoTimer();
};

void TestFrameReceiver::timerModeCommands()
{
    QList<int> streamed;
    for (int code = 0; code < 256; ++code)
        if (FrameReceiver::needsTimerMode(PelagonCommandIn(code)))
            streamed << code;
    QCOMPARE(streamed, (QList<int>{2, 5, 17, 19, 20, 22, 24, 29, 36, 37, 238}));
}

void TestFrameReceiver::framesComeOutAtOnce_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QByteArrayList>("chunks");
    QTest::addColumn<int>("frames");
    const QByteArray id = frame(Identification, QByteArray::fromHex("6202040115"));
    const QByteArray header = frame(Logbook, QByteArray(180, '\x11'));
    const QByteArray end = frame(Logbook);
    QTest::newRow("split, single answer") << int(Identification) << QByteArrayList{id.left(4), id.mid(4)} << 1;
    QTest::newRow("split, streamed answer") << int(Logbook) << QByteArrayList{header.left(100), header.mid(100)} << 1;
    QTest::newRow("two frames in one notification") << int(Logbook) << QByteArrayList{header + end} << 2;
    QTest::newRow("frame and a half, then the rest") << int(Logbook)
                                                     << QByteArrayList{header + end.left(3), end.mid(3)} << 2;
}

void TestFrameReceiver::framesComeOutAtOnce()
{
    QFETCH(int, command);
    QFETCH(QByteArrayList, chunks);
    QFETCH(int, frames);
    FrameReceiver receiver;
    receiver.setTimeouts(kCommandMs, kGapMs);
    QSignalSpy received(&receiver, &FrameReceiver::frameReceived);
    receiver.expect(PelagonCommandIn(command));
    for (const QByteArray& chunk : chunks)
        receiver.receive(chunk);
    // No gap wait: the frames are out when the last byte is in.
    QCOMPARE(received.size(), frames);
    QCOMPARE(received.first().at(0).value<PelagonCommandIn>(), PelagonCommandIn(command));
    QVERIFY(!receiver.isWaiting());
    QVERIFY(receiver.store().isEmpty());
}

void TestFrameReceiver::badCrc()
{
    FrameReceiver receiver;
    QSignalSpy received(&receiver, &FrameReceiver::frameReceived);
    QSignalSpy bad(&receiver, &FrameReceiver::badFrame);
    receiver.expect(Owner);
    QByteArray damaged = frame(Owner, "Jo");
    damaged[9] = 'X';
    receiver.receive(damaged + frame(Owner));
    QCOMPARE(received.size(), 0);
    QCOMPARE(bad.size(), 1);
    QCOMPARE(bad.first().at(0).value<PelagonCommandIn>(), Owner);
    QVERIFY(!receiver.isWaiting());
}

void TestFrameReceiver::timeouts_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QByteArrayList>("chunks");
    QTest::addColumn<bool>("timesOut");
    const QByteArray logbook = frame(Logbook, QByteArray(100, '\x22'));
    QTest::newRow("no answer") << int(Time) << QByteArrayList{} << true;
    QTest::newRow("garbage only") << int(Time) << QByteArrayList{"garbage"} << true;
    QTest::newRow("half a frame, single answer") << int(Time) << QByteArrayList{frame(Time, "12345678").left(10)} << true;
    QTest::newRow("half a frame, streamed") << int(Logbook) << QByteArrayList{logbook.left(50)} << true;
    QTest::newRow("a frame then half of one") << int(Logbook) << QByteArrayList{logbook + logbook.left(50)} << true;
    QTest::newRow("whole answer") << int(Time) << QByteArrayList{frame(Time, "12345678")} << false;
    QTest::newRow("whole streamed answer") << int(Logbook) << QByteArrayList{logbook, frame(Logbook)} << false;
}

void TestFrameReceiver::timeouts()
{
    QFETCH(int, command);
    QFETCH(QByteArrayList, chunks);
    QFETCH(bool, timesOut);
    FrameReceiver receiver;
    receiver.setTimeouts(kCommandMs, kGapMs);
    QSignalSpy timedOut(&receiver, &FrameReceiver::timedOut);
    receiver.expect(PelagonCommandIn(command));
    for (const QByteArray& chunk : chunks)
        receiver.receive(chunk);
    if (!receiver.store().isEmpty()) {
        // A remainder that stops growing is dropped after the gap.
        QTRY_VERIFY_WITH_TIMEOUT(receiver.store().isEmpty(), kCommandMs);
        QVERIFY(timedOut.isEmpty());
    }
    QCOMPARE(timedOut.wait(2 * kCommandMs), timesOut);
    if (timesOut)
        QCOMPARE(timedOut.first().at(0).value<PelagonCommandIn>(), PelagonCommandIn(command));
}

void TestFrameReceiver::commandSentFromASlot()
{
    // The session starts its next job from the slot that received a frame:
    // the rest of that notification is the old answer's and is dropped, and
    // the new command keeps its timer.
    FrameReceiver receiver;
    receiver.setTimeouts(kCommandMs, kGapMs);
    QList<int> codes;
    connect(&receiver, &FrameReceiver::frameReceived, this, [&](PelagonCommandIn code, const QByteArray&, quint16) {
        codes << code;
        receiver.expect(Serialnumber);
    });
    receiver.expect(Identification);
    receiver.receive(frame(Identification) + frame(Identification) + frame(Identification).left(5));
    QCOMPARE(codes, QList<int>{Identification});
    QVERIFY(receiver.isWaiting());
    QCOMPARE(receiver.command(), Serialnumber);
    QVERIFY(receiver.store().isEmpty());
}

void TestFrameReceiver::lateBytesStartNoTimer()
{
    FrameReceiver receiver;
    receiver.setTimeouts(kCommandMs, kGapMs);
    QSignalSpy timedOut(&receiver, &FrameReceiver::timedOut);
    QSignalSpy received(&receiver, &FrameReceiver::frameReceived);
    receiver.receive(frame(Logbook) + frame(Logbook).left(4));
    QCOMPARE(received.size(), 1);
    QVERIFY(!receiver.isWaiting());
    QVERIFY(!timedOut.wait(2 * kCommandMs));
}

QTEST_GUILESS_MAIN(TestFrameReceiver)
#include "tst_framereceiver.moc"
