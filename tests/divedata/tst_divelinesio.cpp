#include "divedata/divelinesio.h"
#include "divedata/safefile.h"

#include "divefixtures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

using fixtures::contentsOf;
using fixtures::writeRaw;

} // namespace

class TestDiveLinesIO : public QObject
{
    Q_OBJECT

private slots:
    void fileTypeOf_data();
    void fileTypeOf();
    void factoryHandlers();
    void registryDialogFilters();
    void registryAbilitiesMatchTheHandlers();
    void atomicSaveKeepsOldFileOnFailure();
    void cappedRead();
};

void TestDiveLinesIO::fileTypeOf_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("type");
    QTest::newRow("csv") << "a.csv" << int(DiveFileType::Csv);
    QTest::newRow("upper uddf") << "dive.UDDF" << int(DiveFileType::Uddf);
    QTest::newRow("mixed divebin") << "/tmp/x/Dive.DiveBin" << int(DiveFileType::Binary);
    QTest::newRow("diveplan") << "day.diveplan" << int(DiveFileType::Plan);
    QTest::newRow("last suffix counts") << "a.tar.csv" << int(DiveFileType::Csv);
    QTest::newRow("no suffix") << "dive" << int(DiveFileType::Unknown);
    QTest::newRow("dot in folder only") << "/tmp/dir.csv/dive" << int(DiveFileType::Unknown);
    QTest::newRow("trailing dot") << "dive." << int(DiveFileType::Unknown);
    QTest::newRow("other") << "dive.xml" << int(DiveFileType::Unknown);
    QTest::newRow("empty") << "" << int(DiveFileType::Unknown);
}

void TestDiveLinesIO::fileTypeOf()
{
    QFETCH(QString, path);
    QFETCH(int, type);
    QCOMPARE(DiveLinesIO::fileTypeOf(path), type);
}

void TestDiveLinesIO::factoryHandlers()
{
    // Every handler the factory makes answers with its own type code.
    for (const int type : {int(DiveFileType::Binary), int(DiveFileType::Plan)}) {
        const std::unique_ptr<DiveLinesIO> handler = DiveLinesIO::createByType(type);
        QVERIFY(handler);
        QCOMPARE(handler->typeCode(), type);
    }
    QVERIFY(!DiveLinesIO::createByType(DiveFileType::Unknown));
    QVERIFY(!DiveLinesIO::createByType(-1));
    QVERIFY(!DiveLinesIO::createReader("dive.txt"));
    QVERIFY(!DiveLinesIO::createWriter("dive.txt"));
    QVERIFY(!DiveLinesIO::createWriter("dive.divebin"));
    QVERIFY(DiveLinesIO::createWriter("dive.diveplan"));

    QTemporaryDir dir;
    QVERIFY(!DiveLinesIO::writeDiveFile(dir.filePath("dive.txt"), fixtures::sampleDive()));
    QVERIFY(QDir(dir.path()).isEmpty());
}

void TestDiveLinesIO::registryDialogFilters()
{
    // The texts the window's dialogs have always shown, derived now.
    QCOMPARE(diveFileDialogFilter(DiveFileDialog::Open),
             QStringLiteral("Dive file (*.csv *.uddf *.divebin);;Csv file (*.csv);;UDDF file (*.uddf);;"
                            "Binary dive file (*.divebin)"));
    QCOMPARE(diveFileDialogFilter(DiveFileDialog::Export),
             QStringLiteral("Dive file (*.uddf *.csv);;UDDF file (*.uddf);;Csv file (*.csv)"));
    QStringList dropped;
    for (const DiveFileFormat& format : diveFileFormats()) {
        if (format.has(DiveFileAbility::OpenedWhenDropped))
            dropped.append(QLatin1String(format.suffix));
    }
    QCOMPARE(dropped, QStringList({"uddf", "divebin"}));
}

void TestDiveLinesIO::registryAbilitiesMatchTheHandlers()
{
    // What the registry says a format does is what its handler does with a
    // real file.
    QTemporaryDir dir;
    for (const DiveFileFormat& format : diveFileFormats()) {
        const QString path = dir.filePath(QStringLiteral("dive.") + QLatin1String(format.suffix));
        const std::unique_ptr<DiveLinesIO> handler = DiveLinesIO::createByType(format.type);
        QVERIFY(handler);
        QCOMPARE(DiveLinesIO::fileTypeOf(path), format.type);
        QCOMPARE(bool(DiveLinesIO::createWriter(path)), format.has(DiveFileAbility::FactoryWriter));
        const bool written = handler->writeDive(path, fixtures::sampleDive());
        QCOMPARE(written, format.has(DiveFileAbility::WritesDive));
        if (!written)
            continue;
        // A format without a reader reads nothing back; a profile format (one
        // a drop opens) reads back a profile from what it wrote.
        Dive read;
        const bool readBack = DiveLinesIO::createReader(path)->readDive(path, read);
        if (!format.has(DiveFileAbility::ReadsDive))
            QVERIFY(!readBack);
        if (format.has(DiveFileAbility::OpenedWhenDropped))
            QVERIFY(readBack && !read.lines.isEmpty());
    }
    QVERIFY(diveFileFormat(DiveFileType::Unknown) == nullptr);
}

void TestDiveLinesIO::atomicSaveKeepsOldFileOnFailure()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("logbook.divebin");
    writeRaw(path, "previous content");

    // The writer fails half-way: false, and the old file stays whole.
    const bool failed = saveFileAtomically(path, [](QIODevice& device) {
        device.write("partial new conte");
        return false;
    });
    QVERIFY(!failed);
    QCOMPARE(contentsOf(path), QByteArray("previous content"));

    // A success replaces the file in one step.
    QVERIFY(saveFileAtomically(path, [](QIODevice& device) { return device.write("new") == 3; }));
    QCOMPARE(contentsOf(path), QByteArray("new"));

    // No temporary file is left behind either way.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"logbook.divebin"});

    // An unwritable place gives false.
    QVERIFY(!saveFileAtomically(dir.filePath("no/such/dir/f"), [](QIODevice&) { return true; }));
    QVERIFY(!saveFileAtomically(dir.path(), [](QIODevice&) { return true; }));
}

void TestDiveLinesIO::cappedRead()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("f.bin");
    writeRaw(path, QByteArray(200 * 1024, 'x'));
    QByteArray contents("unchanged");
    QVERIFY(!readFileCapped(path, 200 * 1024 - 1, contents));
    QCOMPARE(contents, QByteArray("unchanged"));
    QVERIFY(readFileCapped(path, 200 * 1024, contents));
    QCOMPARE(contents.size(), 200 * 1024);
    QVERIFY(!readFileCapped(dir.filePath("missing"), 10, contents));

    // A device without a size is cut off at the cap, not read to its end.
    if (QFile::exists("/dev/zero")) {
        QVERIFY(!readFileCapped("/dev/zero", 100 * 1024, contents));
        QCOMPARE(contents.size(), 200 * 1024);
    }
}

QTEST_GUILESS_MAIN(TestDiveLinesIO)
#include "tst_divelinesio.moc"
