#include "TimeServerModule.h"

#include <QCoreApplication>
#include <QFile>

#include <dlfcn.h>
#include <stdexcept>

namespace TimeServerModule {

const char *const FileName = "zindleclock-timeserver.so";
const char *const EntryName = "zindleclock_time_server";

Entry load(const QString &folder)
{
    const QString path = (folder.endsWith('/') ? folder : folder + '/') + FileName;
    auto fail = [&path](const char *why) {
        return std::runtime_error(QString("The Internet time server window cannot be opened: %1 (%2)")
                                      .arg(why ? QString::fromLocal8Bit(why) : QString("unknown error"), path)
                                      .toStdString());
    };
    // Never unloaded: its classes' descriptions must outlive every window.
    void *module = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!module)
        throw fail(dlerror());
    auto entry = reinterpret_cast<Entry>(dlsym(module, EntryName));
    if (!entry)
        throw fail(dlerror());
    return entry;
}

void run(TTable &timeTable, SystemClock &clock, ClockWindow *window)
{
    static Entry entry = nullptr;
    if (!entry)
        entry = load(QCoreApplication::applicationDirPath());
    entry(timeTable, clock, window);
}

} // namespace TimeServerModule
