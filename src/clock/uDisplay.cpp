#include "uDisplay.h"
#include "ClockSettings.h"
#include "ClockWindow.h"
#include "OrganicShapeGlassForm.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace {

QSlider *trackBar(int min, int max, int position)
{
    auto *bar = new QSlider(Qt::Horizontal);
    bar->setRange(min, max);
    bar->setValue(position);
    bar->setTickPosition(QSlider::TicksBelow);
    bar->setTickInterval(max - min);
    bar->setMinimumWidth(161);
    return bar;
}

} // namespace

TfDisplay::TfDisplay(ClockSettings &settings, TOrganicShapeGlassForm &glass, ClockWindow *clock, QWidget *parent)
    : ClockDialog(clock, Fade::Pause, parent), m_settings(settings), m_glass(glass)
{
    setObjectName("fDisplay");
    setWindowTitle(tr("Display Options"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    TrackBar1 = trackBar(0, 100, 100);
    TrackBar2 = trackBar(0, 100, 100);
    TrackBar3 = trackBar(0, 100, 100);
    TrackBar4 = trackBar(0, 360, 100);
    TrackBar5 = trackBar(0, 80, 60);
    TrackBar6 = trackBar(10, 40, 10);
    cbFadeEnabled = new QCheckBox(tr("Fade Enabled"));
    cbFadeEnabled->setChecked(true);
    cbAnimation = new QCheckBox(tr("Enable Animation"));

    auto *colour = new QGroupBox(tr("Color"));
    auto *cg = new QGridLayout(colour);
    cg->addWidget(new QLabel(tr("Red")), 0, 0);
    cg->addWidget(TrackBar1, 0, 1);
    cg->addWidget(new QLabel(tr("Green")), 1, 0);
    cg->addWidget(TrackBar2, 1, 1);
    cg->addWidget(new QLabel(tr("Blue")), 2, 0);
    cg->addWidget(TrackBar3, 2, 1);
    cg->addWidget(new QLabel(tr("Hue")), 3, 0);
    cg->addWidget(TrackBar4, 3, 1);
    auto *fade = new QGroupBox(tr("Fade"));
    auto *fg = new QGridLayout(fade);
    fg->addWidget(new QLabel(tr("Max.")), 0, 0);
    fg->addWidget(TrackBar5, 0, 1);
    fg->addWidget(new QLabel(tr("Speed")), 1, 0);
    fg->addWidget(TrackBar6, 1, 1);
    fg->addWidget(cbFadeEnabled, 2, 0, 1, 2);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        btnOKClick();
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &TfDisplay::reject);

    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(colour);
    layout->addWidget(fade);
    layout->addWidget(cbAnimation);
    layout->addWidget(buttons);

    connect(TrackBar1, &QSlider::valueChanged, this, &TfDisplay::TrackBar1Change);
    connect(TrackBar2, &QSlider::valueChanged, this, &TfDisplay::TrackBar2Change);
    connect(TrackBar3, &QSlider::valueChanged, this, &TfDisplay::TrackBar3Change);
    connect(TrackBar4, &QSlider::valueChanged, this, &TfDisplay::TrackBar4Change);
}

TfDisplay::~TfDisplay() { closeIfOpen(); }

void TfDisplay::FormActivate()
{
    // The base has paused the fade and made the clock opaque by now.
    SavedFadeEnabled = clockWindow() ? savedFadeEnabled() : m_settings.FadeEnabled;
    cbAnimation->setChecked(m_settings.AnimationEnabled);
    cbFadeEnabled->setChecked(SavedFadeEnabled);
    SavedHue = m_glass.getHue();
    SavedBlueIntensity = m_glass.getBlueIntensity();
    SavedGreenIntensity = m_glass.getGreenIntensity();
    SavedRedIntensity = m_glass.getRedIntensity();
    // Positions outside a bar's range are clamped by the bar itself.
    TrackBar6->setValue(fadeSpeedBarPosition(m_settings.FadeSpeed));
    TrackBar5->setValue(m_settings.MaxTransparency);
    TrackBar4->setValue(m_glass.getHue());
    TrackBar3->setValue(m_glass.getBlueIntensity());
    TrackBar2->setValue(m_glass.getGreenIntensity());
    TrackBar1->setValue(m_glass.getRedIntensity());
}

void TfDisplay::TrackBar1Change()
{
    m_glass.setRedIntensity(TrackBar1->value());
    TrackBar4->setValue(m_glass.getHue());
}

void TfDisplay::TrackBar2Change()
{
    m_glass.setGreenIntensity(TrackBar2->value());
    TrackBar4->setValue(m_glass.getHue());
}

void TfDisplay::TrackBar3Change()
{
    m_glass.setBlueIntensity(TrackBar3->value());
    TrackBar4->setValue(m_glass.getHue());
}

void TfDisplay::TrackBar4Change()
{
    m_glass.setHue(TrackBar4->value());
    TrackBar3->setValue(m_glass.getBlueIntensity());
    TrackBar2->setValue(m_glass.getGreenIntensity());
    TrackBar1->setValue(m_glass.getRedIntensity());
}

void TfDisplay::btnOKClick()
{
    m_settings.FadeEnabled = cbFadeEnabled->isChecked();
    m_settings.AnimationEnabled = cbAnimation->isChecked();
    if (!m_settings.FadeEnabled && clockWindow())
        clockWindow()->showOpaque();
    m_settings.MaxTransparency = TrackBar5->value();
    m_settings.FadeSpeed = fadeSpeedFromBar(TrackBar6->value());
}

void TfDisplay::btnCancelClick()
{
    m_glass.setHue(SavedHue);
    m_glass.setBlueIntensity(SavedBlueIntensity);
    m_glass.setGreenIntensity(SavedGreenIntensity);
    m_glass.setRedIntensity(SavedRedIntensity);
    m_settings.FadeEnabled = SavedFadeEnabled;
}

void TfDisplay::FormClose()
{
    // OK and Cancel have set the fade setting already; the close box leaves
    // it off.
    if (FadePause *pause = fadePause())
        pause->keepCurrent();
}

void TfDisplay::closeEvent(QCloseEvent *e)
{
    // The close box is neither OK nor Cancel: the live tint stays.
    m_closeBox = true;
    QDialog::closeEvent(e);
    m_closeBox = false;
}

void TfDisplay::reject()
{
    if (!m_closeBox)
        btnCancelClick();
    QDialog::reject();
}
