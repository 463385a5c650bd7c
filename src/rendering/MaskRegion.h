#pragma once
#include "Colors.h"
#include "SpeedBitmap.h"

#include <QRegion>

// The region of every pixel of the bitmap not exactly of the invisible
// colour. Each run of outside pixels in a row is cut from that row's span in
// one step, and finished rows are appended below the region built so far
// (a row equal to the one above extends it), so the cost grows with the
// pixel count and the number of runs only. The result is in Qt's banded form,
// equal (operator==) to the same region built by subtracting each run.
QRegion maskRegion(const TSpeedBitmap &bitmap, TColor invisible);

// The same for any image; converted to 24 bits first.
QRegion maskRegion(const QImage &image, TColor invisible);
