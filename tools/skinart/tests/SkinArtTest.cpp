#include "SkinArt.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <QSet>
#include <cmath>
#include <cstdlib>

namespace {

const QRgb kGreenKey = 0xFF00FF00;

bool nearButNot(QRgb c, QRgb key)
{
    if ((c | 0xFF000000u) == (key | 0xFF000000u))
        return false;
    return std::abs(qRed(c) - qRed(key)) <= 48 && std::abs(qGreen(c) - qGreen(key)) <= 48
        && std::abs(qBlue(c) - qBlue(key)) <= 48;
}

QSet<QRgb> colours(const QImage &img)
{
    QSet<QRgb> set;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            set.insert(img.pixel(x, y));
    return set;
}

QByteArray svg(int w, int h, const QByteArray &body)
{
    return "<svg xmlns='http://www.w3.org/2000/svg' width='" + QByteArray::number(w) + "' height='"
        + QByteArray::number(h) + "'>" + body + "</svg>";
}

} // namespace

// Shapes whose edges would be anti-aliased come out in their own colour (give
// or take the rounding of 8-bit coverage) or the key, never a blend of the two,
// whatever the key and at sizes other than the drawing's.
TEST(SkinArtRender, EdgesAgainstTheKeyAreHard)
{
    struct Case { const char *what; QByteArray body; int w, h; QRgb key; };
    const Case cases[] = {
        {"circle", "<circle cx='20' cy='20' r='13.3' fill='#336699'/>", 40, 40, SkinArt::kMagenta},
        {"thin slanted line", "<line x1='2' y1='3' x2='37' y2='30' stroke='#336699' stroke-width='1.3'/>", 40, 40, SkinArt::kMagenta},
        {"half-transparent fill", "<rect x='5' y='5' width='20' height='20' fill='#336699' fill-opacity='0.6'/>", 40, 40, kGreenKey},
        {"drawn at another size", "<circle cx='20' cy='20' r='13.3' fill='#336699'/>", 23, 31, kGreenKey},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QImage img = SkinArt::renderSvg(svg(40, 40, c.body), c.w, c.h, c.key);
        EXPECT_EQ(img.format(), QImage::Format_RGB32);
        EXPECT_EQ(img.size(), QSize(c.w, c.h));
        int keyed = 0, blended = 0;
        for (QRgb px : colours(img)) {
            if (px == c.key)
                ++keyed;
            else if (std::abs(qRed(px) - 0x33) > 2 || std::abs(qGreen(px) - 0x66) > 2 || std::abs(qBlue(px) - 0x99) > 2)
                ++blended;
        }
        EXPECT_EQ(keyed, 1);
        EXPECT_EQ(blended, 0);
    }
}

TEST(SkinArtRender, ArtNeverTakesTheKeyOrTheHandFill)
{
    const QByteArray body = "<rect x='0' y='0' width='10' height='5' fill='#ff00ff'/>"
                            "<rect x='0' y='5' width='10' height='5' fill='#ffffff'/>";
    const QImage plain = SkinArt::renderSvg(svg(10, 20, body), 10, 20, SkinArt::kMagenta);
    const QImage hand = SkinArt::renderSvg(svg(10, 20, body), 10, 20, SkinArt::kMagenta, true);
    EXPECT_NE(plain.pixel(3, 2), SkinArt::kMagenta);
    EXPECT_EQ(plain.pixel(3, 7), 0xFFFFFFFFu);
    EXPECT_NE(hand.pixel(3, 7), 0xFFFFFFFFu);
    EXPECT_EQ(hand.pixel(3, 15), SkinArt::kMagenta);
}

// Icons keep the anti-aliased edge and a transparent ground: no key colour,
// no pixel forced to all or nothing.
TEST(SkinArtRender, SmoothPicturesKeepTheirEdgesOnTransparency)
{
    const QImage img = SkinArt::renderSvgSmooth(svg(40, 40, "<circle cx='20' cy='20' r='13.3' fill='#336699'/>"), 23, 31);
    EXPECT_EQ(img.format(), QImage::Format_ARGB32);
    EXPECT_EQ(img.size(), QSize(23, 31));
    EXPECT_EQ(img.pixel(0, 0), 0u) << "the ground is left transparent";
    EXPECT_EQ(img.pixel(11, 15), 0xFF336699u);
    int partial = 0;
    for (QRgb px : colours(img))
        if (qAlpha(px) > 0 && qAlpha(px) < 255)
            ++partial;
    EXPECT_GT(partial, 0) << "the edge is anti-aliased";
    EXPECT_THROW(SkinArt::renderSvgSmooth("<svg", 10, 10), SkinArtError);
}

