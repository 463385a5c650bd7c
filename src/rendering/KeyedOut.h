#pragma once
#include <QImage>

// The picture with every pixel of its bottom-left pixel's colour made fully
// transparent.
QImage keyedOut(const QImage &picture);
