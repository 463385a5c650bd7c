#include "ShapeFormUnit.h"

#include "AlphaWindowEffect.h"
#include "CoordIni.h"
#include "DragStart.h"
#include "JpegMask.h"
#include "WindowSystem.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleHints>
#include <QWindow>

#include <stdexcept>

void loadMaskBitmap(TSpeedBitmap &bitmap, const QString &base)
{
    const QString bmp = base + ".bmp", jpg = base + ".jpg";
    if (QFileInfo::exists(bmp)) {
        // Named and nothing else: guessing would load every image plugin.
        QImageReader reader(bmp, "BMP");
        reader.setAutoDetectImageFormat(false);
        const QImage image = reader.read();
        if (image.isNull())
            throw OrganicShapeException("TOrganicShapeForm.loadSkin: cannot read the mask picture " + bmp + ".");
        bitmap.assign(image);
    } else if (QFileInfo::exists(jpg)) {
        try {
            bitmap.assign(decodeJpegFile(jpg));
        } catch (const OrganicShapeException &e) {
            throw OrganicShapeException(std::string("TOrganicShapeForm.loadSkin: ") + e.what() + ".");
        }
    } else {
        bitmap.clear();
    }
}

TOrganicShapeForm::TOrganicShapeForm(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    // The skin covers every visible pixel: nothing is erased before painting.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    if (WindowSystem::alphaWindows()) {
        // A translucent surface: what the outline leaves out stays clear.
        setAttribute(Qt::WA_TranslucentBackground);
        m_alphaEffect = new AlphaWindowEffect(this);
        setGraphicsEffect(m_alphaEffect);
    }
    shapeIt();
    m_skin.OnChange = [this] { shapeIt(); };
}

TOrganicShapeForm::~TOrganicShapeForm()
{
    m_skin.OnChange = nullptr;
}

void TOrganicShapeForm::applyShape()
{
    if (m_skin.isEmpty()) {
        clearMask();
        if (m_alphaEffect)
            m_alphaEffect->setOutline(QRegion());
        return;
    }
    QRegion region = m_skin.getRegion();
    if (m_alphaEffect)
        m_alphaEffect->setOutline(region.isEmpty() ? QRegion(-1, -1, 1, 1) : region);
    // An empty mask would mean "no shape" to the window system, showing the
    // whole window; a pixel outside the window shows nothing and takes no clicks.
    if (region.isEmpty())
        region = QRegion(-1, -1, 1, 1);
    setMask(region);
}

void TOrganicShapeForm::shapeIt()
{
    if (m_skin.isEmpty()) {
        clearMask();
        if (m_alphaEffect)
            m_alphaEffect->setOutline(QRegion());
        update();
        return;
    }
    if (m_skin.InvisibleColor() != m_invisibleColor) {
        m_skin.setInvisibleColor(m_invisibleColor);
        m_skin.calculateRegion();
    }
    resize(m_skin.width(), m_skin.height());
    applyShape();
    if (isVisible())
        repaint();
}

void TOrganicShapeForm::SetInvisibleColor(TColor color)
{
    if (color == m_invisibleColor)
        return;
    m_invisibleColor = color;
    shapeIt();
}

QString TOrganicShapeForm::programFolder() const
{
    if (!m_programFolder.isEmpty())
        return m_programFolder.endsWith('/') ? m_programFolder : m_programFolder + '/';
    return QCoreApplication::applicationDirPath() + '/';
}

QString TOrganicShapeForm::resolveFolder(const QString &folder) const
{
    QString f = folder.startsWith('/') ? folder : programFolder() + folder;
    if (!f.endsWith('/'))
        f += '/';
    return f;
}

void TOrganicShapeForm::loadSkin(const QString &folder)
{
    const QString base = loadSkinPlace(folder) + "mask_" + objectName();
    if (!QFileInfo::exists(base + ".bmp") && !QFileInfo::exists(base + ".jpg"))
        return;
    TSpeedBitmap mask;
    loadMaskBitmap(mask, base);
    m_skin.assign(mask); // recomputes the region, then shapeIt
}

void TOrganicShapeForm::loadSkin(const QString &folder, const QImage &mask)
{
    loadSkinPlace(folder);
    TSpeedBitmap bitmap;
    bitmap.assign(mask);
    m_skin.assign(bitmap);
}

QString TOrganicShapeForm::loadSkinPlace(const QString &folder)
{
    const QString dir = resolveFolder(folder);
    const CoordIni ini(dir + "coord.ini");
    const QString section = objectName();

    move(ini.ReadInteger(section, "Left", x()), y());
    move(x(), ini.ReadInteger(section, "Top", y()));
    resize(ini.ReadInteger(section, "Width", width()), height());
    resize(width(), ini.ReadInteger(section, "Height", height()));
    const QString hex = ini.ReadString(section, "InvisibleColor", colorToHex(m_invisibleColor));
    TColor color;
    try {
        color = hexToColor(hex);
    } catch (const std::invalid_argument &) {
        throw OrganicShapeException("TOrganicShapeForm.loadSkin: the value '" + hex + "' of key InvisibleColor in section ["
                                    + section + "] of " + ini.fileName()
                                    + " is not a colour of six hexadecimal digits RRGGBB.");
    }
    m_invisibleColor = color;
    m_skin.setInvisibleColor(color);
    return dir;
}

void TOrganicShapeForm::paintEvent(QPaintEvent *)
{
    if (m_skin.isEmpty())
        return;
    QPainter p(this);
    p.drawImage(0, 0, m_skin.image());
}

void TOrganicShapeForm::mousePressEvent(QMouseEvent *e)
{
    emit mouseDown(e);
    if (e->button() != Qt::LeftButton)
        return;
    m_pressed = true;
    m_following = false;
    m_pressPoint = e->globalPosition().toPoint();
    m_grabOffset = m_pressPoint - pos();
}

void TOrganicShapeForm::mouseMoveEvent(QMouseEvent *e)
{
    if (!(e->buttons() & Qt::LeftButton)) {
        m_pressed = m_following = false;
        return;
    }
    const QPoint global = e->globalPosition().toPoint();
    if (m_pressed && !m_following) {
        if (!DragStart::shouldStart(m_pressPoint, global, QGuiApplication::styleHints()->startDragDistance()))
            return;
        m_pressed = false;
        QWindow *w = windowHandle();
        if (w && WindowSystem::systemMoveWorks() && w->startSystemMove())
            return;
        // No window manager to move it: follow the mouse until release.
        m_following = true;
    }
    if (m_following)
        move(global - m_grabOffset);
}

void TOrganicShapeForm::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton)
        m_pressed = m_following = false;
}