TEST(SkinArtCatalogue, RejectsBrokenManifests)
{
    TempFolder dir;
    dir.write("corner.svg", svg(10, 10, "<rect width='10' height='10' fill='#123456'/>"));
    dir.write("ok.svg", svg(10, 10, "<circle cx='5' cy='5' r='2' fill='#123456'/>"));
    const QByteArray pic = "{\"svg\": \"ok.svg\", \"width\": 10, \"height\": 10}";
    struct Case { const char *what; QByteArray json; };
    const Case cases[] = {
        {"art in the key corner", "{\"items\": [{\"category\": \"dial\", \"Name\": \"D\", \"Image\": {\"svg\": \"corner.svg\", \"width\": 10, \"height\": 10}}]}"},
        {"missing picture file", "{\"items\": [{\"category\": \"dial\", \"Name\": \"D\", \"Image\": {\"svg\": \"none.svg\", \"width\": 10, \"height\": 10}}]}"},
        {"unknown category", "{\"items\": [{\"category\": \"tail\", \"Name\": \"T\", \"Image\": " + pic + "}]}"},
        {"hand set without a second hand", "{\"items\": [{\"category\": \"hand\", \"Name\": \"H\", \"imgHour\": " + pic + ", \"imgMinute\": " + pic + "}]}"},
        {"clock on another key", "{\"items\": [{\"category\": \"clock\", \"Name\": \"C\", \"Image\": {\"svg\": \"ok.svg\", \"width\": 10, \"height\": 10, \"key\": \"#00ff00\"}}]}"},
        {"not JSON", "{\"items\": ["},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        dir.write("m.json", c.json);
        EXPECT_THROW(loadCatalogue(dir.file("m.json")), SkinArtError);
    }
    EXPECT_THROW(loadCatalogue(dir.file("absent.json")), SkinArtError);
}

class ShippedArt : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        for (const char *m : {"catalogue.json", "sample-package.json"})
            s_items += loadCatalogue(QString(ZC_SKINS_DIR) + m);
    }
    static QVector<SkinArtItem> of(const QString &category)
    {
        QVector<SkinArtItem> out;
        for (const SkinArtItem &it : s_items)
            if (it.category == category)
                out << it;
        return out;
    }
    static inline QVector<SkinArtItem> s_items;
};

TEST_F(ShippedArt, DefaultItemsAreThere)
{
    const QVector<SkinArtItem> cat = loadCatalogue(QString(ZC_SKINS_DIR) + "catalogue.json");
    const std::pair<const char *, const char *> defaults[] = {{"clock", "Pocket Watch 001"}, {"dial", "Dial 006"},
        {"head", "Mopp 001"}, {"body", "Cowboy"}, {"hand", "Cowboy 01"}};
    for (const auto &[category, name] : defaults)
        EXPECT_TRUE(std::any_of(cat.begin(), cat.end(), [&](const SkinArtItem &it) {
            return it.category == category && it.name == name;
        })) << name;
    for (const char *category : {"clock", "dial", "head", "body", "hand"})
        EXPECT_GE(of(category).size(), 3) << category;
}

// At every size the face uses, each picture keeps its key in the bottom-left
// corner and has no colour close to the key that would show as a fringe.
TEST_F(ShippedArt, PicturesKeepTheirKeyAndHaveNoFringe)
{
    for (const SkinArtItem &it : s_items) {
        for (const QImage *img : {&it.image, &it.animationImage, &it.imgHour, &it.imgMinute, &it.imgSecond}) {
            if (img->isNull())
                continue;
            SCOPED_TRACE(it.name.toStdString());
            const QRgb key = img->pixel(0, img->height() - 1);
            if (it.category == "clock" && img == &it.image) {
                EXPECT_EQ(key, SkinArt::kMagenta);
            }
            for (int s : {4, 8, 12, 16}) {
                const QImage scaled = img->scaled(img->width() * s / 16, img->height() * s / 16,
                                                  Qt::IgnoreAspectRatio, Qt::FastTransformation);
                EXPECT_EQ(scaled.pixel(0, scaled.height() - 1), key) << "scale " << s;
            }
            int fringe = 0;
            for (QRgb c : colours(*img))
                fringe += nearButNot(c, key);
            EXPECT_EQ(fringe, 0);
        }
    }
}

