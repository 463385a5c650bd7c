#include "AlarmCheck.h"
#include "AlarmRules.h"
#include "AlarmStore.h"
#include "DateTime.h"
#include "TableSchema.h"
#include "uClock.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>

// The alarm step of the tick on a running clock, with "now" moving 200 ms per
// call, over tables of waiting alarms (none due).
namespace {

QDateTime g_now;

struct Clock
{
    explicit Clock(int waiting, int due = 0)
    {
        for (const TableSchema &s : standardSchemas())
            createTable(dir.path() + "/", s);
        g_now = QDateTime(QDate(2024, 3, 5), QTime(10, 3, 45));
        ZDateTime::setNowProvider([] { return g_now; });
        clock = std::make_unique<TfClock>(dir.path() + "/");
        clock->FormActivate();
        clock->Timer1.stop();
        AlarmChecker::install(*clock);
        store = &AlarmStore::of(*clock);
        const double now = ZDateTime::now();
        // Bulk set-up in one transaction; the program itself writes one at a time.
        TTable::transaction({&clock->tblAlarm, &clock->tblAlarm2}, [&] {
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
        for (TTable *t : {&clock->tblAlarm, &clock->tblAlarm2}) {
            t->Append();
            t->FieldByName("Title").setAsString(title);
            t->FieldByName("Type").setAsString(AlarmRules::typeNames()[type]);
            t->FieldByName("TypeIndex").setAsInteger(type);
            t->FieldByName("Date").setAsDateTime(d.date);
            t->FieldByName("Time").setAsDateTime(d.time);
            t->FieldByName("Sound").setAsString("None");
            t->FieldByName("Activated").setAsBoolean(false);
            t->Post();
        }
    }
    ~Clock() { ZDateTime::setNowProvider(nullptr); }

    QTemporaryDir dir;
    std::unique_ptr<TfClock> clock;
    AlarmStore *store = nullptr;
};

void BM_CheckAlarms(benchmark::State &state)
{
    Clock c(int(state.range(0)));
    c.clock->CheckAlarms(); // the first check after start reads the table
    const int scans = AlarmChecker::of(*c.clock).scans();
    for (auto _ : state) {
        g_now = g_now.addMSecs(200);
        c.clock->CheckAlarms();
    }
    state.counters["scans"] = AlarmChecker::of(*c.clock).scans() - scans;
}
BENCHMARK(BM_CheckAlarms)->Arg(0)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);

// The check right after the alarm table changed: one full scan.
void BM_CheckAlarmsAfterChange(benchmark::State &state)
{
    Clock c(int(state.range(0)));
    for (auto _ : state) {
        c.clock->tblAlarm.setRecNo(1); // a moved cursor counts as a change
        c.clock->CheckAlarms();
    }
}
BENCHMARK(BM_CheckAlarmsAfterChange)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);

// One due daily alarm among 100 waiting ones, answered with Snooze: the mark,
// the move to tomorrow and the snooze record (one joint commit), the scan.
void BM_Snooze(benchmark::State &state)
{
    Clock c(100, 1);
    AlarmChecker &checker = AlarmChecker::of(*c.clock);
    checker.setShowMessage([&](TfClock &) { c.store->closeMessage(QString(), true, ZDateTime::now()); });
    for (auto _ : state) {
        c.clock->CheckAlarms();
        state.PauseTiming();
        // Back to one due alarm: drop the snooze record, move the daily back.
        c.store->remove(c.clock->tblAlarm.RecordCount());
        AlarmRecord r;
        c.clock->tblAlarm2.setRecNo(101);
        c.clock->tblAlarm.setRecNo(101);
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
