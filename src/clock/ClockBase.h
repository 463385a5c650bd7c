#pragma once
#include <QWidget>

// What the main window stands on: the shaped glass window. Until that
// window class exists this stand-in keeps the tint values with their ranges.
class TfClockBase : public QWidget
{
public:
    using QWidget::QWidget;
    void setHue(int v) { if (v >= 0 && v <= 360) m_hue = v; }
    int getHue() const { return m_hue; }
    void setRedIntensity(int v) { if (v >= 0 && v <= 100) m_red = v; }
    int getRedIntensity() const { return m_red; }
    void setGreenIntensity(int v) { if (v >= 0 && v <= 100) m_green = v; }
    int getGreenIntensity() const { return m_green; }
    void setBlueIntensity(int v) { if (v >= 0 && v <= 100) m_blue = v; }
    int getBlueIntensity() const { return m_blue; }
    void setTransparency(int v) { if (v >= 0 && v <= 100) m_transparency = v; }
    int getTransparency() const { return m_transparency; }
    void SetInvisibleColor(unsigned) {}

private:
    int m_hue = 0, m_red = 100, m_green = 100, m_blue = 100, m_transparency = 25;
};
