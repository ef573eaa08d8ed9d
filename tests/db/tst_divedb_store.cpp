#include "logbookfixture.h"

#include <QSqlError>
#include <QTest>

class TestDiveDbStore : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(mLogbook.open()); }
    void cleanup() { mLogbook.close(); }

    void everyStoredFieldRoundTrips();
    void alertSummariesArePackedLittleEndian();
    void olderRowsReadBackWithDefaults();
    void textOfAnyKindRoundTrips();
    void duplicatesAndMissingNames();
    void idsFollowTheLargest();
    void renamingRules();
    void placeComputerNameAndDiveNumbers();
    void deleteRemovesEveryRow();
    void missingGasRowsStillLoad();
    void failedLineQueryLeavesDiveUnchanged();
    void failedInsertLeavesNoRows();
    void insertJoinsCallersTransaction();
    void closedReadOnlyAndLockedLogbooks();

private:
    LogbookFixture mLogbook;
};

void TestDiveDbStore::everyStoredFieldRoundTrips()
{
    DiveDb* db = DiveDb::instance();
    Dive dive = makeDive(QStringLiteral("42"), QStringLiteral("SN-1"), 4102444800LL + 12345); // after 2100
    dive.computerModel = ComputerModel::Brix;
    dive.samplePeriod = 4;
    dive.alertsAI = 0x5A;
    dive.diverMode = 0;
    dive.divemode = 1;
    dive.ocdivemode = 0;
    dive.gfLow = 35;
    dive.gfHigh = 75;
    dive.density = 7; // any non-zero value is fresh water
    dive.surfacePressure = 1013;
    dive.firmwareVersion = QStringLiteral("2.1.7");
    dive.place = QStringLiteral("Marseille");
    dive.site = QStringLiteral("Planier");
    dive.buddy = QStringLiteral("Lou");
    dive.diveNumber = 65535;
    dive.uploaded = true;
    dive.gasSet = 1280;
    for (int i = 0; i < 16; ++i) {
        dive.diverN2[std::size_t(i)] = quint16(0xFF00 + i);
        dive.diverHe[std::size_t(i)] = quint16(i * 257);
    }
    dive.gases.clear();
    DiveGas nitrox;
    nitrox.setO2(0.326); // stored as 33 %
    DiveGas diluent;
    diluent.setO2(0.184); // 18 %
    diluent.setHe(0.446); // 45 %
    diluent.setGasClass(DiveGas::DiluentClass);
    DiveGas bailout;
    bailout.setO2(0.5);
    bailout.setGasClass(DiveGas::Bailout);
    dive.gases = {nitrox, diluent, bailout};
    DiveLine& line = dive.lines[3];
    line.ambientTemp = 12.25;
    line.otu = 3.5;
    line.cns = 7.25;
    line.decoCeiling = 4.5;
    line.gradientFactor = 0.62;
    line.alertFlag = 0xA5;
    line.gasIndex = 2;
    line.alertFlagTransmitter = 0x3C;
    line.battery = 3100;
    line.tankPressure = 187;
    line.gfLow = 30;
    line.gfHigh = 85;
    line.ppO2 = 1.21;
    line.tankPressureTxIndex = 2;
    // Simulation results are not stored.
    dive.decoLines.append(DiveLine{});
    dive.invalidReason = 3;

    QCOMPARE(db->insertDive(dive), int(DiveDb::Stored));
    Dive loaded;
    loaded.computerManufacturer = QStringLiteral("kept by the caller");
    QVERIFY(db->loadDive(1, loaded));

    QCOMPARE(loaded.name, dive.name);
    QCOMPARE(loaded.computerName, dive.computerName);
    QCOMPARE(loaded.computerSerial, dive.computerSerial);
    QCOMPARE(loaded.computerManufacturer, QStringLiteral("kept by the caller"));
    QCOMPARE(loaded.beginTime, dive.beginTime);
    QCOMPARE(sqlValue(QStringLiteral("SELECT datetime FROM dives")).toLongLong(), dive.beginTime);
    QCOMPARE(loaded.computerModel, dive.computerModel);
    QCOMPARE(loaded.samplePeriod, dive.samplePeriod);
    QCOMPARE(loaded.alertsAI, dive.alertsAI);
    QCOMPARE(loaded.diverMode, dive.diverMode);
    QCOMPARE(loaded.divemode, dive.divemode);
    QCOMPARE(loaded.ocdivemode, dive.ocdivemode);
    QCOMPARE(loaded.gfLow, dive.gfLow);
    QCOMPARE(loaded.gfHigh, dive.gfHigh);
    QCOMPARE(loaded.density, quint8(1));
    QCOMPARE(loaded.surfacePressure, dive.surfacePressure);
    QCOMPARE(loaded.firmwareVersion, dive.firmwareVersion);
    QCOMPARE(loaded.place, dive.place);
    QCOMPARE(loaded.site, dive.site);
    QCOMPARE(loaded.buddy, dive.buddy);
    QCOMPARE(loaded.diveNumber, dive.diveNumber);
    QCOMPARE(loaded.uploaded, true);
    QCOMPARE(loaded.gasSet, dive.gasSet);
    QVERIFY(loaded.diverN2 == dive.diverN2);
    QVERIFY(loaded.diverHe == dive.diverHe);
    const QByteArray n2 = sqlValue(QStringLiteral("SELECT diverN2 FROM dives")).toByteArray();
    QCOMPARE(n2.size(), 32);
    QCOMPARE(quint8(n2.at(0)), quint8(0x00)); // low byte first
    QCOMPARE(quint8(n2.at(1)), quint8(0xFF));

    QCOMPARE(loaded.gases.size(), 3);
    QCOMPARE(loaded.gases[0].o2, 0.33f);
    QCOMPARE(loaded.gases[0].gasClass(), int(DiveGas::OpenCircuit));
    QCOMPARE(loaded.gases[1].o2, 0.18f);
    QCOMPARE(loaded.gases[1].he, 0.45f);
    QCOMPARE(loaded.gases[1].gasClass(), int(DiveGas::DiluentClass));
    QCOMPARE(loaded.gases[1].usage, quint8(GasUsage::Diluent));
    QCOMPARE(loaded.gases[2].gasClass(), int(DiveGas::Bailout));
    QCOMPARE(sqlValue(QStringLiteral("SELECT group_concat(gasid || ':' || o2 || '/' || he || '/' || gasClass, ' ') "
                                     "FROM gases ORDER BY gasid"))
                 .toString(),
             QStringLiteral("1:33/0/0 2:18/45/1 3:50/0/2"));

    QCOMPARE(loaded.lines.size(), dive.lines.size());
    for (int i = 0; i < dive.lines.size(); ++i) {
        QCOMPARE(loaded.lines[i].timeSec, dive.lines[i].timeSec);
        QCOMPARE(loaded.lines[i].depth, dive.lines[i].depth);
    }
    const DiveLine& back = loaded.lines[3];
    QCOMPARE(back.ambientTemp, line.ambientTemp);
    QCOMPARE(back.otu, line.otu);
    QCOMPARE(back.cns, line.cns);
    QCOMPARE(back.decoCeiling, line.decoCeiling);
    QCOMPARE(back.gradientFactor, line.gradientFactor);
    QCOMPARE(back.alertFlag, line.alertFlag);
    QCOMPARE(back.gasIndex, line.gasIndex);
    QCOMPARE(back.alertFlagTransmitter, line.alertFlagTransmitter);
    QCOMPARE(back.battery, line.battery);
    QCOMPARE(back.tankPressure, line.tankPressure);
    QCOMPARE(back.gfLow, line.gfLow);
    QCOMPARE(back.gfHigh, line.gfHigh);
    QCOMPARE(back.ppO2, line.ppO2);
    QCOMPARE(back.tankPressureTxIndex, line.tankPressureTxIndex);
    QCOMPARE(loaded.lines[0].tankPressureTxIndex, quint8(255));

    // Derived values are brought up to date; simulation results are not stored.
    QVERIFY(loaded.decoLines.isEmpty());
    QCOMPARE(loaded.invalidReason, 0);
    QVERIFY(loaded.maxDepth > 19.0);
    QCOMPARE(loaded.endTime, dive.beginTime + 55);
    QCOMPARE(loaded.ceilingProfile.size(), 2);
    QVERIFY(loaded.lines[1].speed > 0.0);

    // Periods of 0 and 1 both read back as 1 s; a NULL diver mode as "not set".
    QVERIFY(QSqlQuery().exec(QStringLiteral("UPDATE dives SET period=0, divermode=NULL")));
    QVERIFY(db->loadDive(1, loaded));
    QCOMPARE(loaded.samplePeriod, quint8(1));
    QCOMPARE(loaded.diverMode, quint8(255));
    QVERIFY(QSqlQuery().exec(QStringLiteral("UPDATE dives SET period=1")));
    QVERIFY(db->loadDive(1, loaded));
    QCOMPARE(loaded.samplePeriod, quint8(1));

    // Times before the epoch and far beyond 32 bits survive as well.
    for (const qint64 when : {qint64(-2208988800LL), qint64(1LL << 40)}) {
        Dive other = makeDive(QString::number(when), QStringLiteral("SN-1"), when);
        QCOMPARE(db->insertDive(other), int(DiveDb::Stored));
        QVERIFY(db->loadDive(db->findDiveId(other.name, QStringLiteral("SN-1")), loaded));
        QCOMPARE(loaded.beginTime, when);
    }
}

