#pragma once
#include <QtGlobal>

class QPainter;

// A control (or window) whose painting can be told apart and repeated
// without a paint event: paintKey changes whenever what it paints does, and
// paintLayer paints the same pixels where it is asked to. A picture kept of
// it (a Backdrop) knows from the key when to be made again.
class PaintedLayer
{
public:
    virtual ~PaintedLayer() = default;
    // May prepare what the next paint draws; never paints.
    virtual quint64 paintKey() = 0;
    // What a paint of the whole control draws, with the control's top-left
    // at the painter's origin.
    virtual void paintLayer(QPainter &painter) = 0;
};
