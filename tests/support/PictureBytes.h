#pragma once
#include <QByteArray>

// The PNG bytes of a black picture of any size, one bit a pixel: an
// 8000 x 8000 picture takes a few KB, the way a picture bomb does.
QByteArray pngBytes(int width, int height);