void TestDiveDbStore::alertSummariesArePackedLittleEndian()
{
    DiveDb* db = DiveDb::instance();
    Dive kelvo = makeDive(QStringLiteral("k"), QStringLiteral("K1"), 1700000000);
    kelvo.computerModel = ComputerModel::Kelvo;
    kelvo.alertsKelvo = {0x01, 0x02, 0x03, 0xF4};
    kelvo.alertsPelagon = {0x7F, 0x7F, 0x7F}; // not the summary of a Kelvo computer
    QCOMPARE(db->insertDive(kelvo), int(DiveDb::Stored));
    QCOMPARE(sqlValue(QStringLiteral("SELECT alerts FROM dives WHERE name='k'")).toLongLong(), 0xF4030201LL);
    Dive loaded;
    QVERIFY(db->loadDive(1, loaded));
    QVERIFY(loaded.alertsKelvo == kelvo.alertsKelvo);
    QVERIFY(loaded.alertsPelagon == (std::array<quint8, 3>{}));

    // A Pelagon dive stores its three bytes; loading derives the summary from
    // the lines again.
    Dive pelagon = makeDive(QStringLiteral("p"), QStringLiteral("P1"), 1700000000);
    pelagon.computerModel = ComputerModel::Pelagon;
    pelagon.alertsPelagon = {0x11, 0x22, 0x33};
    pelagon.lines[2].pelagonAlerts = {0x02, 0x05, 0x40};
    pelagon.lines[4].pelagonAlerts = {0x0C, 0x0A, 0x01};
    QCOMPARE(db->insertDive(pelagon), int(DiveDb::Stored));
    QCOMPARE(sqlValue(QStringLiteral("SELECT alerts FROM dives WHERE name='p'")).toLongLong(), 0x332211LL);
    QCOMPARE(sqlValue(QStringLiteral("SELECT alertPelagon FROM profiles WHERE diveid=2 AND pointid=2")).toLongLong(),
             0x400502LL);
    QVERIFY(db->loadDive(2, loaded));
    QVERIFY(loaded.lines[2].pelagonAlerts == pelagon.lines[2].pelagonAlerts);
    QVERIFY(loaded.alertsPelagon == (std::array<quint8, 3>{0x0E, 0x0E, 0x41}));

    // Other models keep the line alert bytes out of the dive.
    Dive brix = pelagon;
    brix.name = QStringLiteral("b");
    brix.computerModel = ComputerModel::Brix;
    QCOMPARE(db->insertDive(brix), int(DiveDb::Stored));
    QVERIFY(db->loadDive(3, loaded));
    QVERIFY(loaded.lines[2].pelagonAlerts == (std::array<quint8, 3>{}));
    QVERIFY(loaded.alertsPelagon == (std::array<quint8, 3>{}));
}

