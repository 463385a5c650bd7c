#include "DialogFixture.h"
#include "ClockAlarms.h"
#include "DateTime.h"
#include "ProgramIcon.h"
#include "SkinDialogsFor.h"
#include "uAbout.h"
#include "uAlarmMessage.h"
#include "uAlarmWiz.h"
#include "uAlarms.h"
#include "uCalPop.h"
#include "uChimeOptions.h"
#include "uClock.h"
#include "uDisplay.h"
#include "uInstallSkins.h"
#include "uPickSkins.h"
#include "uSystemTime.h"
#include "uTimeServer.h"

#include <QApplication>
#include <QDir>
#include <QFile>

void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

AppFont::AppFont(double scale) : m_saved(QApplication::font())
{
    QFont f = m_saved;
    f.setPointSizeF(f.pointSizeF() * scale);
    QApplication::setFont(f);
}

AppFont::~AppFont() { QApplication::setFont(m_saved); }

DialogFixture::DialogFixture() : systemClock(FakeSystemClock::nanosOf(QDateTime(QDate(2026, 9, 28), QTime(22, 58, 58))))
{
    for (const char *t : {"Clock", "Dial", "Hand", "Head", "Body"})
        folder.addItem(t, "Pocket Watch", solid(40, 40, Qt::darkYellow), "A gold pocket watch.");
    folder.addProduct({"Zindle Clock", "(c) The Zindle Clock developers", "(c) Partner", "https://zindle.example",
                       "https://partner.example", "Partner", "https://zindle.example/skins"});
    // The icon's pictures as the build makes them.
    for (const QString &name : ProgramIcon::fileNames())
        QFile::copy(programDir() + name, folder.file(name));
    QDir(folder.path()).mkdir("skins");
    folder.write("skins/Zindle Sampler.zip", "listed only");
    {
        TTable t;
        t.OpenTable(folder.path(), "Time");
        t.Append();
        t.FieldByName("TimeServer").setAsString("pool.ntp.org");
        t.Post();
    }
    clock = folder.startClock();
    clock->Timer1.stop();
    settle(); // the clock's event loop has run before any dialog opens
    AlarmRecord r;
    r.title = "Dentist";
    r.memo = "Bring the card.";
    r.type = "Once";
    r.sound = "None";
    // Late in September: a long month name in many date formats.
    r.date = ZDateTime::fromQDateTime(QDateTime(QDate(2036, 9, 28), QTime(0, 0)));
    r.time = 22.0 / 24 + 58.0 / 1440;
    ClockAlarms::of(*clock).store().save(0, r);
}

DialogFixture::~DialogFixture() = default;

std::unique_ptr<QDialog> DialogFixture::open(const Dialog &d)
{
    std::unique_ptr<QDialog> dialog = d.make(*this);
    dialog->show();
    settle();
    return dialog;
}

const QVector<DialogFixture::Dialog> &DialogFixture::dialogs()
{
    using F = DialogFixture;
    static const QVector<Dialog> all = {
        {"About", [](F &f) { return aboutFor(*f.clock); }},
        {"Install Skins", [](F &f) { return installSkinsFor(*f.clock); }},
        {"Select Skin", [](F &f) { return pickSkinsFor(*f.clock); }},
        {"Display Options",
         [](F &f) { return std::make_unique<TfDisplay>(f.clock->Settings, *f.clock, f.clock.get()); }},
        {"Hourly Chime Options",
         [](F &f) { return std::make_unique<TfChimeOptions>(f.clock->Settings, f.clock.get()); }},
        {"Alarms", [](F &f) { return std::make_unique<TfAlarms>(ClockAlarms::of(*f.clock).context()); }},
        {"Alarm Wizard",
         [](F &f) {
             AlarmContext &alarms = ClockAlarms::of(*f.clock).context();
             alarms.EditingAlarm = false;
             return std::make_unique<TfAlarmWiz>(alarms);
         },
         6, [](QDialog &d) { static_cast<TfAlarmWiz &>(d).btnNextClick(); }},
        {"Alarm Message",
         [](F &f) {
             f.clock->tblAlarm.First();
             return std::make_unique<TfAlarmMessage>(ClockAlarms::of(*f.clock).context());
         }},
        {"Set System Time", [](F &f) { return std::make_unique<TfSystemTime>(f.systemClock); }},
        {"Internet Time Server",
         [](F &f) {
             return std::make_unique<TfTimeServer>(f.clock->tblTime, f.systemClock, nullptr, nullptr, [] { return true; });
         }},
        {"Calendar", [](F &f) { return std::make_unique<TfCalPop>(f.systemClock); }},
    };
    return all;
}
