#include "RotImg.h"
#include "WindowSystem.h"

#include "Extended.h"
#include "RectPaint.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The stored pi of 80-bit arithmetic, a hair above the true value: the
// sine or cosine that should be 0 at a quarter angle comes out as a tiny
// number of a fixed sign, which decides the one-pixel corrections below.
constexpr long double kPi = 3.14159265358979323846264338327950288L;


long double reduceAngle(long double a)
{
    if (!std::isfinite(a))
        return 0;
    // Same as subtracting or adding 360 until in range (each step is exact
    // there), without looping for huge angles.
    if (a >= 360)
        a = fmodl(a, 360.0L);
    if (a < 0) {
        a = fmodl(a, 360.0L);
        if (a < 0)
            a += 360;
    }
    return a;
}

// Pixels equal to the bottom-left one made fully transparent, in one pass,
// in the format painting uses as it is (no conversion per paint).
// busy, when given, bounds the pixels that may differ from the key; all
// others are known to be the key and are not looked at.
QImage keyOutBottomLeft(const QImage &picture, QRegion *kept = nullptr, QRect busy = QRect())
{
    const QImage in = picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32
        ? picture
        : picture.convertToFormat(QImage::Format_ARGB32);
    if (in.isNull() || in.width() == 0 || in.height() == 0)
        return in;
    const int w = in.width(), h = in.height();
    QImage out(w, h, QImage::Format_ARGB32_Premultiplied);
    const QRgb key = in.pixel(0, h - 1);
    // An opaque picture is its own premultiplied form: only the key changes.
    const bool opaque = in.format() == QImage::Format_RGB32;
    if (kept)
        *kept = QRegion();
    const QRect area = busy.isValid() ? busy & in.rect() : in.rect();
    if (area != in.rect())
        out.fill(0);
    // The drawn pixels are gathered in bands of a few rows: a thin hand
    // turned towards a diagonal covers a small part of its bounding box.
    constexpr int band = 8;
    int bandFirst = w, bandLast = -1;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const QRgb *src = reinterpret_cast<const QRgb *>(in.constScanLine(y));
        QRgb *row = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            if (src[x] == key) {
                row[x] = 0;
            } else {
                row[x] = opaque ? src[x] : qPremultiply(src[x]);
                bandFirst = std::min(bandFirst, x);
                bandLast = std::max(bandLast, x);
            }
        }
        if ((y - area.top()) % band != band - 1 && y != area.bottom())
            continue;
        if (kept && bandLast >= 0) {
            const int top = y - (y - area.top()) % band;
            *kept += QRect(bandFirst, top, bandLast - bandFirst + 1, y - top + 1);
        }
        bandFirst = w;
        bandLast = -1;
    }
    return out;
}

} // namespace