void TestDiveDbStore::olderRowsReadBackWithDefaults()
{
    // Rows written before a column existed hold NULL there: the alert bytes of
    // a Pelagon line then come from its computer and transmitter flags.
    DiveDb* db = DiveDb::instance();
    Dive pelagon = makeDive(QStringLiteral("old"), QStringLiteral("P1"), 1500000000);
    pelagon.computerModel = ComputerModel::Pelagon;
    pelagon.lines[1].alertFlag = 0xFF;
    pelagon.lines[1].alertFlagTransmitter = 0x84; // fields 1 and 3 set
    pelagon.lines[2].alertFlag = 0x12;            // bits 1 and 4
    QCOMPARE(db->insertDive(pelagon), int(DiveDb::Stored));
    QVERIFY(QSqlQuery().exec(QStringLiteral("UPDATE profiles SET alertPelagon=NULL, tankPressureTxIndex=NULL")));
    Dive loaded;
    QVERIFY(db->loadDive(1, loaded));
    QVERIFY(loaded.lines[1].pelagonAlerts == (std::array<quint8, 3>{0xFF, 0x1F, 0x44}));
    QVERIFY(loaded.lines[2].pelagonAlerts == (std::array<quint8, 3>{0x03, 0x08, 0x00}));
    QVERIFY(loaded.lines[3].pelagonAlerts == (std::array<quint8, 3>{}));
    QCOMPARE(loaded.lines[1].tankPressureTxIndex, quint8(255));

    // Numbers written into columns an upgrade added as TEXT read back as numbers.
    QVERIFY(QSqlQuery().exec(QStringLiteral("UPDATE dives SET period='3', alerts='65793'")));
    QVERIFY(db->loadDive(1, loaded));
    QCOMPARE(loaded.samplePeriod, quint8(3));
}

