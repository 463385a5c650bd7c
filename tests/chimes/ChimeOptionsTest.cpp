#include "DateTime.h"
#include "uChimeOptions.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace {

double hm(int h, int m) { return ZDateTime::encodeTime(h, m, 0); }

// The seven values the dialog edits; the rest keep their defaults.
ClockSettings chimes(bool voice, bool milTime, bool bells, bool cuckoo, bool quiet, double start, double end)
{
    ClockSettings s;
    s.VoiceChime = voice;
    s.MilTime = milTime;
    s.BellChime = bells;
    s.CuckooChime = cuckoo;
    s.QuietTime = quiet;
    s.QuietStart = start;
    s.QuietEnd = end;
    return s;
}

bool same(const ClockSettings &a, const ClockSettings &b)
{
    return a.VoiceChime == b.VoiceChime && a.MilTime == b.MilTime && a.BellChime == b.BellChime &&
           a.CuckooChime == b.CuckooChime && a.QuietTime == b.QuietTime && a.QuietStart == b.QuietStart &&
           a.QuietEnd == b.QuietEnd;
}

// On the indicator: a radio button takes clicks on its circle and text only.
void click(QButtonGroup *group, int item)
{
    QAbstractButton *b = group->button(item);
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
}

// Shows the dialog modally, lets the test work on it once it is up, and
// returns how it closed.
int runDialog(TfChimeOptions &dlg, const std::function<void()> &work)
{
    QTimer::singleShot(0, &dlg, work);
    return dlg.exec();
}

TEST(ChimeOptions, BothChosenOpensOnChimesWithBothVariantGroupsEnabled)
{
    ClockSettings s = chimes(true, true, true, true, false, hm(22, 0), hm(6, 0));
    s.FadeSpeed = 17;
    s.ClockName = "Mine";
    TfChimeOptions dlg(s);
    EXPECT_EQ(dlg.windowTitle(), "Hourly Chime Options");
    EXPECT_EQ(dlg.rgTypeItems->checkedId(), 2);
    EXPECT_TRUE(dlg.rgHourVoice->isEnabled());
    EXPECT_TRUE(dlg.rgChimes->isEnabled());
    EXPECT_EQ(dlg.rgHourVoiceItems->checkedId(), 1);
    EXPECT_EQ(dlg.rgChimesItems->checkedId(), 1);

    EXPECT_EQ(runDialog(dlg, [&] { QTest::mouseClick(dlg.btnOK, Qt::LeftButton); }), QDialog::Accepted);
    EXPECT_FALSE(s.VoiceChime);
    EXPECT_TRUE(s.BellChime);
    EXPECT_EQ(s.FadeSpeed, 17) << "the dialog edits its own values only";
    EXPECT_EQ(s.ClockName, "Mine");
}

TEST(ChimeOptions, TypeChoiceEnablesItsOwnVariantGroup)
{
    const struct
    {
        int type;
        bool voice, chimes;
    } cases[] = {{0, false, false}, {1, true, false}, {2, false, true}, {0, false, false}};
    ClockSettings s;
    TfChimeOptions dlg(s);
    dlg.show();
    EXPECT_FALSE(dlg.rgHourVoice->isEnabled());
    EXPECT_FALSE(dlg.rgChimes->isEnabled());
    for (const auto &c : cases) {
        click(dlg.rgTypeItems, c.type);
        EXPECT_EQ(dlg.rgHourVoice->isEnabled(), c.voice) << c.type;
        EXPECT_EQ(dlg.rgChimes->isEnabled(), c.chimes) << c.type;
    }
}

