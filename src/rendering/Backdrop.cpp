#include "Backdrop.h"

#include "PaintedLayer.h"

#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <utility>

namespace {

// The widgets painted under `control` within its rectangle, bottom first.
std::vector<QWidget *> layersBelow(QWidget &control)
{
    std::vector<QWidget *> below;
    const QRect area = control.geometry();
    for (QObject *o : control.parentWidget()->children()) {
        if (o == &control)
            break;
        auto *w = qobject_cast<QWidget *>(o);
        if (w && !w->isWindow() && !w->isHidden() && w->geometry().intersects(area))
            below.push_back(w);
    }
    return below;
}

// Each layer under the control with its place and paint key; empty when a
// layer cannot tell whether it changed.
std::vector<quint64> stateOf(QWidget &control, const std::vector<QWidget *> &below)
{
    auto *window = dynamic_cast<PaintedLayer *>(control.parentWidget());
    if (!window)
        return {};
    std::vector<quint64> state;
    auto add = [&state](quintptr who, const QRect &r, quint64 key) {
        state.insert(state.end(), {quint64(who), quint64(quint32(r.x())), quint64(quint32(r.y())),
                                   quint64(r.width()), quint64(r.height()), key});
    };
    add(0, control.geometry(), window->paintKey());
    for (QWidget *w : below) {
        auto *layer = dynamic_cast<PaintedLayer *>(w);
        if (!layer)
            return {};
        add(quintptr(w), w->geometry(), layer->paintKey());
    }
    return state;
}

// Exactly the pixels where two pictures of one size differ, as runs of a
// row; rows with the same runs as the row above extend its rectangles.
// Exact, so that what a paint already covered is left out exactly: a
// rectangle around a turned hand would reach past what was repainted.
QRegion difference(const QImage &a, const QImage &b)
{
    std::vector<QRect> rects;
    std::size_t band = 0; // where the rectangles of the row above begin
    const int w = a.width();
    for (int y = 0; y < a.height(); ++y) {
        const QRgb *ra = reinterpret_cast<const QRgb *>(a.constScanLine(y));
        const QRgb *rb = reinterpret_cast<const QRgb *>(b.constScanLine(y));
        if (std::equal(ra, ra + w, rb))
            continue;
        const std::size_t row = rects.size();
        for (int x = 0; x < w;) {
            if (ra[x] == rb[x]) {
                ++x;
                continue;
            }
            const int first = x;
            while (x < w && ra[x] != rb[x])
                ++x;
            rects.emplace_back(first, y, x - first, 1);
        }
        const bool sameRuns = row > band && rects[row - 1].bottom() == y - 1 && rects.size() - row == row - band
            && std::equal(rects.begin() + band, rects.begin() + row, rects.begin() + row,
                          [](const QRect &above, const QRect &r) {
                              return above.left() == r.left() && above.right() == r.right();
                          });
        if (sameRuns) {
            for (std::size_t i = band; i < row; ++i)
                rects[i].setBottom(y);
            rects.resize(row);
        } else {
            band = row;
        }
    }
    QRegion out;
    out.setRects(rects.data(), int(rects.size()));
    return out;
}

} // namespace

bool Backdrop::stale(QWidget &control)
{
    const std::vector<quint64> state = stateOf(control, layersBelow(control));
    return !state.empty() && (state != m_layers || m_picture.size() != control.size());
}

const QImage &Backdrop::under(QWidget &control)
{
    QWidget *window = control.parentWidget();
    const std::vector<QWidget *> below = layersBelow(control);
    std::vector<quint64> state = stateOf(control, below);
    if (!state.empty() && state == m_layers && m_picture.size() == control.size())
        return m_picture;

    const QRect area = control.geometry();
    // The picture before is kept until the new one is compared with it.
    const QImage before = m_picture.size() == area.size() ? std::exchange(m_picture, QImage()) : QImage();
    m_picture = QImage(area.size(), QImage::Format_RGB32);
    m_picture.fill(Qt::black);
    {
        QPainter p(&m_picture);
        // Each layer paints itself as its paint event would. Only one that
        // cannot is rendered by Qt, which would also load the fonts for it.
        auto paint = [&p, &area](QWidget *w, QPoint at, QWidget::RenderFlags flags) {
            if (auto *layer = dynamic_cast<PaintedLayer *>(w)) {
                p.setTransform(QTransform::fromTranslate(at.x() - area.x(), at.y() - area.y()));
                layer->paintLayer(p);
            } else {
                p.resetTransform();
                w->render(&p, at - area.topLeft(), QRegion(), flags);
            }
        };
        paint(window, QPoint(), QWidget::DrawWindowBackground);
        for (QWidget *w : below)
            paint(w, w->pos(), QWidget::DrawChildren);
    }
    m_changed = before.isNull() ? QRegion(m_picture.rect()) : difference(before, m_picture);
    m_layers = std::move(state);
    ++m_renders;
    return m_picture;
}
