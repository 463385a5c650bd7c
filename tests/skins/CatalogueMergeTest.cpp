#include "CatalogueMerge.h"
#include "PictureBytes.h"
#include "SkinFolder.h"
#include "SkinPackageError.h"
#include "TableSchema.h"

#include <gtest/gtest.h>

namespace {

// The five skin tables of a program folder and a package catalogue beside them.
class Merge : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (TTable *t : all())
            t->setTableName(t == &clock ? "Clock" : t == &dial ? "Dial" : t == &hand ? "Hand" : t == &head ? "Head" : "Body");
        folder.addItem("Clock", "Pocket");
        folder.addItem("Dial", "Dial 006");
        folder.addItem("Hand", "Cowboy 01");
        folder.addItem("Head", "Mopp");
        folder.addItem("Body", "Cowboy");
        for (TTable *t : all())
            t->OpenTable(folder.path(), t->TableName());
    }
    QVector<TTable *> all() { return {&clock, &dial, &hand, &head, &body}; }
    SkinTargets targets() { return {&clock, &dial, &hand, &head, &body}; }

    MergeResult merge(const QVector<CatalogueItem> &items, const std::function<bool()> &answer = {})
    {
        writeCatalogue(package.path(), items);
        TTable skins;
        skins.OpenTable(package.path(), "Skins");
        CatalogueMerge m(skins, targets(), 100);
        m.packageName = "test";
        m.continueNewer = [&] {
            ++questions;
            return answer ? answer() : true;
        };
        return m.run();
    }

    SkinFolder folder;
    TempFolder package;
    TTable clock, dial, hand, head, body;
    int questions = 0;
};

} // namespace

TEST_F(Merge, TheSameDialFromTwoPackagesIsAddedOnce)
{
    EXPECT_EQ(merge({{"dial", "Brass"}}).added, 1);
    const MergeResult second = merge({{"dial", "Brass"}, {"dial", "Steel"}});
    EXPECT_EQ(second.added, 1);
    EXPECT_EQ(second.skipped, 1);
    EXPECT_EQ(namesOf(dial), QStringList({"Brass", "Dial 006", "Steel"}));
}

TEST_F(Merge, CategoriesIgnoreCaseButNamesDoNot)
{
    const MergeResult r = merge({{"Clock", "Alarm Clock"}, {"DIAL", "Big"}, {"dial", "dial 006"}, {"dial", "Dial 006"},
                                 {"hands", "Misspelt"}, {"", "NoKind"}});
    EXPECT_EQ(r.added, 3);
    EXPECT_EQ(r.skipped, 1);
    EXPECT_EQ(r.ignored, 2);
    EXPECT_EQ(namesOf(clock), QStringList({"Alarm Clock", "Pocket"}));
    // "dial 006" differs from "Dial 006" in case only: a second item.
    EXPECT_EQ(namesOf(dial), QStringList({"Big", "Dial 006", "dial 006"}));
}

TEST_F(Merge, NewerVersionQuestion)
{
    const QVector<CatalogueItem> items = {{"head", "First"}, {"head", "Second", 101}, {"head", "Third"}};
    struct Case
    {
        bool yes;
        QStringList heads;
    } cases[] = {{false, {"First", "Mopp"}}, {true, {"First", "Mopp", "Second", "Third"}}};
    for (const Case &c : cases) {
        questions = 0;
        const MergeResult r = merge(items, [&] { return c.yes; });
        EXPECT_EQ(questions, 1);
        EXPECT_EQ(r.stopped, !c.yes);
        EXPECT_EQ(namesOf(head), c.heads) << (c.yes ? "Yes" : "No");
        for (const char *added : {"First", "Second", "Third"})
            if (head.FindKey(added))
                head.Delete();
    }
}

TEST_F(Merge, TheVersionIsAskedBeforeTheItemIsLookedAt)
{
    // A duplicate and an unknown kind still ask, and each asks once.
    merge({{"body", "Cowboy", 150}, {"robot", "R2", 101}, {"body", "Cowboy", 100}});
    EXPECT_EQ(questions, 2);
    EXPECT_EQ(namesOf(body), QStringList({"Cowboy"}));
}

