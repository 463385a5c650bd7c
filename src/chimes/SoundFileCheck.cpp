#include "SoundFileCheck.h"

#include <QFile>

namespace {

// More chunks than any real sound file has: the walk stops there.
constexpr int kMaxChunks = 10000;

quint16 le16(const QByteArray &b, int at) { return quint16(uchar(b[at]) | uchar(b[at + 1]) << 8); }
quint32 le32(const QByteArray &b, int at) { return quint32(le16(b, at)) | quint32(le16(b, at + 2)) << 16; }
quint16 be16(const QByteArray &b, int at) { return quint16(uchar(b[at]) << 8 | uchar(b[at + 1])); }
quint32 be32(const QByteArray &b, int at) { return quint32(be16(b, at)) << 16 | be16(b, at + 2); }

bool channelsAndRateUsable(quint32 channels, quint32 rate)
{
    // SDL keeps the channel count in a byte and mixes at most eight.
    return channels >= 1 && channels <= 8 && rate >= 1 && rate <= 768000;
}

// Walks the chunks that follow a 12-byte file header, handing each chunk's
// id and length to `check` with the file at the chunk's data. A chunk of
// odd length is followed by a pad byte when `padded`; `stopAtEmpty` ends
// the walk at a chunk of length 0.
template <typename Check>
bool chunksUsable(QFile &f, bool bigEndian, bool padded, bool stopAtEmpty, Check check)
{
    const qint64 size = f.size();
    qint64 at = 12;
    for (int n = 0; at + 8 <= size; ++n) {
        if (n == kMaxChunks)
            return false;
        f.seek(at);
        const QByteArray c = f.read(8);
        const quint32 length = bigEndian ? be32(c, 4) : le32(c, 4);
        if (!check(c.left(4), length))
            return false;
        if (length == 0 && stopAtEmpty)
            break;
        at += 8 + qint64(length) + (padded ? (length & 1) : 0);
    }
    return true;
}

// A wave's format chunk; one too short SDL refuses itself.
bool waveFormatChunkUsable(QFile &f, const QByteArray &id, quint32 length)
{
    if (id != "fmt " || length < 16)
        return true;
    const QByteArray fmt = f.read(16);
    return fmt.size() < 16 || (channelsAndRateUsable(le16(fmt, 2), le32(fmt, 4)) && le16(fmt, 12) != 0);
}

// The rate of an AIFF is an 80-bit float; this is the integer SDL_mixer
// makes of it, 0 where it makes none.
quint32 aiffRate(const QByteArray &sane)
{
    const uchar e0 = uchar(sane[0]), e1 = uchar(sane[1]);
    if (e0 != 0x40 || e1 > 0x1C)
        return 0;
    const quint32 m = quint32(uchar(sane[2])) << 23 | quint32(uchar(sane[3])) << 15 | quint32(uchar(sane[4])) << 7
                      | quint32(uchar(sane[5])) >> 1;
    return m >> (29 - e1);
}

bool aiffCommonChunkUsable(QFile &f, const QByteArray &id)
{
    if (id != "COMM")
        return true;
    const QByteArray comm = f.read(18);
    return comm.size() == 18 && channelsAndRateUsable(be16(comm, 0), aiffRate(comm.mid(8, 10)));
}

} // namespace

bool waveFormatUsable(const QString &fileName)
{
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        return true;
    const QByteArray head = f.read(12);
    if (head.size() < 12)
        return true;
    // SDL_mixer walks wave chunks without the pad byte of an odd-sized
    // chunk and stops at a chunk of length 0; the standard pads. Both walks
    // are checked, so no format chunk can hide from this check and reach SDL.
    auto wave = [&f](const QByteArray &id, quint32 length) { return waveFormatChunkUsable(f, id, length); };
    if (head.startsWith("RIFF") || head.startsWith("WAVE"))
        return chunksUsable(f, false, true, false, wave) && chunksUsable(f, false, false, true, wave);
    if (head.startsWith("FORM"))
        return chunksUsable(f, true, true, false, [&f](const QByteArray &id, quint32) { return aiffCommonChunkUsable(f, id); });
    return true;
}

bool midiHeaderUsable(const QString &fileName)
{
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        return true;
    const QByteArray h = f.read(14);
    if (h.size() < 14 || !h.startsWith("MThd"))
        return true;
    const quint16 format = be16(h, 8), tracks = be16(h, 10), division = be16(h, 12);
    if (be16(h, 4) != 0 || be16(h, 6) != 6 || format > 2 || tracks == 0 || (format == 0 && tracks != 1))
        return false;
    if (division & 0x8000) {
        const int frames = -int(qint8(division >> 8));
        if (!(frames == 24 || frames == 25 || frames == 29 || frames == 30) || (division & 0xFF) == 0)
            return false;
    } else if (division == 0) {
        return false;
    }
    const qint64 size = f.size();
    for (qint64 at = 14; at + 8 <= size;) {
        f.seek(at);
        const QByteArray c = f.read(8);
        const qint64 length = qint64(be16(c, 4)) << 16 | be16(c, 6);
        if (at + 8 + length > size)
            return false;
        // The reader stops a track only at its end-of-track event, not at
        // the end of its chunk: a track must close with one.
        if (c.startsWith("MTrk")) {
            if (length < 3)
                return false;
            f.seek(at + 8 + length - 3);
            if (f.read(3) != QByteArray("\xff\x2f\x00", 3))
                return false;
        }
        at += 8 + length;
    }
    return true;
}

