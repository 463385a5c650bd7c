#include "PictureBytes.h"
#include "SkinFolder.h"
#include "SkinPreview.h"
#include "SkinDialogsFor.h"

#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

class Picker : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char *n : {"A", "B", "C"})
            folder.addItem("Clock", n, solid(300, 150, Qt::red), QString("notes of ") + n);
        for (const char *n : {"D1", "D2", "D3"})
            folder.addItem("Dial", n);
        for (const char *n : {"H1", "H2"})
            folder.addItem("Hand", n, solid(5, 40, Qt::black));
        folder.addItem("Head", "Mopp");
        for (const char *n : {"Cowboy", "Robe"})
            folder.addItem("Body", n);
        clock = folder.startClock("ClockName=B\nDialName=D2\nHandName=H1\nHeadName=Mopp\nBodyName=Cowboy\n");
        picker = pickSkinsFor(*clock);
        picker->show();
    }
    void TearDown() override { EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join("\n").toStdString(); }

    void click(QAbstractButton *b) { QTest::mouseClick(b, Qt::LeftButton); }
    QString shown() const { return picker->lblName->text(); }

    CollectedErrors errors;
    ScriptedAnswers answers;
    SkinFolder folder;
    std::unique_ptr<TfClock> clock;
    std::unique_ptr<TfPickSkins> picker;
};

} // namespace

TEST_F(Picker, OpensOnTheClockInUseWithTheFadePaused)
{
    EXPECT_EQ(picker->PageControl1->currentIndex(), 0);
    EXPECT_EQ(shown(), "B");
    EXPECT_EQ(picker->lblNotes->text(), "notes of B");
    EXPECT_FALSE(clock->fadeEnabled());
    EXPECT_EQ(clock->getTransparency(), 0);
    EXPECT_TRUE(picker->SavedFadeEnabled());
    click(picker->btnClose);
    EXPECT_TRUE(clock->fadeEnabled());
}

TEST_F(Picker, BrowsingThenClosingWithoutApplyLeavesNoTrace)
{
    click(picker->navNext);
    EXPECT_EQ(shown(), "C");
    EXPECT_EQ(clock->tblClock.FieldByName("Name").asString(), "C") << "browsing moves the clock's own table";
    click(picker->btnClose);
    EXPECT_FALSE(picker->isVisible());
    EXPECT_EQ(clock->tblClock.FieldByName("Name").asString(), "B");
    EXPECT_EQ(clock->ClockRecNo, 2);
    EXPECT_EQ(clock->Settings.ClockName, "B");
    clock->SaveSettings();
    EXPECT_TRUE(folder.read("ZindleClock.ini").contains("ClockName=B"));
}

TEST_F(Picker, ATabShowsItsItemInUseNotTheBrowsedOne)
{
    picker->PageControl1->setCurrentIndex(1);
    EXPECT_EQ(shown(), "D2");
    click(picker->navLast);
    EXPECT_EQ(shown(), "D3");
    picker->PageControl1->setCurrentIndex(4);
    EXPECT_EQ(shown(), "Cowboy");
    picker->PageControl1->setCurrentIndex(1);
    EXPECT_EQ(shown(), "D2");
    EXPECT_EQ(clock->tblDial.FieldByName("Name").asString(), "D2");
}

TEST_F(Picker, ApplyPutsTheBrowsedItemIntoUseAndStaysOpen)
{
    picker->PageControl1->setCurrentIndex(1);
    click(picker->navFirst);
    click(picker->btnApply);
    EXPECT_EQ(clock->Settings.DialName, "D1");
    EXPECT_EQ(clock->DialRecNo, 1);
    EXPECT_EQ(clock->Settings.ClockName, "B") << "only the open tab's table is concerned";
    EXPECT_TRUE(picker->isVisible());
    click(picker->btnClose);
    EXPECT_EQ(clock->tblDial.FieldByName("Name").asString(), "D1");
}

