#include "ClockSettings.h"
#include "ClockWindow.h"
#include "OrganicShapeGlassForm.h"
#include "uDisplay.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace {

// What the dialog is given in the program: the settings, the glass window it
// tints, and the clock whose fade it pauses (the fade setting lives in the
// settings, as in the main window).
class DisplayOptions : public ::testing::Test, public ClockWindow
{
protected:
    QWidget *clockWidget() override { return &glass; }
    bool fadeEnabled() const override { return settings.FadeEnabled; }
    void setFadeEnabled(bool on) override { settings.FadeEnabled = on; }
    void showOpaque() override { glass.setTransparency(0); }

    // The tint in the order the clock applies it from the settings file.
    void tint(int hue, int red, int green, int blue)
    {
        glass.setHue(hue);
        glass.setRedIntensity(red);
        glass.setGreenIntensity(green);
        glass.setBlueIntensity(blue);
    }
    std::unique_ptr<TfDisplay> dialog() { return std::make_unique<TfDisplay>(settings, glass, this); }

    ClockSettings settings;
    TOrganicShapeGlassForm glass{TOrganicShapeGlassForm::GlassMode::Layered};
};

} // namespace

TEST_F(DisplayOptions, OutOfRangeSettingsAreClampedOnOk)
{
    settings.FadeSpeed = 5;
    settings.MaxTransparency = 95;
    auto dlg = dialog();
    dlg->show();
    EXPECT_EQ(dlg->TrackBar6->value(), 40);
    EXPECT_EQ(dlg->TrackBar5->value(), 80);
    dlg->btnOKClick();
    EXPECT_EQ(settings.FadeSpeed, 10);
    EXPECT_EQ(settings.MaxTransparency, 80);
}

TEST_F(DisplayOptions, OkWithFadeUncheckedStaysOpaque)
{
    settings.FadeEnabled = true;
    glass.setTransparency(40);
    auto dlg = dialog();
    dlg->show();
    EXPECT_FALSE(settings.FadeEnabled) << "the clock stays opaque while the dialog is open";
    EXPECT_EQ(glass.getTransparency(), 0);
    dlg->cbFadeEnabled->setChecked(false);
    dlg->cbAnimation->setChecked(false);
    dlg->btnOKClick();
    EXPECT_FALSE(settings.FadeEnabled);
    EXPECT_FALSE(settings.AnimationEnabled);
    EXPECT_EQ(glass.getTransparency(), 0);
}

TEST_F(DisplayOptions, OkKeepsTheFadeCheckedWhenTheDialogIsGone)
{
    // The pause while the dialog is open must not put its own saved value
    // over the one OK chose.
    settings.FadeEnabled = false;
    {
        auto dlg = dialog();
        dlg->show();
        EXPECT_FALSE(dlg->cbFadeEnabled->isChecked());
        dlg->cbFadeEnabled->setChecked(true);
        QTest::mouseClick(dlg->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    }
    EXPECT_TRUE(settings.FadeEnabled);
}

TEST_F(DisplayOptions, CancelRestoresTheTintExactly)
{
    tint(17, 33, 66, 99);
    settings.FadeEnabled = true;
    auto dlg = dialog();
    dlg->show();
    dlg->TrackBar1->setValue(5);
    dlg->TrackBar4->setValue(200);
    EXPECT_EQ(glass.getRedIntensity(), 5) << "the tint follows the bars live";
    EXPECT_EQ(glass.getHue(), 200);
    QTest::keyClick(dlg.get(), Qt::Key_Escape);
    EXPECT_EQ(glass.getHue(), 17);
    EXPECT_EQ(glass.getRedIntensity(), 33);
    EXPECT_EQ(glass.getGreenIntensity(), 66);
    EXPECT_EQ(glass.getBlueIntensity(), 99);
    EXPECT_TRUE(settings.FadeEnabled);
}

TEST_F(DisplayOptions, CloseBoxKeepsTheLiveTintAndTheFadeOff)
{
    settings.FadeEnabled = true;
    auto dlg = dialog();
    dlg->show();
    dlg->TrackBar2->setValue(50);
    dlg->close();
    EXPECT_EQ(glass.getGreenIntensity(), 50);
    EXPECT_FALSE(settings.FadeEnabled);
}
