// The two-finger recognizers, driven by touch sequences on a real widget.

#include "profilor/twofingersgestures.h"

#include <QGestureEvent>
#include <QPointingDevice>
#include <QTest>
#include <QWidget>

namespace {

struct Seen
{
    Qt::GestureType type;
    Qt::GestureState state;
};

// Records every gesture event it receives, and accepts the raw touch so that
// the whole sequence keeps coming.
class GestureProbe : public QWidget
{
public:
    GestureProbe()
    {
        setAttribute(Qt::WA_AcceptTouchEvents);
        resize(400, 400);
    }

    QList<Seen> seen;
    QPointF lastPanOffset;
    QPointF totalPanOffset;
    double lastScale = 0.0;
    double lastTotalScale = 0.0;
    bool lastVertical = false;
    QPointF lastCentre;

    int count(Qt::GestureType type, Qt::GestureState state) const
    {
        return int(std::count_if(seen.begin(), seen.end(),
                                 [&](const Seen& s) { return s.type == type && s.state == state; }));
    }
    bool any(Qt::GestureType type) const
    {
        return std::any_of(seen.begin(), seen.end(), [&](const Seen& s) { return s.type == type; });
    }

protected:
    bool event(QEvent* e) override
    {
        switch (e->type()) {
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TouchCancel:
            e->accept();
            return true;
        case QEvent::Gesture:
            for (QGesture* g : static_cast<QGestureEvent*>(e)->gestures()) {
                seen.append({g->gestureType(), g->state()});
                if (auto* pan = qobject_cast<TwoFingersPanGesture*>(g)) {
                    lastPanOffset = pan->offset();
                    totalPanOffset = pan->totalOffset();
                }
                if (auto* pinch = qobject_cast<TwoFingersPinchGesture*>(g)) {
                    lastScale = pinch->scaleFactor();
                    lastTotalScale = pinch->totalScaleFactor();
                    lastVertical = pinch->isVertical();
                    lastCentre = pinch->centerPoint();
                }
            }
            return true;
        default:
            return QWidget::event(e);
        }
    }
};

} // namespace

class GesturesTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void twoFingerMoves_data();
    void twoFingerMoves();
    void pinchingAfterRecognitionCancelsThePan();
    void threeFingersAreIgnored();
    void cancelClearsTheTwoFingersFlag();
    void gestureClassNames();

private:
    // Presses two fingers, then moves them `steps` times by the given steps.
    void twoFingerMove(QPointF a, QPointF b, QPointF stepA, QPointF stepB, int steps, bool release = true);

    QPointingDevice* mDevice = nullptr;
    Qt::GestureType mPlain = Qt::CustomGesture;
    Qt::GestureType mPan = Qt::CustomGesture;
    Qt::GestureType mPinch = Qt::CustomGesture;
    std::unique_ptr<GestureProbe> mProbe;
};

void GesturesTest::initTestCase()
{
    mDevice = QTest::createTouchDevice();
    // Qt's gesture framework owns the recognizers.
    mPan = QGestureRecognizer::registerRecognizer(new TwoFingersPanRecognizer);
    mPinch = QGestureRecognizer::registerRecognizer(new TwoFingersPinchRecognizer);
    mPlain = QGestureRecognizer::registerRecognizer(new TwoFingersRecognizer);
}

void GesturesTest::init()
{
    mProbe = std::make_unique<GestureProbe>();
    mProbe->grabGesture(mPan);
    mProbe->grabGesture(mPinch);
    mProbe->grabGesture(mPlain);
    mProbe->show();
    QVERIFY(QTest::qWaitForWindowExposed(mProbe.get()));
    TwoFingersRecognizer::setTwoFingersDown(false);
}

void GesturesTest::cleanup()
{
    mProbe.reset();
}

void GesturesTest::twoFingerMove(QPointF a, QPointF b, QPointF stepA, QPointF stepB, int steps, bool release)
{
    QWidget* w = mProbe.get();
    QTest::touchEvent(w, mDevice).press(0, a.toPoint(), w).press(1, b.toPoint(), w);
    for (int i = 0; i < steps; ++i) {
        a += stepA;
        b += stepB;
        QTest::touchEvent(w, mDevice).move(0, a.toPoint(), w).move(1, b.toPoint(), w);
    }
    if (release)
        QTest::touchEvent(w, mDevice).release(0, a.toPoint(), w).release(1, b.toPoint(), w);
}

void GesturesTest::twoFingerMoves_data()
{
    // Two fingers pressed at a and b, each moved `steps` times by its step,
    // and what is recognised: "pan", "pinch", "vertical pinch" or "no pan".
    QTest::addColumn<QPointF>("a");
    QTest::addColumn<QPointF>("b");
    QTest::addColumn<QPointF>("stepA");
    QTest::addColumn<QPointF>("stepB");
    QTest::addColumn<int>("steps");
    QTest::addColumn<QString>("recognised");
    QTest::addRow("parallel") << QPointF(100, 100) << QPointF(200, 100) << QPointF(3, 0) << QPointF(3, 0) << 15 << "pan";
    QTest::addRow("opposing") << QPointF(150, 200) << QPointF(250, 200) << QPointF(-2, 0) << QPointF(2, 0) << 14
                              << "pinch";
    QTest::addRow("opposing vertically") << QPointF(200, 150) << QPointF(200, 250) << QPointF(0, -2) << QPointF(0, 2)
                                         << 14 << "vertical pinch";
    // Finger 2 drifts 0.6 px per update: 6 px over the 10 updates the pan decides in.
    QTest::addRow("distance drifting") << QPointF(100, 100) << QPointF(200, 100) << QPointF(2, 0) << QPointF(2.6, 0)
                                       << 10 << "no pan";
}

