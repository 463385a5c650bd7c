#include "FaceRig.h"
#include "HandContrast.h"
#include "TempFolder.h"

#include <QPainter>
#include <gtest/gtest.h>

#include <memory>

using HandContrast::contrastRatio;
using HandContrast::measure;

namespace {

// Non-text graphics need 3:1 against what lies next to them to be made out.
constexpr double kThreshold = 3.0;

// A hand picture: a bar of `fill`, with a ring of `halo` round it when given,
// on the magenta key.
QImage bar(QRgb fill, int haloWidth = 0, QRgb halo = 0)
{
    QImage img(20, 60, QImage::Format_RGB32);
    img.fill(0xFFFF00FF);
    QPainter p(&img);
    if (haloWidth > 0)
        p.fillRect(QRect(6 - haloWidth, 10 - haloWidth, 8 + 2 * haloWidth, 40 + 2 * haloWidth), QColor(halo));
    p.fillRect(QRect(6, 10, 8, 40), QColor(fill));
    return img;
}

// The hand drawn on a plain ground, as the face shows it.
QImage onGround(const QImage &hand, QRgb ground)
{
    QImage face(40, 80, QImage::Format_ARGB32);
    face.fill(ground);
    const QRgb key = hand.pixel(0, hand.height() - 1);
    for (int y = 0; y < hand.height(); ++y)
        for (int x = 0; x < hand.width(); ++x)
            if (hand.pixel(x, y) != key)
                face.setPixel(x + 10, y + 10, hand.pixel(x, y));
    return face;
}

} // namespace

TEST(HandContrastMeasure, RatioFollowsTheWcagScale)
{
    EXPECT_DOUBLE_EQ(contrastRatio(0xFF000000, 0xFFFFFFFF), 21.0);
    EXPECT_DOUBLE_EQ(contrastRatio(0xFF777777, 0xFF777777), 1.0);
    EXPECT_DOUBLE_EQ(contrastRatio(0xFF102030, 0xFFE0D0C0), contrastRatio(0xFFE0D0C0, 0xFF102030));
}

TEST(HandContrastMeasure, HaloMakesADarkHandReadOnDarkGround)
{
    const QRgb navy = 0xFF1A2A5A, black = 0xFF1E1E24, cream = 0xFFF4EAD0;
    const auto plain = measure(onGround(bar(black), navy), bar(black), {10, 10}, 2, kThreshold);
    EXPECT_EQ(plain.edgePixels, 2 * (8 + 40));
    EXPECT_EQ(plain.weakPixels, plain.edgePixels);

    const QImage haloed = bar(black, 2, cream);
    const auto ringed = measure(onGround(haloed, navy), haloed, {10, 10}, 2, kThreshold);
    EXPECT_EQ(ringed.weakPixels, 0);
    EXPECT_GT(ringed.worst, kThreshold);
    // On a light ground the dark line inside the halo does the work, if the
    // band reaches it.
    const QRgb ivory = 0xFFF8F0DC;
    EXPECT_EQ(measure(onGround(haloed, ivory), haloed, {10, 10}, 3, kThreshold).weakPixels, 0);
    EXPECT_GT(measure(onGround(haloed, ivory), haloed, {10, 10}, 1, kThreshold).weakPixels, 0);
}

TEST(HandContrastMeasure, EdgesOfACharacterInFrontAreNotTheHands)
{
    const QRgb brown = 0xFF6B3C18, vest = 0xFF7A4A22, cream = 0xFFF4EAD0;
    const QImage hand = bar(brown, 2, cream);
    QImage face = onGround(hand, 0xFF1A2A5A);
    // A vest in front of the hand's lower half: where it cuts the hand off,
    // the face shows vest, not hand.
    QPainter(&face).fillRect(QRect(0, 45, 40, 35), QColor(vest));
    const auto stats = measure(face, hand, {10, 10}, 2, kThreshold);
    EXPECT_EQ(stats.weakPixels, 0) << "worst " << stats.worst << " at " << stats.worstAt.x() << "," << stats.worstAt.y();
    EXPECT_GT(stats.edgePixels, 0);
}

