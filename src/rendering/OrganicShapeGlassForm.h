#pragma once
#include "GlassRenderer.h"
#include "PaintedLayer.h"
#include "ShapeFormUnit.h"

#include <QPixmap>

// The shaped window made see-through and tintable. A translucency level in
// percent (the fade) and a tint of three channel intensities and a hue turn.
// Two ways, fixed when the window is made:
// - layered: a compositing manager blends the whole window with one alpha;
//   the program's own pixel work is the tint only;
// - fallback: no compositor; the program keeps a screenshot of what lies
//   behind the window and blends the skin with it through three tables.
class TOrganicShapeGlassForm : public TOrganicShapeForm, public PaintedLayer
{
    Q_OBJECT
public:
    enum class GlassMode { Detect, Layered, Fallback };

    // Asks the window system (or the probe set in WindowSystem) for the mode.
    explicit TOrganicShapeGlassForm(QWidget *parent = nullptr);
    explicit TOrganicShapeGlassForm(GlassMode mode, QWidget *parent = nullptr);
    ~TOrganicShapeGlassForm() override;

    void shapeIt() override;

    // Levels in whole percent, hue in degrees. A value out of range, or the
    // value already in force, changes nothing.
    void setTransparency(int percent);
    int getTransparency() const;
    void setRedIntensity(int percent);
    int getRedIntensity() const;
    void setGreenIntensity(int percent);
    int getGreenIntensity() const;
    void setBlueIntensity(int percent);
    int getBlueIntensity() const;
    void setHue(int degrees);
    int getHue() const { return m_hue; }

    void calculateTables();
    // glassBitmap := the skin rendered for a window at screen position
    // (left, top).
    void renderGlass(int left, int top);
    void refreshGlass();
    // Fallback mode: the screen behind the window, taken with the window
    // moved off the screen for a moment. Nothing while the level is 0.
    void captureBackground();

    bool layeredAvailable() const { return m_layered; }
    // The constant alpha last given to the window system (layered mode).
    int layeredAlphaValue() const { return m_alpha; }
    int glassLeft() const { return m_glassLeft; }
    int glassTop() const { return m_glassTop; }
    const TSpeedBitmap &glassBitmap() const { return m_glass; }
    // The screenshot of fallback mode (empty until the first capture).
    TSpeedBitmap &backgroundBitmap() { return m_background; }
    const GlassRenderer &renderer() const { return m_renderer; }
    // Worked out when first needed after a change of level.
    const GlassTables &tables() const;

    // The glass as the next paint draws it, rendered first if it changed.
    quint64 paintKey() override;
    void paintLayer(QPainter &painter) override;

protected:
    void paintEvent(QPaintEvent *) override;
    bool event(QEvent *) override;
    void moveEvent(QMoveEvent *) override;

private:
    void prepareGlass(int left, int top);
    void paintGlass(int left, int top, const QRegion &region);
    void applyLayeredAlpha(int alpha);
    void applicationStateChanged(Qt::ApplicationState state);

    TSpeedBitmap m_glass;
    double m_transparency = 0.25;
    double m_blueIntensity = 1.0;
    double m_greenIntensity = 1.0;
    double m_redIntensity = 1.0;
    int m_hue = 0;
    int m_glassLeft = 0, m_glassTop = 0;
    bool m_layered = false;
    int m_alpha = 255;
    TSpeedBitmap m_background;
    // The last rendering as drawn, and whether anything it depends on
    // (skin, tint, level, screenshot) changed since.
    QPixmap m_glassPixmap;
    bool m_glassDirty = true;
    int m_paintedLeft = 0, m_paintedTop = 0;
    GlassRenderer m_renderer;
    bool m_tablesStale = false; // the level changed since the tables were made
};
