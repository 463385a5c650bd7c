#pragma once
#include <QString>

// Whether a file whose path contains `part` is mapped into this process
// now (/proc/self/maps): what the loader has brought in so far.
bool isMapped(const QString &part);