TEST_F(Picker, Remove)
{
    struct Case
    {
        const char *browseTo; // on the clock tab; empty: stay on the item in use
        const char *inUse;    // in use before
        const char *inUseAfter;
        int recNoAfter;
    } cases[] = {
        {"C", "B", "B", 2}, // not in use, after it
        {"A", "B", "B", 1}, // not in use, before it: the number shifts
        {"", "C", "B", 2},  // in use and last: the new last one
        {"", "B", "C", 2},  // in use, not last: the next one
    };
    for (const Case &c : cases) {
        SkinFolder f;
        for (const char *n : {"A", "B", "C"})
            f.addItem("Clock", n);
        for (const char *t : {"Dial", "Hand", "Head", "Body"})
            f.addItem(t, "only");
        auto k = f.startClock(QByteArray("ClockName=") + c.inUse + "\n");
        auto picker = pickSkinsFor(*k);
        TfPickSkins &p = *picker;
        p.show();
        if (*c.browseTo)
            k->tblClock.FindKey(c.browseTo);
        answers.answer(QMessageBox::Yes);
        click(p.btnRemove);
        ASSERT_FALSE(answers.asked.isEmpty());
        EXPECT_EQ(answers.asked.last().text, "Remove this item\nAre you sure?");
        EXPECT_EQ(answers.asked.last().icon, QMessageBox::Information);
        EXPECT_TRUE(k->SkinRemoved);
        EXPECT_EQ(k->tblClock.RecordCount(), 2);
        EXPECT_EQ(k->Settings.ClockName, c.inUseAfter) << c.browseTo << c.inUse;
        EXPECT_EQ(k->ClockRecNo, c.recNoAfter) << c.browseTo << c.inUse;
        EXPECT_EQ(p.lblName->text(), c.inUseAfter) << "the picker shows the item in use afterwards";
        click(p.btnClose);
        EXPECT_EQ(k->tblClock.FieldByName("Name").asString(), c.inUseAfter);
    }
}

TEST_F(Picker, AnsweringNoRemovesNothing)
{
    answers.answer(QMessageBox::No);
    click(picker->btnRemove);
    EXPECT_EQ(answers.asked.size(), 1);
    EXPECT_FALSE(clock->SkinRemoved);
    EXPECT_EQ(clock->tblClock.RecordCount(), 3);
}

TEST_F(Picker, TheLastItemOfATableIsNotRemoved)
{
    picker->PageControl1->setCurrentIndex(3);
    click(picker->btnRemove);
    ASSERT_EQ(answers.asked.size(), 1);
    EXPECT_EQ(answers.asked[0].text, TfPickSkins::lastItemText()) << "a notice, not the question";
    EXPECT_EQ(clock->tblHead.RecordCount(), 1);
    EXPECT_FALSE(clock->SkinRemoved);
}

TEST_F(Picker, PreviewsFollowTheTabsRule)
{
    EXPECT_EQ(picker->imgPreview->mainRect(), QRect(-129, 0, 514, 257));
    EXPECT_FALSE(picker->imgPreview->handsShown());
    picker->PageControl1->setCurrentIndex(1);
    EXPECT_EQ(picker->imgPreview->mainRect(), QRect(0, 0, 257, 257));
    picker->PageControl1->setCurrentIndex(2);
    EXPECT_EQ(picker->imgPreview->mainRect(), QRect(126, 108, 5, 40));
    EXPECT_TRUE(picker->imgPreview->handsShown());
    picker->PageControl1->setCurrentIndex(4);
    EXPECT_EQ(picker->imgPreview->mainRect(), QRect(126, 126, 4, 4));
    EXPECT_FALSE(picker->imgPreview->handsShown());
}

TEST_F(Picker, ThePreviewLeavesOutTheBottomLeftColourAndCutsAtTheStrips)
{
    // A minute hand wider than its strip, with its key colour at the
    // bottom-left corner and once more near the top.
    QImage minute = solid(100, 10, Qt::green);
    minute.setPixelColor(0, 9, Qt::magenta);
    minute.setPixelColor(5, 0, Qt::magenta);
    clock->tblHand.Edit();
    clock->tblHand.FieldByName("imgMinute").setAsPicture(minute);
    clock->tblHand.Post();
    picker->PageControl1->setCurrentIndex(2);
    const QImage drawn = picker->imgPreview->grab().toImage();
    EXPECT_EQ(drawn.pixelColor(16 + 2, 2), QColor(Qt::green));
    EXPECT_EQ(drawn.pixelColor(16 + 5, 0), QColor(Qt::white)) << "the key colour is not drawn";
    EXPECT_EQ(drawn.pixelColor(88, 2), QColor(Qt::green));
    EXPECT_EQ(drawn.pixelColor(89, 2), QColor(Qt::white)) << "cut at the strip's edge";
    // The hour hand is solid black, its own key colour: nothing of it shows.
    EXPECT_EQ(drawn.pixelColor(128, 128), QColor(Qt::white));
}

