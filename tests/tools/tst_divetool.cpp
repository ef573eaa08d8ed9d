// divetool end to end: the built executable run on dive files and logbooks
// made here, its exit status, its text and its JSON checked.

#include "divetooltesting.h"

#include "deco/decostate.h"
#include "deco/diveplanner.h"
#include "deco/livedive.h"
#include "deco/simulation.h"

#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <optional>

#include <sys/stat.h>

class TestDiveTool : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }

    // A dive file written here; the test fails when it cannot be.
    QString diveFile(const QString& name, const Dive& dive)
    {
        const QString file = path(name);
        if (!writeBinaryDive(file, dive))
            qFatal("cannot write %s", qPrintable(file));
        return file;
    }

private slots:
    void init() { QVERIFY(m_dir.isValid()); }

    void helpDocumentsEveryCommandAndOption()
    {
        const ToolRun help = runTool({QStringLiteral("--help")});
        QCOMPARE(help.status, 0);
        QVERIFY(help.err.isEmpty());
        const QStringList documented = {
            "info", "convert", "db import", "db list", "db show", "db export", "db delete", "db rename", "plan",
            "ndl", "--json", "--csv-separator", "--serial", "--from", "--to", "--time", "--sort", "--ascending",
            "--gf", "--effort", "--fresh", "--psurf", "--profile", "--depth", "--o2", "--he", "Exit status"};
        for (const QString& word : documented)
            QVERIFY2(help.out.contains(word), qPrintable(word));
        QCOMPARE(runTool({QStringLiteral("help")}).out, help.out);

        // A command's own help: from "help COMMAND" and from "COMMAND --help".
        const ToolRun plan = runTool({QStringLiteral("help"), QStringLiteral("plan")});
        QCOMPARE(plan.status, 0);
        QVERIFY(plan.out.contains(QStringLiteral("--profile")));
        QVERIFY(!plan.out.contains(QStringLiteral("db import")));
        QCOMPARE(runTool({QStringLiteral("plan"), QStringLiteral("--help")}).out, plan.out);
        const ToolRun db = runTool({QStringLiteral("db"), QStringLiteral("--help")});
        QVERIFY(db.out.contains(QStringLiteral("db rename")) && db.out.contains(QStringLiteral("--ascending")));
    }

    void wrongCommandLinesAreUsageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("subject");
        QTest::newRow("nothing") << QStringList() << "divetool";
        QTest::newRow("unknown command") << QStringList{"dive"} << "dive";
        QTest::newRow("db without action") << QStringList{"db"} << "db";
        QTest::newRow("unknown option") << QStringList{"info", "--deep", "a.divebin"} << "info";
        QTest::newRow("missing file") << QStringList{"info"} << "info";
        QTest::newRow("extra argument") << QStringList{"convert", "a", "b", "c"} << "convert";
        QTest::newRow("value missing") << QStringList{"ndl", "--depth"} << "ndl";
        QTest::newRow("no depth") << QStringList{"ndl"} << "ndl";
        QTest::newRow("repeated option") << QStringList{"ndl", "--depth", "30", "--depth", "40"} << "ndl";
        QTest::newRow("depth not a number") << QStringList{"ndl", "--depth", "deep"} << "ndl";
        QTest::newRow("too much helium") << QStringList{"ndl", "--depth", "30", "--o2", "21", "--he", "80"} << "ndl";
        QTest::newRow("gf upside down") << QStringList{"ndl", "--depth", "30", "--gf", "80/30"} << "ndl";
        QTest::newRow("surface in mbar") << QStringList{"ndl", "--depth", "30", "--psurf", "1013"} << "ndl";
        QTest::newRow("plan of nothing") << QStringList{"plan"} << "plan";
        QTest::newRow("file and profile") << QStringList{"plan", "x.divebin", "--profile", "0:0,60:10"} << "plan";
        QTest::newRow("one point") << QStringList{"plan", "--profile", "0:0"} << "plan";
        QTest::newRow("time backwards") << QStringList{"plan", "--profile", "0:0,60:20,30:20"} << "plan";
        QTest::newRow("not a point") << QStringList{"plan", "--profile", "0:0,60"} << "plan";
        QTest::newRow("deco gas too rich") << QStringList{"plan", "--profile", "0:0,60:20", "--deco-gas", "80/30"} << "plan";
        QTest::newRow("deco ppO2 without gas") << QStringList{"plan", "--profile", "0:0,60:20", "--deco-ppo2", "1.6"} << "plan";
        QTest::newRow("deco ppO2 off the table")
            << QStringList{"plan", "--profile", "0:0,60:20", "--deco-gas", "50", "--deco-ppo2", "1.65"} << "plan";
        QTest::newRow("switch stop negative")
            << QStringList{"plan", "--profile", "0:0,60:20", "--deco-gas", "50", "--switch-stop", "-1"} << "plan";
        QTest::newRow("bad sort") << QStringList{"db", "list", "x.db", "--sort", "name"} << "db list";
        QTest::newRow("bad date") << QStringList{"db", "list", "x.db", "--from", "01/05/2024"} << "db list";
        QTest::newRow("date with junk") << QStringList{"db", "list", "x.db", "--to", "2024-01-01x"} << "db list";
        QTest::newRow("bad time") << QStringList{"db", "list", "x.db", "--time", "25:00-26:00"} << "db list";
        QTest::newRow("bad id") << QStringList{"db", "show", "x.db", "seven"} << "db show";
        QTest::newRow("bad separator") << QStringList{"convert", "--csv-separator", "tab", "a", "b"} << "convert";
    }

    void wrongCommandLinesAreUsageErrors()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, subject);
        // Run in the test's folder: nothing may be created by a refused command.
        const ToolRun run = runTool(arguments);
        QCOMPARE(run.status, 2);
        QVERIFY(run.out.isEmpty());
        CHECK_ONE_ERROR_ABOUT(run, subject);
        QVERIFY(!QFile::exists(QStringLiteral("x.db")));
    }

    void infoReportsTheDive()
    {
        const QString file = diveFile(QStringLiteral("reef.divebin"),
                                      recordedDive(QStringLiteral("Reef"), QStringLiteral("K-1"), utc("2024-05-01T10:00:00Z")));
        const ToolRun json = runTool({QStringLiteral("info"), QStringLiteral("--json"), file});
        QCOMPARE(json.status, 0);
        QVERIFY(json.err.isEmpty());
        const QJsonArray files = json.json().value(QStringLiteral("files")).toArray();
        QCOMPARE(files.size(), 1);
        const QJsonObject dive = files.at(0).toObject();
        QCOMPARE(dive.value(QStringLiteral("file")).toString(), file);
        QCOMPARE(dive.value(QStringLiteral("name")).toString(), QStringLiteral("Reef"));
        QCOMPARE(dive.value(QStringLiteral("start")).toString(), QStringLiteral("2024-05-01T10:00:00Z"));
        QCOMPARE(dive.value(QStringLiteral("duration")).toDouble(), 1200.0);
        QCOMPARE(dive.value(QStringLiteral("maxDepth")).toDouble(), 30.5);
        QVERIFY(dive.value(QStringLiteral("avgDepth")).toDouble() > 15.0);
        QCOMPARE(dive.value(QStringLiteral("minTemperature")).toDouble(), 12.0);
        QCOMPARE(dive.value(QStringLiteral("maxTemperature")).toDouble(), 18.0);
        QCOMPARE(dive.value(QStringLiteral("lines")).toInt(), 21);
        const QJsonArray gases = dive.value(QStringLiteral("gases")).toArray();
        QCOMPARE(gases.size(), 2);
        QCOMPARE(gases.at(1).toObject().value(QStringLiteral("name")).toString(), QStringLiteral("Nx50"));
        QCOMPARE(gases.at(1).toObject().value(QStringLiteral("o2")).toInt(), 50);
        QCOMPARE(dive.value(QStringLiteral("computerName")).toString(), QStringLiteral("Kelvo K-1"));
        QCOMPARE(dive.value(QStringLiteral("computerSerial")).toString(), QStringLiteral("K-1"));

        const ToolRun text = runTool({QStringLiteral("info"), file});
        QCOMPARE(text.status, 0);
        for (const char* expected : {"Reef", "2024-05-01T10:00:00Z", "20:00", "30.5 m", "12.0 to 18.0", "21",
                                     "Air (O2 21 %, He 0 %)", "Nx50 (O2 50 %, He 0 %)", "Kelvo K-1"})
            QVERIFY2(text.out.contains(QLatin1String(expected)), expected);
    }

    void infoNamesEachBadFileAndGoesOn()
    {
        const Dive good = recordedDive(QStringLiteral("Good"), QStringLiteral("K-1"), utc("2024-05-01T10:00:00Z"));
        const QString goodFile = diveFile(QStringLiteral("good.divebin"), good);
        QFile source(goodFile);
        QVERIFY(source.open(QIODevice::ReadOnly));
        const QByteArray bytes = source.readAll();

        const auto make = [this](const QString& name, const QByteArray& content) {
            QFile file(path(name));
            if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
                qFatal("cannot write %s", qPrintable(name));
            return file.fileName();
        };
        QByteArray flipped = bytes;
        for (qsizetype i = 40; i < flipped.size(); i += 7)
            flipped[i] = char(~flipped[i]);
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("folder.divebin")));
        const QStringList bad = {
            make(QStringLiteral("empty.divebin"), QByteArray()),
            make(QStringLiteral("half.divebin"), bytes.left(bytes.size() / 2)),
            make(QStringLiteral("flipped.divebin"), flipped),
            make(QStringLiteral("text.divebin"), QByteArray("not a dive at all\n")),
            make(QStringLiteral("notes.txt"), QByteArray("a note")),
            make(QStringLiteral("cut.uddf"), QByteArray("<?xml version=\"1.0\"?><uddf><profiledata><repetitiongroup>")),
            make(QStringLiteral("plan.diveplan"), QByteArray(8, '\0')),
            path(QStringLiteral("missing.divebin")),
            path(QStringLiteral("folder.divebin")),
        };

        const ToolRun run = runTool(QStringList{QStringLiteral("info"), QStringLiteral("--json")} + bad + QStringList{goodFile});
        QVERIFY(!run.crashed);
        QCOMPARE(run.status, 1);
        const QJsonArray files = run.json().value(QStringLiteral("files")).toArray();
        QCOMPARE(files.size(), 1);
        QCOMPARE(files.at(0).toObject().value(QStringLiteral("name")).toString(), QStringLiteral("Good"));
        const QStringList errors = run.errorLines();
        QCOMPARE(errors.size(), bad.size());
        for (qsizetype i = 0; i < bad.size(); ++i)
            QVERIFY2(errors.at(i).startsWith(QStringLiteral("divetool: ") + bad.at(i) + QStringLiteral(": ")),
                     qPrintable(errors.at(i)));
        QVERIFY(errors.at(7).endsWith(QStringLiteral("no such file")));
    }

    void convertWritesTheFormatOfTheSuffix()
    {
        const Dive dive = recordedDive(QStringLiteral("Wreck"), QStringLiteral("K-2"), utc("2024-06-01T08:00:00Z"));
        const QString in = diveFile(QStringLiteral("wreck.divebin"), dive);
        const QString out = path(QStringLiteral("copy.DIVEBIN"));
        const ToolRun run = runTool({QStringLiteral("convert"), in, out});
        QCOMPARE(run.status, 0);
        QVERIFY(run.out.contains(QStringLiteral("21 lines")));
        Dive copy;
        QVERIFY(readDive(out, copy));
        QCOMPARE(copy.name, dive.name);
        QCOMPARE(copy.beginTime, dive.beginTime);
        QCOMPARE(copy.lines.size(), dive.lines.size());
        QCOMPARE(copy.lines.constLast().timeSec, dive.lines.constLast().timeSec);
        QCOMPARE(copy.gases.size(), 2);

        // Failures leave nothing behind, and an existing output untouched.
        const ToolRun unknown = runTool({QStringLiteral("convert"), in, path(QStringLiteral("wreck.txt"))});
        QCOMPARE(unknown.status, 1);
        CHECK_ONE_ERROR_ABOUT(unknown, path(QStringLiteral("wreck.txt")));
        QVERIFY(!QFile::exists(path(QStringLiteral("wreck.txt"))));
        const QString nowhere = path(QStringLiteral("no/such/folder/wreck.divebin"));
        const ToolRun noFolder = runTool({QStringLiteral("convert"), in, nowhere});
        QCOMPARE(noFolder.status, 1);
        CHECK_ONE_ERROR_ABOUT(noFolder, nowhere);
        const QString broken = path(QStringLiteral("broken.divebin"));
        QFile file(broken);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("garbage") == 7);
        file.close();
        const ToolRun badInput = runTool({QStringLiteral("convert"), broken, out});
        QCOMPARE(badInput.status, 1);
        CHECK_ONE_ERROR_ABOUT(badInput, broken);
        QVERIFY(readDive(out, copy));
        QCOMPARE(copy.name, dive.name);
    }

    void convertToAndFromUddfAndCsv()
    {
        if (DiveLinesIO::createReader(QStringLiteral("x.uddf")) == nullptr
            || DiveLinesIO::createWriter(QStringLiteral("x.csv")) == nullptr)
            QSKIP("the CSV and UDDF handlers are not registered in the dive file factory yet");

        const Dive dive = recordedDive(QStringLiteral("Drift"), QStringLiteral("K-3"), utc("2024-07-01T09:30:00Z"));
        const QString binary = diveFile(QStringLiteral("drift.divebin"), dive);
        const QString uddf = path(QStringLiteral("drift.uddf"));
        QCOMPARE(runTool({QStringLiteral("convert"), binary, uddf}).status, 0);
        const ToolRun fromBinary = runTool({QStringLiteral("info"), QStringLiteral("--json"), binary});
        const ToolRun fromUddf = runTool({QStringLiteral("info"), QStringLiteral("--json"), uddf});
        QCOMPARE(fromUddf.status, 0);
        const QJsonObject a = fromBinary.json().value(QStringLiteral("files")).toArray().at(0).toObject();
        const QJsonObject b = fromUddf.json().value(QStringLiteral("files")).toArray().at(0).toObject();
        // What UDDF carries of a dive.
        for (const char* key : {"name", "duration", "maxDepth", "lines", "gases"}) {
            const QJsonValue x = a.value(QLatin1String(key));
            const QJsonValue y = b.value(QLatin1String(key));
            QVERIFY2(x == y, qPrintable(QStringLiteral("%1: %2 / %3").arg(QLatin1String(key), x.toVariant().toString(), y.toVariant().toString())));
        }

        // The CSV export with the separator asked for.
        const QString csv = path(QStringLiteral("drift.csv"));
        QCOMPARE(runTool({QStringLiteral("convert"), QStringLiteral("--csv-separator"), QStringLiteral("semicolon"),
                          binary, csv})
                     .status,
                 0);
        QFile exported(csv);
        QVERIFY(exported.open(QIODevice::ReadOnly));
        const QString firstLine = QString::fromUtf8(exported.readLine()).remove(QChar(0xFEFF)).trimmed();
        QVERIFY2(firstLine.startsWith(QStringLiteral("Nom de l'ordinateur;")), qPrintable(firstLine));

        // Read, a .csv file is a tab-separated profile of twenty columns.
        const QString profile = path(QStringLiteral("logger.csv"));
        QFile logger(profile);
        QVERIFY(logger.open(QIODevice::WriteOnly));
        for (int i = 0; i < 4; ++i) {
            QStringList fields(20, QStringLiteral("0"));
            fields[0] = QString::number(10 * i);
            fields[1] = QString::number(i == 3 ? 0.0 : 4.5 * i);
            logger.write(fields.join(QLatin1Char('\t')).toUtf8() + '\n');
        }
        logger.close();
        const ToolRun read = runTool({QStringLiteral("info"), QStringLiteral("--json"), profile});
        QCOMPARE(read.status, 0);
        const QJsonObject logged = read.json().value(QStringLiteral("files")).toArray().at(0).toObject();
        QCOMPARE(logged.value(QStringLiteral("name")).toString(), QStringLiteral("logger"));
        QCOMPARE(logged.value(QStringLiteral("lines")).toInt(), 4);
        QCOMPARE(logged.value(QStringLiteral("maxDepth")).toDouble(), 9.0);
    }

    void dbImportCreatesTheLogbookAndRefusesDuplicates()
    {
        const QString db = path(QStringLiteral("new/../logbook.db"));
        const QString first = diveFile(QStringLiteral("d1.divebin"),
                                       recordedDive(QStringLiteral("1"), QStringLiteral("K-1"), utc("2024-05-01T10:00:00Z")));
        const QString second = diveFile(QStringLiteral("d2.divebin"),
                                        recordedDive(QStringLiteral("2"), QStringLiteral("K-1"), utc("2024-05-02T10:00:00Z")));
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("new")));
        const ToolRun imported = runTool({QStringLiteral("db"), QStringLiteral("import"), QStringLiteral("--json"), db, first, second});
        QCOMPARE(imported.status, 0);
        QVERIFY(QFile::exists(path(QStringLiteral("logbook.db"))));
        const QJsonArray stored = imported.json().value(QStringLiteral("imported")).toArray();
        QCOMPARE(stored.size(), 2);
        QCOMPARE(stored.at(0).toObject().value(QStringLiteral("id")).toInt(), 1);
        QCOMPARE(stored.at(1).toObject().value(QStringLiteral("id")).toInt(), 2);

        // The same dive again is refused with the program's message; a bad file
        // is named; a new dive in the same call is stored all the same.
        const QString third = diveFile(QStringLiteral("d3.divebin"),
                                       recordedDive(QStringLiteral("3"), QStringLiteral("K-1"), utc("2024-05-03T10:00:00Z")));
        const ToolRun again = runTool({QStringLiteral("db"), QStringLiteral("import"), db, second,
                                       path(QStringLiteral("none.divebin")), third});
        QCOMPARE(again.status, 1);
        const QStringList errors = again.errorLines();
        QCOMPARE(errors.size(), 2);
        QCOMPARE(errors.at(0), QStringLiteral("divetool: %1: Impossible to write profile 2: Dive Id already exists").arg(second));
        QVERIFY(errors.at(1).startsWith(QStringLiteral("divetool: ") + path(QStringLiteral("none.divebin"))));
        QCOMPARE(again.out.trimmed(), QStringLiteral("Stored %1 as dive 3 \"3\"").arg(third));
        const ToolRun list = runTool({QStringLiteral("db"), QStringLiteral("list"), QStringLiteral("--json"), db});
        QCOMPARE(list.json().value(QStringLiteral("dives")).toArray().size(), 3);
    }

    // Files as other programs and hostile hands make them: a UDDF logbook of
    // several dives, a nameless dive, a CSV export (no profile), a FIFO, and
    // names that hold terminal control characters.
    void filesOfOtherProgramsAndHostileNames()
    {
        const auto make = [this](const QString& name, const QByteArray& content) {
            QFile file(path(name));
            if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
                qFatal("cannot write %s", qPrintable(name));
            return file.fileName();
        };
        const auto uddfDive = [](const QByteArray& id, const QByteArray& samples) {
            return "<dive id=\"" + id + "\"><samples>" + samples + "</samples></dive>";
        };
        const QByteArray points = "<waypoint><depth>0</depth><divetime>0</divetime></waypoint>"
                                  "<waypoint><depth>12</depth><divetime>300</divetime></waypoint>";
        const QString logbook = make(QStringLiteral("log.uddf"),
                                     "<uddf><profiledata><repetitiongroup id=\"g\">"
                                     "<dive id=\"previous\"/>" + uddfDive("first", points)
                                         + uddfDive("second", points) + "</repetitiongroup></profiledata></uddf>");
        const ToolRun info = runTool({QStringLiteral("info"), QStringLiteral("--json"), logbook});
        QCOMPARE(info.status, 0);
        const QJsonArray listed = info.json().value(QStringLiteral("files")).toArray();
        QCOMPARE(listed.size(), 2);
        QCOMPARE(listed.at(1).toObject().value(QStringLiteral("name")).toString(), QStringLiteral("second"));
        QCOMPARE(listed.at(1).toObject().value(QStringLiteral("dive")).toInt(), 2);

        Dive nameless = recordedDive(QString(), QStringLiteral("K-9"), utc("2024-05-01T10:00:00Z"));
        const QString namelessFile = diveFile(QStringLiteral("nameless.divebin"), nameless);
        const QString db = path(QStringLiteral("hostile.db"));
        const ToolRun imported = runTool({QStringLiteral("db"), QStringLiteral("import"), QStringLiteral("--json"), db,
                                          logbook, namelessFile});
        QCOMPARE(imported.status, 0);
        const QJsonArray stored = imported.json().value(QStringLiteral("imported")).toArray();
        QCOMPARE(stored.size(), 3);
        QCOMPARE(stored.at(2).toObject().value(QStringLiteral("id")).toInt(), 3);
        QCOMPARE(stored.at(2).toObject().value(QStringLiteral("name")).toString(), QStringLiteral("000000"));
        const ToolRun again = runTool({QStringLiteral("db"), QStringLiteral("import"), db, logbook, namelessFile});
        QCOMPARE(again.status, 1);
        QCOMPARE(again.errorLines().size(), 3);
        QVERIFY(again.errorLines().at(2).endsWith(QStringLiteral("Impossible to write profile 000000: Dive Id already exists")));

        // No profile line, no dive; a FIFO is refused at once.
        const QString csvExport = make(QStringLiteral("export.csv"), "Nom de l'ordinateur,N\xc2\xb0\n1,2\n");
        const QString fifo = path(QStringLiteral("pipe.csv"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const ToolRun refused = runTool({QStringLiteral("db"), QStringLiteral("import"), db, csvExport, fifo});
        QCOMPARE(refused.status, 1);
        QCOMPARE(refused.errorLines(),
                 QStringList({QStringLiteral("divetool: %1: holds no dive: not a single profile line was read").arg(csvExport),
                              QStringLiteral("divetool: %1: is not a regular file (a device, a pipe or a socket)").arg(fifo)}));

        // Control characters of a name are printed escaped.
        const QString hostile = diveFile(QStringLiteral("hostile.divebin"),
                                         recordedDive(QStringLiteral("Re\x1b[2Jef\u202e"), QStringLiteral("K-1"), 1));
        const ToolRun text = runTool({QStringLiteral("info"), hostile});
        QCOMPARE(text.status, 0);
        QVERIFY2(text.out.contains(QStringLiteral("Re\\x1b[2Jef\\u202e")), qPrintable(text.out));
        QVERIFY(!text.out.contains(QChar(0x1b)));
    }

    void dbListFiltersAndSorts()
    {
        const QString db = path(QStringLiteral("list.db"));
        const QStringList files = {
            diveFile(QStringLiteral("a.divebin"), recordedDive("A", "K-1", utc("2024-05-01T10:00:00Z"), 20.0, 11)),
            diveFile(QStringLiteral("b.divebin"), recordedDive("B", "K-1", utc("2024-05-02T23:30:00Z"), 40.0, 31)),
            diveFile(QStringLiteral("c.divebin"), recordedDive("C", "K-1", utc("2024-06-10T06:00:00Z"), 30.0, 21)),
            diveFile(QStringLiteral("d.divebin"), recordedDive("D", "P-9", utc("2024-05-01T12:00:00Z"), 10.0, 41)),
        };
        QCOMPARE(runTool(QStringList{QStringLiteral("db"), QStringLiteral("import"), db} + files).status, 0);

        const auto names = [&db](const QStringList& options) {
            const ToolRun run = runTool(QStringList{QStringLiteral("db"), QStringLiteral("list"), QStringLiteral("--json"), db} + options);
            QStringList out;
            for (const QJsonValue& dive : run.json().value(QStringLiteral("dives")).toArray())
                out.append(dive.toObject().value(QStringLiteral("name")).toString());
            return run.status == 0 ? out.join(QLatin1Char(' ')) : QStringLiteral("status %1").arg(run.status);
        };
        // Serials ascending; within one, newest first unless --ascending.
        QCOMPARE(names({}), QStringLiteral("C B A D"));
        QCOMPARE(names({QStringLiteral("--ascending")}), QStringLiteral("A B C D"));
        QCOMPARE(names({QStringLiteral("--sort"), QStringLiteral("depth")}), QStringLiteral("B C A D"));
        QCOMPARE(names({QStringLiteral("--sort=duration"), QStringLiteral("--ascending")}), QStringLiteral("A C B D"));
        QCOMPARE(names({QStringLiteral("--serial"), QStringLiteral("P-9")}), QStringLiteral("D"));
        QCOMPARE(names({QStringLiteral("--serial"), QStringLiteral("P-9"), QStringLiteral("--serial"), QStringLiteral("K-1")}),
                 QStringLiteral("C B A D"));
        QCOMPARE(names({QStringLiteral("--from"), QStringLiteral("2024-05-02")}), QStringLiteral("C B"));
        QCOMPARE(names({QStringLiteral("--to"), QStringLiteral("2024-05-02")}), QStringLiteral("B A D"));
        QCOMPARE(names({QStringLiteral("--from"), QStringLiteral("2024-05-01"), QStringLiteral("--to"), QStringLiteral("2024-05-01")}),
                 QStringLiteral("A D"));
        QCOMPARE(names({QStringLiteral("--time"), QStringLiteral("09:00-11:00")}), QStringLiteral("A"));
        QCOMPARE(names({QStringLiteral("--time"), QStringLiteral("22:00-07:00")}), QStringLiteral("C B"));

        const ToolRun json = runTool({QStringLiteral("db"), QStringLiteral("list"), QStringLiteral("--json"), db,
                                      QStringLiteral("--serial"), QStringLiteral("K-1")});
        QCOMPARE(json.json().value(QStringLiteral("computers")).toInt(), 1);
        const QJsonObject b = json.json().value(QStringLiteral("dives")).toArray().at(1).toObject();
        QCOMPARE(b.value(QStringLiteral("id")).toInt(), 2);
        QCOMPARE(b.value(QStringLiteral("start")).toString(), QStringLiteral("2024-05-02T23:30:00Z"));
        QCOMPARE(b.value(QStringLiteral("duration")).toDouble(), 1800.0);
        QCOMPARE(b.value(QStringLiteral("maxDepth")).toDouble(), 40.0);
        QCOMPARE(b.value(QStringLiteral("computerName")).toString(), QStringLiteral("Kelvo K-1"));
        QCOMPARE(b.value(QStringLiteral("gfLow")).toInt(), 30);

        const ToolRun text = runTool({QStringLiteral("db"), QStringLiteral("list"), db});
        QCOMPARE(text.status, 0);
        QVERIFY(text.out.startsWith(QStringLiteral("2 Computers / 4 Dives\n")));
        QVERIFY(text.out.contains(QStringLiteral("Kelvo K-1 - K-1 - 3 dives")));
        QVERIFY(text.out.contains(QStringLiteral("2024-05-02T23:30:00Z")));
        QVERIFY(text.out.contains(QStringLiteral("30:00")));
    }

    void dbShowExportRenameDelete()
    {
        const QString db = path(QStringLiteral("edit.db"));
        const Dive dive = recordedDive(QStringLiteral("Cave"), QStringLiteral("K-5"), utc("2024-08-15T14:00:00Z"));
        QCOMPARE(runTool({QStringLiteral("db"), QStringLiteral("import"), db, diveFile(QStringLiteral("cave.divebin"), dive),
                          diveFile(QStringLiteral("other.divebin"), recordedDive("Other", "K-5", utc("2024-08-16T14:00:00Z")))})
                     .status,
                 0);
        const auto db_ = [&db](const QString& action, const QStringList& rest) {
            return runTool(QStringList{QStringLiteral("db"), action} + QStringList{db} + rest);
        };

        const ToolRun show = db_(QStringLiteral("show"), {QStringLiteral("1"), QStringLiteral("--json")});
        QCOMPARE(show.status, 0);
        const QJsonObject shown = show.json();
        QCOMPARE(shown.value(QStringLiteral("id")).toInt(), 1);
        QCOMPARE(shown.value(QStringLiteral("name")).toString(), QStringLiteral("Cave"));
        QCOMPARE(shown.value(QStringLiteral("start")).toString(), QStringLiteral("2024-08-15T14:00:00Z"));
        QCOMPARE(shown.value(QStringLiteral("lines")).toInt(), 21);
        QCOMPARE(shown.value(QStringLiteral("place")).toString(), QStringLiteral("Marseille"));
        QCOMPARE(shown.value(QStringLiteral("gfHigh")).toInt(), 70);
        QCOMPARE(shown.value(QStringLiteral("gases")).toArray().size(), 2);
        QVERIFY(db_(QStringLiteral("show"), {QStringLiteral("1")}).out.contains(QStringLiteral("Marseille")));

        const QString exported = path(QStringLiteral("cave-out.divebin"));
        QCOMPARE(db_(QStringLiteral("export"), {QStringLiteral("1"), exported}).status, 0);
        Dive back;
        QVERIFY(readDive(exported, back));
        QCOMPARE(back.name, dive.name);
        QCOMPARE(back.lines.size(), dive.lines.size());
        QCOMPARE(back.lines.at(10).depth, dive.lines.at(10).depth);
        const ToolRun invalidName = db_(QStringLiteral("export"), {QStringLiteral("1"), path(QStringLiteral("cave.pdf"))});
        QCOMPARE(invalidName.status, 1);
        QVERIFY(invalidName.err.contains(QStringLiteral("Invalid File Name")));

        // Rename: the program's refusals, then a rename that shows in the list.
        const ToolRun empty = db_(QStringLiteral("rename"), {QStringLiteral("1"), QStringLiteral(" ")});
        QCOMPARE(empty.status, 1);
        QCOMPARE(empty.err.trimmed(), QStringLiteral("divetool: %1: Invalid name").arg(db));
        const ToolRun taken = db_(QStringLiteral("rename"), {QStringLiteral("1"), QStringLiteral("Other")});
        QCOMPARE(taken.status, 1);
        QCOMPARE(taken.err.trimmed(), QStringLiteral("divetool: %1: Name already exists").arg(db));
        const ToolRun renamed = db_(QStringLiteral("rename"), {QStringLiteral("1"), QStringLiteral("Blue hole"), QStringLiteral("--json")});
        QCOMPARE(renamed.status, 0);
        QCOMPARE(renamed.json().value(QStringLiteral("previousName")).toString(), QStringLiteral("Cave"));
        QCOMPARE(db_(QStringLiteral("show"), {QStringLiteral("1"), QStringLiteral("--json")}).json().value(QStringLiteral("name")).toString(),
                 QStringLiteral("Blue hole"));

        // Delete: gone afterwards, and an id that is not there is an error.
        QCOMPARE(db_(QStringLiteral("delete"), {QStringLiteral("1")}).status, 0);
        for (const QString& action : {QStringLiteral("show"), QStringLiteral("delete")}) {
            const ToolRun gone = db_(action, {QStringLiteral("1")});
            QCOMPARE(gone.status, 1);
            QCOMPARE(gone.err.trimmed(), QStringLiteral("divetool: %1: no dive with id 1").arg(db));
        }
        const ToolRun list = db_(QStringLiteral("list"), {QStringLiteral("--json")});
        QCOMPARE(list.json().value(QStringLiteral("dives")).toArray().size(), 1);
    }

    void dbRefusesWhatIsNotALogbook()
    {
        const QString notes = path(QStringLiteral("notes.db"));
        QFile file(notes);
        const QByteArray text(4096, 'x');
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
        file.close();
        const ToolRun run = runTool({QStringLiteral("db"), QStringLiteral("list"), notes});
        QCOMPARE(run.status, 1);
        CHECK_ONE_ERROR_ABOUT(run, notes);
        QVERIFY(run.err.contains(QStringLiteral("Impossible to open database: The file is not a dive logbook")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), text);

        // Arguments swapped: the dive file is not taken for a logbook.
        const QString dive = diveFile(QStringLiteral("swapped.divebin"),
                                      recordedDive(QStringLiteral("S"), QStringLiteral("K-1"), utc("2024-05-01T10:00:00Z")));
        const QByteArray diveBytes = [&dive] {
            QFile in(dive);
            return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
        }();
        const ToolRun swapped = runTool({QStringLiteral("db"), QStringLiteral("import"), dive, path(QStringLiteral("log.db"))});
        QCOMPARE(swapped.status, 1);
        CHECK_ONE_ERROR_ABOUT(swapped, dive);
        QFile kept(dive);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), diveBytes);

        const QString nowhere = path(QStringLiteral("no/folder/logbook.db"));
        const ToolRun missing = runTool({QStringLiteral("db"), QStringLiteral("list"), nowhere});
        QCOMPARE(missing.status, 1);
        CHECK_ONE_ERROR_ABOUT(missing, nowhere);
        QVERIFY(missing.err.contains(QStringLiteral("Impossible to open database")));
    }

    void planMatchesThePlannersFirstSlot_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<bool>("effort");
        QTest::newRow("defaults") << QStringList() << false;
        QTest::newRow("every setting") << QStringList{"--gf", "30/70", "--fresh", "--psurf", "0.9", "--o2", "28"} << false;
        QTest::newRow("effort over gf") << QStringList{"--gf", "30/70", "--effort"} << true;
        QTest::newRow("trimix") << QStringList{"--o2", "18", "--he", "40", "--gf=40/85"} << false;
        QTest::newRow("deco gases") << QStringList{"--o2", "18", "--he", "45", "--deco-gas", "50", "--deco-gas",
                                                   "100", "--switch-stop", "2", "--deco-ppo2", "1.6"}
                                    << false;
    }

    void planMatchesThePlannersFirstSlot()
    {
        QFETCH(QStringList, options);
        QFETCH(bool, effort);
        const QString points = QStringLiteral("0:0,120:45,1320:45,1500:20");
        const ToolRun run = runTool(QStringList{QStringLiteral("plan"), QStringLiteral("--json"), QStringLiteral("--profile"), points} + options);
        QCOMPARE(run.status, 0);
        const QJsonObject plan = run.json();

        // The same dive in the planner library, with the settings the options name.
        const auto option = [&options](const char* name) -> QString {
            const qsizetype at = options.indexOf(QLatin1String(name));
            return at >= 0 ? options.at(at + 1) : QString();
        };
        QString gf = option("--gf");
        for (const QString& given : options) {
            if (given.startsWith(QStringLiteral("--gf=")))
                gf = given.mid(5);
        }
        const int o2 = option("--o2").isEmpty() ? 21 : option("--o2").toInt();
        const int he = option("--he").toInt();
        deco::DivePlanner planner;
        planner.setBreathingGas(deco::GasMix(o2, he));
        // Deco gases: the dive's gases are the breathing gas and these.
        QList<DiveGas> gases;
        for (qsizetype i = 0; i + 1 < options.size(); ++i) {
            if (options.at(i) == QLatin1String("--deco-gas")) {
                DiveGas gas;
                gas.setO2(options.at(i + 1).toInt() / 100.0);
                gases.append(gas);
            }
        }
        if (!gases.isEmpty()) {
            DiveGas bottom;
            bottom.setO2(o2 / 100.0);
            bottom.setHe(he / 100.0);
            gases.prepend(bottom);
            deco::DecoGasSettings settings;
            settings.enabled = true;
            settings.switchStopMinutes = option("--switch-stop").toFloat();
            QVERIFY(planner.setDecoGases(settings));
        }
        QCOMPARE(planner.addDiveFrom([&](Dive& dive) {
            if (!gases.isEmpty())
                dive.gases = gases;
            for (const QString& point : points.split(QLatin1Char(','))) {
                DiveLine line;
                line.timeSec = point.section(QLatin1Char(':'), 0, 0).toDouble();
                line.depth = point.section(QLatin1Char(':'), 1, 1).toDouble();
                line.gasIndex = 0;
                dive.lines.append(line);
            }
            return true;
        }),
                 0);
        QList<deco::LinePlan> records;
        planner.setPlanCallback([&records](const deco::LinePlan& record) {
            if (record.kind != deco::LinePlan::Reset)
                records.append(record);
        });
        planner.currentSlot()->effort = effort;
        planner.currentSlot()->freshWater = options.contains(QStringLiteral("--fresh"));
        if (!option("--psurf").isEmpty())
            planner.currentSlot()->surfacePressure = option("--psurf").toFloat();
        std::optional<deco::GradientFactors> factors;
        if (!gf.isEmpty())
            factors = deco::GradientFactors(gf.section(QLatin1Char('/'), 0, 0).toInt(), gf.section(QLatin1Char('/'), 1, 1).toInt());
        deco::simulateCurrentDive(planner, factors);

        const QJsonArray printed = plan.value(QStringLiteral("records")).toArray();
        QCOMPARE(printed.size(), records.size());
        int stops = 0;
        for (qsizetype i = 0; i + 1 < records.size(); ++i) {
            const QJsonObject record = printed.at(i).toObject();
            QCOMPARE(record.value(QStringLiteral("kind")).toString(), QStringLiteral("segment"));
            QCOMPARE(record.value(QStringLiteral("computed")).toBool(), records.at(i).computed != 0);
            QCOMPARE(float(record.value(QStringLiteral("depth")).toDouble()), records.at(i).depth);
            QCOMPARE(float(record.value(QStringLiteral("duration")).toDouble()), records.at(i).duration);
            QCOMPARE(float(record.value(QStringLiteral("runtime")).toDouble()), records.at(i).runtime);
            QCOMPARE(record.value(QStringLiteral("gasIndex")).toInt(), int(records.at(i).gasIndex));
            // The gas breathed: a deco gas where the ascent switched to one.
            const int breathedO2 = records.at(i).gasIndex > 0 ? int(std::lround(gases.at(records.at(i).gasIndex).o2 * 100.0)) : o2;
            QCOMPARE(record.value(QStringLiteral("gas")).toObject().value(QStringLiteral("o2")).toInt(), breathedO2);
            if (record.value(QStringLiteral("type")).toString() == QLatin1String("stop"))
                ++stops;
        }
        QVERIFY(stops > 0);
        QCOMPARE(std::any_of(records.cbegin(), records.cend(), [](const deco::LinePlan& r) { return r.gasIndex > 0; }),
                 !gases.isEmpty());
        QCOMPARE(plan.value(QStringLiteral("stops")).toArray().size(), stops);
        QCOMPARE(float(plan.value(QStringLiteral("cns")).toDouble()), records.constLast().cns);
        QCOMPARE(float(plan.value(QStringLiteral("otu")).toDouble()), records.constLast().otu);
        const Dive& simulated = *planner.currentDive();
        QCOMPARE(plan.value(QStringLiteral("decoLines")).toArray().size(), simulated.decoLines.size());
        QCOMPARE(plan.value(QStringLiteral("ceilingProfile")).toArray().size(), simulated.ceilingProfile.size());
        QCOMPARE(plan.value(QStringLiteral("settings")).toObject().value(QStringLiteral("gfLow")).toInt(),
                 effort ? 68 : (gf.isEmpty() ? 80 : gf.section(QLatin1Char('/'), 0, 0).toInt()));
        const double ascent = plan.value(QStringLiteral("ascentTime")).toDouble();
        QVERIFY(qAbs(ascent - (double(records.at(records.size() - 2).runtime) - 25.0)) < 1e-3);
    }

    void planFromAFileAsText()
    {
        const QString file = diveFile(QStringLiteral("deep.divebin"),
                                      recordedDive(QStringLiteral("Deep"), QStringLiteral("K-1"), utc("2024-05-01T10:00:00Z"), 42.0, 30));
        const ToolRun text = runTool({QStringLiteral("plan"), file, QStringLiteral("--gf"), QStringLiteral("30/70")});
        QCOMPARE(text.status, 0);
        for (const char* expected : {"Plan of ", "(Deep)", "GF 30/70, salt water, surface 1.013 bar, breathing Air",
                                     "descent", "level", "Stops: ", "Total ascent time: ", "CNS: ", "OTU: "})
            QVERIFY2(text.out.contains(QLatin1String(expected)), expected);
        // The dive ends at the surface: no computed ascent unless stops remain.
        const ToolRun json = runTool({QStringLiteral("plan"), QStringLiteral("--json"), file});
        QCOMPARE(json.json().value(QStringLiteral("source")).toString(), file);
        QCOMPARE(json.json().value(QStringLiteral("records")).toArray().first().toObject().value(QStringLiteral("type")).toString(),
                 QStringLiteral("descent"));

        // Files that cannot be planned: unreadable, or no profile to follow.
        Dive flat = recordedDive(QStringLiteral("Flat"), QStringLiteral("K-1"), 0);
        flat.lines.resize(1);
        const QString onePoint = diveFile(QStringLiteral("one.divebin"), flat);
        const ToolRun refused = runTool({QStringLiteral("plan"), onePoint});
        QCOMPARE(refused.status, 1);
        CHECK_ONE_ERROR_ABOUT(refused, onePoint);
        Dive abyss = recordedDive(QStringLiteral("Abyss"), QStringLiteral("K-1"), 0, 5000.0);
        const QString tooDeep = diveFile(QStringLiteral("abyss.divebin"), abyss);
        const ToolRun unfollowed = runTool({QStringLiteral("plan"), tooDeep});
        QCOMPARE(unfollowed.status, 1);
        CHECK_ONE_ERROR_ABOUT(unfollowed, tooDeep);
        const ToolRun missing = runTool({QStringLiteral("plan"), path(QStringLiteral("none.uddf"))});
        QCOMPARE(missing.status, 1);
        CHECK_ONE_ERROR_ABOUT(missing, path(QStringLiteral("none.uddf")));
    }

    void ndlFollowsTheEngine()
    {
        const auto ndl = [](const QStringList& options) {
            const ToolRun run = runTool(QStringList{QStringLiteral("ndl"), QStringLiteral("--json")} + options);
            return run.status == 0 ? run.json().value(QStringLiteral("ndl")).toDouble() : -1.0;
        };
        // Air at 30 m with the engine's defaults, as the engine gives it.
        deco::dive_t config;
        config.applyDefaults();
        deco::TissueState saturated;
        deco::initTissues(saturated, config.surfacePressure());
        deco::DecoState state;
        deco::initDecoState(state, config);
        const float reference = deco::ndlTime(state, config, saturated, deco::depthToPressure(config, 30.0f));
        const double air30 = ndl({QStringLiteral("--depth"), QStringLiteral("30")});
        QCOMPARE(float(air30), reference);
        QVERIFY(air30 > 5.0 && air30 < 30.0);

        // Each option reaches the engine, in the direction physics says.
        QVERIFY(ndl({QStringLiteral("--depth"), QStringLiteral("40")}) < air30);
        QVERIFY(ndl({QStringLiteral("--depth"), QStringLiteral("30"), QStringLiteral("--o2"), QStringLiteral("32")}) > air30);
        QVERIFY(ndl({QStringLiteral("--depth"), QStringLiteral("30"), QStringLiteral("--fresh")}) > air30);
        QVERIFY(ndl({QStringLiteral("--depth"), QStringLiteral("30"), QStringLiteral("--gf"), QStringLiteral("50/60")}) < air30);
        QVERIFY(ndl({QStringLiteral("--depth"), QStringLiteral("30"), QStringLiteral("--gf"), QStringLiteral("50/95")}) > air30);
        QVERIFY(ndl({QStringLiteral("--depth"), QStringLiteral("30"), QStringLiteral("--psurf"), QStringLiteral("0.8")}) < air30);
        const double trimix = ndl({QStringLiteral("--depth"), QStringLiteral("30"), QStringLiteral("--o2"), QStringLiteral("21"),
                                   QStringLiteral("--he"), QStringLiteral("35")});
        QVERIFY(trimix > 0.0 && trimix != air30);

        const ToolRun surface = runTool({QStringLiteral("ndl"), QStringLiteral("--json"), QStringLiteral("--depth=0")});
        QVERIFY(surface.json().value(QStringLiteral("unlimited")).toBool());
        const ToolRun text = runTool({QStringLiteral("ndl"), QStringLiteral("--depth"), QStringLiteral("30")});
        QCOMPARE(text.status, 0);
        QVERIFY2(text.out.startsWith(QStringLiteral("NDL at 30.0 m: %1 min\n").arg(int(air30))), qPrintable(text.out));
    }
};

QTEST_GUILESS_MAIN(TestDiveTool)
#include "tst_divetool.moc"