void TestDiveDbStore::textOfAnyKindRoundTrips()
{
    DiveDb* db = DiveDb::instance();
    const QString texts[] = {
        QStringLiteral("O'Brien \"quoted\"; DROP TABLE dives; --"),
        QStringLiteral("line one\nline two\r\n\ttab"),
        QString::fromUtf8("Плавание 潜水 غوص 🐠"),
        QString(10000, QChar(u'é')),
    };
    int id = 0;
    for (const QString& text : texts) {
        Dive dive = makeDive(text, text, 1600000000);
        dive.computerName = text;
        dive.place = text;
        dive.site = text + QStringLiteral(" site");
        dive.buddy = text + QStringLiteral(" buddy");
        QCOMPARE(db->insertDive(dive), int(DiveDb::Stored));
        ++id;
        QCOMPARE(db->findDiveId(text, text), id);
        Dive loaded;
        QVERIFY(db->loadDive(id, loaded));
        QCOMPARE(loaded.name, text);
        QCOMPARE(loaded.computerName, text);
        QCOMPARE(loaded.computerSerial, text);
        QCOMPARE(loaded.place, text);
        QCOMPARE(loaded.site, dive.site);
        QCOMPARE(loaded.buddy, dive.buddy);
    }
    QCOMPARE(sqlValue(QStringLiteral("SELECT COUNT(*) FROM dives")).toInt(), 4);
}