QImage rotateBitmap(const QImage &source, TColor fill, double angle)
{
    const long double a = reduceAngle(angle);
    const long double theta = a * kPi / 180;
    long double s, c;
    sincosl(theta, &s, &c);

    const int W = source.width(), H = source.height();
    long double wd, hd;
    if (c * s >= 0) {
        wd = fabsl(W * c + H * s);
        hd = fabsl(W * s + H * c);
    } else {
        wd = fabsl(W * c - H * s);
        hd = fabsl(W * s - H * c);
    }
    const int Wr = int(roundEven(wd)), Hr = int(roundEven(hd));

    QImage result(Wr, Hr, QImage::Format_RGB32);
    if (result.isNull())
        return QImage(0, 0, QImage::Format_RGB32);
    result.fill(colorToQRgb(fill));
    if (W == 0 || H == 0)
        return result;
    const QImage src = source.convertToFormat(QImage::Format_RGB32);

    const int cxD = Wr / 2, cyD = Hr / 2;
    int cxS = W / 2, cyS = H / 2;
    if (c < 0)
        --cxS;
    if (s < 0)
        --cyS;

    // dx*c and dx*s per column, computed once; the same products as per pixel.
    std::vector<long double> dxc(Wr), dxs(Wr);
    for (int x = 0; x < Wr; ++x) {
        dxc[x] = (long double)(x - cxD) * c;
        dxs[x] = (long double)(x - cxD) * s;
    }
    // Columns of a row whose source position can fall inside the picture:
    // the position is linear in x, so they form one interval. It is taken
    // with a pixel to spare on each side, and only it is sampled (a thin
    // hand covers a small part of its square); the rest keeps the fill.
    auto narrow = [&](long double k, long double base, long double lo, long double hi, int &first, int &last) {
        if (fabsl(k) < 1e-9L) {
            if (base < lo || base > hi)
                last = -1;
            return;
        }
        long double t1 = (lo - base) / k, t2 = (hi - base) / k;
        if (t1 > t2)
            std::swap(t1, t2);
        const long double lo_x = std::clamp<long double>(floorl(t1) + cxD - 1, -1, Wr);
        const long double hi_x = std::clamp<long double>(ceill(t2) + cxD + 1, -1, Wr);
        first = std::max(first, int(lo_x));
        last = std::min(last, int(hi_x));
    };
    for (int y = 0; y < Hr; ++y) {
        const long double dy = y - cyD;
        const long double dys = dy * s, dyc = dy * c;
        QRgb *out = reinterpret_cast<QRgb *>(result.scanLine(y));
        int first = 0, last = Wr - 1;
        narrow(c, -dys, -cxS - 1.5L, W - cxS + 0.5L, first, last);
        narrow(s, dyc, -cyS - 1.5L, H - cyS + 0.5L, first, last);
        first = std::max(first, 0);
        last = std::min(last, Wr - 1);
        for (int x = first; x <= last; ++x) {
            const long sx = cxS + roundEven(dxc[x] - dys);
            const long sy = cyS + roundEven(dxs[x] + dyc);
            if (sx >= 0 && sx < W && sy >= 0 && sy < H)
                out[x] = reinterpret_cast<const QRgb *>(src.constScanLine(int(sy)))[sx];
        }
    }
    return result;
}

int uniqueSquareSide(int width, int height)
{
    const long long w = width + 2, h = height + 2;
    return int(roundEven(sqrtl((long double)(w * w + h * h))));
}

TRotateImage::TRotateImage(QWidget *parent) : QWidget(parent)
{
    resize(105, 105);
}

void TRotateImage::setPicture(const QImage &picture)
{
    m_picture = picture;
    PictureChanged();
}

void TRotateImage::setAngle(long double angle)
{
    if (angle == m_angle)
        return;
    m_angle = angle;
    PictureChanged();
}

void TRotateImage::setCenter(bool on)
{
    if (on == m_center)
        return;
    m_center = on;
    PictureChanged();
}

void TRotateImage::setStretch(bool on)
{
    if (on == m_stretch)
        return;
    m_stretch = on;
    PictureChanged();
}

void TRotateImage::setTransparent(bool on)
{
    if (on == m_transparent)
        return;
    m_transparent = on;
    PictureChanged();
}

void TRotateImage::setUniqueSize(bool on)
{
    if (on == m_uniqueSize)
        return;
    m_uniqueSize = on;
    PictureChanged();
}

void TRotateImage::setAutoSize(bool on)
{
    if (on == m_autoSize)
        return;
    m_autoSize = on;
    if (on && !m_display.isNull() && m_display.width() > 0)
        resize(m_display.size());
}

void TRotateImage::setColor(TColor color)
{
    if (color == m_color)
        return;
    m_color = color;
    update();
    rebuildRotation();
}

