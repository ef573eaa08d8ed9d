// What a firmware file says about itself, and how an upload hands it out.

#include "corvane/protocol/firmwareimage.h"
#include "corvane/protocol/firmwareupload.h"

#include <QtEndian>
#include <QtTest>

namespace {

QByteArray imageWithMagic(int size, quint32 magic, quint32 version = 0)
{
    QByteArray image(size, '\x5A');
    if (size >= FirmwareImage::kMinimumSize) {
        image.replace(512, 32, QByteArray(32, '\0'));
        qToLittleEndian(magic, image.data() + 512);
        qToLittleEndian(version, image.data() + 520);
    }
    return image;
}

} // namespace

class TestFirmwareImage : public QObject
{
    Q_OBJECT

private slots:
    void versionFromFileName_data();
    void versionFromFileName();
    void inspect_data();
    void inspect();
    void descriptionBytes();
    void chunksAndProgress_data();
    void chunksAndProgress();
    void startOffset();
};

void TestFirmwareImage::versionFromFileName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("fits");
    QTest::addColumn<quint32>("version");
    QTest::newRow("letter b") << "NAME.1.4.2.b.bin" << true << 0x01040262u;
    QTest::newRow("two-digit field") << "X.2.0.11.a.bin" << true << 0x02000B61u;
    QTest::newRow("without suffix") << "X.2.0.11.a" << true << 0x02000B61u;
    QTest::newRow("field not a number") << "X.2.beta.11.a.bin" << true << 0x02000B61u;
    QTest::newRow("no version") << "X.bin" << true << 0u;
    QTest::newRow("no dot") << "X" << true << 0u;
    QTest::newRow("in a folder with dots") << "/tmp/v.9.9/X.1.0.0.a.bin" << true << 0x01000061u;
    QTest::newRow("Latin-1 letter") << QString::fromUtf8("X.2.0.1.\xC3\xA9.bin") << true << 0x020001E9u;
    QTest::newRow("255 fits") << "X.255.0.0.a.bin" << true << 0xFF000061u;
    QTest::newRow("256 does not") << "X.256.0.0.a.bin" << false << 0u;
    QTest::newRow("huge number") << "X.1.99999999999999999999.0.a" << false << 0u;
    QTest::newRow("letter beyond 8 bits") << QString::fromUtf8("X.2.0.1.\xE2\x82\xAC.bin") << false << 0u;
}

void TestFirmwareImage::versionFromFileName()
{
    QFETCH(QString, name);
    QFETCH(bool, fits);
    QFETCH(quint32, version);
    quint32 found = 0xFFFFFFFF;
    QCOMPARE(FirmwareImage::versionFromFileName(name, found), fits);
    if (fits)
        QCOMPARE(found, version);
}

void TestFirmwareImage::inspect_data()
{
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<quint32>("version");
    QTest::addColumn<int>("openingSize");
    using K = FirmwareImage::Kind;
    const QString plain = QStringLiteral("X.2.0.11.a.bin");
    QTest::newRow("one byte short of a header") << imageWithMagic(543, 0) << plain << int(K::Unknown) << true << 0u << 0;
    QTest::newRow("smallest headerless") << imageWithMagic(544, 0) << plain << int(K::Headerless) << false
                                         << 0x02000B61u << 44;
    QTest::newRow("application") << imageWithMagic(4096, 0xDEADBEEF, 0x02010063) << plain << int(K::Application)
                                 << false << 0x02010063u << 32;
    QTest::newRow("bootloader") << imageWithMagic(2048, 0x424F4F54, 0x01030061) << plain << int(K::Bootloader)
                                << false << 0x01030061u << 32;
    QTest::newRow("unknown magic") << imageWithMagic(2048, 0x12345678) << plain << int(K::Unknown) << false << 0u << 0;
    QTest::newRow("over 16 MiB") << imageWithMagic(16 * 1024 * 1024 + 1, 0xDEADBEEF) << plain << int(K::Unknown)
                                 << true << 0u << 0;
    QTest::newRow("name of 32 bytes") << imageWithMagic(600, 0) << QString(32, QLatin1Char('n')) + ".1.0.0.a.bin"
                                      << int(K::Headerless) << false << 0x01000061u << 44;
    QTest::newRow("name of 33 bytes") << imageWithMagic(600, 0) << QString(33, QLatin1Char('n')) + ".1.0.0.a.bin"
                                      << int(K::Headerless) << true << 0u << 0;
    QTest::newRow("17 two-byte letters") << imageWithMagic(600, 0) << QString(17, QChar(0xC9)) + ".1.0.0.a"
                                         << int(K::Headerless) << true << 0u << 0;
    QTest::newRow("version over 8 bits") << imageWithMagic(600, 0) << "X.1.300.0.a.bin" << int(K::Headerless)
                                         << true << 0u << 0;
    QTest::newRow("long name, headed image") << imageWithMagic(600, 0xDEADBEEF, 7) << QString(40, QLatin1Char('n'))
                                             << int(K::Application) << false << 7u << 32;
}

