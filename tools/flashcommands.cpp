#include "tools/flashcommands.h"

#include "tools/computerlink.h"
#include "tools/tooloutput.h"

#include "corvane/protocol/kelvobleprotocol.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QMetaEnum>
#include <QSaveFile>
#include <QStringList>
#include <QTimer>

namespace divetool {

namespace {

using namespace PelagonCommand;

// An upload says something at least every command time-out; this only
// guards against a session that falls silent altogether.
constexpr int kSilenceLimitMs = 3 * KelvoBleProtocol::kCommandTimeout;

int fail(const QString& subject, const QString& problem)
{
    printError(subject, problem);
    return Failure;
}

QString refusalText(int result, const QString& message)
{
    switch (result) {
    case -1: return QStringLiteral("unknown image kind (no firmware or bootloader header)");
    case -2: return QStringLiteral("that bootloader is already installed (use --force to install it again)");
    case -3: return QStringLiteral("that firmware is already installed (use --force to install it again)");
    case -4: return QStringLiteral("the computer's bootloader is unknown: update the bootloader first");
    default: return message;
    }
}

} // namespace

bool readInputFile(const QString& path, qint64 limit, QByteArray& bytes)
{
    QFile file(path);
    const QFileInfo info(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        printError(path, QStringLiteral("cannot open the file"));
        return false;
    }
    bytes = file.read(limit + 1);
    if (file.error() != QFileDevice::NoError) {
        printError(path, file.errorString());
        return false;
    }
    if (bytes.size() > limit) {
        printError(path, QStringLiteral("larger than %1 bytes").arg(limit));
        return false;
    }
    return true;
}

int runFirmwareUpload(ComputerLink& link, const QString& path, const QByteArray& image, bool force, bool json)
{
    const QString subject = QStringLiteral("firmware");
    KelvoSession& s = link.session();
    const QString before = s.firmwareVersionStr();
    const QString bootloaderBefore = s.bootloaderVersionStr();
    QEventLoop loop;
    QObject guard;
    QTimer silence;
    silence.setSingleShot(true);
    silence.setInterval(kSilenceLimitMs);
    bool done = false;
    QString problem;
    const auto stop = [&](const QString& why) {
        if (problem.isEmpty() && !done)
            problem = why;
        loop.quit();
    };
    QObject::connect(&silence, &QTimer::timeout, &guard, [&] { stop(QStringLiteral("the computer does not answer")); });
    QObject::connect(&s, &KelvoSession::uploadFirmwareProgress, &guard, [&](int sent, int percent) {
        silence.start();
        if (sent > 0)
            printProgress(subject, QStringLiteral("%1 % (%2 of %3 bytes)").arg(percent).arg(sent).arg(image.size()));
    });
    QObject::connect(&s, &KelvoSession::endCommand, &guard, [&](PelagonCommandIn command) {
        if (command == End_program) {
            done = true;
            loop.quit();
        }
    });
    QObject::connect(&s, &KelvoSession::exchangeError, &guard, [&](PelagonCommandIn command, ExchangeError::ExchangeErrorIn error) {
        stop(QStringLiteral("%1 failed: %2").arg(QString::fromLatin1(QMetaEnum::fromType<PelagonCommandIn>().valueToKey(command)),
                                               KelvoBleProtocol::exchangeErrorString(error)));
    });
    QObject::connect(&s, &KelvoSession::disconnectController, &guard, [&] { stop(s.message()); });

    const int result = s.uploadFirmware(image, QFileInfo(path).fileName(), force);
    if (result <= 0)
        return fail(path, refusalText(result, s.message()));
    printProgress(subject, QStringLiteral("writing %1 bytes").arg(result));
    silence.start();
    loop.exec();
    if (!done)
        return fail(subject, problem);
    const double seconds = double(std::chrono::duration_cast<std::chrono::milliseconds>(s.uploadElapsed()).count()) / 1000.0;
    printProgress(subject, QStringLiteral("written in %1 s; the computer restarts").arg(seconds, 0, 'f', 1));

    // The computer comes back with what it now runs.
    QString again;
    const bool back = link.connect(again);
    if (json) {
        QJsonObject document{{QStringLiteral("file"), path},
                             {QStringLiteral("bytes"), result},
                             {QStringLiteral("seconds"), seconds},
                             {QStringLiteral("firmwareBefore"), before},
                             {QStringLiteral("bootloaderBefore"), bootloaderBefore}};
        if (back) {
            document.insert(QStringLiteral("firmware"), s.firmwareVersionStr());
            document.insert(QStringLiteral("bootloader"), s.bootloaderVersionStr());
        }
        printJson(document);
    } else {
        QStringList lines{QStringLiteral("Installed %1 (%2 bytes) in %3 s").arg(QFileInfo(path).fileName()).arg(result).arg(seconds, 0, 'f', 1)};
        if (back) {
            lines << QStringLiteral("Firmware:   %1 (was %2)").arg(s.firmwareVersionStr(), before)
                  << QStringLiteral("Bootloader: %1 (was %2)").arg(s.bootloaderVersionStr(), bootloaderBefore);
        } else {
            lines << QStringLiteral("The computer did not come back yet: %1").arg(again);
        }
        printText(lines.join(QLatin1Char('\n')));
    }
    return Success;
}

namespace {

bool parseIndex(const QString& text, int low, int high, int& value)
{
    // "none" (no layout) reads better than -1, which looks like an option.
    if (text == QLatin1String("none") && low < 0) {
        value = -1;
        return true;
    }
    bool ok = false;
    value = text.toInt(&ok);
    return ok && value >= low && value <= high;
}

QString slotsText(const std::array<qint8, 5>& active)
{
    QStringList modes;
    for (const qint8 index : active)
        modes.append(index < 0 ? QStringLiteral("-") : QString::number(index));
    return modes.join(QLatin1Char(' '));
}

QJsonArray slotsJson(const std::array<qint8, 5>& active)
{
    QJsonArray modes;
    for (const qint8 index : active)
        modes.append(int(index));
    return modes;
}

int listLayouts(ComputerLink& link, bool json)
{
    KelvoSession& s = link.session();
    QString problem;
    if (!link.run(LayoutList, [&s] { return s.startLayoutList(); }, problem)
        || !link.run(LayoutActiveGet, [&s] { return s.startLayoutActiveGet(); }, problem))
        return fail(QStringLiteral("layouts"), problem);
    if (json) {
        QJsonArray list;
        for (const LayoutEntry& entry : s.layouts())
            list.append(QJsonObject{{QStringLiteral("index"), entry.index},
                                    {QStringLiteral("type"), entry.type},
                                    {QStringLiteral("name"), entry.name}});
        printJson(QJsonObject{{QStringLiteral("layouts"), list}, {QStringLiteral("active"), slotsJson(s.activeLayouts())}});
        return Success;
    }
    QStringList lines;
    for (const LayoutEntry& entry : s.layouts()) {
        QStringList modes;
        for (int mode = 0; mode < 5; ++mode) {
            if (s.activeLayouts()[std::size_t(mode)] == entry.index)
                modes.append(QString::number(mode));
        }
        lines.append(QStringLiteral("%1  type %2  %3%4")
                         .arg(entry.index, 3)
                         .arg(entry.type, 3)
                         .arg(printable(entry.name))
                         .arg(modes.isEmpty() ? QString() : QStringLiteral("  (active in mode %1)").arg(modes.join(QStringLiteral(", ")))));
    }
    lines.append(QStringLiteral("%1 layouts; active by dive mode: %2").arg(s.layouts().size()).arg(slotsText(s.activeLayouts())));
    printText(lines.join(QLatin1Char('\n')));
    return Success;
}

int getLayout(ComputerLink& link, int index, const QString& path, bool json)
{
    KelvoSession& s = link.session();
    QString problem;
    if (!link.run(LayoutGet, [&s, index] { return s.startLayoutGet(quint8(index)); }, problem))
        return fail(QStringLiteral("layouts"), problem);
    if (s.layoutBlob().isEmpty())
        return fail(QStringLiteral("layouts"), QStringLiteral("the computer holds no layout %1").arg(index));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(s.layoutBlob()) != s.layoutBlob().size() || !file.commit())
        return fail(path, file.errorString());
    if (json)
        printJson(QJsonObject{{QStringLiteral("index"), index}, {QStringLiteral("bytes"), s.layoutBlob().size()}, {QStringLiteral("file"), path}});
    else
        printText(QStringLiteral("Layout %1: %2 bytes written to %3").arg(index).arg(s.layoutBlob().size()).arg(path));
    return Success;
}

int addLayout(ComputerLink& link, const QByteArray& blob, bool json)
{
    KelvoSession& s = link.session();
    QObject guard;
    QObject::connect(&s, &KelvoSession::layoutAddProgress, &guard, [](int sent, int total) {
        printProgress(QStringLiteral("layouts"), QStringLiteral("%1 of %2 bytes").arg(sent).arg(total));
    });
    const QList<LayoutEntry> before = s.layouts();
    QString problem;
    if (!link.run(LayoutList, [&s] { return s.startLayoutList(); }, problem))
        return fail(QStringLiteral("layouts"), problem);
    QList<int> known;
    for (const LayoutEntry& entry : s.layouts())
        known.append(entry.index);
    if (!link.run(LayoutAdd, [&s, &blob] { return s.startLayoutAdd(blob); }, problem))
        return fail(QStringLiteral("layouts"), problem.isEmpty() ? QStringLiteral("the computer refused the layout") : problem);
    // The new number is the one that was not there before.
    if (!link.run(LayoutList, [&s] { return s.startLayoutList(); }, problem))
        return fail(QStringLiteral("layouts"), problem);
    int added = -1;
    QString name;
    for (const LayoutEntry& entry : s.layouts()) {
        if (!known.contains(entry.index)) {
            added = entry.index;
            name = entry.name;
        }
    }
    if (json)
        printJson(QJsonObject{{QStringLiteral("index"), added}, {QStringLiteral("name"), name}, {QStringLiteral("bytes"), blob.size()}});
    else
        printText(QStringLiteral("Added layout %1 \"%2\" (%3 bytes)").arg(added).arg(printable(name)).arg(blob.size()));
    return Success;
}

int removeLayout(ComputerLink& link, const QString& which, bool json)
{
    KelvoSession& s = link.session();
    QString problem;
    int index = -1;
    const bool all = which == QLatin1String("all");
    if (!all && !parseIndex(which, 0, 255, index))
        return fail(QStringLiteral("layouts"), QStringLiteral("\"%1\" is no layout number (0 to 255) nor \"all\"").arg(which));
    const bool ok = all ? link.run(LayoutRemoveAll, [&s] { return s.startLayoutRemoveAll(); }, problem)
                        : link.run(LayoutRemove, [&s, index] { return s.startLayoutRemove(quint8(index)); }, problem);
    if (!ok)
        return fail(QStringLiteral("layouts"), all ? problem : QStringLiteral("the computer refused to remove layout %1").arg(index));
    if (json)
        printJson(QJsonObject{{QStringLiteral("removed"), all ? QJsonValue(QStringLiteral("all")) : QJsonValue(index)}});
    else
        printText(all ? QStringLiteral("Removed every layout") : QStringLiteral("Removed layout %1").arg(index));
    return Success;
}

int activeLayouts(ComputerLink& link, const QStringList& words, bool json)
{
    KelvoSession& s = link.session();
    QString problem;
    if (words.size() == 3) {
        int mode = 0;
        int index = 0;
        if (!parseIndex(words.at(1), 0, 4, mode) || !parseIndex(words.at(2), -1, 127, index))
            return fail(QStringLiteral("layouts"), QStringLiteral("active MODE INDEX: mode 0 to 4, index 0 to 127 or none"));
        if (!link.run(LayoutActiveSet, [&] { return s.startLayoutActiveSet(quint8(mode), qint8(index)); }, problem))
            return fail(QStringLiteral("layouts"), QStringLiteral("the computer refused layout %1 for mode %2").arg(index).arg(mode));
    } else if (words.size() != 1) {
        return fail(QStringLiteral("layouts"), QStringLiteral("active takes no argument or MODE INDEX"));
    }
    if (!link.run(LayoutActiveGet, [&s] { return s.startLayoutActiveGet(); }, problem))
        return fail(QStringLiteral("layouts"), problem);
    if (json)
        printJson(QJsonObject{{QStringLiteral("active"), slotsJson(s.activeLayouts())}});
    else
        printText(QStringLiteral("Active by dive mode: %1").arg(slotsText(s.activeLayouts())));
    return Success;
}

} // namespace