void TestDiveDbStore::duplicatesAndMissingNames()
{
    DiveDb* db = DiveDb::instance();
    const Dive dive = makeDive(QStringLiteral("7"), QStringLiteral("SN-A"), 1600000000);
    QCOMPARE(db->insertDive(dive), int(DiveDb::Stored));
    QCOMPARE(db->insertDive(dive), int(DiveDb::DiveExists));
    // Same name, other serial: another computer's dive 7.
    Dive other = dive;
    other.computerSerial = QStringLiteral("SN-B");
    QCOMPARE(db->insertDive(other), int(DiveDb::Stored));
    // After renaming the first copy the same dive can be stored again.
    QVERIFY(db->renameDive(1, QStringLiteral("7 (first)")));
    QCOMPARE(db->insertDive(dive), int(DiveDb::Stored));
    QCOMPARE(sqlValue(QStringLiteral("SELECT COUNT(*) FROM dives")).toInt(), 3);

    // A dive without computer name and serial is stored under stand-in texts,
    // found under them only, and cannot be stored twice either.
    Dive anonymous = makeDive(QStringLiteral("file dive"), QString(), 1600000000);
    anonymous.computerName.clear();
    QCOMPARE(db->insertDive(anonymous), int(DiveDb::Stored));
    const int id = db->findDiveId(QStringLiteral("file dive"), DiveDb::tr("No serial number"));
    QCOMPARE(id, 4);
    QCOMPARE(db->findDiveId(QStringLiteral("file dive"), QString()), -1);
    Dive loaded;
    QVERIFY(db->loadDive(id, loaded));
    QCOMPARE(loaded.computerName, DiveDb::tr("No name"));
    QCOMPARE(loaded.computerSerial, DiveDb::tr("No serial number"));
    QCOMPARE(db->insertDive(anonymous), int(DiveDb::DiveExists));
}

void TestDiveDbStore::idsFollowTheLargest()
{
    DiveDb* db = DiveDb::instance();
    for (int i = 1; i <= 3; ++i)
        QCOMPARE(db->insertDive(makeDive(QString::number(i), QStringLiteral("S"), 1600000000 + i)),
                 int(DiveDb::Stored));
    QCOMPARE(db->findDiveId(QStringLiteral("1"), QStringLiteral("S")), 1);
    // Dives 1, 2, 5: the next is 6.
    QVERIFY(QSqlQuery().exec(QStringLiteral("UPDATE dives SET diveid=5 WHERE diveid=3")));
    QCOMPARE(db->insertDive(makeDive(QStringLiteral("4"), QStringLiteral("S"), 1600000004)), int(DiveDb::Stored));
    QCOMPARE(db->findDiveId(QStringLiteral("4"), QStringLiteral("S")), 6);
    // Deleting the largest lets the next dive take its id; a gap stays a gap.
    QVERIFY(db->deleteDive(6));
    QVERIFY(db->deleteDive(1));
    QCOMPARE(db->insertDive(makeDive(QStringLiteral("5"), QStringLiteral("S"), 1600000005)), int(DiveDb::Stored));
    QCOMPARE(db->findDiveId(QStringLiteral("5"), QStringLiteral("S")), 6);
    QCOMPARE(db->findDiveId(QStringLiteral("missing"), QStringLiteral("S")), -1);
}

void TestDiveDbStore::renamingRules()
{
    DiveDb* db = DiveDb::instance();
    QCOMPARE(db->insertDive(makeDive(QStringLiteral("a"), QStringLiteral("S1"), 1)), int(DiveDb::Stored));
    QCOMPARE(db->insertDive(makeDive(QStringLiteral("b"), QStringLiteral("S1"), 2)), int(DiveDb::Stored));
    QCOMPARE(db->insertDive(makeDive(QStringLiteral("c"), QStringLiteral("S2"), 3)), int(DiveDb::Stored));

    QVERIFY(!db->renameDive(1, QStringLiteral("a")));  // its own name is taken by itself
    QVERIFY(!db->renameDive(1, QStringLiteral("b")));  // taken on the same serial
    QVERIFY(db->renameDive(1, QStringLiteral("c")));   // free on this serial
    QVERIFY(!db->renameDive(99, QStringLiteral("z"))); // no such dive
    QCOMPARE(db->findDiveId(QStringLiteral("c"), QStringLiteral("S1")), 1);

    // A dive whose serial is empty (written by hand or by an old version)
    // cannot be renamed.
    QVERIFY(QSqlQuery().exec(QStringLiteral("UPDATE dives SET serial='' WHERE diveid=2")));
    QVERIFY(!db->renameDive(2, QStringLiteral("new")));
    QCOMPARE(sqlValue(QStringLiteral("SELECT name FROM dives WHERE diveid=2")).toString(), QStringLiteral("b"));
}

