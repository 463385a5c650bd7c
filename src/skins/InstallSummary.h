#pragma once
#include "CatalogueMerge.h"

#include <QString>
#include <QVector>

// One package the installer went through, as the user sees its name.
struct InstalledPackage
{
    QString name;
    MergeResult result;
};

// What the installer tells the user when it is done: a line per package
// with what it brought, so that an install never ends without a word.
QString installSummary(const QVector<InstalledPackage> &packages);
