#pragma once
#include "CatalogueMerge.h"
#include "TTable.h"

#include <QString>

// A fresh program folder per input, copied from empty skin tables made once,
// with the five skin tables and "Skins" open.
class SkinTables
{
public:
    SkinTables();
    ~SkinTables();
    const QString &folder() const { return m_folder; }
    SkinTargets targets() { return {&clock, &dial, &hand, &head, &body}; }
    TTable clock, dial, hand, head, body, skins;

private:
    QString m_folder;
};