void TestDiveDbStore::placeComputerNameAndDiveNumbers()
{
    DiveDb* db = DiveDb::instance();
    int stored = 0;
    for (int n : {12, 0, 12, 40}) {
        Dive dive = makeDive(QStringLiteral("dive %1").arg(++stored), QStringLiteral("S1"), n);
        dive.diveNumber = quint16(n);
        QCOMPARE(db->insertDive(dive), int(DiveDb::Stored));
    }
    QCOMPARE(db->insertDive(makeDive(QStringLiteral("x"), QStringLiteral("S2"), 5)), int(DiveDb::Stored));
    QList<quint16> numbers = db->storedDiveNumbers(QStringLiteral("S1"));
    std::sort(numbers.begin(), numbers.end());
    QCOMPARE(numbers, QList<quint16>({12, 12, 40}));
    QVERIFY(db->storedDiveNumbers(QStringLiteral("nobody")).isEmpty());

    QCOMPARE(db->updatePlaceSiteBuddy(2, {QStringLiteral("Nice"), QStringLiteral("Tombant"), QStringLiteral("Max")}),
             int(DiveDb::Stored));
    QCOMPARE(db->updatePlaceSiteBuddy(999, {QStringLiteral("Nowhere"), {}, {}}), int(DiveDb::SqlError)); // no such dive
    Dive loaded;
    QVERIFY(db->loadDive(2, loaded));
    QCOMPARE(loaded.place, QStringLiteral("Nice"));
    QCOMPARE(loaded.site, QStringLiteral("Tombant"));
    QCOMPARE(loaded.buddy, QStringLiteral("Max"));

    bool changed = true;
    QCOMPARE(db->updateComputerName(QStringLiteral("S1"), QStringLiteral("Comp S1"), changed), int(DiveDb::Stored));
    QVERIFY(!changed); // already the stored name
    QCOMPARE(db->updateComputerName(QStringLiteral("S1"), QStringLiteral("Renamed"), changed), int(DiveDb::Stored));
    QVERIFY(changed);
    QCOMPARE(sqlValue(QStringLiteral("SELECT COUNT(*) FROM dives WHERE computer='Renamed'")).toInt(), 4);
    QCOMPARE(sqlValue(QStringLiteral("SELECT computer FROM dives WHERE serial='S2'")).toString(),
             QStringLiteral("Comp S2"));
}

