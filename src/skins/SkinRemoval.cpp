#include "SkinRemoval.h"
#include "TTable.h"

namespace SkinRules {

RemoveVerdict removeVerdict(int recordCount)
{
    return recordCount == 1 ? RemoveVerdict::LastOfItsKind : RemoveVerdict::Ask;
}

void removeCurrentItem(const SkinPart &part)
{
    TTable &t = *part.table;
    if (t.RecordCount() == 0)
        return;
    const QString removed = t.FieldByName("Name").asString();
    t.Delete();
    if (removed == *part.name)
        *part.name = t.FieldByName("Name").asString();
    t.FindKey(*part.name);
    *part.recNo = t.RecNo();
}

} // namespace SkinRules
