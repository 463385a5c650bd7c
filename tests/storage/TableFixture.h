#pragma once
#include "TTable.h"
#include "TableSchema.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

// A program folder with empty "Dial" (keyed by Name) and "Alarm"
// (insertion order) tables, open.
class TableFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        createTable(folder.path(), standardSchema("Dial"));
        createTable(folder.path(), standardSchema("Alarm"));
        dial.OpenTable(folder.path(), "Dial");
        alarm.OpenTable(folder.path(), "Alarm");
    }

    void addDial(const QString &name, int offset = 0)
    {
        dial.Append();
        dial.FieldByName("Name").setAsString(name);
        dial.FieldByName("SecHandOffset").setAsInteger(offset);
        dial.Post();
    }

    QStringList names(TTable &t, const QString &field = "Name")
    {
        QStringList out;
        for (t.First(); !t.Eof(); t.Next())
            out << t.FieldByName(field).asString();
        return out;
    }

    TempFolder folder;
    TTable dial;
    TTable alarm;
};
