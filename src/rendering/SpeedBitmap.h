#pragma once
#include <QImage>

// A 24-bit bitmap with direct row access: pixels stored blue, green, red,
// rows from the top, each row padded to a multiple of 4 bytes. Pixel loops
// go through scanLine() rather than per-pixel calls.
class TSpeedBitmap
{
public:
    TSpeedBitmap() = default;
    virtual ~TSpeedBitmap() = default;
    TSpeedBitmap(const TSpeedBitmap &) = default;
    TSpeedBitmap &operator=(const TSpeedBitmap &) = default;

    int width() const { return m_image.width(); }
    int height() const { return m_image.height(); }
    bool isEmpty() const { return m_image.width() == 0 || m_image.height() == 0; }
    // Bytes per row: ((width * 24 + 31) div 32) * 4.
    qsizetype stride() const { return m_image.bytesPerLine(); }

    // Pixel access; only while the bitmap is not empty.
    uchar *scanLine(int y) { return m_image.scanLine(y); }
    const uchar *scanLine(int y) const { return m_image.constScanLine(y); }
    // red * 65536 + green * 256 + blue. Coordinates are not checked.
    quint32 ReadPixel(int x, int y) const
    {
        const uchar *p = m_image.constScanLine(y) + 3 * x;
        return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16;
    }
    void WritePixel(int x, int y, quint32 value)
    {
        uchar *p = m_image.scanLine(y) + 3 * x;
        p[0] = uchar(value);
        p[1] = uchar(value >> 8);
        p[2] = uchar(value >> 16);
    }

    // Changes of the picture; each ends with Changed().
    void assign(const QImage &picture);
    void assign(const TSpeedBitmap &other) { assign(other.m_image); }
    // New pixels are black; an unchanged size keeps the pixels.
    void setSize(int width, int height);
    void clear() { setSize(0, 0); }

    // The pixels as an image (shares the data until either side writes).
    const QImage &image() const { return m_image; }

protected:
    // Every change of the picture ends here; a subclass follows the pixels.
    virtual void Changed() {}

private:
    QImage m_image{0, 0, QImage::Format_BGR888};
};
