#pragma once

// Running the built divetool from a test, and the dive files it is run on.

#include "divedata/dive.h"
#include "divedata/divelinesio.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>
#include <QTest>

#include <memory>

// One run of the tool.
struct ToolRun
{
    int status = -1;
    bool crashed = false;
    QString out;
    QString err;

    QStringList errorLines() const { return err.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
    QJsonObject json() const
    {
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(out.toUtf8(), &error);
        if (error.error != QJsonParseError::NoError)
            qWarning("not JSON (%s): %s", qPrintable(error.errorString()), qPrintable(out));
        return document.object();
    }
};

// Runs divetool with the arguments, in UTC so that local times are fixed.
// `variables` ("NAME=value") are added to the environment.
inline ToolRun runTool(const QStringList& arguments, const QStringList& variables = {})
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TZ"), QStringLiteral("UTC"));
    for (const QString& variable : variables)
        environment.insert(variable.section(QLatin1Char('='), 0, 0), variable.section(QLatin1Char('='), 1));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(DIVETOOL_PATH), arguments);
    ToolRun run;
    if (!process.waitForStarted(30000) || !process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        run.crashed = true;
        return run;
    }
    run.crashed = process.exitStatus() != QProcess::NormalExit;
    run.status = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

inline qint64 utc(const char* iso)
{
    return QDateTime::fromString(QLatin1String(iso), Qt::ISODate).toSecsSinceEpoch();
}

// A recorded dive: down to `depth` over `points` lines every `step` seconds
// and back up, water from 18 °C down to 12 °C, breathing its first gas.
inline Dive recordedDive(const QString& name, const QString& serial, qint64 begin, double depth = 30.5,
                         int points = 21, double step = 60.0)
{
    Dive dive;
    dive.name = name;
    dive.computerName = QStringLiteral("Kelvo ") + serial;
    dive.computerSerial = serial;
    dive.beginTime = begin;
    dive.gfLow = 30;
    dive.gfHigh = 70;
    dive.place = QStringLiteral("Marseille");
    for (int i = 0; i < points; ++i) {
        DiveLine line;
        line.timeSec = step * i;
        const int fromEnd = std::min(i, points - 1 - i);
        line.depth = std::min(depth, depth * fromEnd / 3.0);
        line.ambientTemp = 18.0 - 6.0 * line.depth / depth;
        line.gasIndex = 0;
        dive.lines.append(line);
    }
    DiveGas air;
    dive.gases.append(air);
    DiveGas nitrox;
    nitrox.setO2(0.5);
    dive.gases.append(nitrox);
    dive.computeStatistics();
    return dive;
}

inline bool writeBinaryDive(const QString& path, const Dive& dive)
{
    const std::unique_ptr<DiveLinesIO> writer = DiveLinesIO::createByType(DiveFileType::Binary);
    return writer != nullptr && writer->writeDive(path, dive);
}

inline bool readDive(const QString& path, Dive& dive)
{
    const std::unique_ptr<DiveLinesIO> reader = DiveLinesIO::createReader(path);
    return reader != nullptr && reader->readDive(path, dive);
}

// Every problem is one line on stderr that starts with the file it is about.
#define CHECK_ONE_ERROR_ABOUT(run, subject)                                                                         \
    do {                                                                                                            \
        QVERIFY2(!(run).crashed, "the tool crashed");                                                               \
        QCOMPARE((run).errorLines().size(), 1);                                                                     \
        QVERIFY2((run).err.startsWith(QStringLiteral("divetool: ") + (subject) + QStringLiteral(": ")),             \
                 qPrintable((run).err));                                                                            \
    } while (false)
