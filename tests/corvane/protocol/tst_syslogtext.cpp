#include "corvane/protocol/syslogtext.h"

#include <QTest>

class TestSyslogText : public QObject
{
    Q_OBJECT

private slots:
    void eventTexts_data();
    void eventTexts();
    void timeStamps_data();
    void timeStamps();
};

namespace {
SyslogBinRecord record(quint8 type, quint32 a = 0, quint32 b = 0, quint64 time = 0)
{
    SyslogBinRecord r;
    r.time = time;
    r.type = type;
    r.value1 = a;
    r.value2 = b;
    return r;
}
} // namespace

void TestSyslogText::eventTexts_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<quint32>("a");
    QTest::addColumn<quint32>("b");
    QTest::addColumn<QString>("text");

    QTest::newRow("battery") << 0 << 4012u << 0u << "Start battery with 4012mV";
    QTest::newRow("check battery") << 1 << 3900u << 3950u << "Check battery: Current=3900, Last=3950";
    QTest::newRow("plain rtc") << 2 << 5u << 6u << "RTC: Failed to read register";
    QTest::newRow("offgasing 2h15") << 5 << 30u << 135u << "Offgasing 30% reduction during 2h 15mn";
    QTest::newRow("offgasing values as they are") << 7 << 3u << 20u << "Offgasing with no reduction during 3h 20mn";
    // 0x6553_F100 = 2023-11-14 22:13:20 UTC.
    QTest::newRow("surface date") << 12 << 0xF100u << 0x6553u << "Surface date time: 2023-11-14 22:13:20 ";
    QTest::newRow("date ignores high bits") << 57 << 0xABCDF100u << 0x12346553u << "End dive at: 2023-11-14 22:13:20 ";
    QTest::newRow("wet startup") << 16 << 1013u << 1009u << "Wet startup 1013mb (1009mb)";
    QTest::newRow("dry startup") << 17 << 1013u << 1009u << "Dry startup 1013mb (1009mb)";
    QTest::newRow("setpoint change") << 22 << 6u << 0u << "Cancel deco setpoint and change to bottom setpoint at 6m";
    QTest::newRow("power down") << 29 << 0u << 0u << "-------------------- Power down --------------------";
    QTest::newRow("erase block") << 37 << 0x1000u << 0x2u << "Erase block 0x21000";
    QTest::newRow("erase block keeps high bits") << 37 << 0u << 0x12345678u << "Erase block 0x123456780000";
    QTest::newRow("yoyo over an hour") << 48 << 4000u << 0u << "Dive with yoyo since: 01:06:40";
    QTest::newRow("yoyo under an hour") << 48 << 600u << 0u << "Dive with yoyo since: 10:00";
    QTest::newRow("to bootloader") << 55 << 0u << 0u << "---------- to bootloader ----------";
    QTest::newRow("read computer header") << 68 << 0x1234u << 0xAB0Fu << "read computer: header 18 4 footer 171 15";
    QTest::newRow("last known") << 72 << 1u << 2u << "RTC backup config eeprom write failed: 1 -> 2";
    QTest::newRow("first unknown") << 73 << 0u << 0u << "Unknow type 73";
    QTest::newRow("unknown") << 200 << 0u << 0u << "Unknow type 200";
}

void TestSyslogText::eventTexts()
{
    QFETCH(int, type);
    QFETCH(quint32, a);
    QFETCH(quint32, b);
    QFETCH(QString, text);
    QCOMPARE(convertSyslogRecord(record(quint8(type), a, b, 1700000000), true), text);
}

void TestSyslogText::timeStamps_data()
{
    QTest::addColumn<quint64>("time");
    QTest::addColumn<QString>("line");

    QTest::newRow("epoch") << quint64(0) << "1970-01-01 00:00:00 Begin dive";
    QTest::newRow("leap day") << quint64(951782400 + 3661) << "2000-02-29 01:01:01 Begin dive";
    QTest::newRow("last u32 second") << quint64(0xFFFFFFFFu) << "2106-02-07 06:28:15 Begin dive";
    QTest::newRow("last printable") << quint64(253402300799ULL) << "9999-12-31 23:59:59 Begin dive";
    QTest::newRow("past year 9999") << quint64(253402300800ULL) << "253402300800 Begin dive";
    QTest::newRow("largest") << quint64(~0ULL) << "18446744073709551615 Begin dive";
}

void TestSyslogText::timeStamps()
{
    QFETCH(quint64, time);
    QFETCH(QString, line);
    QCOMPARE(convertSyslogRecord(record(30, 0, 0, time), false), line);
}

QTEST_GUILESS_MAIN(TestSyslogText)
#include "tst_syslogtext.moc"
