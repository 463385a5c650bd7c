#pragma once
#include <QByteArray>
#include <QSize>
#include <QString>

// The largest picture a table's picture field may hold: no side longer than
// kMaxSide pixels, so at most 16 Mpx (64 MiB as 32-bit pixels). That is
// larger than any screen a desktop clock stands on, and it keeps a hand,
// which is turned into a square as large as its diagonal (5793 pixels a side
// at most), within memory's and the tick's reach. A picture beyond it is a
// bomb: a few hundred KB of PNG that unpack to gigabytes and keep a core
// busy for as long as the clock shows it.
//
// The table's picture reader, the skin installer's check of a package's
// pictures and, through the reader, the skin picker and the face all use
// this one rule.
namespace PictureLimit {

constexpr int kMaxSide = 4096;

// Whether a picture of this size may be read or stored.
bool fits(const QSize &size);

// The size a stored picture declares in its header, read without decoding
// it; an invalid size when the bytes are no readable picture.
QSize declaredSize(const QByteArray &bytes);

// What is wrong with a picture of this size, to follow "The picture ...":
// "is 8000 x 8000 pixels, larger than the 4096 x 4096 a picture may have".
QString tooLargeText(const QSize &size);

} // namespace PictureLimit
