#include "ClockDialog.h"
#include "ClockWindow.h"
#include "ErrorReport.h"

ClockDialog::ClockDialog(ClockWindow *clock, Fade fade, QWidget *parent)
    : QDialog(parent), m_clock(clock), m_fadeMode(fade)
{
}

void ClockDialog::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (m_opened)
        return;
    m_opened = true;
    ErrorReport::guard([this] {
        if (m_clock && m_fadeMode == Fade::Pause)
            m_fade.emplace(m_clock);
        if (m_clock)
            PlaceBesideClock(this, m_clock->clockWidget());
        FormActivate();
    });
}

void ClockDialog::done(int result)
{
    closeIfOpen();
    QDialog::done(result);
}

void ClockDialog::closeIfOpen()
{
    if (!m_opened || m_closed)
        return;
    m_closed = true;
    ErrorReport::guard([this] { FormClose(); });
    m_fade.reset();
}

bool ClockDialog::savedFadeEnabled() const
{
    if (m_fade)
        return m_fade->SavedFadeEnabled();
    return m_clock && m_clock->fadeEnabled();
}
