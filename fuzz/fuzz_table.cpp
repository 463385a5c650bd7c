// A table file replaced by anything: opening it and reading every field of
// every record either works or ends in a table error.
#include "FuzzSupport.h"
#include "TTable.h"
#include "TableError.h"

#include <QFile>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString folder = fuzzFolder();
    for (const char *leftover : {"Dial.db-journal", "Dial.db-wal", "Dial.db-shm"})
        QFile::remove(folder + leftover);
    writeInput("Dial.db", data, size);
    try {
        TTable t;
        t.OpenTable(folder, "Dial");
        const int count = t.RecordCount();
        int seen = 0;
        for (t.First(); !t.Eof() && seen <= count; t.Next(), ++seen) {
            for (int i = 0; i < t.fields().size(); ++i) {
                TField f = t.FieldByName(t.fields()[i].name);
                f.value();
                f.IsNull();
                try {
                    if (f.DataType() == FieldType::Picture)
                        f.asPicture();
                    else
                        f.asString();
                } catch (const ETableError &) {
                }
            }
        }
        if (count > 0) {
            t.Last();
            t.setRecNo(count / 2 + 1);
            t.FindKey(QStringLiteral("Dial 006"));
        }
        t.CloseTable();
    } catch (const ETableError &) {
    }
    return 0;
}
