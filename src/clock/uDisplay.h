#pragma once
#include <QDialog>

class QCheckBox;
class QSlider;
class TfClock;

// "Display Options": the tint of the clock, live, and the fade and
// animation settings, on OK.
class TfDisplay : public QDialog
{
    Q_OBJECT
public:
    explicit TfDisplay(TfClock *clock, QWidget *parent = nullptr);

    void FormActivate();
    void btnOKClick();
    void btnCancelClick();

    QSlider *TrackBar1, *TrackBar2, *TrackBar3, *TrackBar4, *TrackBar5, *TrackBar6;
    QCheckBox *cbFadeEnabled, *cbAnimation;

    bool SavedFadeEnabled = false;
    int SavedHue = 0, SavedBlueIntensity = 0, SavedGreenIntensity = 0, SavedRedIntensity = 0;

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void reject() override;

private:
    void TrackBar1Change();
    void TrackBar2Change();
    void TrackBar3Change();
    void TrackBar4Change();

    TfClock *m_clock;
    bool m_prepared = false;
    bool m_closeBox = false;
};
