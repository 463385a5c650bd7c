#pragma once
#include "TTable.h"
#include "TempFolder.h"

#include <functional>

// A fresh program folder holding all ten tables, empty.
class ProgramFolder : public TempFolder
{
public:
    ProgramFolder();
    // Appends a record with that name; fill sets its other fields.
    void addNamed(const QString &table, const QString &name, const std::function<void(TTable &)> &fill = {}) const;
    // Copies every file into another folder (a mount point); false when
    // one could not be copied.
    bool copyTo(const QString &folder) const;
};
