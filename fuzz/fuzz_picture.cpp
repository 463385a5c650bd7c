// The bytes of a picture field, as a table file from outside may hold them.
#include "FuzzSupport.h"
#include "PictureLimit.h"
#include "TTable.h"
#include "TableError.h"
#include "TableSchema.h"

#include <cstdlib>

namespace {

TTable &dialTable()
{
    static TTable *t = [] {
        createTable(fuzzFolder(), standardSchema("Dial"));
        auto *table = new TTable;
        table->OpenTable(fuzzFolder(), "Dial");
        table->Append();
        table->FieldByName("Name").setAsString("Fuzz");
        table->Post();
        return table;
    }();
    return *t;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TTable &t = dialTable();
    t.First();
    t.Edit();
    t.FieldByName("Image").setValue(bytesOf(data, size));
    try {
        const QImage image = t.FieldByName("Image").asPicture();
        if (size > 0 && image.isNull())
            std::abort();
        // A picture beyond the limit is refused before it is decoded.
        if (!image.isNull() && !PictureLimit::fits(image.size()))
            std::abort();
    } catch (const ETableError &) {
    }
    t.Cancel();
    return 0;
}
