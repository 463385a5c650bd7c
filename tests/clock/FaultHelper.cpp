// A process the fault tests kill at an unlucky moment.
//   fault_helper settings <folder>     saves the settings over and over
//   fault_helper install <folder> <zip> installs one skin package
// It says "ready" on its standard output once the work is about to start,
// then one line for each step of its work: "saved" after each save, the
// percentage after each progress report of the install.
#include "CatalogueMerge.h"
#include "ClockSettings.h"
#include "ClockFolders.h"
#include "IniFile.h"
#include "PackageInstall.h"
#include "TTable.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

void say(const QByteArray &line)
{
    std::fputs((line + '\n').constData(), stdout);
    std::fflush(stdout);
}

// Two versions that differ everywhere, so that a mixture of them shows.
ClockSettings version(int i)
{
    ClockSettings s;
    s.FadeSpeed = i % 2 ? 11 : 22;
    s.ClockName = QString(4000, i % 2 ? 'a' : 'b');
    s.HandName = s.ClockName;
    return s;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 3 && args[1] == "settings") {
        const QString path = args[2] + kSettingsFileName;
        say("ready");
        for (int i = 0;; ++i) {
            IniFile ini(path);
            writeClockSettings(ini, version(i));
            ini.save();
            say("saved");
        }
    }
    if (args.size() >= 4 && args[1] == "install") {
        const QString folder = args[2];
        TTable clock, dial, hand, head, body, skins;
        for (auto [t, name] : {std::pair{&clock, "Clock"}, {&dial, "Dial"}, {&hand, "Hand"}, {&head, "Head"},
                               {&body, "Body"}, {&skins, "Skins"}})
            t->OpenTable(folder, name);
        PackageInstall install(folder, skins, {&clock, &dial, &hand, &head, &body}, 100);
        install.progress = [](int percent) { say(QByteArray::number(percent)); };
        say("ready");
        install.install(args[3]);
        return 0;
    }
    std::fputs("usage: fault_helper settings FOLDER | install FOLDER ZIP\n", stderr);
    return 2;
}
