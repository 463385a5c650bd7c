#include "SkinRules.h"
#include "TempFolder.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace SkinRules;

TEST(PreviewRect, EachFitPlacesThePictureAsTheTabSays)
{
    struct Case
    {
        PreviewFit fit;
        QSize picture;
        QRect expected;
    } cases[] = {
        // Wider than tall: spills over both sides, 128 - 257 = -129.
        {PreviewFit::FitHeight, {300, 150}, {-129, 0, 514, 257}},
        {PreviewFit::FitHeight, {100, 200}, {128 - 64, 0, 128, 257}},
        {PreviewFit::FitHeight, {257, 257}, {0, 0, 257, 257}},
        // 7 * 257 div 3 = 599 (truncated), left 128 - 299.
        {PreviewFit::FitHeight, {7, 3}, {128 - 299, 0, 599, 257}},
        {PreviewFit::Stretch, {10, 400}, {0, 0, 257, 257}},
        {PreviewFit::OwnSizeCentred, {101, 50}, {78, 103, 101, 50}},
        {PreviewFit::OwnSizeCentred, {400, 300}, {128 - 200, 128 - 150, 400, 300}},
        {PreviewFit::FitHeight, {0, 0}, {}},
        {PreviewFit::OwnSizeCentred, {5, 0}, {}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(previewRect(c.fit, c.picture), c.expected) << c.picture.width() << "x" << c.picture.height();
}

TEST(PreviewRect, AVeryWidePictureDoesNotOverflow)
{
    const QRect r = previewRect(PreviewFit::FitHeight, {20000000, 1});
    EXPECT_GT(r.width(), 0);
    EXPECT_LT(r.left(), 0);
}

TEST(HandStrips, AreSeventyThreeWideAtTheirPlaces)
{
    EXPECT_EQ(minuteStrip().visible, QRect(16, 0, 73, 257));
    EXPECT_EQ(minuteStrip().visible.right(), 88);
    EXPECT_EQ(secondStrip().topLeft, QPoint(184, 0));
    EXPECT_EQ(secondStrip().visible.right(), 256);
}

TEST(PackageList, OnlyVisibleZipFilesSortedWithoutRegardToCase)
{
    TempFolder folder;
    for (const char *f : {"beta.zip", "Alpha.zip", "gamma.ZIP", "alpha2.zip", ".hidden.zip", "readme.txt", "zip", "a.zip.txt"})
        folder.write(f, "x");
    QDir(folder.path()).mkdir("folder.zip");
    QStringList names;
    for (const QFileInfo &f : listPackages(folder.path()))
        names << packageName(f);
    EXPECT_EQ(names, QStringList({"Alpha", "alpha2", "beta", "gamma"}));
}

TEST(PackageList, AMissingFolderIsAnError)
{
    TempFolder folder;
    EXPECT_THROW(listPackages(folder.file("skins/")), std::runtime_error);
    EXPECT_TRUE(listPackages(folder.path()).isEmpty());
}

// Installed, the user's own skins folder comes first, then the shipped one.
TEST(PackageList, TheUsersAndTheShippedFoldersSortedTogether)
{
    TempFolder own, shipped;
    own.write("mine.zip", "x");
    own.write("Zindle Sampler.zip", "the user's copy");
    shipped.write("Zindle Sampler.zip", "shipped");
    shipped.write("Basics.zip", "x");
    QStringList names, paths;
    for (const QFileInfo &f : listPackages(QStringList{own.path(), shipped.path()})) {
        names << packageName(f);
        paths << f.absoluteFilePath();
    }
    EXPECT_EQ(names, QStringList({"Basics", "mine", "Zindle Sampler"}));
    EXPECT_EQ(paths.value(2), own.file("Zindle Sampler.zip")) << "the user's file hides the shipped one";

    // A missing folder of the two is no error; only when both are missing.
    EXPECT_EQ(listPackages(QStringList{own.file("gone/"), shipped.path()}).size(), 2);
    EXPECT_THROW(listPackages(QStringList{own.file("gone/"), shipped.file("gone/")}), std::runtime_error);
}

TEST(TargetTable, CategoriesMatchWithoutRegardToCase)
{
    const std::pair<const char *, const char *> cases[] = {
        {"clock", "Clock"}, {"Clock", "Clock"}, {"DIAL", "Dial"}, {"hand", "Hand"}, {"Head", "Head"},
        {"bOdY", "Body"},   {"hands", ""},      {"", ""},         {" dial", ""},
    };
    for (const auto &[category, table] : cases)
        EXPECT_EQ(targetTable(category), QString(table)) << category;
}

TEST(ProtectedFiles, TheProgramsOwnFilesAndTheirSidecars)
{
    for (const char *name : {"ZindleClock", "zindleclock", "ZindleClock.ini", "mask_fClock.bmp", "coord.ini",
                             "ZindleClock.html", "zindleclock.desktop", "Clock.db", "clock.DB", "Alarm2.db",
                             "Product.db", "Time.db", "Clock.db-journal", "Dial.db-wal", "Hand.bak", "Hand.db.bak",
                             "Skins.db-journal", "Skins.db-wal", "INSTALLED", "installed", "zindleclock.svg",
                             "zindleclock-16.png", "ZindleClock-64.PNG"})
        EXPECT_TRUE(isProtectedFile(name)) << name;
    for (const char *name : {"Skins.db", "dial006.bmp", "Clocks.db", "readme.txt", "ZindleClock2.ini", "zindleclock-20.png",
                             "zindleclock.png"})
        EXPECT_FALSE(isProtectedFile(name)) << name;
}
