#include "ChimePlayback.h"
#include "DateTime.h"
#include "MediaPlayerSound.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdlib>

// What the chime costs the 200 ms tick: the idle check that runs on almost
// every tick, and a step that opens, measures and starts a file.
namespace {

QByteArray wave(int ms)
{
    const int rate = 22050, samples = rate * ms / 1000;
    QByteArray b("RIFF");
    auto le = [&b](quint32 v, int n) {
        for (int i = 0; i < n; ++i)
            b.append(char((v >> (8 * i)) & 0xff));
    };
    le(36 + samples * 2, 4);
    b.append("WAVEfmt ");
    le(16, 4), le(1, 2), le(1, 2), le(rate, 4), le(rate * 2, 4), le(2, 2), le(16, 2);
    b.append("data");
    le(samples * 2, 4);
    b.append(QByteArray(samples * 2, '\0'));
    return b;
}

struct Folder
{
    Folder()
    {
        QDir(dir.path()).mkpath("chimes");
        QFile f(dir.path() + "/chimes/bigben_bell.wav");
        f.open(QIODevice::WriteOnly);
        f.write(wave(4000));
    }
    QTemporaryDir dir;
};

void IdleTick(benchmark::State &st)
{
    Folder folder;
    MediaPlayerSound player;
    ChimeState state;
    ChimePlayback playback(state, player, folder.dir.path());
    const ChimeSettings settings{true, false, false, false};
    playback.Settings = [&] { return settings; };
    const double now = ZDateTime::encodeDate(2024, 1, 1) + ZDateTime::encodeTime(10, 17, 3);
    for (auto _ : st)
        playback.Tick(now);
}
BENCHMARK(IdleTick);

void StrikeStep(benchmark::State &st)
{
    Folder folder;
    MediaPlayerSound player;
    ChimeState state;
    ChimePlayback playback(state, player, folder.dir.path());
    double now = ZDateTime::encodeDate(2024, 1, 1) + ZDateTime::encodeTime(10, 0, 0);
    playback.Settings = [] { return ChimeSettings{false, false, true, false}; };
    // The hour's start names the strike file the steps play.
    playback.StartChime(now);
    for (auto _ : st) {
        state.StrikesLeft = 12;
        state.NextSoundTime = 0;
        playback.ContinueChime(now);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(StrikeStep)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("SDL_AUDIODRIVER"))
        qputenv("SDL_AUDIODRIVER", "dummy");
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
