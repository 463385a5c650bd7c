// Installing skin packages at sizes far beyond real ones: a 10,000-item
// package merged into skin tables of 10,000 items each. (Unpacking a large
// package is measured in bench/archive.)
#include "CatalogueMerge.h"
#include "PackageInstall.h"
#include "TTable.h"
#include "TableSchema.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

const char *kKinds[] = {"Clock", "Dial", "Hand", "Head", "Body"};

QByteArray smallPicture()
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QByteArray bytes;
    QBuffer b(&bytes);
    b.open(QIODevice::WriteOnly);
    image.save(&b, "png");
    return bytes;
}

void zip(const QString &zipFile, const QString &folder, const QStringList &names)
{
    QProcess p;
    p.setWorkingDirectory(folder);
    p.start("zip", QStringList{"-q", "-1", zipFile} + names);
    p.waitForFinished(-1);
    if (p.exitCode() != 0)
        qFatal("zip failed");
}

// Skin tables with 10,000 items each, kept pristine for every round, and a
// package whose 10,000 items are half new, half already there, spread over
// the whole name order.
struct InstallSetup
{
    QTemporaryDir root;
    QString pristine, program;

    InstallSetup()
    {
        pristine = root.path() + "/pristine/";
        program = root.path() + "/program/";
        QDir().mkpath(pristine);
        QDir().mkpath(program + "skins");
        const QByteArray picture = smallPicture();
        for (const TableSchema &s : standardSchemas())
            createTable(pristine, s);
        for (const char *kind : kKinds) {
            TTable t;
            t.OpenTable(pristine, kind);
            TTable::transaction({&t}, [&] {
                for (int i = 0; i < 10000; ++i) {
                    t.Append();
                    t.FieldByName("Name").setAsString(QString("%1 %2").arg(kind).arg(i * 2, 6, 10, QChar('0')));
                    t.FieldByName(QString(kind) == "Hand" ? "imgHour" : "Image").setValue(picture);
                    t.Post();
                }
            });
        }
        QTemporaryDir work;
        const QString w = work.path() + "/";
        createTable(w, standardSchema("Skins"));
        TTable skins;
        skins.OpenTable(w, "Skins");
        for (int i = 0; i < 10000; ++i) {
            const QString kind = kKinds[i % 5];
            skins.Append();
            skins.FieldByName("Category").setAsString(kind.toLower());
            skins.FieldByName("Version").setAsInteger(100);
            // Every other item exists already (even numbers), the rest are new.
            skins.FieldByName("Name").setAsString(QString("%1 %2").arg(kind).arg(i, 6, 10, QChar('0')));
            for (const char *f : {"image", "imgHour", "imgMinute", "imgSecond", "AnimationImage"})
                skins.FieldByName(f).setValue(picture);
            skins.Post();
        }
        skins.CloseTable();
        zip(program + "skins/big.zip", w, {"Skins.db"});
    }

    void reset()
    {
        for (const QString &f : QDir(pristine).entryList(QDir::Files)) {
            QFile::remove(program + f);
            QFile::copy(pristine + f, program + f);
        }
    }
};

void BM_InstallLargePackage(benchmark::State &state)
{
    static InstallSetup setup;
    MergeResult last;
    for (auto _ : state) {
        state.PauseTiming();
        setup.reset();
        TTable clock, dial, hand, head, body, skins;
        TTable *all[] = {&clock, &dial, &hand, &head, &body};
        for (int i = 0; i < 5; ++i)
            all[i]->OpenTable(setup.program, kKinds[i]);
        skins.OpenTable(setup.program, "Skins");
        state.ResumeTiming();

        PackageInstall install(setup.program, skins, {&clock, &dial, &hand, &head, &body}, 100);
        last = install.install(setup.program + "skins/big.zip");
    }
    state.counters["added"] = last.added;
    state.counters["skipped"] = last.skipped;
}
BENCHMARK(BM_InstallLargePackage)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
