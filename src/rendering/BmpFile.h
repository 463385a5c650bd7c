#pragma once
#include <QByteArray>
#include <QImage>

// The bytes of a 24-bit BMP file of the picture, as Qt's own writer makes
// them (raw red, green and blue; alpha dropped). Written here because Qt's
// writer first loads every image plugin installed, to ask each whether it
// would rather write BMP itself, and a clock keeps them mapped all day.
QByteArray bmpFile(const QImage &picture);
