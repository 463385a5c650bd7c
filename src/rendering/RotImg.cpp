#include "RotImg.h"

#include "Backdrop.h"
#include "WindowSystem.h"

#include "Extended.h"
#include "RectPaint.h"

#include <QBackingStore>
#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWindow>

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
QImage keyOutBottomLeft(const QImage &picture)
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
    for (int y = 0; y < h; ++y) {
        const QRgb *src = reinterpret_cast<const QRgb *>(in.constScanLine(y));
        QRgb *row = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < w; ++x)
            row[x] = src[x] == key ? 0 : opaque ? src[x] : qPremultiply(src[x]);
    }
    return out;
}

} // namespace

namespace {

// Where a W x H picture turned by an angle lands: its bounding box and the
// centres the sampling turns about.
struct Turn
{
    long double s = 0, c = 0;
    int W = 0, H = 0, Wr = 0, Hr = 0;
    int cxD = 0, cyD = 0, cxS = 0, cyS = 0;
};

Turn planTurn(int W, int H, double angle)
{
    Turn t;
    const long double a = reduceAngle(angle);
    const long double theta = a * kPi / 180;
    sincosl(theta, &t.s, &t.c);
    const long double s = t.s, c = t.c;
    long double wd, hd;
    if (c * s >= 0) {
        wd = fabsl(W * c + H * s);
        hd = fabsl(W * s + H * c);
    } else {
        wd = fabsl(W * c - H * s);
        hd = fabsl(W * s - H * c);
    }
    t.W = W;
    t.H = H;
    t.Wr = int(roundEven(wd));
    t.Hr = int(roundEven(hd));
    t.cxD = t.Wr / 2;
    t.cyD = t.Hr / 2;
    t.cxS = W / 2;
    t.cyS = H / 2;
    if (c < 0)
        --t.cxS;
    if (s < 0)
        --t.cyS;
    return t;
}

// Samples the turned picture row by row: put(x, y, pixel) for each pixel of
// the bounding box the source covers; the others are left to the caller's
// fill. src is RGB32 of the planned size.
template <typename Put>
void turnPixels(const Turn &t, const QImage &src, Put put)
{
    const long double s = t.s, c = t.c;
    const int W = t.W, H = t.H, Wr = t.Wr, Hr = t.Hr, cxD = t.cxD, cyD = t.cyD, cxS = t.cxS, cyS = t.cyS;
    const uchar *bits = src.constBits();
    const qsizetype stride = src.bytesPerLine();
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
        // Far beyond the row either way, a bound only has to stay beyond it:
        // clamped first, it fits the integer rounding.
        constexpr long double far = 1e15L;
        const long long lo_x = std::clamp<long long>(floorInt(std::clamp(t1, -far, far)) + cxD - 1, -1, Wr);
        const long long hi_x = std::clamp<long long>(ceilInt(std::clamp(t2, -far, far)) + cxD + 1, -1, Wr);
        first = std::max(first, int(lo_x));
        last = std::min(last, int(hi_x));
    };
    for (int y = 0; y < Hr; ++y) {
        const long double dy = y - cyD;
        const long double dys = dy * s, dyc = dy * c;
        int first = 0, last = Wr - 1;
        narrow(c, -dys, -cxS - 1.5L, W - cxS + 0.5L, first, last);
        narrow(s, dyc, -cyS - 1.5L, H - cyS + 0.5L, first, last);
        first = std::max(first, 0);
        last = std::min(last, Wr - 1);
        for (int x = first; x <= last; ++x) {
            const long sx = cxS + roundEven(dxc[x] - dys);
            const long sy = cyS + roundEven(dxs[x] + dyc);
            if (sx >= 0 && sx < W && sy >= 0 && sy < H)
                put(x, y, reinterpret_cast<const QRgb *>(bits + sy * stride)[sx]);
        }
    }
}

} // namespace

QImage rotateBitmap(const QImage &source, TColor fill, double angle)
{
    const Turn t = planTurn(source.width(), source.height(), angle);
    QImage result(t.Wr, t.Hr, QImage::Format_RGB32);
    if (result.isNull())
        return QImage(0, 0, QImage::Format_RGB32);
    result.fill(colorToQRgb(fill));
    if (t.W == 0 || t.H == 0)
        return result;
    const QImage src = source.convertToFormat(QImage::Format_RGB32);
    QRgb *row = nullptr;
    int rowY = -1;
    turnPixels(t, src, [&](int x, int y, QRgb pixel) {
        if (y != rowY) {
            row = reinterpret_cast<QRgb *>(result.scanLine(y));
            rowY = y;
        }
        row[x] = pixel;
    });
    return result;
}

