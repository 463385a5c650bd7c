#pragma once
#include <QImage>
#include <QRegion>

#include <vector>

// Finished turns of one picture, kept by angle: a hand comes back to the
// same few angles (the second hand to each of its 60 once a minute), and
// copying a kept turn costs a fraction of turning it again. Only the pixels
// a turn drew are kept, as the rectangles of its region, not whole squares.
class TurnCache
{
public:
    // Everything besides the angle a turn depends on. Turns kept for
    // another are of no use and are dropped.
    struct Source
    {
        qint64 picture = 0; // cacheKey of the picture turned
        QRgb key = 0;       // the colour left out
        bool centred = false; // the turn in the middle of its square, not at its corner
        bool operator==(const Source &o) const
        {
            return picture == o.picture && key == o.key && centred == o.centred;
        }
        bool operator!=(const Source &o) const { return !(*this == o); }
    };

    // At most this many turns: more than the second hand shows (61, with
    // 0 and 360). A hand that creeps through more angles fills the cache,
    // which then starts again empty, rather than grow without end.
    static constexpr int kLimit = 64;
    // And at most this much memory: a broad hand keeps much more per turn
    // than a thin one, and a turn larger than this is not kept at all.
    static constexpr qsizetype kByteLimit = 2 * 1024 * 1024;

    // Drops the kept turns when they were made for another source.
    void use(const Source &source);
    // Puts the turn kept for `angle` into `drawable`, which must be clear
    // wherever it is drawn, and its drawn region into `kept`. False when no
    // turn is kept for that angle.
    bool restore(double angle, QImage &drawable, QRegion &kept) const;
    // Keeps the pixels of `drawable` inside `kept` as the turn for `angle`.
    void keep(double angle, const QImage &drawable, const QRegion &kept);
    void clear();

    int size() const { return int(m_turns.size()); }
    // Memory held by the kept pixels and regions.
    qsizetype bytes() const { return m_bytes; }

private:
    struct Turn
    {
        quint64 angle; // the angle's bits: the same value, not a close one
        QRegion kept;
        std::vector<QRgb> pixels;
    };
    const Turn *find(double angle) const;
    static qsizetype bytesOf(const Turn &turn);

    Source m_source;
    std::vector<Turn> m_turns;
    qsizetype m_bytes = 0;
};
