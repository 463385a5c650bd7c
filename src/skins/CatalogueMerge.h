#pragma once
#include "SkinSelection.h"

#include <QString>

#include <functional>

class TTable;

// The five skin tables a package's catalogue is merged into.
struct SkinTargets
{
    TTable *clock, *dial, *hand, *head, *body;
    // The tables of the clock's items in use.
    static SkinTargets of(const SkinSelection &skins);
    // The table for a name from targetTable(), or null.
    TTable *table(const QString &name) const;
};

struct MergeResult
{
    int added = 0;
    int skipped = 0; // a record of that name exists already
    int ignored = 0; // unknown category
    bool stopped = false; // the user declined an item for a newer version
};

// Merges the catalogue table of one package into the skin tables: every
// item whose exact name is not yet in its table is added with the fields of
// its kind, every other item is left alone. An item for a newer program
// version asks first (continueNewer false stops the merge; what was added
// stays). The skin tables keep standing on the records they stood on.
// The additions of one package are kept all together or, when an error
// stops the merge, not at all.
class CatalogueMerge
{
public:
    CatalogueMerge(TTable &skins, const SkinTargets &targets, qint32 appVersion);

    std::function<bool()> continueNewer;
    // Used in error messages.
    QString packageName;

    MergeResult run();

    // Checks the header of every picture the merge would copy from the
    // catalogue (damaged, or beyond PictureLimit) without changing anything;
    // throws ESkinPackage naming the package, the picture and the item.
    static void checkPictures(TTable &catalogue, const QString &packageName);

private:
    void mergeItem(TTable &target, MergeResult &result);

    TTable &m_skins;
    SkinTargets m_targets;
    qint32 m_appVersion;
};