int uniqueSquareSide(int width, int height)
{
    const long long w = width + 2, h = height + 2;
    return int(roundEven(sqrtl((long double)(w * w + h * h))));
}

void composeKeyed(QImage &target, QPoint at, const QImage &under, const QImage &keyed, QPoint keyedAt,
                  const QRegion &region)
{
    const QRect keyedRect(keyedAt, keyed.size());
    for (const QRect &r : region) {
        for (int y = r.top(); y <= r.bottom(); ++y) {
            auto *to = reinterpret_cast<QRgb *>(target.scanLine(y + at.y())) + at.x();
            const auto *from = reinterpret_cast<const QRgb *>(under.constScanLine(y));
            std::copy(from + r.left(), from + r.right() + 1, to + r.left());
            const QRect span = QRect(r.left(), y, r.width(), 1) & keyedRect;
            if (span.isEmpty())
                continue;
            const auto *hand = reinterpret_cast<const QRgb *>(keyed.constScanLine(y - keyedAt.y())) - keyedAt.x();
            for (int x = span.left(); x <= span.right(); ++x)
                if (hand[x])
                    to[x] = hand[x];
        }
    }
}

TRotateImage::TRotateImage(QWidget *parent) : QWidget(parent)
{
    resize(105, 105);
}

TRotateImage::~TRotateImage() = default;

void TRotateImage::setKeepBackdrop(bool on)
{
    if (on == bool(m_backdrop))
        return;
    m_backdrop = on ? std::make_unique<Backdrop>() : nullptr;
    if (QWidget *window = parentWidget()) {
        watch(window);
        for (QObject *layer : window->children())
            watch(layer);
    }
    PictureChanged();
}

void TRotateImage::watch(QObject *layer)
{
    if (layer == this || !layer->isWidgetType())
        return;
    if (m_backdrop)
        layer->installEventFilter(this);
    else
        layer->removeEventFilter(this);
}

bool TRotateImage::eventFilter(QObject *watched, QEvent *e)
{
    if (!m_backdrop)
        return false;
    switch (e->type()) {
    case QEvent::ChildAdded:
        if (watched == parentWidget())
            watch(static_cast<QChildEvent *>(e)->child());
        break;
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::ZOrderChange:
        update();
        break;
    case QEvent::Paint:
        // Something there changed; what changed beneath this control alone
        // was left out of that paint.
        if (m_backdrop->stale(*this)) {
            m_backdrop->under(*this);
            update(m_backdrop->changed());
        }
        break;
    default:
        break;
    }
    return false;
}

void TRotateImage::setPaintAtOnce(bool on) { m_paintAtOnce = on; }

void TRotateImage::setKeepTurns(bool on)
{
    m_keepTurns = on;
    if (!on)
        m_turns.clear();
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
    if (on && m_displaySize.width() > 0)
        resize(m_displaySize);
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
        && (m_stretch || (m_displaySize.width() >= width() && m_displaySize.height() >= height()));
    setAttribute(Qt::WA_OpaquePaintEvent, opaque || m_backdrop);

    rebuildRotation();

    if (m_autoSize && hasGraphic)
        setGeometry(x(), y(), m_displaySize.width(), m_displaySize.height());
    if (m_drawing)
        return;
    // A turned hand repaints only where it was and where it is now, not its
    // whole square: less of the face below is drawn again every second. The
    // bounding box of each, not the hand's outline: a region of a few
    // rectangles is painted by copying, one of hundreds span by span. A
    // window that paints its own alpha (Wayland) repaints the square: there,
    // partial updates left traces of the hand behind.
    const QRegion now = m_stretch ? QRegion(rect()) : m_kept.translated(destinationRect().topLeft());
    const QRegion dirty = m_shownValid && !WindowSystem::alphaWindows() ? m_shown + now : QRegion(rect());
    if (!m_paintAtOnce)
        update(dirty);
    else if (!paintIntoWindow(dirty))
        repaint(dirty);
    m_shown = now;
    m_shownValid = !m_stretch;
}

