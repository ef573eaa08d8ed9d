// Damaged text dive files fed to the CSV profile and UDDF readers: cut,
// bit-flipped and random images, and documents built to be hostile. Seeds are
// fixed, so a failure reproduces; counts are bounded so the suite stays fast
// under the sanitizers, which check that nothing reads past its input or
// converts a number out of range.

#include "divedata/csvfile.h"
#include "divedata/dive.h"
#include "divedata/uddffile.h"
#include "divedata/uddfvalues.h"

#include "damage.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QTest>

#include <functional>

namespace {

using namespace damage;

// Cuts, flips, flips then cuts, and random images; returns how many images
// were accepted in all.
int shake(const QByteArray& valid, const Reader& read, quint32 seed)
{
    QRandomGenerator random(seed);
    int accepted = 0;
    for (qsizetype cut = 0; cut < valid.size(); cut += 1 + valid.size() / 200)
        accepted += read(valid.left(cut)) ? 1 : 0;
    for (int i = 0; i < FlipRounds; ++i) {
        const QByteArray damaged = flipped(valid, random);
        accepted += read(damaged) ? 1 : 0;
        accepted += read(damaged.left(qsizetype(random.bounded(quint32(damaged.size()) + 1)))) ? 1 : 0;
    }
    for (int i = 0; i < RandomRounds; ++i)
        accepted += read(randomBytes(random, 2048)) ? 1 : 0;
    return accepted;
}

Dive sampleDive()
{
    Dive dive;
    dive.name = QStringLiteral("Fuzz 1");
    dive.beginTime = 1'700'000'000;
    dive.gases.resize(3);
    dive.gases[1].setGasClass(DiveGas::DiluentClass);
    dive.gases[2].setGasClass(DiveGas::Bailout);
    for (int i = 0; i < 12; ++i) {
        DiveLine line;
        line.timeSec = 10.0 * i;
        line.depth = i < 6 ? 3.0 * i : 36.0 - 3.0 * i;
        line.ambientTemp = 15.0 + i * 0.5;
        line.decoCeiling = i == 7 ? 3.0 : 0.0;
        line.ndl = qint16(i);
        line.alertFlag = quint8(i * 17);
        line.ccr = i > 4;
        line.gasIndex = i / 4;
        dive.lines.append(line);
    }
    return dive;
}

bool readUddf(const QByteArray& bytes)
{
    Dive dive;
    const bool ok = UddfFile::readDocument(bytes, dive);
    // Whatever was accepted holds at least one line and fits the input.
    return ok && !dive.lines.isEmpty() && dive.lines.size() <= bytes.size();
}

} // namespace

class TestTextFileFuzz : public QObject
{
    Q_OBJECT

private slots:
    void uddfDamaged();
    void uddfHostile();
    void uddfValues();
    void csvProfileDamaged();
};

void TestTextFileFuzz::uddfDamaged()
{
    const QByteArray valid = UddfFile::toDocument(sampleDive());
    QVERIFY(readUddf(valid));
    // Flips in text and values leave readable documents: some are accepted.
    QVERIFY(shake(valid, readUddf, 0x0DDF) > 0);

    // Random markup from the format's own words.
    QRandomGenerator random(0xB10B);
    const QList<QByteArray> words{"<uddf>", "</uddf>", "<profiledata>", "</profiledata>", "<repetitiongroup>",
                                  "</repetitiongroup>", "<dive id=\"a\">", "</dive>", "<samples>", "</samples>",
                                  "<waypoint>", "</waypoint>", "<divetime>", "</divetime>", "<depth>", "</depth>",
                                  "1e308", "-0", "nan", "<switchmix ref=\"a\"/>", "<gasdefinitions>",
                                  "</gasdefinitions>", "<mix id=\"a\">", "</mix>", "<o2>", "</o2>", "12.5", "&amp;",
                                  "<![CDATA[3]]>", "<divemode type=\"closedcircuit\"/>", "<!--x-->"};
    for (int i = 0; i < 2000; ++i) {
        QByteArray bytes;
        const int count = int(random.bounded(60));
        for (int k = 0; k < count; ++k)
            bytes += words.at(int(random.bounded(quint32(words.size()))));
        readUddf(bytes);
    }
}

