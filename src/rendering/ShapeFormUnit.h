#pragma once
#include "Colors.h"
#include "OrganicShapeException.h"
#include "OrganicSkin.h"

#include <QWidget>

class AlphaWindowEffect;

// Loads base + ".bmp", else base + ".jpg" (through libjpeg), else empties
// the bitmap. An unreadable file throws OrganicShapeException.
void loadMaskBitmap(TSpeedBitmap &bitmap, const QString &base);

// A frameless top-level window that takes the outline of its skin: every
// pixel of the invisible colour is cut out, the rest is painted as the
// window's background. A left press anywhere drags it. The window's name
// (objectName) picks its section of "coord.ini" and its mask file.
class TOrganicShapeForm : public QWidget
{
    Q_OBJECT
public:
    explicit TOrganicShapeForm(QWidget *parent = nullptr);
    ~TOrganicShapeForm() override;

    // Brings the skin's region up to date with InvisibleColor, sizes the
    // window to the skin and applies the region as its shape.
    virtual void shapeIt();
    void SetInvisibleColor(TColor color);
    TColor InvisibleColor() const { return m_invisibleColor; }
    // Geometry and invisible colour from folder's "coord.ini", then the mask
    // "mask_" + objectName() + ".bmp" (or ".jpg"). A folder not starting
    // with "/" lies below the program folder.
    void loadSkin(const QString &folder);
    // The same with the mask given as the picture its file was just written
    // from: nothing is read back.
    void loadSkin(const QString &folder, const QImage &mask);

    TOrganicSkin &skin() { return m_skin; }
    const TOrganicSkin &skin() const { return m_skin; }

    // The folder relative folders start from, ending with "/". The
    // executable's folder unless set.
    QString programFolder() const;
    void setProgramFolder(const QString &folder) { m_programFolder = folder; }

    // Folder as loadSkin reads it: absolute as given, else below the program
    // folder; always ending with "/".
    QString resolveFolder(const QString &folder) const;

    // How a left press drags the window, decided once the pointer has moved
    // far enough with the button held: by the window system when it really
    // can, else by following the mouse.
    bool followingMouse() const { return m_following; }

    // Where the window system cannot shape or fade the window (Wayland), the
    // effect that paints the outline and the fade as alpha; else null.
    AlphaWindowEffect *alphaEffect() const { return m_alphaEffect; }

signals:
    // A press on the window, before it starts a drag.
    void mouseDown(QMouseEvent *event);

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *) override;
    void mouseMoveEvent(QMouseEvent *) override;
    void mouseReleaseEvent(QMouseEvent *) override;

    // Applies the region of the skin, or removes the shape for an empty skin.
    void applyShape();

private:
    // Geometry and invisible colour from coord.ini; gives the folder.
    QString loadSkinPlace(const QString &folder);

    TColor m_invisibleColor = clWhite;
    TOrganicSkin m_skin;
    QString m_programFolder;
    bool m_pressed = false; // left button down, no drag started yet
    AlphaWindowEffect *m_alphaEffect = nullptr;
    bool m_following = false;
    QPoint m_pressPoint;    // global
    QPoint m_grabOffset;
};
