#pragma once
#include <QImage>
#include <QString>

// Decodes a JPEG file with libjpeg into a 24-bit picture (BGR888) of the
// JPEG's size. Throws OrganicShapeException naming the file when it cannot
// be read or decoded.
QImage decodeJpegFile(const QString &fileName);
