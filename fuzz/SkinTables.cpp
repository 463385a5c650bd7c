#include "SkinTables.h"
#include "FuzzSupport.h"
#include "TableSchema.h"

#include <QDir>
#include <QFile>

namespace {

const char *const kTables[] = {"Clock", "Dial", "Hand", "Head", "Body", "Skins"};

const QString &templateFolder()
{
    static const QString folder = [] {
        const QString f = fuzzFolder() + "template/";
        QDir().mkpath(f);
        for (const char *name : kTables)
            createTable(f, standardSchema(name));
        return f;
    }();
    return folder;
}

} // namespace

SkinTables::SkinTables()
{
    static int serial = 0;
    m_folder = fuzzFolder() + QString("program%1/").arg(++serial);
    QDir().mkpath(m_folder);
    for (const char *name : kTables)
        QFile::copy(templateFolder() + name + ".db", m_folder + name + ".db");
    TTable *open[] = {&clock, &dial, &hand, &head, &body, &skins};
    for (int i = 0; i < 6; ++i)
        open[i]->OpenTable(m_folder, kTables[i]);
}

SkinTables::~SkinTables()
{
    for (TTable *t : {&clock, &dial, &hand, &head, &body, &skins})
        t->CloseTable();
    QDir(m_folder).removeRecursively();
}
