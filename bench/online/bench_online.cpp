// Downloads from a loopback HTTP server in this process: a 20 MiB firmware
// image through the repository client and a 200 MiB update archive through
// the generic downloader, both streamed to disk. Targets: the firmware
// within 2 s with at most 2 MiB of peak memory growth beyond Qt's socket
// buffers; the archive in constant memory. "peak_growth_MiB" is the largest
// rise of the process's peak resident size during one download (reset before
// it) after the first; "first_growth_MiB" is the first download's, which
// also pays for starting the network machinery.

#include "loopbackhttpserver.h"
#include "online/firmwarecatalogue.h"
#include "online/firmwaredownloader.h"
#include "online/genericfiledownloader.h"
#include "runbenchmarks.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

namespace {

LoopbackHttpServer* gServer = nullptr;
QTemporaryDir* gDir = nullptr;

// A field of /proc/self/status in KiB.
long statusKiB(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ':';
    while (std::getline(status, line)) {
        if (line.rfind(prefix, 0) == 0)
            return std::stol(line.substr(prefix.size()));
    }
    return 0;
}

// Makes VmHWM start again from the current resident size.
void resetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

template <class Start>
void measure(benchmark::State& state, qint64 size, Start start)
{
    double growth = 0;
    double first = -1;
    for (auto _ : state) {
        QEventLoop loop;
        resetPeak();
        const long before = statusKiB("VmRSS");
        bool ok = false;
        start(loop, ok);
        loop.exec();
        const double rise = double(statusKiB("VmHWM") - before) / 1024.0;
        // The first download of a run also starts the network manager's
        // thread and caches: reported apart.
        if (first < 0)
            first = rise;
        else
            growth = std::max(growth, rise);
        if (!ok)
            state.SkipWithError("download failed");
    }
    state.SetBytesProcessed(state.iterations() * size);
    state.counters["first_growth_MiB"] = first;
    state.counters["peak_growth_MiB"] = growth;
}

void BM_FirmwareDownload(benchmark::State& state)
{
    const qint64 size = 20LL * 1024 * 1024;
    gServer->setReply("/firmware.bin", LoopbackHttpServer::generated(size));
    FirmwareDownloader downloader(RepositoryAccess{gServer->url(), QStringLiteral("token")});
    const QString path = gDir->filePath("firmware.bin");
    measure(state, size, [&](QEventLoop& loop, bool& ok) {
        QObject::connect(&downloader, &FirmwareDownloader::downloaded, &loop, [&] { ok = true; loop.quit(); });
        QObject::connect(&downloader, &FirmwareDownloader::downloadFailed, &loop, [&] { loop.quit(); });
        downloader.requestFile(gServer->url("/firmware.bin"), FirmwareDownloader::FirmwareFile, path, -1);
    });
    if (QFile(path).size() != size)
        state.SkipWithError("incomplete file");
}
BENCHMARK(BM_FirmwareDownload)->Unit(benchmark::kMillisecond)->Iterations(4);

void BM_ArchiveDownload(benchmark::State& state)
{
    const qint64 size = 200LL * 1024 * 1024;
    gServer->setReply("/PelagonDiveLogSetup_9.0.0.zip", LoopbackHttpServer::generated(size));
    GenericFileDownloader downloader;
    const QString path = gDir->filePath("PelagonDiveLogSetup_9.0.0.zip");
    measure(state, size, [&](QEventLoop& loop, bool& ok) {
        QObject::connect(&downloader, &GenericFileDownloader::downloadFinished, &loop, [&] { ok = true; loop.quit(); });
        QObject::connect(&downloader, &GenericFileDownloader::downloadFailed, &loop, [&] { loop.quit(); });
        downloader.download(gServer->url("/PelagonDiveLogSetup_9.0.0.zip"), path);
    });
    if (QFile(path).size() != size)
        state.SkipWithError("incomplete file");
}
BENCHMARK(BM_ArchiveDownload)->Unit(benchmark::kMillisecond)->Iterations(2);

// A table of contents and a listing of n names each, as a hostile or broken
// repository could send them within the 4 MiB a reply may have: the listing
// is matched to the entries in linear time (target: 100,000 names within
// 300 ms; matched name by name it took minutes).
void BM_ApplyListing(benchmark::State& state)
{
    const int n = int(state.range(0));
    QJsonArray toc;
    QJsonArray listing;
    for (int i = 0; i < n; ++i) {
        const QString file = QStringLiteral("K%1.bin").arg(i);
        toc.append(QJsonObject{{"File", file}, {"Version", "0x01040262"}});
        listing.append(QJsonObject{{"name", file}, {"download_url", QStringLiteral("https://raw.example/") + file}});
    }
    const QList<FirmwareEntry> described = FirmwareCatalogue::fromTableOfContents(toc);
    for (auto _ : state) {
        QList<FirmwareEntry> entries = described;
        FirmwareCatalogue::applyListing(entries, listing);
        if (entries.size() != n || entries.last().downloadUrl.isEmpty())
            state.SkipWithError("listing not applied");
    }
}
BENCHMARK(BM_ApplyListing)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    LoopbackHttpServer server;
    QTemporaryDir dir;
    if (!server.listen() || !dir.isValid())
        return 1;
    gServer = &server;
    gDir = &dir;
    return BenchMain::runBenchmarks(argc, argv);
}
