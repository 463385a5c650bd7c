#include "TurnCache.h"

#include <cstring>

namespace {

quint64 bitsOf(double angle)
{
    quint64 bits;
    std::memcpy(&bits, &angle, sizeof bits);
    return bits;
}

} // namespace

void TurnCache::use(const Source &source)
{
    if (source == m_source)
        return;
    clear();
    m_source = source;
}

const TurnCache::Turn *TurnCache::find(double angle) const
{
    const quint64 bits = bitsOf(angle);
    for (const Turn &turn : m_turns)
        if (turn.angle == bits)
            return &turn;
    return nullptr;
}

bool TurnCache::restore(double angle, QImage &drawable, QRegion &kept) const
{
    const Turn *turn = find(angle);
    if (!turn)
        return false;
    uchar *bits = drawable.bits();
    const qsizetype stride = drawable.bytesPerLine();
    const QRgb *from = turn->pixels.data();
    for (const QRect &r : turn->kept) {
        for (int y = r.top(); y <= r.bottom(); ++y) {
            std::memcpy(reinterpret_cast<QRgb *>(bits + y * stride) + r.left(), from, r.width() * sizeof(QRgb));
            from += r.width();
        }
    }
    kept = turn->kept;
    return true;
}

void TurnCache::keep(double angle, const QImage &drawable, const QRegion &kept)
{
    if (find(angle))
        return;
    Turn turn{bitsOf(angle), kept, {}};
    qsizetype count = 0;
    for (const QRect &r : kept)
        count += qsizetype(r.width()) * r.height();
    turn.pixels.resize(count);
    const qsizetype bytes = bytesOf(turn);
    if (bytes > kByteLimit)
        return;
    if (size() >= kLimit || m_bytes + bytes > kByteLimit)
        clear();
    const uchar *bits = drawable.constBits();
    const qsizetype stride = drawable.bytesPerLine();
    QRgb *to = turn.pixels.data();
    for (const QRect &r : kept) {
        for (int y = r.top(); y <= r.bottom(); ++y) {
            std::memcpy(to, reinterpret_cast<const QRgb *>(bits + y * stride) + r.left(), r.width() * sizeof(QRgb));
            to += r.width();
        }
    }
    m_turns.push_back(std::move(turn));
    m_bytes += bytes;
}

void TurnCache::clear()
{
    m_turns.clear();
    m_bytes = 0;
}

qsizetype TurnCache::bytesOf(const Turn &turn)
{
    return qsizetype(sizeof(Turn)) + qsizetype(turn.pixels.size() * sizeof(QRgb))
        + turn.kept.rectCount() * qsizetype(sizeof(QRect));
}
