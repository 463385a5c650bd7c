#pragma once
#include "ClockDialog.h"

class QCheckBox;
class QSlider;
class TOrganicShapeGlassForm;
struct ClockSettings;

// "Display Options": the tint of the clock window, live, and the fade and
// animation settings, on OK. Cancel puts the tint and the fade setting back;
// the close box keeps the live tint and leaves the fade off.
class TfDisplay : public ClockDialog
{
    Q_OBJECT
public:
    // glass is the window the tint is shown on; clock pauses its fade while
    // the dialog is open (both are the main window in the program).
    TfDisplay(ClockSettings &settings, TOrganicShapeGlassForm &glass, ClockWindow *clock, QWidget *parent = nullptr);
    ~TfDisplay() override;

    void FormActivate() override;
    void btnOKClick();
    void btnCancelClick();

    QSlider *TrackBar1, *TrackBar2, *TrackBar3, *TrackBar4, *TrackBar5, *TrackBar6;
    QCheckBox *cbFadeEnabled, *cbAnimation;

    bool SavedFadeEnabled = false;
    int SavedHue = 0, SavedBlueIntensity = 0, SavedGreenIntensity = 0, SavedRedIntensity = 0;

protected:
    void FormClose() override;
    void closeEvent(QCloseEvent *e) override;
    void reject() override;

private:
    void TrackBar1Change();
    void TrackBar2Change();
    void TrackBar3Change();
    void TrackBar4Change();

    ClockSettings &m_settings;
    TOrganicShapeGlassForm &m_glass;
    bool m_closeBox = false;
};