// Browsing onto an item whose picture is a bomb: the picker says so, naming
// the table and the field, and goes on; nothing is decoded.
TEST_F(Picker, APictureBeyondTheLimitIsReportedNotShown)
{
    clock->tblDial.FindKey("D3");
    clock->tblDial.Edit();
    clock->tblDial.FieldByName("Image").setValue(pngBytes(8000, 8000));
    clock->tblDial.Post();
    clock->tblDial.FindKey("D2");
    picker->PageControl1->setCurrentIndex(1);
    EXPECT_EQ(shown(), "D2");
    click(picker->navNext);
    EXPECT_EQ(shown(), "D3");
    EXPECT_EQ(errors.texts, QStringList({QString("The picture in field 'Image' of table Dial (%1) is 8000 x 8000 "
                                                 "pixels, larger than the 4096 x 4096 a picture may have")
                                             .arg(clock->tblDial.FileName())}));
    errors.texts.clear();
    click(picker->navPrior);
    EXPECT_EQ(shown(), "D2");
    EXPECT_EQ(picker->imgPreview->mainRect(), QRect(0, 0, 257, 257));
    EXPECT_TRUE(errors.texts.isEmpty());
}

// The picker needs no clock window: five tables, the memory of the items in
// use and the two callbacks are all it works on.
TEST(PickerAlone, ApplyAndRemoveReachTheSelectionAndTheCallbacks)
{
    CollectedErrors errors;
    ScriptedAnswers answers;
    SkinFolder folder;
    for (const char *n : {"A", "B", "C"})
        folder.addItem("Clock", n);
    const char *kinds[kSkinKinds] = {"Clock", "Dial", "Hand", "Head", "Body"};
    for (int i = 1; i < kSkinKinds; ++i)
        folder.addItem(kinds[i], "only");
    TTable tables[kSkinKinds];
    QString names[kSkinKinds];
    qint32 recNos[kSkinKinds] = {};
    std::array<SkinPart, kSkinKinds> parts;
    for (int i = 0; i < kSkinKinds; ++i) {
        tables[i].OpenTable(folder.path(), kinds[i]);
        names[i] = i == 0 ? "A" : "only";
        tables[i].FindKey(names[i]);
        recNos[i] = tables[i].RecNo();
        parts[size_t(i)] = {&tables[i], &names[i], &recNos[i]};
    }
    int rebuilt = 0, removed = 0;
    TfPickSkins p(nullptr, SkinSelection(parts), [&] { ++rebuilt; }, [&] { ++removed; });
    p.show();
    EXPECT_EQ(p.lblName->text(), "A");

    tables[0].FindKey("C");
    QTest::mouseClick(p.btnApply, Qt::LeftButton);
    EXPECT_EQ(names[0], "C");
    EXPECT_EQ(recNos[0], 3);
    EXPECT_EQ(rebuilt, 1);

    answers.answer(QMessageBox::Yes);
    QTest::mouseClick(p.btnRemove, Qt::LeftButton);
    EXPECT_EQ(removed, 1);
    EXPECT_EQ(rebuilt, 2);
    EXPECT_EQ(names[0], "B") << "the last one, in use, gives way to the new last";
    EXPECT_EQ(recNos[0], 2);

    tables[0].First();
    QTest::mouseClick(p.btnClose, Qt::LeftButton);
    EXPECT_EQ(tables[0].FieldByName("Name").asString(), "B") << "closing puts the table back on the item in use";
    EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join("\n").toStdString();
}