TEST_F(Merge, EveryKindBringsItsFields)
{
    CatalogueItem clockItem{"clock", "Tower", 100, "tall", 7, true};
    merge({clockItem, {"dial", "Roman", 100, "xii", -3}, {"hand", "Swords", 100, "sharp", 0, true},
           {"head", "Cat", 100, "meow", 11}, {"body", "Robe", 100, "long", -9}});
    TTable skins;
    skins.OpenTable(package.path(), "Skins");
    const QVariant clockPicture = (skins.First(), skins.FieldByName("image").value());
    const QVariant animation = skins.FieldByName("AnimationImage").value();

    ASSERT_TRUE(clock.FindKey("Tower"));
    EXPECT_EQ(clock.FieldByName("Notes").asString(), "tall");
    EXPECT_EQ(clock.FieldByName("Image").value(), clockPicture);
    EXPECT_EQ(clock.FieldByName("AnimationImage").value(), animation);
    for (const char *f : {"Left", "Top", "AnimationLeft", "AnimationTop", "AnimationFrames"})
        EXPECT_EQ(clock.FieldByName(f).asInteger(), 7) << f;
    EXPECT_TRUE(clock.FieldByName("AnimationFlag").asBoolean());
    EXPECT_TRUE(clock.FieldByName("AnimationTrans").asBoolean());

    ASSERT_TRUE(dial.FindKey("Roman"));
    EXPECT_EQ(dial.FieldByName("SecHandOffset").asInteger(), -3);
    EXPECT_FALSE(dial.FieldByName("Image").IsNull());
    ASSERT_TRUE(hand.FindKey("Swords"));
    for (const char *f : {"SecHandBehind", "MinHandBehind", "HourHandBehind"})
        EXPECT_TRUE(hand.FieldByName(f).asBoolean()) << f;
    for (const char *f : {"imgHour", "imgMinute", "imgSecond"})
        EXPECT_FALSE(hand.FieldByName(f).asPicture().isNull()) << f;
    EXPECT_EQ(hand.FieldByName("Notes").asString(), "sharp");
    ASSERT_TRUE(head.FindKey("Cat"));
    EXPECT_EQ(head.FieldByName("Left").asInteger(), 11);
    EXPECT_EQ(head.FieldByName("Top").asInteger(), 11);
    ASSERT_TRUE(body.FindKey("Robe"));
    for (const char *f : {"BodyLeft", "BodyTop", "HeadLeft", "HeadTop"})
        EXPECT_EQ(body.FieldByName(f).asInteger(), -9) << f;
}

TEST_F(Merge, TablesStayOnTheirRecordsAndBoundControlsRestOnce)
{
    int changes = 0;
    QObject::connect(&clock, &TTable::changed, [&] { ++changes; });
    merge({{"clock", "Alpha"}, {"clock", "Zulu"}, {"clock", "Pocket"}});
    EXPECT_EQ(clock.FieldByName("Name").asString(), "Pocket");
    EXPECT_EQ(clock.RecNo(), 2) << "Alpha sorts before the clock in use";
    EXPECT_EQ(changes, 1) << "the controls follow once, at the end";
}

TEST_F(Merge, ADamagedPictureRefusesTheWholePackage)
{
    writeCatalogue(package.path(), {{"dial", "Good"}, {"dial", "Bad"}});
    {
        TTable raw;
        raw.OpenTable(package.path(), "Skins");
        raw.Last();
        raw.Edit();
        raw.FieldByName("image").setValue(QByteArray("this is no picture"));
        raw.Post();
    }
    TTable skins;
    skins.OpenTable(package.path(), "Skins");
    CatalogueMerge m(skins, targets(), 100);
    m.packageName = "broken";
    try {
        m.run();
        FAIL() << "the package was taken";
    } catch (const ESkinPackage &e) {
        EXPECT_TRUE(e.message().contains("broken")) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains("Bad"));
    }
    EXPECT_EQ(namesOf(dial), QStringList({"Dial 006"}));
    EXPECT_EQ(dial.FieldByName("Name").asString(), "Dial 006");
    // The tables work on after the refusal.
    EXPECT_EQ(merge({{"dial", "Good"}}).added, 1);
}

// The header is enough to refuse a picture bomb, in any picture field: the
// message names the package, the field and the item.
TEST_F(Merge, APictureBeyondTheLimitRefusesTheWholePackage)
{
    const struct
    {
        const char *category;
        const char *field;
        int width, height;
    } cases[] = {
        {"hand", "imgSecond", 8000, 8000},
        {"clock", "image", 8000, 8000},
        {"clock", "AnimationImage", 200, 4097},
        {"dial", "image", 4097, 4097},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.field);
        writeCatalogue(package.path(), {{"dial", "Fine"}, {c.category, "Big"}});
        {
            TTable raw;
            raw.OpenTable(package.path(), "Skins");
            raw.Last(); // insertion order
            raw.Edit();
            raw.FieldByName(c.field).setValue(pngBytes(c.width, c.height));
            raw.Post();
        }
        TTable skins;
        skins.OpenTable(package.path(), "Skins");
        CatalogueMerge m(skins, targets(), 100);
        m.packageName = "bomb.zip";
        try {
            m.run();
            ADD_FAILURE() << "the package was taken";
        } catch (const ESkinPackage &e) {
            EXPECT_EQ(e.message(), QString("Skin package bomb.zip: the picture %1 of item 'Big' is %2 x %3 pixels, "
                                           "larger than the 4096 x 4096 a picture may have")
                                       .arg(c.field)
                                       .arg(c.width)
                                       .arg(c.height));
        }
        EXPECT_EQ(namesOf(dial), QStringList({"Dial 006"}));
    }
    // At the limit a picture is taken.
    writeCatalogue(package.path(), {{"hand", "Largest"}});
    {
        TTable raw;
        raw.OpenTable(package.path(), "Skins");
        raw.First();
        raw.Edit();
        raw.FieldByName("imgHour").setValue(pngBytes(4096, 4096));
        raw.Post();
    }
    TTable skins;
    skins.OpenTable(package.path(), "Skins");
    CatalogueMerge m(skins, targets(), 100);
    EXPECT_EQ(m.run().added, 1);
}

TEST_F(Merge, AnEmptyCatalogueAddsNothing)
{
    const MergeResult r = merge({});
    EXPECT_EQ(r.added + r.skipped + r.ignored, 0);
    EXPECT_EQ(questions, 0);
}
