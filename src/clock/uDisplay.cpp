#include "uDisplay.h"
#include "DialogPlacement.h"
#include "uClock.h"

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

TfDisplay::TfDisplay(TfClock *clock, QWidget *parent) : QDialog(parent), m_clock(clock)
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

void TfDisplay::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!m_prepared) {
        m_prepared = true;
        FormActivate();
    }
}

void TfDisplay::FormActivate()
{
    cbAnimation->setChecked(m_clock->AnimationEnabled);
    cbFadeEnabled->setChecked(m_clock->FadeEnabled);
    PlaceBesideClock(this, m_clock);
    SavedFadeEnabled = m_clock->FadeEnabled;
    SavedHue = m_clock->getHue();
    SavedBlueIntensity = m_clock->getBlueIntensity();
    SavedGreenIntensity = m_clock->getGreenIntensity();
    SavedRedIntensity = m_clock->getRedIntensity();
    m_clock->FadeEnabled = false;
    m_clock->setTransparency(0);
    // Positions outside a bar's range are clamped by the bar itself.
    TrackBar6->setValue(50 - m_clock->FadeSpeed);
    TrackBar5->setValue(m_clock->MaxTransparency);
    TrackBar4->setValue(m_clock->getHue());
    TrackBar3->setValue(m_clock->getBlueIntensity());
    TrackBar2->setValue(m_clock->getGreenIntensity());
    TrackBar1->setValue(m_clock->getRedIntensity());
}

void TfDisplay::TrackBar1Change()
{
    m_clock->setRedIntensity(TrackBar1->value());
    TrackBar4->setValue(m_clock->getHue());
}

void TfDisplay::TrackBar2Change()
{
    m_clock->setGreenIntensity(TrackBar2->value());
    TrackBar4->setValue(m_clock->getHue());
}

void TfDisplay::TrackBar3Change()
{
    m_clock->setBlueIntensity(TrackBar3->value());
    TrackBar4->setValue(m_clock->getHue());
}

void TfDisplay::TrackBar4Change()
{
    m_clock->setHue(TrackBar4->value());
    TrackBar3->setValue(m_clock->getBlueIntensity());
    TrackBar2->setValue(m_clock->getGreenIntensity());
    TrackBar1->setValue(m_clock->getRedIntensity());
}

void TfDisplay::btnOKClick()
{
    m_clock->FadeEnabled = cbFadeEnabled->isChecked();
    m_clock->AnimationEnabled = cbAnimation->isChecked();
    if (!m_clock->FadeEnabled)
        m_clock->setTransparency(0);
    m_clock->MaxTransparency = TrackBar5->value();
    m_clock->FadeSpeed = 50 - TrackBar6->value();
}

void TfDisplay::btnCancelClick()
{
    m_clock->setHue(SavedHue);
    m_clock->setBlueIntensity(SavedBlueIntensity);
    m_clock->setGreenIntensity(SavedGreenIntensity);
    m_clock->setRedIntensity(SavedRedIntensity);
    m_clock->FadeEnabled = SavedFadeEnabled;
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