TEST(HandContrastMeasure, OutsideTheWindowIsNotCounted)
{
    const QImage hand = bar(0xFF1E1E24);
    QImage face = onGround(hand, 0xFF1A2A5A);
    face.fill(0); // nothing of the window around the hand
    for (int y = 0; y < hand.height(); ++y)
        for (int x = 0; x < hand.width(); ++x)
            if (hand.pixel(x, y) != 0xFFFF00FF)
                face.setPixel(x + 10, y + 10, hand.pixel(x, y));
    EXPECT_EQ(measure(face, hand, {10, 10}, 2, kThreshold).edgePixels, 0);
}

// Every supplied hand set over every supplied dial, body and head, at full
// and half size: each hand, turned round the dial in steps, must stand out
// from whatever lies beside it.
namespace {

struct HandCase
{
    const char *hand;
    int sizeScale;
};

void PrintTo(const HandCase &c, std::ostream *os) { *os << c.hand << " at " << c.sizeScale << "/16"; }

const char *const kSuppliedHands[] = {"Candy Stick", "Classic Black", "Cowboy 01", "Golden Leaf"};

// Width of the rim looked at: two full-size pixels of halo and two of line,
// scaled, and one more for the anti-aliased seam between them.
int band(int sizeScale) { return 4 * sizeScale / 16 + 1; }

class SuppliedHands : public ::testing::TestWithParam<HandCase>
{
protected:
    static void SetUpTestSuite() { rig = std::make_unique<FaceRig>(programDir()); }
    static void TearDownTestSuite() { rig.reset(); }
    static std::unique_ptr<FaceRig> rig;
};
std::unique_ptr<FaceRig> SuppliedHands::rig;

} // namespace

TEST_P(SuppliedHands, StandOutFromEveryDialAndCharacter)
{
    const HandCase c = GetParam();
    // The clock only frames the dial; the hands never leave it.
    const QString clock = rig->names("Clock").first();
    const struct { FaceRig::Hand hand; const char *name; } hands[] = {
        {FaceRig::Hand::Hour, "hour"}, {FaceRig::Hand::Minute, "minute"}, {FaceRig::Hand::Second, "second"}};
    int failures = 0, seen[3] = {0, 0, 0};
    for (const QString &dial : rig->names("Dial"))
        for (const QString &body : rig->names("Body"))
            for (const QString &head : rig->names("Head")) {
                rig->build({clock, dial, c.hand, head, body}, c.sizeScale);
                for (const auto &h : hands)
                    for (int angle = 0; angle < 360; angle += 30) {
                        rig->showOnly(h.hand, angle);
                        const auto stats = measure(rig->render(), rig->handPicture(h.hand),
                                                   rig->handPosition(h.hand), band(c.sizeScale), kThreshold);
                        // A hand wholly behind the character has no edge of its own.
                        if (stats.edgePixels == 0)
                            continue;
                        ++seen[int(h.hand)];
                        // A few pixels may meet a detail of their own brightness.
                        if (stats.weakShare() > 0.04 && ++failures <= 25)
                            ADD_FAILURE() << h.name << " hand at " << angle << " deg over " << dial.toStdString()
                                          << ", " << body.toStdString() << ", " << head.toStdString() << ": "
                                          << stats.weakPixels << " of " << stats.edgePixels
                                          << " edge pixels below 3:1, worst " << stats.worst << " at ("
                                          << stats.worstAt.x() << "," << stats.worstAt.y() << ")";
                    }
            }
    EXPECT_EQ(failures, 0) << "hand positions that do not stand out";
    for (const auto &h : hands)
        EXPECT_GT(seen[int(h.hand)], 0) << "the " << h.name << " hand was never seen";
}

INSTANTIATE_TEST_SUITE_P(
    AllCombinations, SuppliedHands,
    ::testing::Values(HandCase{"Candy Stick", 16}, HandCase{"Candy Stick", 8}, HandCase{"Classic Black", 16},
                      HandCase{"Classic Black", 8}, HandCase{"Cowboy 01", 16}, HandCase{"Cowboy 01", 8},
                      HandCase{"Golden Leaf", 16}, HandCase{"Golden Leaf", 8}),
    [](const ::testing::TestParamInfo<HandCase> &i) {
        return QString(i.param.hand).remove(' ').toStdString() + "_" + std::to_string(i.param.sizeScale * 100 / 16);
    });

TEST(SuppliedHandSets, AreAllInTheContrastTable)
{
    FaceRig rig(programDir());
    QStringList table;
    for (const char *h : kSuppliedHands)
        table << h;
    EXPECT_EQ(rig.names("Hand"), table) << "a new hand set joins the cases above";
}
