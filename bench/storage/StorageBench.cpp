#include "PngPicture.h"
#include "TTable.h"
#include "TableSchema.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

// 10,000-record skin and alarm tables, made once per process.
namespace {

struct Tables
{
    QTemporaryDir dir;
    QString folder = dir.path() + "/";
    TTable dial, alarm;

    Tables()
    {
        createTable(folder, standardSchema("Dial"));
        createTable(folder, standardSchema("Alarm"));
        dial.OpenTable(folder, "Dial");
        alarm.OpenTable(folder, "Alarm");
        TTable::transaction({&dial, &alarm}, [&] {
            for (int i = 0; i < 10000; ++i) {
                dial.Append();
                dial.FieldByName("Name").setAsString(QString("Dial %1").arg(i * 7919 % 10000, 5, 10, QChar('0')));
                dial.FieldByName("SecHandOffset").setAsInteger(i);
                dial.Post();
                alarm.Append();
                alarm.FieldByName("Title").setAsString(QString("Alarm %1").arg(i));
                alarm.FieldByName("Date").setAsDateTime(46000 + i);
                alarm.Post();
            }
        });
    }
};

Tables &tables()
{
    static Tables t;
    return t;
}

void BM_FindKey(benchmark::State &state)
{
    TTable &t = tables().dial;
    int i = 0;
    for (auto _ : state) {
        const bool found = t.FindKey(QString("Dial %1").arg(i++ % 10000, 5, 10, QChar('0')));
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_FindKey);

void BM_SetRecNo(benchmark::State &state)
{
    TTable &t = tables().dial;
    int i = 0;
    for (auto _ : state) {
        t.setRecNo(1 + (i++ * 7) % 10000);
        benchmark::DoNotOptimize(t.RecNo());
    }
}
BENCHMARK(BM_SetRecNo);

void BM_NextOverAll(benchmark::State &state)
{
    TTable &t = tables().alarm;
    for (auto _ : state) {
        int n = 0;
        for (t.First(); !t.Eof(); t.Next())
            ++n;
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(BM_NextOverAll)->Unit(benchmark::kMicrosecond);

void BM_NextReadingAField(benchmark::State &state)
{
    TTable &t = tables().alarm;
    for (auto _ : state) {
        double sum = 0;
        for (t.First(); !t.Eof(); t.Next())
            sum += t.FieldByName("Date").asDateTime();
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_NextReadingAField)->Unit(benchmark::kMillisecond);

void BM_AppendPostSkin(benchmark::State &state)
{
    TTable &t = tables().dial;
    static int i = 0;
    for (auto _ : state) {
        t.Append();
        t.FieldByName("Name").setAsString(QString("New %1").arg(i++));
        t.Post();
    }
}
BENCHMARK(BM_AppendPostSkin)->Unit(benchmark::kMicrosecond);

void BM_AppendPostAlarm(benchmark::State &state)
{
    TTable &t = tables().alarm;
    for (auto _ : state) {
        t.Append();
        t.FieldByName("Title").setAsString("x");
        t.Post();
    }
}
BENCHMARK(BM_AppendPostAlarm)->Unit(benchmark::kMicrosecond);

// Every picture of the default skins, as the built program's tables store
// them (copies: opening a table may write to it).
const QList<QByteArray> &skinPictures()
{
    static const QList<QByteArray> all = [] {
        QList<QByteArray> bytes;
        QTemporaryDir dir;
        const QString folder = dir.path() + "/";
        for (const QString name : {"Clock", "Dial", "Head", "Body", "Hand"}) {
            QFile::copy(QStringLiteral(ZC_PROGRAM_DIR "/") + name + ".db", folder + name + ".db");
            TTable t;
            t.OpenTable(folder, name);
            for (t.First(); !t.Eof(); t.Next())
                for (const FieldDef &f : t.fields())
                    if (f.type == FieldType::Picture && !t.FieldByName(f.name).value().isNull())
                        bytes << t.FieldByName(f.name).value().toByteArray();
        }
        return bytes;
    }();
    return all;
}

// Decoding the default skins' pictures with Qt's reader and with libpng
// directly. Not measured here: the first reader of a process has Qt read
// every image plugin's metadata (about 1.3 ms), which PngPicture avoids.
void BM_SkinPicturesByQImageReader(benchmark::State &state)
{
    for (auto _ : state) {
        for (const QByteArray &bytes : skinPictures()) {
            QBuffer buffer;
            buffer.setData(bytes);
            QImageReader reader(&buffer, "png");
            reader.setAutoDetectImageFormat(false);
            benchmark::DoNotOptimize(reader.size());
            benchmark::DoNotOptimize(reader.read());
        }
    }
    state.counters["pictures"] = double(skinPictures().size());
}
BENCHMARK(BM_SkinPicturesByQImageReader)->Unit(benchmark::kMillisecond);

void BM_SkinPicturesByPngPicture(benchmark::State &state)
{
    for (auto _ : state) {
        for (const QByteArray &bytes : skinPictures()) {
            PngPicture png(bytes);
            benchmark::DoNotOptimize(png.size());
            benchmark::DoNotOptimize(png.read());
        }
    }
    state.counters["pictures"] = double(skinPictures().size());
}
BENCHMARK(BM_SkinPicturesByPngPicture)->Unit(benchmark::kMillisecond);

} // namespace

// A Dial table in `folder` with a record for each name, their pictures'
// bytes as given.
void makeDials(const QString &folder, const QVector<std::pair<QString, QByteArray>> &records)
{
    createTable(folder, standardSchema("Dial"));
    TTable t;
    t.OpenTable(folder, "Dial");
    for (const auto &[name, image] : records) {
        t.Append();
        t.FieldByName("Name").setAsString(name);
        if (!image.isEmpty())
            t.FieldByName("Image").setValue(image);
        t.Post();
    }
}

// A small skin table opened as the start opens each of its ten.
void BM_OpenSmallTable(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + "/";
    makeDials(folder, {{"Dial 0", {}}, {"Dial 1", {}}, {"Dial 2", {}}});
    for (auto _ : state) {
        TTable t;
        t.OpenTable(folder, "Dial");
        benchmark::DoNotOptimize(t.RecordCount());
    }
}
BENCHMARK(BM_OpenSmallTable)->Unit(benchmark::kMicrosecond);

// A large picture read from a table just opened, as the start reads the
// clock's: the record's fields come from the file, not from SQLite's cache.
void BM_ReadLargePictureBytes(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + "/";
    QByteArray bytes(360 * 1024, '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 7919 >> 3);
    makeDials(folder, {{"large", bytes}});
    for (auto _ : state) {
        TTable t;
        t.OpenTable(folder, "Dial");
        benchmark::DoNotOptimize(t.FieldByName("Image").value().toByteArray().size());
    }
}
BENCHMARK(BM_ReadLargePictureBytes)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
