#include "SkinArt.h"

#include <QColor>
#include <QFile>
#include <QFileInfo>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QSvgRenderer>

namespace SkinArt {

namespace {

// Reads an SVG file for one of the renderers, naming the file in any error.
template <typename Render>
QImage renderFile(const QString &path, Render render)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw SkinArtError("Cannot open skin picture " + path.toStdString());
    try {
        return render(f.readAll());
    } catch (const SkinArtError &e) {
        throw SkinArtError(path.toStdString() + ": " + e.what());
    }
}

} // namespace

QImage renderSvgSmooth(const QByteArray &svg, int width, int height)
{
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        throw SkinArtError("not a readable SVG picture");
    if (width < 1 || height < 1)
        throw SkinArtError("picture size must be at least 1 x 1");

    QImage art(width, height, QImage::Format_ARGB32);
    art.fill(Qt::transparent);
    QPainter p(&art);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    renderer.render(&p, QRectF(0, 0, width, height));
    p.end();
    return art;
}

QImage renderSvg(const QByteArray &svg, int width, int height, QRgb key, bool avoidWhite)
{
    const QImage art = renderSvgSmooth(svg, width, height);

    // Format_ARGB32 is not premultiplied, so a kept pixel already has its full
    // colour: the edge takes the art's colour, not a blend toward black or the key.
    const QRgb keyRgb = key | 0xFF000000u;
    QImage out(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const QRgb *src = reinterpret_cast<const QRgb *>(art.constScanLine(y));
        QRgb *dst = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < width; ++x) {
            QRgb c = src[x];
            if (qAlpha(c) < 128) {
                dst[x] = keyRgb;
                continue;
            }
            c |= 0xFF000000u;
            if (c == keyRgb)
                c = qRgb(qRed(c) ^ 1, qGreen(c), qBlue(c));
            if (avoidWhite && c == 0xFFFFFFFFu)
                c = 0xFFFEFEFEu;
            dst[x] = c;
        }
    }
    return out;
}

QImage renderSvgFile(const QString &path, int width, int height, QRgb key, bool avoidWhite)
{
    return renderFile(path, [&](const QByteArray &svg) { return renderSvg(svg, width, height, key, avoidWhite); });
}

QImage renderSvgFileSmooth(const QString &path, int width, int height)
{
    return renderFile(path, [&](const QByteArray &svg) { return renderSvgSmooth(svg, width, height); });
}

} // namespace SkinArt

namespace {

struct ItemContext
{
    QDir base;
    QString itemName;
};

[[noreturn]] void fail(const ItemContext &ctx, const QString &what)
{
    throw SkinArtError(("Skin item \"" + ctx.itemName + "\": " + what).toStdString());
}

QImage picture(const ItemContext &ctx, const QJsonObject &item, const QString &field, bool avoidWhite)
{
    const QJsonValue v = item.value(field);
    if (v.isUndefined() || v.isNull())
        return {};
    const QJsonObject o = v.toObject();
    const QString svg = o.value("svg").toString();
    const int w = o.value("width").toInt();
    const int h = o.value("height").toInt();
    if (svg.isEmpty() || w < 1 || h < 1)
        fail(ctx, field + " needs \"svg\", \"width\" and \"height\"");
    QRgb key = SkinArt::kMagenta;
    if (o.contains("key")) {
        const QColor c(o.value("key").toString());
        if (!c.isValid())
            fail(ctx, field + " has an unreadable key colour");
        key = c.rgb();
    }
    QImage img = SkinArt::renderSvgFile(ctx.base.filePath(svg), w, h, key, avoidWhite);
    // The clock leaves out the colour of the bottom-left pixel.
    if (img.pixel(0, h - 1) != (key | 0xFF000000u))
        fail(ctx, field + " (" + svg + ") has art in its bottom-left corner, where the key colour must be");
    return img;
}

int integer(const QJsonObject &item, const char *field) { return item.value(field).toInt(0); }
bool boolean(const QJsonObject &item, const char *field) { return item.value(field).toBool(false); }

} // namespace

QVector<SkinArtItem> loadCatalogue(const QString &manifestPath)
{
    QFile f(manifestPath);
    if (!f.open(QIODevice::ReadOnly))
        throw SkinArtError("Cannot open skin manifest " + manifestPath.toStdString());
    QJsonParseError err{};
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &err);
    if (doc.isNull())
        throw SkinArtError(manifestPath.toStdString() + ": " + err.errorString().toStdString());

    ItemContext ctx{QFileInfo(manifestPath).absoluteDir(), {}};
    QVector<SkinArtItem> items;
    for (const QJsonValue &v : doc.object().value("items").toArray()) {
        const QJsonObject o = v.toObject();
        SkinArtItem it;
        it.category = o.value("category").toString();
        it.name = o.value("Name").toString();
        it.notes = o.value("Notes").toString();
        it.version = o.value("Version").toInt(100);
        ctx.itemName = it.name;
        if (it.name.isEmpty())
            fail(ctx, "has no Name");

        if (it.category == "clock") {
            it.image = picture(ctx, o, "Image", false);
            it.animationImage = picture(ctx, o, "AnimationImage", false);
            it.left = integer(o, "Left");
            it.top = integer(o, "Top");
            it.animationFrames = integer(o, "AnimationFrames");
            it.animationLeft = integer(o, "AnimationLeft");
            it.animationTop = integer(o, "AnimationTop");
            it.animationFlag = boolean(o, "AnimationFlag");
            it.animationTrans = boolean(o, "AnimationTrans");
            // Magenta is what the window cuts away around the outline.
            if (it.image.pixel(0, it.image.height() - 1) != SkinArt::kMagenta)
                fail(ctx, "the clock outline must be drawn on magenta");
        } else if (it.category == "dial") {
            it.image = picture(ctx, o, "Image", false);
            it.secHandOffset = integer(o, "SecHandOffset");
        } else if (it.category == "hand") {
            // The hands are turned on a white fill that is then left out, so white art would vanish.
            it.imgHour = picture(ctx, o, "imgHour", true);
            it.imgMinute = picture(ctx, o, "imgMinute", true);
            it.imgSecond = picture(ctx, o, "imgSecond", true);
            it.minHandBehind = boolean(o, "MinHandBehind");
            it.secHandBehind = boolean(o, "SecHandBehind");
            it.hourHandBehind = boolean(o, "HourHandBehind");
        } else if (it.category == "head") {
            it.image = picture(ctx, o, "Image", false);
            it.left = integer(o, "Left");
            it.top = integer(o, "Top");
        } else if (it.category == "body") {
            it.image = picture(ctx, o, "Image", false);
            it.bodyLeft = integer(o, "BodyLeft");
            it.bodyTop = integer(o, "BodyTop");
            it.headLeft = integer(o, "HeadLeft");
            it.headTop = integer(o, "HeadTop");
        } else {
            fail(ctx, "unknown category \"" + it.category + "\"");
        }
        if (it.category != "hand" && it.image.isNull())
            fail(ctx, "has no Image");
        if (it.category == "hand" && (it.imgHour.isNull() || it.imgMinute.isNull() || it.imgSecond.isNull()))
            fail(ctx, "needs imgHour, imgMinute and imgSecond");
        items.append(it);
    }
    return items;
}
