#pragma once
#include "TTable.h"
#include "TempFolder.h"

// A program folder with all ten tables; each skin table holds the records
// named (pictures left empty).
class ClockFolder : public TempFolder
{
public:
    ClockFolder();
    void addSkin(const QString &table, const QString &name);
    void writeSettings(const QByteArray &ini) { write("ZindleClock.ini", ini); }
};
