#pragma once
#include "AlarmStore.h"

class ClockWindow;
class TickControl;
struct ClockFolders;

// What the alarm windows use of the program, handed in by it: the store on
// the two alarm tables, the tick they stop around table work, the folders
// the sounds are found in, and the clock window they open beside and keep
// opaque (none: they open where Qt puts them).
class AlarmContext
{
public:
    AlarmContext(TTable &alarm, TTable &alarm2, TickControl &tick, const ClockFolders &folders,
                 ClockWindow *window = nullptr)
        : store(alarm, alarm2), tick(tick), folders(folders), window(window)
    {
    }
    AlarmContext(const AlarmContext &) = delete;
    AlarmContext &operator=(const AlarmContext &) = delete;

    AlarmStore store;
    TickControl &tick;
    const ClockFolders &folders;
    ClockWindow *const window;
    // Set by the alarm list before it opens the wizard: true, the wizard
    // edits the alarm selected in the list; false, it makes a new one.
    bool EditingAlarm = false;
};