void TestTextFileFuzz::uddfHostile()
{
    // Deep nesting: neither the parser nor the reader recurses on it.
    const int depth = 100'000;
    QByteArray deep = "<uddf>" + QByteArray("<profiledata>").repeated(depth)
        + QByteArray("</profiledata>").repeated(depth) + "</uddf>";
    QVERIFY(!readUddf(deep));

    // Many mixes, one dive switching among them.
    QByteArray mixes;
    for (int i = 0; i < 5000; ++i)
        mixes += "<mix id=\"m" + QByteArray::number(i) + "\"><o2>0.3</o2></mix>";
    const QByteArray manyMixes = "<uddf><gasdefinitions>" + mixes
        + "</gasdefinitions><profiledata><repetitiongroup><dive><samples><waypoint><divetime>0</divetime>"
          "<switchmix ref=\"m4999\"/></waypoint></samples></dive></repetitiongroup></profiledata></uddf>";
    QVERIFY(!readUddf(manyMixes)); // beyond the mixes a document may define

    // Entities are not expanded; a document past the size cap is refused.
    QVERIFY(!readUddf("<!DOCTYPE u [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">]>"
                      "<uddf><profiledata><repetitiongroup><dive id=\"&b;\"><samples/></dive></repetitiongroup>"
                      "</profiledata></uddf>"));
    QByteArray huge(UddfFile::MaxFileBytes + 1, ' ');
    huge.replace(0, 6, "<uddf>");
    Dive dive;
    QVERIFY(!UddfFile::readDocument(huge, dive));

    // Text in another encoding is converted, not misread.
    const QByteArray utf8 = UddfFile::toDocument(sampleDive());
    QString text = QString::fromUtf8(utf8);
    text.replace(QStringLiteral("encoding=\"UTF-8\""), QStringLiteral("encoding=\"UTF-16\""));
    QByteArray utf16("\xFF\xFE");
    utf16.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    Dive fromUtf16;
    QVERIFY(UddfFile::readDocument(utf16, fromUtf16));
    QCOMPARE(fromUtf16.name, QStringLiteral("Fuzz 1"));
    QCOMPARE(fromUtf16.lines.size(), 13); // and the surface line after 3 m
}

void TestTextFileFuzz::uddfValues()
{
    QRandomGenerator random(0xDA7E);
    int dates = 0;
    const char* alphabet = "0123456789-:T Z+.x_";
    for (int i = 0; i < 20'000; ++i) {
        // Valid forms with characters replaced, cut, or random text.
        QByteArray text = i % 2 == 0 ? QByteArray("2024-02-29T23:59:60.5+14:00") : QByteArray("2014-04-02 10:00");
        for (int k = int(random.bounded(3)); k > 0; --k)
            text[qsizetype(random.bounded(quint32(text.size())))] = alphabet[random.bounded(19)];
        if (i % 3 == 0)
            text.truncate(qsizetype(random.bounded(quint32(text.size()) + 1)));
        if (i % 5 == 0)
            text = randomBytes(random, 32, alphabet);
        qint64 secs = 0;
        dates += UddfValues::parseDateTime(text, secs) ? 1 : 0;
        const QString decoded = UddfValues::decodeId(text);
        QVERIFY(decoded.size() <= text.size());
    }
    // Every name survives the id round trip, whatever it holds.
    for (int i = 0; i < 2000; ++i) {
        QString name;
        const int length = int(random.bounded(12));
        for (int k = 0; k < length; ++k)
            name.append(QChar(char16_t(random.bounded(k % 3 == 0 ? 0x10000 : 0x80))));
        QCOMPARE(UddfValues::decodeId(UddfValues::encodeId(name, {"OC1"})), name.isEmpty() ? QStringLiteral("_") : name);
    }
    QVERIFY(dates > 0);
}

void TestTextFileFuzz::csvProfileDamaged()
{
    QByteArray valid;
    for (int i = 0; i < 30; ++i)
        valid += QByteArray::number(i * 10) + "\t" + QByteArray::number(i * 0.7) + "\t0\t18.5\t0.1\t2\t0\t99"
            + QByteArray("\t1").repeated(12) + "\n";
    const Reader read = [](const QByteArray& bytes) {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        QList<DiveLine> lines;
        const bool ok = CsvFile::readProfile(buffer, lines);
        return ok && lines.size() <= bytes.count('\t') / 19;
    };
    QVERIFY(read(valid));
    shake(valid, read, 0xC5F);

    // Random rows of numbers, blanks and tabs.
    QRandomGenerator random(0x7AB);
    for (int i = 0; i < 2000; ++i)
        QVERIFY(read(randomBytes(random, 400, "0123456789.e+-\t\t\t\t\n infa")));
}

QTEST_GUILESS_MAIN(TestTextFileFuzz)
#include "tst_textfilefuzz.moc"
