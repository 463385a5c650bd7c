#include "AlarmCheck.h"
#include "AlarmRules.h"
#include "AlarmStore.h"
#include "AlarmTick.h"
#include "DateTime.h"
#include "TableSchema.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <memory>

// The alarm step of the tick, with "now" moving 200 ms per call, over tables
// of waiting alarms (none due).
namespace {

QDateTime g_now;

struct Clock
{
    explicit Clock(int waiting, int due = 0)
    {
        for (const char *table : {"Alarm", "Alarm2"})
            createTable(dir.path() + "/", standardSchema(table));
        g_now = QDateTime(QDate(2024, 3, 5), QTime(10, 3, 45));
        ZDateTime::setNowProvider([] { return g_now; });
        tblAlarm.OpenTable(dir.path() + "/", "Alarm");
        tblAlarm2.OpenTable(dir.path() + "/", "Alarm2");
        store = std::make_unique<AlarmStore>(tblAlarm, tblAlarm2);
        checker = std::make_unique<AlarmChecker>(*store, tick, nullptr);
        const double now = ZDateTime::now();
        // Bulk set-up in one transaction; the program itself writes one at a time.
        TTable::transaction({&tblAlarm, &tblAlarm2}, [&] {
            for (int i = 0; i < waiting + due; ++i) {
                const bool isDue = i >= waiting;
                add(QString("alarm %1").arg(i), isDue ? AlarmRules::Daily : AlarmRules::Once,
                    isDue ? now - 1.0 / 1440 : now + 1 + i / 1440.0);
            }
        });
    }
    void add(const QString &title, int type, double due)
    {
        const AlarmRules::DateAndTime d = AlarmRules::splitMoment(due);
        AlarmRecord r;
        r.title = title;
        r.type = AlarmRules::typeNames()[type];
        r.typeIndex = type;
        r.date = d.date;
        r.time = d.time;
        r.sound = kNoSound;
        for (TTable *t : {&tblAlarm, &tblAlarm2}) {
            t->Append();
            r.write(*t, AlarmRecord::kAlarm2Fields);
            t->Post();
        }
    }
    ~Clock() { ZDateTime::setNowProvider(nullptr); }

    QTemporaryDir dir;
    TTable tblAlarm, tblAlarm2;
    QTimer Timer1; // stopped: the benchmark drives the check
    TimerTick tick{Timer1};
    std::unique_ptr<AlarmStore> store;
    std::unique_ptr<AlarmChecker> checker;
};

void BM_CheckAlarms(benchmark::State &state)
{
    Clock c(int(state.range(0)));
    c.checker->CheckAlarms(); // the first check after start reads the table
    const int scans = c.checker->scans();
    for (auto _ : state) {
        g_now = g_now.addMSecs(200);
        c.checker->CheckAlarms();
    }
    state.counters["scans"] = c.checker->scans() - scans;
}
BENCHMARK(BM_CheckAlarms)->Arg(0)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);

// The check right after the alarm table changed: one full scan.
void BM_CheckAlarmsAfterChange(benchmark::State &state)
{
    Clock c(int(state.range(0)));
    for (auto _ : state) {
        c.tblAlarm.setRecNo(1); // a moved cursor counts as a change
        c.checker->CheckAlarms();
    }
}
BENCHMARK(BM_CheckAlarmsAfterChange)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);

// One due daily alarm among 100 waiting ones, answered with Snooze: the mark,
// the move to tomorrow and the snooze record (one joint commit), the scan.
void BM_Snooze(benchmark::State &state)
{
    Clock c(100, 1);
    c.checker->setShowMessage([&] { c.store->closeMessage(QString(), true, ZDateTime::now()); });
    for (auto _ : state) {
        c.checker->CheckAlarms();
        state.PauseTiming();
        // Back to one due alarm: drop the snooze record, move the daily back.
        c.store->remove(c.tblAlarm.RecordCount());
        AlarmRecord r;
        c.tblAlarm2.setRecNo(101);
        c.tblAlarm.setRecNo(101);
        r = c.store->current();
        r.date -= 1;
        c.store->save(101, r);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Snooze)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
