// Runs a fuzz harness over kept inputs without the fuzzer: every file of the
// folders given on the command line, in name order. Builds without clang's
// fuzzer (and the sanitizer build) thereby replay past findings as a test.

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv)
{
    LLVMFuzzerInitialize(&argc, &argv);
    int replayed = 0;
    for (int i = 1; i < argc; ++i) {
        QStringList paths;
        const QFileInfo given(QFile::decodeName(argv[i]));
        if (given.isDir()) {
            for (const QFileInfo& file : QDir(given.filePath()).entryInfoList(QDir::Files, QDir::Name))
                paths.append(file.filePath());
        } else {
            paths.append(given.filePath());
        }
        for (const QString& path : std::as_const(paths)) {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
                return 1;
            }
            const QByteArray bytes = file.readAll();
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size()));
            ++replayed;
        }
    }
    std::printf("%d inputs replayed\n", replayed);
    return replayed > 0 ? 0 : 1;
}
