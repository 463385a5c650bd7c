#include "DateTime.h"
#include "RotImg.h"
#include "uClock.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

// The main window on a copy of the built program folder, offscreen.
namespace {

struct Clock
{
    QTemporaryDir dir;
    QString folder = dir.path() + "/";
    std::unique_ptr<TfClock> clock;

    Clock()
    {
        const QDir built(QStringLiteral(ZC_PROGRAM_DIR));
        for (const QString &f : built.entryList({"*.db"}, QDir::Files))
            QFile::copy(built.filePath(f), folder + f);
        clock = std::make_unique<TfClock>(folder);
        clock->FormActivate();
        clock->Timer1.stop();
    }
};

Clock &instance()
{
    static Clock c;
    return c;
}

QDateTime at(int secondsAfterTen) { return QDateTime(QDate(2026, 12, 10), QTime(10, 0, 0).addSecs(secondsAfterTen)); }

void BM_TickNoAngleChange(benchmark::State &state)
{
    TfClock &c = *instance().clock;
    ZDateTime::setNowProvider([] { return at(7); });
    c.Timer1Timer();
    for (auto _ : state)
        c.Timer1Timer();
    ZDateTime::setNowProvider(nullptr);
}
BENCHMARK(BM_TickNoAngleChange)->Unit(benchmark::kMicrosecond);

void BM_TickSecondHandTurns(benchmark::State &state)
{
    TfClock &c = *instance().clock;
    int second = 0;
    ZDateTime::setNowProvider([&] { return at(second); });
    for (auto _ : state) {
        ++second;
        c.Timer1Timer();
    }
    ZDateTime::setNowProvider(nullptr);
    // After a minute every angle of the second hand is a kept turn.
    state.counters["kept_bytes_sec"] = double(c.RotateImageSec->keptTurns().bytes());
    state.counters["kept_turns_sec"] = c.RotateImageSec->keptTurns().size();
}
BENCHMARK(BM_TickSecondHandTurns)->Unit(benchmark::kMicrosecond);

// Once a minute the minute hand turns and the window and tray hints are
// made again.
void BM_TickMinuteChanges(benchmark::State &state)
{
    TfClock &c = *instance().clock;
    int second = 0;
    ZDateTime::setNowProvider([&] { return at(second); });
    for (auto _ : state) {
        second += 60;
        c.Timer1Timer();
    }
    ZDateTime::setNowProvider(nullptr);
}
BENCHMARK(BM_TickMinuteChanges)->Unit(benchmark::kMicrosecond);

void BM_BuildFace(benchmark::State &state)
{
    TfClock &c = *instance().clock;
    c.Settings.SizeScale = int(state.range(0));
    for (auto _ : state)
        c.BuildFace();
    c.Settings.SizeScale = 16;
}
BENCHMARK(BM_BuildFace)->Arg(4)->Arg(8)->Arg(12)->Arg(16)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("SDL_AUDIODRIVER", "dummy");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
