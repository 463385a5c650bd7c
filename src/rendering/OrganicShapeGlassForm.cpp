#include "OrganicShapeGlassForm.h"

#include "AlphaWindowEffect.h"
#include "RectPaint.h"
#include "WindowSystem.h"

#include <QGuiApplication>
#include <QMoveEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QThread>

#include <cmath>

namespace {

int percentOf(double level) { return int(std::nearbyint(level * 100)); }

bool chooseLayered(TOrganicShapeGlassForm::GlassMode mode)
{
    switch (mode) {
    case TOrganicShapeGlassForm::GlassMode::Layered:
        return true;
    case TOrganicShapeGlassForm::GlassMode::Fallback:
        return false;
    case TOrganicShapeGlassForm::GlassMode::Detect:
        break;
    }
    return WindowSystem::layeredModeAvailable();
}

} // namespace

TOrganicShapeGlassForm::TOrganicShapeGlassForm(QWidget *parent)
    : TOrganicShapeGlassForm(GlassMode::Detect, parent)
{
}

TOrganicShapeGlassForm::TOrganicShapeGlassForm(GlassMode mode, QWidget *parent)
    : TOrganicShapeForm(parent), m_layered(chooseLayered(mode))
{
    m_glassLeft = x();
    m_glassTop = y();
    calculateTables();
    if (m_layered)
        applyLayeredAlpha(layeredAlpha(m_transparency)); // a new window starts 25 % translucent
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            &TOrganicShapeGlassForm::applicationStateChanged);
}

TOrganicShapeGlassForm::~TOrganicShapeGlassForm() = default;

void TOrganicShapeGlassForm::shapeIt()
{
    m_glassDirty = true; // a new skin
    TOrganicShapeForm::shapeIt();
}

void TOrganicShapeGlassForm::applyLayeredAlpha(int alpha)
{
    m_alpha = alpha;
    // A Wayland surface has no window opacity: the window paints its alpha.
    if (AlphaWindowEffect *effect = alphaEffect())
        effect->setOpacity(alpha / 255.0);
    else
        setWindowOpacity(alpha / 255.0);
}

void TOrganicShapeGlassForm::setTransparency(int percent)
{
    if (percent < 0 || percent > 100 || percent == getTransparency())
        return;
    const bool wasOpaque = m_transparency == 0;
    m_transparency = percent / 100.0;
    if (m_layered) {
        applyLayeredAlpha(layeredAlpha(m_transparency));
        return;
    }
    m_tablesStale = true;
    // Without a screenshot the blend has nothing to mix in and leaves the
    // picture as it is: a step between two levels above 0 changes no pixel,
    // so it computes and draws nothing. Level 0 shows the tint alone.
    if (!wasOpaque && m_transparency != 0 && m_background.isEmpty())
        return;
    refreshGlass();
}

int TOrganicShapeGlassForm::getTransparency() const { return percentOf(m_transparency); }

void TOrganicShapeGlassForm::setRedIntensity(int percent)
{
    if (percent < 0 || percent > 100 || percent == getRedIntensity())
        return;
    m_redIntensity = percent / 100.0;
    calculateTables();
    refreshGlass();
}

int TOrganicShapeGlassForm::getRedIntensity() const { return percentOf(m_redIntensity); }

void TOrganicShapeGlassForm::setGreenIntensity(int percent)
{
    if (percent < 0 || percent > 100 || percent == getGreenIntensity())
        return;
    m_greenIntensity = percent / 100.0;
    calculateTables();
    refreshGlass();
}

int TOrganicShapeGlassForm::getGreenIntensity() const { return percentOf(m_greenIntensity); }

void TOrganicShapeGlassForm::setBlueIntensity(int percent)
{
    if (percent < 0 || percent > 100 || percent == getBlueIntensity())
        return;
    m_blueIntensity = percent / 100.0;
    calculateTables();
    refreshGlass();
}

int TOrganicShapeGlassForm::getBlueIntensity() const { return percentOf(m_blueIntensity); }

void TOrganicShapeGlassForm::setHue(int degrees)
{
    if (degrees < 0 || degrees > 360 || degrees == m_hue)
        return;
    m_hue = degrees; // the tables do not depend on the hue
    refreshGlass();
}

