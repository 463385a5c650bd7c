#pragma once
#include "SkinSelection.h"

// Removing an item of one kind from the picker, apart from the window.
namespace SkinRules {

// The face cannot be built without one item of each kind: the only item of
// its kind is refused before anyone is asked; any other count is asked about.
enum class RemoveVerdict { LastOfItsKind, Ask };
RemoveVerdict removeVerdict(int recordCount);

// Deletes the record the part's table stands on. The item in use stays in
// use; when it is the one removed, the record that takes its place (the
// next, or the new last) comes into use. Its number is taken afresh, as
// removing an item before it moves it. An empty table is left alone.
void removeCurrentItem(const SkinPart &part);

} // namespace SkinRules