QString layoutsUsageProblem(const QStringList& words)
{
    const QString action = words.value(0);
    int index = 0;
    int mode = 0;
    const bool fine = (action == QLatin1String("list") && words.size() == 1)
                      || (action == QLatin1String("get") && words.size() == 3 && parseIndex(words.at(1), 0, 255, index))
                      || (action == QLatin1String("add") && words.size() == 2)
                      || (action == QLatin1String("remove") && words.size() == 2
                          && (words.at(1) == QLatin1String("all") || parseIndex(words.at(1), 0, 255, index)))
                      || (action == QLatin1String("active")
                          && (words.size() == 1
                              || (words.size() == 3 && parseIndex(words.at(1), 0, 4, mode)
                                  && parseIndex(words.at(2), -1, 127, index))));
    return fine ? QString()
                : QStringLiteral("expected list, get INDEX FILE, add FILE, remove INDEX|all or active [MODE INDEX] "
                                 "(mode 0 to 4, index 0 to 127 or none)");
}

int runLayouts(ComputerLink& link, const QStringList& words, const QByteArray& blob, bool json)
{
    const QString action = words.value(0);
    if (action == QLatin1String("list"))
        return listLayouts(link, json);
    if (action == QLatin1String("get"))
        return getLayout(link, words.at(1).toInt(), words.at(2), json);
    if (action == QLatin1String("add"))
        return addLayout(link, blob, json);
    if (action == QLatin1String("remove"))
        return removeLayout(link, words.at(1), json);
    return activeLayouts(link, words, json);
}

} // namespace divetool