void TRotateImage::rebuildRotation()
{
    ++m_rebuilds;
    const int W = m_picture.width(), H = m_picture.height();
    if (W < 1 || H < 1) {
        m_display = QImage(0, 0, QImage::Format_RGB32);
        m_displayKeyed = false;
        m_displayTransparent = false;
        m_displaySize = QSize(0, 0);
        m_drawable = QImage();
        m_turns.clear();
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
    if (m_uniqueSize && m_transparent) {
        turnKeyed();
    } else {
        m_turns.clear(); // of no use to a picture drawn as it is
        QImage turned = rotateBitmap(m_work, m_color, double(m_angle));
        if (m_uniqueSize) {
            const int S = uniqueSquareSide(W, H);
            QImage square(S, S, QImage::Format_RGB32);
            square.fill(colorToQRgb(m_color));
            const QPoint at = (m_center && !m_stretch) ? QPoint((S - turned.width()) / 2, (S - turned.height()) / 2)
                                                       : QPoint(0, 0);
            {
                QPainter p(&square);
                p.setCompositionMode(QPainter::CompositionMode_Source);
                p.drawImage(at, turned);
            }
            m_display = square;
        } else {
            m_display = turned;
        }
        m_displayKeyed = false;
        m_displayTransparent = false;
        m_displaySize = m_display.size();
        m_drawable = m_display;
        m_kept = QRegion(m_display.rect());
    }

    if (m_autoSize)
        resize(m_displaySize);
}

void TRotateImage::turnKeyed()
{
    // The display bitmap is the turned picture in a square of fill, drawn
    // with the fill left out. That is made in one pass, straight into the
    // drawable: the pixels the turn covers and that are not the fill. The
    // drawable of the last turn is reused, cleared in the bands that turn
    // drew, so an idle clock neither allocates nor sweeps a whole square,
    // nor the turn's bounding box, a second.
    const int S = uniqueSquareSide(m_work.width(), m_work.height());
    const Turn t = planTurn(m_work.width(), m_work.height(), double(m_angle));
    // The square is wider than any turn: its bottom-left pixel is always fill.
    const QPoint at = (m_center && !m_stretch) ? QPoint((S - t.Wr) / 2, (S - t.Hr) / 2) : QPoint(0, 0);
    if (m_displayKeyed && m_drawable.size() == QSize(S, S)) {
        // One detach for all rows: scanLine checks for one every row.
        uchar *bits = m_drawable.bits();
        const qsizetype stride = m_drawable.bytesPerLine();
        for (const QRect &r : m_kept)
            for (int y = r.top(); y <= r.bottom(); ++y)
                std::fill_n(reinterpret_cast<QRgb *>(bits + y * stride) + r.left(), r.width(), 0u);
    } else {
        m_drawable = QImage(S, S, QImage::Format_ARGB32_Premultiplied);
        m_drawable.fill(0);
    }
    m_displayKeyed = true;
    m_displayTransparent = true;
    m_displaySize = QSize(S, S);
    m_display = QImage();

    // A hand comes back to its angles (the second hand every minute): the
    // turn kept for this one is copied into the cleared drawable instead.
    const QRgb key = colorToQRgb(m_color);
    if (m_keepTurns) {
        m_turns.use({m_work.cacheKey(), key, m_center && !m_stretch});
        if (m_turns.restore(double(m_angle), m_drawable, m_kept))
            return;
    }

    // The drawn pixels are gathered in bands of a few rows counted from the
    // turn's top: a thin hand turned towards a diagonal covers a small part
    // of its bounding box.
    constexpr int band = 8;
    m_kept = QRegion();
    int bandIndex = -1, bandFirst = 0, bandLast = -1;
    auto closeBand = [&] {
        if (bandLast < 0)
            return;
        const int top = at.y() + bandIndex * band;
        const int bottom = std::min(top + band - 1, at.y() + t.Hr - 1);
        m_kept += QRect(bandFirst, top, bandLast - bandFirst + 1, bottom - top + 1);
    };
    QRgb *row = nullptr;
    int rowY = -1;
    turnPixels(t, m_work, [&](int x, int y, QRgb pixel) {
        if (pixel == key)
            return;
        if (y != rowY) {
            row = reinterpret_cast<QRgb *>(m_drawable.scanLine(at.y() + y)) + at.x();
            rowY = y;
            if (y / band != bandIndex) {
                closeBand();
                bandIndex = y / band;
                bandFirst = m_drawable.width();
                bandLast = -1;
            }
        }
        // Opaque pixels are their own premultiplied form.
        row[x] = pixel;
        bandFirst = std::min(bandFirst, at.x() + x);
        bandLast = std::max(bandLast, at.x() + x);
    });
    closeBand();
    if (m_keepTurns)
        m_turns.keep(double(m_angle), m_drawable, m_kept);
}

QImage TRotateImage::displayBitmap() const
{
    if (!m_displayKeyed)
        return m_display;
    // Rebuilt from the drawable: the fill wherever it is clear.
    QImage display(m_displaySize, QImage::Format_RGB32);
    display.fill(colorToQRgb(m_color));
    for (int y = 0; y < display.height(); ++y) {
        const QRgb *from = reinterpret_cast<const QRgb *>(m_drawable.constScanLine(y));
        QRgb *to = reinterpret_cast<QRgb *>(display.scanLine(y));
        for (int x = 0; x < display.width(); ++x)
            if (qAlpha(from[x]))
                to[x] = from[x];
    }
    return display;
}

QRect TRotateImage::destinationRect() const
{
    if (m_stretch)
        return rect();
    if (m_center)
        return QRect((width() - m_displaySize.width()) / 2, (height() - m_displaySize.height()) / 2,
                     m_displaySize.width(), m_displaySize.height());
    return QRect(QPoint(0, 0), m_displaySize);
}

void TRotateImage::paintEvent(QPaintEvent *e)
{
    const bool hasDrawable = !m_drawable.isNull() && m_drawable.width() > 0 && m_drawable.height() > 0;
    if (!hasDrawable && !m_backdrop)
        return;
    const bool wasDrawing = m_drawing;
    m_drawing = true;
    const QImage *under = m_backdrop ? &backdropFor(e->region()) : nullptr;
    QPainter p(this);
    const QRect to = destinationRect();
    paintByRects(p, e->region(), [&] {
        if (under)
            p.drawImage(0, 0, *under);
        if (hasDrawable)
            p.drawImage(to, m_drawable);
    });
    m_drawing = wasDrawing;
}

const QImage &TRotateImage::backdropFor(const QRegion &painting)
{
    const int made = m_backdrop->renders();
    const QImage &under = m_backdrop->under(*this);
    // A picture made again for a part of the control: what changed beneath
    // elsewhere shows what was there before, until painted again.
    if (m_backdrop->renders() != made) {
        const QRegion rest = m_backdrop->changed() - painting;
        if (!rest.isEmpty())
            QMetaObject::invokeMethod(this, [this, rest] { update(rest); }, Qt::QueuedConnection);
    }
    return under;
}

bool TRotateImage::paintIntoWindow(const QRegion &dirty)
{
    // Qt's repaint of one control walks every control of the window and
    // goes through a painter per band: for the second hand, most of the
    // cost of an idle second. Over its backdrop, with no control above it
    // there, its keyed pixels are simply copied over the backdrop's.
    QWidget *window = parentWidget();
    if (!m_backdrop || !m_displayKeyed || m_stretch || !window || !window->isWindow() || !isVisible()
        || !updatesEnabled() || WindowSystem::alphaWindows())
        return false;
    QWindow *handle = window->windowHandle();
    QBackingStore *store = window->backingStore();
    if (!handle || !handle->isExposed() || !store || store->size() != window->size()
        || store->paintDevice()->devType() != QInternal::Image)
        return false;
    auto *target = static_cast<QImage *>(store->paintDevice());
    if (target->devicePixelRatio() != 1
        || (target->format() != QImage::Format_RGB32 && target->format() != QImage::Format_ARGB32_Premultiplied))
        return false;
    const QRegion region = dirty & rect() & QRect(-pos(), window->size());
    const QList<QObject *> &layers = window->children();
    for (qsizetype i = layers.indexOf(this) + 1; i < layers.size(); ++i) {
        auto *above = qobject_cast<QWidget *>(layers[i]);
        if (above && !above->isWindow() && !above->isHidden() && region.intersects(above->geometry().translated(-pos())))
            return false;
    }
    const QRegion onWindow = region.translated(pos());
    store->beginPaint(onWindow);
    composeKeyed(*target, pos(), backdropFor(region), m_drawable, destinationRect().topLeft(), region);
    store->endPaint();
    store->flush(onWindow, handle);
    return true;
}

void TRotateImage::paintLayer(QPainter &painter)
{
    if (!m_drawable.isNull() && m_drawable.width() > 0 && m_drawable.height() > 0)
        painter.drawImage(destinationRect(), m_drawable);
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
