#pragma once
#include "Colors.h"
#include "SpeedBitmap.h"

#include <QRegion>

#include <functional>

// The window's skin: a bitmap that recomputes, whenever its pixels change,
// the region of all its pixels not of its invisible colour.
class TOrganicSkin : public TSpeedBitmap
{
public:
    TOrganicSkin() = default;

    // Only stores the colour; the region follows at the next calculateRegion.
    void setInvisibleColor(TColor color) { m_invisibleColor = color; }
    TColor InvisibleColor() const { return m_invisibleColor; }

    // Rebuilds the region from the pixels. An empty skin gives an empty
    // working region and leaves the master region as it was.
    void calculateRegion();
    // A copy of the computed region for the window system.
    QRegion getRegion();
    bool hasRegion() const { return m_hasRegion; }

    // Runs after every change of the pixels, once the region is up to date.
    std::function<void()> OnChange;

    // Counters that show work was (not) done.
    int regionCalculations() const { return m_calculations; }
    // Bumped on every change of the pixels; caches of derived pictures key on it.
    quint64 generation() const { return m_generation; }

protected:
    void Changed() override;

private:
    QRegion m_region;
    bool m_hasRegion = false;
    QRegion m_workRegion;
    TColor m_invisibleColor = clWhite;
    int m_calculations = 0;
    quint64 m_generation = 0;
};
