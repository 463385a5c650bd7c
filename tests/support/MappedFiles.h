#pragma once
#include <QString>

// Whether a file whose path contains `part` is mapped into this process
// now (/proc/self/maps): what the loader has brought in so far.
bool isMapped(const QString &part);

// The most memory this process has held resident so far (VmHWM), in KiB.
qint64 peakResidentKilobytes();
