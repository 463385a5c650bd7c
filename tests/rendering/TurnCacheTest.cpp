#include "TurnCache.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr int kSide = 64;

QImage clearSquare()
{
    QImage img(kSide, kSide, QImage::Format_ARGB32_Premultiplied);
    img.fill(0);
    return img;
}

// A turn as a hand draws it: two bands of distinct pixels, with clear
// pixels inside the bands too.
struct Drawn
{
    QImage image = clearSquare();
    QRegion kept = QRegion(5, 8, 12, 8) + QRegion(9, 16, 20, 5);

    explicit Drawn(int seed)
    {
        for (const QRect &r : kept)
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x)
                    if ((x + y + seed) % 4)
                        image.setPixel(x, y, qRgb(seed, x * 3, y * 5));
    }
};

const TurnCache::Source kSource{42, qRgb(255, 255, 255), true};

TEST(TurnCache, AKeptTurnComesBackPixelForPixel)
{
    TurnCache cache;
    cache.use(kSource);
    const Drawn six(6), twelve(12);
    cache.keep(6, six.image, six.kept);
    cache.keep(12, twelve.image, twelve.kept);

    for (const Drawn *d : {&six, &twelve}) {
        QImage into = clearSquare();
        QRegion kept;
        ASSERT_TRUE(cache.restore(d == &six ? 6 : 12, into, kept));
        EXPECT_EQ(into, d->image);
        EXPECT_EQ(kept, d->kept);
    }
    // Only the very same angle: one a hair away is another turn.
    QImage into = clearSquare();
    QRegion kept;
    EXPECT_FALSE(cache.restore(std::nextafter(6.0, 7.0), into, kept));
    EXPECT_FALSE(cache.restore(18, into, kept));
    EXPECT_EQ(into, clearSquare()) << "a miss leaves the picture alone";
}

TEST(TurnCache, TurnsOfAnotherSourceAreDropped)
{
    const struct
    {
        const char *change;
        TurnCache::Source source;
    } cases[] = {
        {"another picture", {43, kSource.key, kSource.centred}},
        {"another colour left out", {kSource.picture, qRgb(0, 0, 0), kSource.centred}},
        {"placed instead of centred", {kSource.picture, kSource.key, false}},
    };
    for (const auto &c : cases) {
        TurnCache cache;
        cache.use(kSource);
        const Drawn six(6);
        cache.keep(6, six.image, six.kept);
        cache.use(kSource);
        EXPECT_EQ(cache.size(), 1) << "the same source keeps its turns";
        cache.use(c.source);
        EXPECT_EQ(cache.size(), 0) << c.change;
        EXPECT_EQ(cache.bytes(), 0) << c.change;
        QImage into = clearSquare();
        QRegion kept;
        EXPECT_FALSE(cache.restore(6, into, kept)) << c.change;
    }
}

// A hand creeping through endless angles never holds more than the limit,
// and the turn just kept is always there.
TEST(TurnCache, BoundedInTurns)
{
    TurnCache cache;
    cache.use(kSource);
    const Drawn d(3);
    for (int i = 0; i < 3 * TurnCache::kLimit + 5; ++i) {
        cache.keep(360 - 0.5 * i, d.image, d.kept);
        ASSERT_LE(cache.size(), TurnCache::kLimit) << i;
        QImage into = clearSquare();
        QRegion kept;
        ASSERT_TRUE(cache.restore(360 - 0.5 * i, into, kept)) << i;
    }
}

// A broad hand keeps far more per turn; the memory stays bounded, and a
// turn larger than the whole allowance is not kept at all.
TEST(TurnCache, BoundedInBytes)
{
    const int side = 400; // 640 KB a turn: three fit, a fourth starts again
    QImage broad(side, side, QImage::Format_ARGB32_Premultiplied);
    broad.fill(qRgb(9, 8, 7));
    TurnCache cache;
    cache.use(kSource);
    for (int i = 0; i < 10; ++i) {
        cache.keep(i, broad, QRegion(broad.rect()));
        ASSERT_LE(cache.bytes(), TurnCache::kByteLimit) << i;
        ASSERT_GE(cache.size(), 1) << i;
    }
    EXPECT_LT(cache.size(), 10);

    QImage huge(800, 800, QImage::Format_ARGB32_Premultiplied);
    huge.fill(qRgb(1, 2, 3));
    const int before = cache.size();
    cache.keep(100, huge, QRegion(huge.rect()));
    QImage into(800, 800, QImage::Format_ARGB32_Premultiplied);
    into.fill(0);
    QRegion kept;
    EXPECT_FALSE(cache.restore(100, into, kept));
    EXPECT_EQ(cache.size(), before) << "the turns kept before stay";
}

} // namespace