void GesturesTest::twoFingerMoves()
{
    QFETCH(QPointF, a);
    QFETCH(QPointF, b);
    QFETCH(QPointF, stepA);
    QFETCH(QPointF, stepB);
    QFETCH(int, steps);
    QFETCH(QString, recognised);
    const bool pan = recognised == QLatin1String("pan");
    const bool pinch = recognised.endsWith(QLatin1String("pinch"));
    twoFingerMove(a, b, stepA, stepB, steps, false);
    QVERIFY(TwoFingersRecognizer::twoFingersDown());
    QCOMPARE(mProbe->count(mPan, Qt::GestureStarted), pan ? 1 : 0);
    if (pan) {
        // Undecided for 10 updates, then recognised: update 11 starts, the next ones update.
        QCOMPARE(mProbe->count(mPan, Qt::GestureUpdated), steps - 11);
        QCOMPARE(mProbe->lastPanOffset, stepA);
        QCOMPARE(mProbe->totalPanOffset.y(), 0.0);
        QVERIFY(mProbe->totalPanOffset.x() > 0);
        // The pinch recognizer saw both fingers go the same way.
        QVERIFY(!mProbe->any(mPinch));
    }

    QWidget* w = mProbe.get();
    const QPointF endA = a + stepA * steps;
    const QPointF endB = b + stepB * steps;
    QTest::touchEvent(w, mDevice).release(0, endA.toPoint(), w).release(1, endB.toPoint(), w);
    QVERIFY(!TwoFingersRecognizer::twoFingersDown());
    QCOMPARE(mProbe->count(mPan, Qt::GestureFinished), pan ? 1 : 0);
    if (pinch) {
        QCOMPARE(mProbe->count(mPinch, Qt::GestureStarted), 1);
        QCOMPARE(mProbe->count(mPinch, Qt::GestureFinished), 1);
        QVERIFY(mProbe->lastTotalScale > 1.0);
        QVERIFY(mProbe->lastScale > 1.0);
        QCOMPARE(mProbe->lastVertical, recognised == QLatin1String("vertical pinch"));
        QCOMPARE(mProbe->lastCentre, (a + b) / 2);
    }
}

void GesturesTest::pinchingAfterRecognitionCancelsThePan()
{
    twoFingerMove(QPointF(100, 100), QPointF(200, 100), QPointF(1, 0), QPointF(1, 0), 12, false);
    QCOMPARE(mProbe->count(mPan, Qt::GestureStarted), 1);
    QWidget* w = mProbe.get();
    QTest::touchEvent(w, mDevice).move(0, QPoint(112, 100), w).move(1, QPoint(217, 100), w);
    QCOMPARE(mProbe->count(mPan, Qt::GestureCanceled), 1);
    QTest::touchEvent(w, mDevice).release(0, QPoint(112, 100), w).release(1, QPoint(217, 100), w);
}

void GesturesTest::threeFingersAreIgnored()
{
    QWidget* w = mProbe.get();
    QTest::touchEvent(w, mDevice).press(0, QPoint(100, 100), w).press(1, QPoint(200, 100), w).press(2, QPoint(300, 100), w);
    QVERIFY(!TwoFingersRecognizer::twoFingersDown());
    for (int i = 1; i <= 14; ++i) {
        QTest::touchEvent(w, mDevice)
            .move(0, QPoint(100 + 3 * i, 100), w)
            .move(1, QPoint(200 + 3 * i, 100), w)
            .move(2, QPoint(300 + 3 * i, 100), w);
    }
    QVERIFY(!mProbe->any(mPan));
    QVERIFY(!mProbe->any(mPinch));
    QVERIFY(!TwoFingersRecognizer::twoFingersDown());
    QTest::touchEvent(w, mDevice).release(0, QPoint(142, 100), w).release(1, QPoint(242, 100), w).release(2, QPoint(342, 100), w);
}

void GesturesTest::cancelClearsTheTwoFingersFlag()
{
    twoFingerMove(QPointF(100, 100), QPointF(200, 100), QPointF(3, 0), QPointF(3, 0), 12, false);
    QVERIFY(TwoFingersRecognizer::twoFingersDown());
    QCOMPARE(mProbe->count(mPan, Qt::GestureStarted), 1);

    // The system takes the touch away: no touch end follows.
    QTouchEvent cancel(QEvent::TouchCancel, mDevice);
    QCoreApplication::sendEvent(mProbe.get(), &cancel);
    QVERIFY(!TwoFingersRecognizer::twoFingersDown());
    QCOMPARE(mProbe->count(mPan, Qt::GestureCanceled), 1);

    // A new two-finger touch afterwards is recognised again from scratch.
    mProbe->seen.clear();
    twoFingerMove(QPointF(100, 300), QPointF(200, 300), QPointF(3, 0), QPointF(3, 0), 12);
    QCOMPARE(mProbe->count(mPan, Qt::GestureStarted), 1);
    QVERIFY(!TwoFingersRecognizer::twoFingersDown());
}

void GesturesTest::gestureClassNames()
{
    TwoFingersGesture plain;
    TwoFingersPanGesture pan;
    TwoFingersPinchGesture pinch;
    QCOMPARE(plain.metaObject()->className(), "TwoFingersGesture");
    QCOMPARE(pan.metaObject()->className(), "TwoFingersPanGesture");
    QCOMPARE(pinch.metaObject()->className(), "TwoFingersPinchGesture");
    QCOMPARE(pinch.totalScaleFactor(), 1.0);
    QCOMPARE(pinch.scaleFactor(), 1.0);
    QCOMPARE(pan.sampleCount(), 0);
}

QTEST_MAIN(GesturesTest)
#include "tst_gestures.moc"
