#pragma once
#include <QByteArray>
#include <QImage>
#include <QSize>

#include <memory>

class QBuffer;
class QImageReader;

// A PNG picture in memory, read exactly as Qt's own PNG reader reads it: the
// same format, pixels, colour table, colour space, resolution, offset and
// texts. Not QImageReader itself because the first one in a process has Qt
// read the metadata of every image plugin installed, format named or not.
// Qt's reader is built on libpng; the kinds skin pictures and the icon are
// (8-bit RGB and RGBA, palettes; no colour chunk but sRGB's) are decoded
// here with libpng set up as Qt sets it up. The rest (grey, 16 bits, ICC
// profiles, gamma, chromaticities) is handed to QImageReader.
class PngPicture
{
public:
    explicit PngPicture(const QByteArray &bytes);
    ~PngPicture();
    PngPicture(const PngPicture &) = delete;
    PngPicture &operator=(const PngPicture &) = delete;

    // The size the header declares, read without decoding the pixels; an
    // invalid size when the bytes hold no readable PNG header.
    QSize size();
    // The picture (once); a null image when the bytes are damaged or the
    // picture needs more memory than QImageReader::allocationLimit().
    QImage read();

private:
    enum class State { Unread, Direct, Handed, Failed, Done };
    struct Decoder;

    void readHeader();
    QImage decode();

    QByteArray m_bytes;
    QSize m_size;
    State m_state = State::Unread;
    std::unique_ptr<Decoder> m_decoder;
    std::unique_ptr<QBuffer> m_buffer;
    std::unique_ptr<QImageReader> m_reader;
};
