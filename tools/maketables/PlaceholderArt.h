#pragma once
#include <QImage>

// Plain pictures for the default skin items, used until drawn art exists.
namespace PlaceholderArt {
QImage clock();
QImage dial();
QImage body();
QImage head();
QImage hand(int width, int length, QColor colour);
QImage productPicture();
}