void TestDiveDbStore::deleteRemovesEveryRow()
{
    DiveDb* db = DiveDb::instance();
    QCOMPARE(db->insertDive(makeDive(QStringLiteral("a"), QStringLiteral("S"), 1)), int(DiveDb::Stored));
    QCOMPARE(db->insertDive(makeDive(QStringLiteral("b"), QStringLiteral("S"), 2)), int(DiveDb::Stored));
    QVERIFY(db->deleteDive(1));
    for (const char* table : {"dives", "profiles", "gases"})
        QCOMPARE(sqlValue(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE diveid=1").arg(QLatin1String(table))).toInt(),
                 0);
    QCOMPARE(sqlValue(QStringLiteral("SELECT COUNT(*) FROM profiles WHERE diveid=2")).toInt(), 12);
    QVERIFY(db->deleteDive(1)); // nothing left to delete is not a failure
    Dive loaded;
    QVERIFY(!db->loadDive(1, loaded));
}

void TestDiveDbStore::missingGasRowsStillLoad()
{
    DiveDb* db = DiveDb::instance();
    QCOMPARE(db->insertDive(makeDive(QStringLiteral("a"), QStringLiteral("S"), 1)), int(DiveDb::Stored));
    QVERIFY(QSqlQuery().exec(QStringLiteral("DELETE FROM gases")));
    Dive loaded;
    QVERIFY(db->loadDive(1, loaded));
    QVERIFY(loaded.gases.isEmpty());
    QCOMPARE(loaded.lines.size(), 12);
    // Without a gases table at all, too.
    QVERIFY(QSqlQuery().exec(QStringLiteral("DROP TABLE gases")));
    QVERIFY(db->loadDive(1, loaded));
    QCOMPARE(loaded.lines.size(), 12);
}

void TestDiveDbStore::failedLineQueryLeavesDiveUnchanged()
{
    DiveDb* db = DiveDb::instance();
    QCOMPARE(db->insertDive(makeDive(QStringLiteral("a"), QStringLiteral("S"), 1)), int(DiveDb::Stored));
    Dive shown = makeDive(QStringLiteral("shown"), QStringLiteral("X"), 99, 3);
    QVERIFY(QSqlQuery().exec(QStringLiteral("ALTER TABLE profiles RENAME TO profiles_elsewhere")));
    QVERIFY(!db->loadDive(1, shown));
    QCOMPARE(shown.name, QStringLiteral("shown"));
    QCOMPARE(shown.lines.size(), 3);
    QCOMPARE(shown.beginTime, qint64(99));
    QVERIFY(!db->lastError().isEmpty());
}

void TestDiveDbStore::failedInsertLeavesNoRows()
{
    DiveDb* db = DiveDb::instance();
    QCOMPARE(db->insertDive(makeDive(QStringLiteral("kept"), QStringLiteral("S"), 1)), int(DiveDb::Stored));
    // The sixth profile row of the next dive is refused.
    QVERIFY(QSqlQuery().exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON profiles WHEN new.diveid=2 AND "
                                            "new.pointid=5 BEGIN SELECT RAISE(ABORT, 'refused row'); END")));
    QCOMPARE(db->insertDive(makeDive(QStringLiteral("lost"), QStringLiteral("S"), 2)), int(DiveDb::SqlError));
    QVERIFY2(db->lastError().contains(QStringLiteral("refused row")), qPrintable(db->lastError()));
    for (const char* table : {"dives", "profiles", "gases"})
        QCOMPARE(sqlValue(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE diveid<>1").arg(QLatin1String(table))).toInt(),
                 0);
    QCOMPARE(sqlValue(QStringLiteral("SELECT COUNT(*) FROM profiles")).toInt(), 12);

    QVERIFY(QSqlQuery().exec(QStringLiteral("DROP TRIGGER refuse")));
    QCOMPARE(db->insertDive(makeDive(QStringLiteral("lost"), QStringLiteral("S"), 2)), int(DiveDb::Stored));
    QCOMPARE(db->findDiveId(QStringLiteral("lost"), QStringLiteral("S")), 2);
}

void TestDiveDbStore::insertJoinsCallersTransaction()
{
    // Storing several dives as one unit: the caller's rollback undoes them all.
    DiveDb* db = DiveDb::instance();
    QSqlDatabase connection = QSqlDatabase::database();
    QVERIFY(connection.transaction());
    QCOMPARE(db->insertDive(makeDive(QStringLiteral("a"), QStringLiteral("S"), 1)), int(DiveDb::Stored));
    QCOMPARE(db->insertDive(makeDive(QStringLiteral("b"), QStringLiteral("S"), 2)), int(DiveDb::Stored));
    QVERIFY(db->deleteDive(1));
    QCOMPARE(sqlValue(QStringLiteral("SELECT COUNT(*) FROM dives")).toInt(), 1);
    QVERIFY(connection.rollback());
    QCOMPARE(sqlValue(QStringLiteral("SELECT COUNT(*) FROM dives")).toInt(), 0);
    QCOMPARE(sqlValue(QStringLiteral("SELECT COUNT(*) FROM profiles")).toInt(), 0);

    // Nothing the rollback took away is counted on afterwards.
    Dive dive = makeDive(QStringLiteral("a"), QStringLiteral("S"), 1, 12, 30.0);
    QCOMPARE(db->insertDive(dive), int(DiveDb::Stored));
    int count = 0;
    const QList<DiveListEntry> entries = db->listDives(DiveFilter(), DiveDb::ByDate, false, count);
    QCOMPARE(entries.size(), 1);
    dive.computeStatistics();
    QCOMPARE(entries[0].maxDepth, dive.maxDepth);
    QCOMPARE(entries[0].duration, 55.0);
}

