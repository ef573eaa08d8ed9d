// The engine's own vector exponential and the duration factors built on it:
// the factors must be those std::exp gives, to the bit.

#include "deco/exponential.h"
#include "deco/tissuemodel.h"

#include <QtTest>

#include <cmath>
#include <cstring>
#include <limits>

using namespace deco;

namespace {

// How far v is from the exact value (a long double reference), in units of
// the last place of v's binade.
double ulpsFrom(double v, long double exact)
{
    int exponent = 0;
    std::frexp(v, &exponent);
    const long double ulp = std::ldexp(1.0L, exponent - 53);
    return double(std::fabs((long double)v - exact) / ulp);
}

void referenceFactors(InertGas gas, float minutes, CompartmentArray& decay, CompartmentArray& gain)
{
    for (int i = 0; i < kCompartments; ++i) {
        const double k = std::log(2.0) / double(tissueModel().halfTime[gas][i]);
        const double e = std::exp(-k * double(minutes));
        decay[i] = float(e);
        gain[i] = float((1.0 - e) / k);
    }
}

bool sameBits(const CompartmentArray& a, const CompartmentArray& b)
{
    return std::memcmp(a.data(), b.data(), sizeof a) == 0;
}

} // namespace

class TstExponential : public QObject
{
    Q_OBJECT

private slots:
    // Over each range, evenly spaced arguments (and the edges of the range
    // reduction, where x / ln 2 is half an integer): within the 1.5 ulp the
    // factor enclosure relies on, and std::exp within its 1 ulp.
    void withinItsBound_data()
    {
        QTest::addColumn<double>("from");
        QTest::addColumn<double>("to");
        QTest::newRow("tiny") << -1.0e-12 << 0.0;
        QTest::newRow("short durations") << -1.0e-3 << 0.0;
        QTest::newRow("first reduction steps") << -3.0 << -1.0e-3;
        QTest::newRow("saturating") << -60.0 << -3.0;
        QTest::newRow("deep") << -700.0 << -60.0;
    }
    void withinItsBound()
    {
        QFETCH(double, from);
        QFETCH(double, to);
        constexpr int kBlocks = 4000;
        double worst = 0.0;
        double worstLibrary = 0.0;
        double x[kCompartments];
        double e[kCompartments];
        for (int block = 0; block < kBlocks; ++block) {
            for (int i = 0; i < kCompartments; ++i) {
                const int n = block * kCompartments + i;
                x[i] = from + (to - from) * double(n) / double(kBlocks * kCompartments - 1);
                if (i == 0) // half-integer multiples of ln 2: the reduction's edges
                    x[i] = std::max(from, std::min(to, -(double(block) + 0.5) * std::log(2.0)));
            }
            exponentials(x, e);
            for (int i = 0; i < kCompartments; ++i) {
                const long double exact = std::exp((long double)x[i]);
                worst = std::max(worst, ulpsFrom(e[i], exact));
                worstLibrary = std::max(worstLibrary, ulpsFrom(std::exp(x[i]), exact));
            }
        }
        QVERIFY2(worst <= 1.5, qPrintable(QString::number(worst)));
        QVERIFY2(worstLibrary <= 1.0, qPrintable(QString::number(worstLibrary)));
    }

    // Factors of durations from a fraction of a second to weeks, for both
    // gases: the same bits as std::exp's, and from a second up the library
    // is hardly ever needed to get them.
    void factorsAreTheLibrarys_data()
    {
        QTest::addColumn<float>("from");
        QTest::addColumn<float>("to");
        QTest::addColumn<int>("refusedPercent");   // at most
        // Below a second 1 - e is so small that the enclosure often spans two floats.
        QTest::newRow("fractions of a second") << 1.0e-4f << 1.0f / 60.0f << 25;
        QTest::newRow("seconds") << 1.0f / 60.0f << 0.2f << 1;
        QTest::newRow("ascents") << 0.2f << 12.0f << 1;
        QTest::newRow("stops and no-stop limits") << 12.0f << 400.0f << 1;
        QTest::newRow("saturation and beyond") << 400.0f << 20000.0f << 1;
    }
    void factorsAreTheLibrarys()
    {
        QFETCH(float, from);
        QFETCH(float, to);
        QFETCH(int, refusedPercent);
        constexpr int kDurations = 3000;
        int refused = 0;
        for (int n = 0; n < kDurations; ++n) {
            // Geometric spacing, nudged off round values.
            const float minutes = float(double(from) * std::pow(double(to) / double(from), n / double(kDurations)))
                                  * (1.0f + 1.0e-6f * float(n % 7));
            for (InertGas gas : {Nitrogen, Helium}) {
                CompartmentArray decay, gain, wantDecay, wantGain;
                referenceFactors(gas, minutes, wantDecay, wantGain);
                const DurationFactors& f = durationFactors(gas, minutes);
                QVERIFY2(sameBits(f.decay, wantDecay) && sameBits(f.gain, wantGain), qPrintable(QString::number(minutes)));

                double k[kCompartments];
                for (int i = 0; i < kCompartments; ++i)
                    k[i] = std::log(2.0) / double(tissueModel().halfTime[gas][i]);
                if (agreedFactors(k, double(minutes), decay, gain))
                    QVERIFY(sameBits(decay, wantDecay) && sameBits(gain, wantGain));
                else
                    ++refused;
            }
        }
        QVERIFY2(refused * 100 <= 2 * kDurations * refusedPercent, qPrintable(QString::number(refused)));
    }

    // Durations the enclosure cannot vouch for are left to the library.
    void refusesWhatItCannotVouchFor()
    {
        double k[kCompartments];
        for (int i = 0; i < kCompartments; ++i)
            k[i] = std::log(2.0) / double(tissueModel().halfTime[Nitrogen][i]);
        CompartmentArray decay, gain;
        for (double t : {0.0, -1.0, std::numeric_limits<double>::quiet_NaN()})
            QVERIFY(!agreedFactors(k, t, decay, gain));
    }
};

QTEST_APPLESS_MAIN(TstExponential)
#include "tst_exponential.moc"
