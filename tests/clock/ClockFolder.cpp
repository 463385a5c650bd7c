#include "ClockFolder.h"
#include "TableSchema.h"

#include <QImage>

ClockFolder::ClockFolder()
{
    for (const TableSchema &s : standardSchemas())
        createTable(path(), s);
}

void ClockFolder::addSkin(const QString &table, const QString &name)
{
    TTable t;
    t.OpenTable(path(), table);
    t.Append();
    t.FieldByName("Name").setAsString(name);
    t.Post();
}