void TestDiveDbStore::closedReadOnlyAndLockedLogbooks()
{
    DiveDb* db = DiveDb::instance();
    const Dive dive = makeDive(QStringLiteral("a"), QStringLiteral("S"), 1);
    QCOMPARE(db->insertDive(dive), int(DiveDb::Stored));

    // Closed: "not open", and the other operations fail quietly.
    db->close();
    QCOMPARE(db->insertDive(makeDive(QStringLiteral("b"), QStringLiteral("S"), 2)), int(DiveDb::NotOpen));
    Dive loaded;
    QVERIFY(!db->loadDive(1, loaded));
    QVERIFY(!db->deleteDive(1));
    int count = -1;
    QVERIFY(db->listDives(DiveFilter(), DiveDb::ByDate, false, count).isEmpty());
    QCOMPARE(count, 0);
    bool changed = true;
    QCOMPARE(db->updateComputerName(QStringLiteral("S"), QStringLiteral("x"), changed), int(DiveDb::SqlError));
    QVERIFY(!changed);
    QCOMPARE(db->updatePlaceSiteBuddy(1, {}), int(DiveDb::SqlError));

    // Read-only: reading works, writing gives an SQL error with its text.
    QSqlDatabase connection = QSqlDatabase::database(QSqlDatabase::defaultConnection, false);
    connection.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    QCOMPARE(db->open(mLogbook.path()), int(DiveDb::Opened));
    QVERIFY(db->loadDive(1, loaded));
    QCOMPARE(db->listDives(DiveFilter(), DiveDb::ByDate, false, count).size(), 1);
    QCOMPARE(db->insertDive(makeDive(QStringLiteral("b"), QStringLiteral("S"), 2)), int(DiveDb::SqlError));
    QVERIFY2(db->lastError().contains(QStringLiteral("readonly")), qPrintable(db->lastError()));
    QVERIFY(!db->deleteDive(1));
    db->close();

    // Locked by another program: the write fails at once with its reason and
    // leaves nothing behind; once the lock is gone it succeeds.
    connection.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
    QCOMPARE(db->open(mLogbook.path()), int(DiveDb::Opened));
    {
        const OtherProgram other(mLogbook.path());
        QVERIFY(other.isOpen());
        QVERIFY(other.exec(QStringLiteral("BEGIN IMMEDIATE")));
        QCOMPARE(db->insertDive(makeDive(QStringLiteral("b"), QStringLiteral("S"), 2)), int(DiveDb::SqlError));
        QVERIFY2(db->lastError().contains(QStringLiteral("locked")), qPrintable(db->lastError()));
        QVERIFY(!db->deleteDive(1));
        QVERIFY(other.exec(QStringLiteral("ROLLBACK")));
    }
    QCOMPARE(db->insertDive(makeDive(QStringLiteral("b"), QStringLiteral("S"), 2)), int(DiveDb::Stored));
    QVERIFY(db->deleteDive(1));
    QCOMPARE(sqlValue(QStringLiteral("SELECT COUNT(*) FROM dives")).toInt(), 1);
}

QTEST_GUILESS_MAIN(TestDiveDbStore)
#include "tst_divedb_store.moc"
