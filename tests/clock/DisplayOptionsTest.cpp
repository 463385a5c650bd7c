#include "ClockFolder.h"
#include "uClock.h"
#include "uDisplay.h"

#include <QCheckBox>
#include <QSlider>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class DisplayOptions : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char *t : {"Clock", "Dial", "Head", "Body", "Hand"})
            folder.addSkin(t, "only");
    }
    std::unique_ptr<TfClock> clockWith(const QByteArray &settings)
    {
        folder.writeSettings("[Path]\n" + settings);
        auto clock = std::make_unique<TfClock>(folder.path());
        clock->FormActivate();
        return clock;
    }
    ClockFolder folder;
};

} // namespace

TEST_F(DisplayOptions, OutOfRangeSettingsAreClampedOnOk)
{
    auto clock = clockWith("FadeSpeed=5\nMaxTransparency=95\n");
    TfDisplay dlg(clock.get());
    dlg.show();
    EXPECT_EQ(dlg.TrackBar6->value(), 40);
    EXPECT_EQ(dlg.TrackBar5->value(), 80);
    dlg.btnOKClick();
    EXPECT_EQ(clock->FadeSpeed, 10);
    EXPECT_EQ(clock->MaxTransparency, 80);
}

TEST_F(DisplayOptions, OkWithFadeUncheckedStaysOpaque)
{
    auto clock = clockWith("FadeEnabled=1\n");
    clock->setTransparency(40);
    TfDisplay dlg(clock.get());
    dlg.show();
    EXPECT_FALSE(clock->FadeEnabled) << "the clock stays opaque while the dialog is open";
    EXPECT_EQ(clock->getTransparency(), 0);
    dlg.cbFadeEnabled->setChecked(false);
    dlg.cbAnimation->setChecked(false);
    dlg.btnOKClick();
    EXPECT_FALSE(clock->FadeEnabled);
    EXPECT_FALSE(clock->AnimationEnabled);
    EXPECT_EQ(clock->getTransparency(), 0);
}

TEST_F(DisplayOptions, CancelRestoresTheTintExactly)
{
    auto clock = clockWith("Hue=17\nredIntensity=33\ngreenIntensity=66\nblueIntensity=99\nFadeEnabled=1\n");
    TfDisplay dlg(clock.get());
    dlg.show();
    dlg.TrackBar1->setValue(5);
    dlg.TrackBar4->setValue(200);
    EXPECT_EQ(clock->getRedIntensity(), 5) << "the tint follows the bars live";
    EXPECT_EQ(clock->getHue(), 200);
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_EQ(clock->getHue(), 17);
    EXPECT_EQ(clock->getRedIntensity(), 33);
    EXPECT_EQ(clock->getGreenIntensity(), 66);
    EXPECT_EQ(clock->getBlueIntensity(), 99);
    EXPECT_TRUE(clock->FadeEnabled);
}

TEST_F(DisplayOptions, CloseBoxKeepsTheLiveTintAndTheFadeOff)
{
    auto clock = clockWith("FadeEnabled=1\n");
    TfDisplay dlg(clock.get());
    dlg.show();
    dlg.TrackBar2->setValue(50);
    dlg.close();
    EXPECT_EQ(clock->getGreenIntensity(), 50);
    EXPECT_FALSE(clock->FadeEnabled);
}
