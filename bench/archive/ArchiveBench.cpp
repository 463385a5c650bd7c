#include "ZipReader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kEntries = 50;
constexpr int64_t kEntryBytes = 1 << 20;

QTemporaryDir &root()
{
    static QTemporaryDir dir;
    return dir;
}

// A 50 MiB package of 50 one-MiB pictures, made once per kind with Python's
// zipfile. "noise" does not compress and is stored; "pictures" are rows of
// flat colour runs with some noise, deflated about 1:9 like flat-coloured art.
QString package(const char *kind)
{
    const QString zip = root().path() + "/" + kind + ".zip";
    if (QFile::exists(zip))
        return zip;
    const char *script = R"PY(
import os, random, sys, zipfile
out, kind, count, size = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
random.seed(1)
with zipfile.ZipFile(out, 'w') as z:
    for i in range(count):
        if kind == 'noise':
            z.writestr('art/noise%d.bmp' % i, os.urandom(size), zipfile.ZIP_STORED)
        else:
            row = bytearray()
            while len(row) < size:
                row += bytes([random.randrange(256)] * 3) * random.randrange(1, 40) + os.urandom(random.randrange(0, 8))
            z.writestr('art/picture%d.bmp' % i, bytes(row[:size]), zipfile.ZIP_DEFLATED)
)PY";
    QProcess p;
    p.start("python3", {"-c", script, zip, kind, QString::number(kEntries), QString::number(kEntryBytes)});
    if (!p.waitForFinished(300000) || p.exitCode() != 0) {
        std::fprintf(stderr, "cannot make %s: %s\n", kind, p.readAllStandardError().constData());
        std::exit(1);
    }
    std::fprintf(stderr, "%s package: %.1f MiB packed\n", kind, double(QFileInfo(zip).size()) / (1 << 20));
    return zip;
}

void unpack50MiB(benchmark::State &state, const char *kind)
{
    const QString zip = package(kind);
    const QString out = root().path() + "/out-" + kind + "/";
    for (auto _ : state) {
        TZipReader reader;
        reader.open(zip);
        reader.setBaseFolder(out);
        reader.setProtectedNames({"ZindleClock", "ZindleClock.ini"});
        int last = 0;
        reader.onProgress = [&](int p) { last = p; };
        // Each round replaces the files of the one before, as a reinstall does.
        reader.unpackAll();
        benchmark::DoNotOptimize(last);
    }
    state.SetBytesProcessed(state.iterations() * kEntries * kEntryBytes);
}

BENCHMARK_CAPTURE(unpack50MiB, stored_noise, "noise")->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK_CAPTURE(unpack50MiB, deflated_pictures, "pictures")->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