void TestFirmwareImage::inspect()
{
    QFETCH(QByteArray, image);
    QFETCH(QString, name);
    QFETCH(int, kind);
    QFETCH(bool, refused);
    QFETCH(quint32, version);
    QFETCH(int, openingSize);
    const FirmwareImage::Inspection result = FirmwareImage::inspect(image, name);
    QCOMPARE(result.isRefused(), refused);
    if (refused)
        return;
    QCOMPARE(int(result.kind), kind);
    QCOMPARE(result.version, version);
    QCOMPARE(result.opening.size(), openingSize);
    if (openingSize == 32)
        QCOMPARE(result.opening, image.mid(512, 32));
}

void TestFirmwareImage::descriptionBytes()
{
    QByteArray image(1000, '\0');
    for (int i = 0; i < image.size(); ++i)
        image[i] = char(i & 0xFF);
    image.replace(512, 32, QByteArray(32, '\0')); // no header
    // CRC-16 (0x1021 from 0x1D0F) of that image, computed elsewhere: 0xABCE.
    const QByteArray expected = QByteArray("X") + QByteArray(31, '\0') + QByteArray::fromHex("610b0002" "e8030000" "ceab0000");
    QCOMPARE(FirmwareImage::description("X", 0x02000B61, image), expected);
    QCOMPARE(FirmwareImage::inspect(image, QStringLiteral("X.2.0.11.a.bin")).opening, expected);
}

void TestFirmwareImage::chunksAndProgress_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("frameSize");
    QTest::addColumn<QList<int>>("chunks");
    QTest::addColumn<QList<int>>("reports"); // offset, percent pairs
    QTest::newRow("1000 bytes in frames of 232") << 1000 << 232 << QList<int>{232, 232, 232, 232, 72}
                                               << QList<int>{232, 23, 464, 46, 696, 69, 928, 92, 1000, 100};
    // 578 * (100.0 / 578) is just below 100 in doubles.
    QTest::newRow("last chunk reads 100 %") << 578 << 300 << QList<int>{300, 278} << QList<int>{300, 51, 578, 100};
    // The percentage stays at 0 but more than 1000 bytes went: reported.
    QTest::newRow("1001 bytes a chunk") << 1000000 << 1001 << QList<int>{1001, 1001} << QList<int>{1001, 0, 2002, 0};
    QTest::newRow("1000 bytes a chunk") << 1000000 << 1000 << QList<int>{1000, 1000} << QList<int>{1000, 0};
}

void TestFirmwareImage::chunksAndProgress()
{
    QFETCH(int, size);
    QFETCH(int, frameSize);
    QFETCH(QList<int>, chunks);
    QFETCH(QList<int>, reports);
    FirmwareUpload upload;
    upload.start(QByteArray(size, 'i'), false);
    QList<int> sizes;
    QList<int> told;
    for (int i = 0; i < chunks.size(); ++i) {
        std::optional<FirmwareUpload::Progress> report;
        sizes.append(int(upload.nextChunk(frameSize, report).size()));
        if (report)
            told << report->bytesSent << report->percentDone;
    }
    QCOMPARE(sizes, chunks);
    QCOMPARE(told, reports);
    QCOMPARE(upload.endReached(), upload.offset() == size);
}

void TestFirmwareImage::startOffset()
{
    FirmwareUpload upload;
    QByteArray image(1000, '\0');
    image[999] = 'z';
    upload.start(image, true);
    QVERIFY(!upload.setStartOffset(1000));
    QVERIFY(!upload.setStartOffset(0xFFFFFFFF));
    QCOMPARE(upload.offset(), 0);
    QVERIFY(upload.setStartOffset(999));
    std::optional<FirmwareUpload::Progress> report;
    QCOMPARE(upload.nextChunk(232, report), QByteArray("z"));
    QVERIFY(upload.endReached());
    QCOMPARE(report->percentDone, 100);
}

QTEST_GUILESS_MAIN(TestFirmwareImage)
#include "tst_firmwareimage.moc"
