#pragma once
#include <QString>

class ClockWindow;
class SystemClock;
class TTable;

// The "Internet Time Server" window lives in a module of its own, loaded
// the first time it opens: the program starts without Qt's network module.
namespace TimeServerModule {

extern const char *const FileName;  // in the program folder
extern const char *const EntryName; // the module's one function

using Entry = void (*)(TTable &timeTable, SystemClock &clock, ClockWindow *window);

// The module's entry, from the module in `folder`. Throws
// std::runtime_error saying why when it cannot be loaded.
Entry load(const QString &folder);
// Opens the window from the module beside the program, and returns once it
// is closed.
void run(TTable &timeTable, SystemClock &clock, ClockWindow *window);

} // namespace TimeServerModule
