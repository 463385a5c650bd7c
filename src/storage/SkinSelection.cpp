#include "SkinSelection.h"
#include "TTable.h"

void SkinSelection::selectByName(const std::array<QString, kSkinKinds> &wanted) const
{
    for (int i = 0; i < kSkinKinds; ++i) {
        const SkinPart &p = m_parts[size_t(i)];
        p.table->FindKey(wanted[size_t(i)]);
        *p.recNo = p.table->RecNo();
        // Found by name, so the key is the name: the record itself, with
        // its pictures, is read only when the face is built.
        *p.name = p.table->RecordCount() > 0 ? p.table->currentKey() : wanted[size_t(i)];
    }
}

void SkinSelection::renumberByName() const
{
    for (const SkinPart &p : m_parts) {
        if (!p.table->Active())
            continue;
        p.table->FindKey(*p.name);
        *p.recNo = p.table->RecNo();
    }
}

void SkinSelection::returnToItemsInUse() const
{
    for (const SkinPart &p : m_parts)
        if (p.table->Active())
            p.table->setRecNo(*p.recNo);
}

std::array<QString, kSkinKinds> SkinSelection::currentNames() const
{
    std::array<QString, kSkinKinds> names;
    for (int i = 0; i < kSkinKinds; ++i) {
        const SkinPart &p = m_parts[size_t(i)];
        names[size_t(i)] = p.table->Active() && p.table->RecordCount() > 0 ? p.table->FieldByName("Name").asString()
                                                                             : *p.name;
    }
    return names;
}
