#pragma once
#include "ProgramFolder.h"

// A program folder with all ten tables; each skin table holds the records
// named (pictures left empty).
class ClockFolder : public ProgramFolder
{
public:
    void addSkin(const QString &table, const QString &name) const { addNamed(table, name); }
    void writeSettings(const QByteArray &ini) { write("ZindleClock.ini", ini); }
};
