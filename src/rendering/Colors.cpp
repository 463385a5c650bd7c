#include "Colors.h"

#include <stdexcept>

QRgb colorToQRgb(TColor c) { return qRgb(colorRed(c), colorGreen(c), colorBlue(c)); }

TColor qRgbToColor(QRgb rgb) { return rgbColor(qRed(rgb), qGreen(rgb), qBlue(rgb)); }

QColor colorToQColor(TColor c) { return QColor(colorRed(c), colorGreen(c), colorBlue(c)); }

QString colorToHex(TColor c)
{
    return QString::asprintf("%.2X%.2X%.2X", colorRed(c), colorGreen(c), colorBlue(c));
}

TColor hexToColor(const QString &text)
{
    const QString t = text.trimmed();
    bool ok = t.size() == 6;
    for (QChar ch : t) {
        const char16_t u = ch.unicode();
        ok = ok && ((u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F'));
    }
    if (!ok)
        throw std::invalid_argument("'" + text.toStdString() + "' is not a colour of six hexadecimal digits RRGGBB");
    const int red = t.mid(0, 2).toInt(nullptr, 16);
    const int green = t.mid(2, 2).toInt(nullptr, 16);
    const int blue = t.mid(4, 2).toInt(nullptr, 16);
    return rgbColor(red, green, blue);
}
