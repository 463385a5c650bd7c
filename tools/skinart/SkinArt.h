#pragma once
#include <QImage>
#include <QRgb>
#include <QString>
#include <QVector>
#include <stdexcept>

// Turns the editable skin art (SVG files listed in a JSON manifest) into the
// pictures and fields of the five skin tables.
//
// Every picture comes back as QImage::Format_RGB32 with hard edges: each pixel
// is either exactly the picture's key colour or an art colour, never a blend of
// the two, so nearest-pixel scaling at any size leaves no fringe. The key colour
// is magenta #FF00FF unless a picture's manifest entry says otherwise; it fills
// the picture's bottom-left corner, which is how the clock finds it.

struct SkinArtError : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

struct SkinArtItem
{
    QString category;       // "clock", "dial", "hand", "head" or "body"
    int version = 100;      // skin-database version the item needs (package catalogue)
    QString name;           // Name: the key of its table
    QString notes;          // Notes

    // Pictures. Clock/Dial/Head/Body use image; Clock may add animationImage;
    // Hand uses imgHour/imgMinute/imgSecond. Unused ones stay null.
    QImage image;           // Image
    QImage animationImage;  // AnimationImage: frames of equal height, top to bottom
    QImage imgHour, imgMinute, imgSecond;

    // Clock: Left/Top place the dial's top-left corner. Head: Left/Top move the head.
    int left = 0, top = 0;
    // Clock animation.
    int animationFrames = 0, animationLeft = 0, animationTop = 0;
    bool animationFlag = false, animationTrans = false;
    // Dial.
    int secHandOffset = 0;
    // Hand.
    bool minHandBehind = false, secHandBehind = false, hourHandBehind = false;
    // Body.
    int bodyLeft = 0, bodyTop = 0, headLeft = 0, headTop = 0;
};

namespace SkinArt {

constexpr QRgb kMagenta = 0xFFFF00FF;

// Renders SVG data at width x height: anti-aliased, then every pixel below half
// coverage becomes the key colour and every other pixel takes its un-premultiplied
// art colour. Art pixels that happen to equal the key (or, with avoidWhite, pure
// white, the fill colour the hands are turned on) are moved one step off it.
QImage renderSvg(const QByteArray &svg, int width, int height, QRgb key, bool avoidWhite = false);
QImage renderSvgFile(const QString &path, int width, int height, QRgb key, bool avoidWhite = false);

// The same drawing before the key: anti-aliased on a transparent ground
// (Format_ARGB32, not premultiplied), what an icon wants.
QImage renderSvgSmooth(const QByteArray &svg, int width, int height);
QImage renderSvgFileSmooth(const QString &path, int width, int height);

}

// Reads a manifest ({"items": [...]}, paths relative to the manifest's folder)
// and renders every picture. Throws SkinArtError naming the file and item on a
// missing or unreadable file, an unknown category or a picture whose
// bottom-left pixel is not its key colour.
QVector<SkinArtItem> loadCatalogue(const QString &manifestPath);
