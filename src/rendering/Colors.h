#pragma once
#include <QColor>
#include <QString>

// A colour value as the program stores it: red in the low byte, green in the
// next, blue in the third ($00BBGGRR).
using TColor = quint32;

constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clBlack = 0x000000;
constexpr TColor clMagenta = 0xFF00FF;

constexpr TColor rgbColor(int red, int green, int blue)
{
    return TColor(red) | (TColor(green) << 8) | (TColor(blue) << 16);
}
constexpr int colorRed(TColor c) { return int(c & 0xFF); }
constexpr int colorGreen(TColor c) { return int((c >> 8) & 0xFF); }
constexpr int colorBlue(TColor c) { return int((c >> 16) & 0xFF); }

// Conversions to and from Qt's 0xAARRGGBB form (alpha dropped / set opaque).
QRgb colorToQRgb(TColor c);
TColor qRgbToColor(QRgb rgb);
QColor colorToQColor(TColor c);

// Six upper-case hexadecimal digits, red first ("FF00FF" for magenta).
QString colorToHex(TColor c);
// The colour whose red, green and blue are digit pairs 1-2, 3-4 and 5-6.
// Anything but exactly six hexadecimal digits (surrounding blanks aside)
// throws std::invalid_argument.
TColor hexToColor(const QString &text);