void TRotateImage::PictureChanged()
{
    const bool hasGraphic = !m_picture.isNull() && m_picture.width() > 0 && m_picture.height() > 0;
    // Opaque only when the last display bitmap covers the control.
    const bool opaque = hasGraphic && !m_transparent
        && (m_stretch || (m_display.width() >= width() && m_display.height() >= height()));
    setAttribute(Qt::WA_OpaquePaintEvent, opaque);

    rebuildRotation();

    if (m_autoSize && hasGraphic)
        setGeometry(x(), y(), m_display.width(), m_display.height());
    if (m_drawing)
        return;
    // A turned hand repaints only where it was and where it is now, not its
    // whole square: less of the face below is drawn again every second. The
    // bounding box of each, not the hand's outline: a region of a few
    // rectangles is painted by copying, one of hundreds span by span. A
    // window that paints its own alpha (Wayland) repaints the square: there,
    // partial updates left traces of the hand behind.
    const QRegion now = m_stretch ? QRegion(rect()) : QRegion(m_kept.boundingRect().translated(destinationRect().topLeft()));
    if (m_shownValid && !WindowSystem::alphaWindows())
        update(m_shown + now);
    else
        update();
    m_shown = now;
    m_shownValid = !m_stretch;
}

void TRotateImage::rebuildRotation()
{
    ++m_rebuilds;
    const int W = m_picture.width(), H = m_picture.height();
    if (W < 1 || H < 1) {
        m_display = QImage(0, 0, QImage::Format_RGB32);
        m_displayTransparent = false;
        m_drawable = QImage();
        if (m_autoSize)
            resize(0, 0);
        return;
    }

    // The picture on its fill does not depend on the angle: made once per
    // picture, colour or transparency, not once per turn.
    if (m_work.isNull() || m_workColor != m_color || m_workTransparent != m_transparent
        || m_workSource.cacheKey() != m_picture.cacheKey()) {
        m_work = QImage(W, H, QImage::Format_RGB32);
        m_work.fill(colorToQRgb(m_color));
        QPainter p(&m_work);
        p.drawImage(0, 0, m_transparent ? keyOutBottomLeft(m_picture) : m_picture);
        m_workColor = m_color;
        m_workTransparent = m_transparent;
        m_workSource = m_picture;
    }
    QImage turned = rotateBitmap(m_work, m_color, double(m_angle));
    QRect busy;

    if (m_uniqueSize) {
        const int S = uniqueSquareSide(W, H);
        QImage square(S, S, QImage::Format_RGB32);
        square.fill(colorToQRgb(m_color));
        const QPoint at = (m_center && !m_stretch)
            ? QPoint((S - turned.width()) / 2, (S - turned.height()) / 2)
            : QPoint(0, 0);
        {
            QPainter p(&square);
            p.setCompositionMode(QPainter::CompositionMode_Source);
            p.drawImage(at, turned);
        }
        m_display = square;
        m_displayTransparent = m_transparent;
        // Outside the turned picture the square is all fill, the colour of
        // its bottom-left pixel (the square is wider than any turn).
        busy = QRect(at, turned.size());
    } else {
        m_display = turned;
        m_displayTransparent = false;
    }
    m_drawable = m_displayTransparent ? keyOutBottomLeft(m_display, &m_kept, busy) : m_display;
    if (!m_displayTransparent)
        m_kept = QRegion(m_display.rect());

    if (m_autoSize)
        resize(m_display.size());
}

QRect TRotateImage::destinationRect() const
{
    if (m_stretch)
        return rect();
    if (m_center)
        return QRect((width() - m_display.width()) / 2, (height() - m_display.height()) / 2,
                     m_display.width(), m_display.height());
    return QRect(0, 0, m_display.width(), m_display.height());
}

void TRotateImage::paintEvent(QPaintEvent *e)
{
    if (m_drawable.isNull() || m_drawable.width() == 0 || m_drawable.height() == 0)
        return;
    const bool wasDrawing = m_drawing;
    m_drawing = true;
    QPainter p(this);
    const QRect to = destinationRect();
    paintByRects(p, e->region(), [&] { p.drawImage(to, m_drawable); });
    m_drawing = wasDrawing;
}

void TRotateImage::resizeEvent(QResizeEvent *e)
{
    // A resized control is painted whole; where the hand showed before no
    // longer matters.
    m_shownValid = false;
    QWidget::resizeEvent(e);
}

void TRotateImage::changeEvent(QEvent *e)
{
    // A disabled picture lets presses through to the window below it.
    if (e->type() == QEvent::EnabledChange)
        setAttribute(Qt::WA_TransparentForMouseEvents, !isEnabled());
    QWidget::changeEvent(e);
}
