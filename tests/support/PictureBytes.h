#pragma once
#include <QByteArray>

// The PNG bytes of a black picture of any size, one bit a pixel: an
// 8000 x 8000 picture takes a few KB, the way a picture bomb does.
QByteArray pngBytes(int width, int height);
// A PNG chunk: length, type, data and CRC.
QByteArray pngChunk(const char *type, const QByteArray &data);
// Where the first chunk of that type starts in a PNG (its length field);
// -1 when there is none.
int pngChunkAt(const QByteArray &png, const char *type);