// A hand turned anywhere within its fixed drawing area must stay inside it.
TEST_F(ShippedArt, HandsFitTheirAreas)
{
    for (const SkinArtItem &it : of("hand")) {
        const std::pair<const QImage *, double> hands[] = {{&it.imgHour, 244 / 2.0}, {&it.imgMinute, 280 / 2.0},
                                                          {&it.imgSecond, 293 / 2.0}};
        for (const auto &[img, room] : hands) {
            const QRgb key = img->pixel(0, img->height() - 1);
            const int cx = img->width() / 2, cy = img->height() / 2;
            double reach = 0;
            for (int y = 0; y < img->height(); ++y)
                for (int x = 0; x < img->width(); ++x)
                    if (img->pixel(x, y) != key)
                        reach = std::max(reach, std::hypot(std::abs(x - cx) + 1.0, std::abs(y - cy) + 1.0));
            EXPECT_LT(reach, room - 1) << it.name.toStdString();
            EXPECT_NE(img->pixel(cx, cy), key) << it.name.toStdString() << ": nothing drawn at the pivot";
        }
    }
}

TEST_F(ShippedArt, AnimationStripsSplitIntoKeyedFrames)
{
    int animated = 0;
    for (const SkinArtItem &it : of("clock")) {
        if (!it.animationFlag)
            continue;
        ++animated;
        SCOPED_TRACE(it.name.toStdString());
        ASSERT_GT(it.animationFrames, 0);
        ASSERT_FALSE(it.animationImage.isNull());
        EXPECT_EQ(it.animationImage.height() % it.animationFrames, 0);
        const int h = it.animationImage.height() / it.animationFrames;
        const QRgb key = it.animationImage.pixel(0, it.animationImage.height() - 1);
        for (int f = 0; f < it.animationFrames && it.animationTrans; ++f) {
            EXPECT_EQ(it.animationImage.pixel(0, f * h + h - 1), key) << "frame " << f;
        }
        EXPECT_TRUE(QRect(QPoint(0, 0), it.image.size())
                        .contains(QRect(it.animationLeft, it.animationTop, it.animationImage.width(), h)));
    }
    EXPECT_GE(animated, 1);
}

// Any mix of items stays on the window at full size: the dial on its clock,
// the character's head and feet inside the picture.
TEST_F(ShippedArt, EveryCombinationStaysOnTheClock)
{
    for (const SkinArtItem &clock : of("clock"))
        for (const SkinArtItem &dial : of("dial")) {
            const QRect dialRect(clock.left, clock.top, dial.image.width(), dial.image.height());
            EXPECT_TRUE(QRect(QPoint(0, 0), clock.image.size()).contains(dialRect))
                << clock.name.toStdString() << " + " << dial.name.toStdString();
            const int cx = dialRect.left() + dialRect.width() / 2, cy = dialRect.top() + dialRect.height() / 2;
            for (const SkinArtItem &body : of("body"))
                for (const SkinArtItem &head : of("head")) {
                    const QRect b(cx - body.image.width() / 2 + body.bodyLeft, cy - dialRect.height() / 20 + body.bodyTop,
                                  body.image.width(), body.image.height());
                    const QRect h(cx - head.image.width() / 2 + body.headLeft + head.left,
                                  head.top + b.top() - head.image.height() + body.headTop,
                                  head.image.width(), head.image.height());
                    EXPECT_TRUE(dialRect.contains(b.united(h)))
                        << clock.name.toStdString() << ", " << dial.name.toStdString() << ", "
                        << body.name.toStdString() << ", " << head.name.toStdString();
                }
        }
}
