#pragma once
#include <QString>

#include <array>

class TTable;

// The five kinds of skin item, in the order the picker's tabs show them.
enum class SkinKind { Clock, Dial, Hand, Head, Body };
constexpr int kSkinKinds = 5;

// One kind of skin item: its table, and the clock's memory of the item in
// use (its name, and its record number for the face build). The name and
// number belong to whoever built the part; a part only points at them.
struct SkinPart
{
    TTable *table = nullptr;
    QString *name = nullptr;
    qint32 *recNo = nullptr;
};

// The clock's five items in use, one part per kind.
class SkinSelection
{
public:
    SkinSelection() = default;
    explicit SkinSelection(const std::array<SkinPart, kSkinKinds> &parts) : m_parts(parts) {}

    const SkinPart &operator[](SkinKind kind) const { return m_parts[size_t(kind)]; }
    const SkinPart &operator[](int tab) const { return m_parts[size_t(tab)]; }
    const SkinPart *begin() const { return m_parts.data(); }
    const SkinPart *end() const { return m_parts.data() + m_parts.size(); }

    // Puts the items named (in kind order) into use. A name not found leaves
    // the table where FindKey leaves it; an empty table keeps the name asked
    // for, so that saving does not lose it.
    void selectByName(const std::array<QString, kSkinKinds> &wanted) const;
    // Items added or removed before the ones in use have moved them: their
    // numbers are taken afresh by name.
    void renumberByName() const;
    // Every open table back on its item in use (browsing leaves no trace).
    void returnToItemsInUse() const;
    // The names to save: each table's current record, or the remembered
    // name where the table is closed or empty.
    std::array<QString, kSkinKinds> currentNames() const;

private:
    std::array<SkinPart, kSkinKinds> m_parts{};
};
