#include "PlaceholderArt.h"

#include <QPainter>
#include <QtMath>

namespace {
const QColor kKey(255, 0, 255);

QImage canvas(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(kKey);
    return img;
}
} // namespace

namespace PlaceholderArt {

QImage clock()
{
    QImage img = canvas(300, 400);
    QPainter p(&img);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(150, 90, 40));
    p.drawRoundedRect(QRect(10, 60, 280, 330), 60, 60);
    p.setBrush(QColor(200, 140, 60));
    p.drawEllipse(QRect(125, 10, 50, 60));
    return img;
}

QImage dial()
{
    QImage img = canvas(250, 250);
    QPainter p(&img);
    p.setPen(QPen(QColor(60, 40, 20), 6));
    p.setBrush(QColor(250, 240, 210));
    p.drawEllipse(QRect(5, 5, 240, 240));
    for (int i = 0; i < 12; ++i) {
        const double a = i * M_PI / 6;
        p.drawLine(QPointF(125 + 100 * std::sin(a), 125 - 100 * std::cos(a)),
                   QPointF(125 + 112 * std::sin(a), 125 - 112 * std::cos(a)));
    }
    return img;
}

QImage body()
{
    QImage img = canvas(120, 90);
    QPainter p(&img);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 110, 170));
    p.drawRoundedRect(QRect(20, 0, 80, 90), 20, 20);
    return img;
}

QImage head()
{
    QImage img = canvas(90, 90);
    QPainter p(&img);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 200, 160));
    p.drawEllipse(QRect(10, 10, 70, 75));
    p.setBrush(QColor(40, 30, 20));
    p.drawEllipse(QRect(30, 40, 8, 10));
    p.drawEllipse(QRect(52, 40, 8, 10));
    return img;
}

QImage hand(int width, int length, QColor colour)
{
    QImage img = canvas(width, length * 2);
    QPainter p(&img);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawRect(QRect(width / 2 - 2, 4, 4, length));
    p.drawEllipse(QPoint(width / 2, length), width / 2 - 1, width / 2 - 1);
    return img;
}

QImage productPicture()
{
    QImage img(97, 113, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(250, 236, 200));
    p.setPen(QPen(QColor(120, 70, 30), 5));
    p.drawEllipse(QRectF(8, 16, 80, 80));
    p.setPen(QPen(QColor(40, 30, 20), 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(48, 56), QPointF(48, 30));
    p.drawLine(QPointF(48, 56), QPointF(66, 64));
    return img;
}

} // namespace PlaceholderArt