const GlassTables &TOrganicShapeGlassForm::tables() const
{
    if (m_tablesStale)
        const_cast<TOrganicShapeGlassForm *>(this)->calculateTables();
    return m_renderer.tables();
}

void TOrganicShapeGlassForm::calculateTables()
{
    m_tablesStale = false;
    const double a = m_layered ? 0.0 : m_transparency;
    m_renderer.tables().calculate(a, m_redIntensity, m_greenIntensity, m_blueIntensity);
}

void TOrganicShapeGlassForm::renderGlass(int left, int top)
{
    const TOrganicSkin &source = skin();
    tables(); // made for the level now, if it changed
    if (m_layered || m_transparency == 0) {
        m_renderer.render(m_glass, source, source.generation(), m_hue, nullptr);
        return;
    }
    GlassRenderer::Blend blend;
    blend.background = &m_background;
    blend.left = left;
    blend.top = top;
    const QRect frame = frameGeometry();
    blend.bx = (frame.width() - width()) / 2;
    blend.by = frame.height() - height() - blend.bx;
    m_renderer.render(m_glass, source, source.generation(), m_hue, &blend);
}

void TOrganicShapeGlassForm::prepareGlass(int left, int top)
{
    // Most paints (a hand that turned over the face) find nothing of the
    // glass changed: the picture of the last rendering is drawn again.
    if (m_glassDirty || left != m_paintedLeft || top != m_paintedTop) {
        renderGlass(left, top);
        m_glassPixmap = m_glass.isEmpty() ? QPixmap() : QPixmap::fromImage(m_glass.image());
        m_glassDirty = false;
        m_paintedLeft = left;
        m_paintedTop = top;
    }
}

quint64 TOrganicShapeGlassForm::paintKey()
{
    prepareGlass(m_glassLeft, m_glassTop);
    return m_glassPixmap.cacheKey();
}

void TOrganicShapeGlassForm::paintLayer(QPainter &painter)
{
    prepareGlass(m_glassLeft, m_glassTop);
    if (!m_glassPixmap.isNull())
        painter.drawPixmap(0, 0, m_glassPixmap);
}

void TOrganicShapeGlassForm::paintGlass(int left, int top, const QRegion &region)
{
    prepareGlass(left, top);
    if (m_glassPixmap.isNull())
        return;
    QPainter p(this);
    paintByRects(p, region, [&] { p.drawPixmap(0, 0, m_glassPixmap); });
}

void TOrganicShapeGlassForm::paintEvent(QPaintEvent *e) { paintGlass(m_glassLeft, m_glassTop, e->region()); }

void TOrganicShapeGlassForm::refreshGlass()
{
    m_glassDirty = true;
    update();
}

void TOrganicShapeGlassForm::captureBackground()
{
    if (m_layered || m_transparency == 0)
        return;
    QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const int left = x();
    // Out of the way for a moment so the windows behind can show themselves.
    move(-3000, y());
    WindowSystem::flush();
    QThread::msleep(10);
    m_background.assign(screen->grabWindow(0).toImage());
    m_glassDirty = true;
    move(left, y());
}

bool TOrganicShapeGlassForm::event(QEvent *e)
{
    const bool handled = TOrganicShapeForm::event(e);
    if (e->type() == QEvent::WindowActivate && !m_layered)
        captureBackground();
    return handled;
}

void TOrganicShapeGlassForm::applicationStateChanged(Qt::ApplicationState state)
{
    if (state == Qt::ApplicationActive && !m_layered)
        captureBackground();
}

void TOrganicShapeGlassForm::moveEvent(QMoveEvent *e)
{
    // A moved window is painted against the matching part of the screenshot.
    // A position with a 0 in it is not taken (the window keeps its last one).
    if (!m_layered && m_transparency > 0 && e->pos().x() != 0 && e->pos().y() != 0) {
        m_glassLeft = e->pos().x();
        m_glassTop = e->pos().y();
        update();
    }
    TOrganicShapeForm::moveEvent(e);
}