TEST(ChimeOptions, NoneKeepsTheVariantsShownInDisabledGroups)
{
    ClockSettings s = chimes(true, false, false, false, true, hm(22, 0), hm(6, 0));
    TfChimeOptions dlg(s);
    EXPECT_EQ(runDialog(dlg,
                        [&] {
                            click(dlg.rgHourVoiceItems, 1);
                            click(dlg.rgTypeItems, 2);
                            click(dlg.rgChimesItems, 1);
                            click(dlg.rgTypeItems, 0);
                            EXPECT_FALSE(dlg.rgHourVoice->isEnabled());
                            EXPECT_FALSE(dlg.rgChimes->isEnabled());
                            QTest::mouseClick(dlg.btnOK, Qt::LeftButton);
                        }),
              QDialog::Accepted);
    EXPECT_FALSE(s.VoiceChime);
    EXPECT_FALSE(s.BellChime);
    EXPECT_TRUE(s.MilTime);
    EXPECT_TRUE(s.CuckooChime);
}

TEST(ChimeOptions, QuietTimeOffStillStoresThePickers)
{
    const struct
    {
        double start, end;
    } windows[] = {{hm(22, 0), hm(6, 0)}, {hm(13, 0), hm(14, 0)}, {ZDateTime::encodeTime(23, 59, 59), 0.0}};
    for (const auto &w : windows) {
        ClockSettings s = chimes(false, false, true, false, true, hm(8, 0), hm(9, 0));
        TfChimeOptions dlg(s);
        runDialog(dlg, [&] {
            QTest::mouseClick(dlg.cbQuietTime, Qt::LeftButton);
            EXPECT_FALSE(dlg.DateTimePicker1->isEnabled());
            EXPECT_FALSE(dlg.DateTimePicker2->isEnabled());
            dlg.DateTimePicker1->setTime(ZDateTime::toQDateTime(w.start).time());
            dlg.DateTimePicker2->setTime(ZDateTime::toQDateTime(w.end).time());
            QTest::mouseClick(dlg.btnOK, Qt::LeftButton);
        });
        EXPECT_FALSE(s.QuietTime);
        EXPECT_NEAR(s.QuietStart, w.start, 1e-9);
        EXPECT_NEAR(s.QuietEnd, w.end, 1e-9);
        EXPECT_LT(s.QuietStart, 1.0);
        EXPECT_GE(s.QuietEnd, 0.0);
    }
}

TEST(ChimeOptions, OpensWithTheQuietWindowAndPickersEnabledByTheBox)
{
    // A date part in the stored value is ignored: the pickers show the time of day.
    ClockSettings s = chimes(false, false, false, false, true, 45000.0 + hm(22, 30), hm(6, 15));
    TfChimeOptions dlg(s);
    EXPECT_EQ(dlg.DateTimePicker1->time(), QTime(22, 30));
    EXPECT_EQ(dlg.DateTimePicker2->time(), QTime(6, 15));
    EXPECT_TRUE(dlg.DateTimePicker1->isEnabled());
    dlg.show();
    QTest::mouseClick(dlg.cbQuietTime, Qt::LeftButton);
    EXPECT_FALSE(dlg.DateTimePicker2->isEnabled());
    QTest::mouseClick(dlg.cbQuietTime, Qt::LeftButton);
    EXPECT_TRUE(dlg.DateTimePicker2->isEnabled());
}

TEST(ChimeOptions, CancelEscAndTheCloseBoxStoreNothing)
{
    const std::function<void(TfChimeOptions &)> closers[] = {
        [](TfChimeOptions &d) { QTest::mouseClick(d.btnCancel, Qt::LeftButton); },
        [](TfChimeOptions &d) { QTest::keyClick(&d, Qt::Key_Escape); },
        [](TfChimeOptions &d) { d.close(); },
    };
    for (const auto &closeIt : closers) {
        const ClockSettings before = chimes(false, true, true, false, true, hm(21, 0), hm(7, 0));
        ClockSettings s = before;
        TfChimeOptions dlg(s);
        EXPECT_EQ(runDialog(dlg,
                            [&] {
                                click(dlg.rgTypeItems, 1);
                                click(dlg.rgHourVoiceItems, 0);
                                QTest::mouseClick(dlg.cbQuietTime, Qt::LeftButton);
                                dlg.DateTimePicker1->setTime(QTime(1, 2, 3));
                                closeIt(dlg);
                            }),
                  QDialog::Rejected);
        EXPECT_TRUE(same(s, before));
    }
}

} // namespace
