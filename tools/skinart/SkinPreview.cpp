// skinpreview: puts one clock, dial, body, head and hand set together the way
// the clock window does, at a chosen size, and writes the face as a PNG so the
// art can be judged before it goes into the tables.
//
//   skinpreview [options] manifest.json [more.json ...]

#include "SkinArt.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QPainter>
#include <cmath>
#include <cstdio>

namespace {

int sc(int v, int s) { return int((long long)v * s / 16); }

QImage stretched(const QImage &img, int s)
{
    // Nearest-pixel, as the face build stretches.
    return img.scaled(std::max(1, sc(img.width(), s)), std::max(1, sc(img.height(), s)),
                      Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

// The bottom-left colour becomes see-through.
QImage keyed(const QImage &img)
{
    QImage out = img.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = img.pixel(0, img.height() - 1);
    for (int y = 0; y < out.height(); ++y) {
        QRgb *row = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            if (row[x] == key)
                row[x] = 0;
    }
    return out;
}

// Nearest-pixel turn by a clockwise angle about the picture's centre into a
// square of side round(sqrt((w+2)^2 + (h+2)^2)), the rest transparent.
QImage turned(const QImage &src, double clockwiseDeg)
{
    const int w = src.width(), h = src.height();
    const int side = int(std::lround(std::sqrt(double((w + 2) * (w + 2) + (h + 2) * (h + 2)))));
    QImage out(side, side, QImage::Format_ARGB32);
    out.fill(0);
    const double t = clockwiseDeg * M_PI / 180.0, c = std::cos(t), s = std::sin(t);
    const int cx = side / 2, cy = side / 2, sx0 = w / 2, sy0 = h / 2;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const double dx = x - cx, dy = y - cy;
            const int sx = sx0 + int(std::lround(dx * c + dy * s));
            const int sy = sy0 + int(std::lround(-dx * s + dy * c));
            if (sx >= 0 && sx < w && sy >= 0 && sy < h)
                out.setPixel(x, y, src.pixel(sx, sy));
        }
    return out;
}

const SkinArtItem &find(const QVector<SkinArtItem> &items, const QString &cat, const QString &name)
{
    for (const SkinArtItem &it : items)
        if (it.category == cat && (name.isEmpty() || it.name == name))
            return it;
    throw SkinArtError(("no " + cat + " item named \"" + name + "\"").toStdString());
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QCommandLineParser cl;
    cl.setApplicationDescription("Composes a clock face from skin art and writes it as a PNG.");
    cl.addHelpOption();
    const QCommandLineOption clockO("clock", "Clock item.", "name"), dialO("dial", "Dial item.", "name"),
        headO("head", "Head item.", "name"), bodyO("body", "Body item.", "name"), handO("hand", "Hand set.", "name"),
        scaleO("scale", "Size in sixteenths (16, 12, 8, 4).", "n", "16"),
        timeO("time", "Time shown by the hands.", "hh:mm:ss", "10:10:30"),
        frameO("frame", "Also show this animation frame.", "n"),
        zoomO("zoom", "Enlarge the result this many times (for looking at edges).", "n", "1"),
        bgO("background", "Colour behind the face; 'none' keeps it see-through.", "colour", "#7d9bb8"),
        outO("out", "PNG file to write.", "file", "face.png"),
        dumpO("dump", "Also write every rendered picture into this folder.", "folder");
    cl.addOptions({clockO, dialO, headO, bodyO, handO, scaleO, timeO, frameO, zoomO, bgO, outO, dumpO});
    cl.addPositionalArgument("manifest", "Skin manifests (catalogue.json ...).");
    cl.process(app);

    try {
        QVector<SkinArtItem> items;
        for (const QString &m : cl.positionalArguments())
            items += loadCatalogue(m);
        if (cl.isSet(dumpO)) {
            const QString dir = cl.value(dumpO) + '/';
            for (const SkinArtItem &it : items) {
                const QString base = dir + it.category + '-' + QString(it.name).replace(' ', '_') + '-';
                const std::pair<const char *, const QImage *> pics[] = {{"Image", &it.image}, {"AnimationImage", &it.animationImage},
                    {"imgHour", &it.imgHour}, {"imgMinute", &it.imgMinute}, {"imgSecond", &it.imgSecond}};
                for (const auto &[field, img] : pics)
                    if (!img->isNull() && !img->save(base + field + ".png"))
                        throw SkinArtError(("Cannot write " + base + field + ".png").toStdString());
            }
        }
        const SkinArtItem &clock = find(items, "clock", cl.value(clockO));
        const SkinArtItem &dial = find(items, "dial", cl.value(dialO));
        const SkinArtItem &head = find(items, "head", cl.value(headO));
        const SkinArtItem &body = find(items, "body", cl.value(bodyO));
        const SkinArtItem &hand = find(items, "hand", cl.value(handO));
        const int s = cl.value(scaleO).toInt();

        const QImage mask = stretched(clock.image, s);
        QImage face(mask.size(), QImage::Format_ARGB32);
        face.fill(0);
        QPainter p(&face);
        p.drawImage(0, 0, keyed(mask));

        // Where the window puts each piece.
        const QImage dialImg = keyed(stretched(dial.image, s)), bodyImg = keyed(stretched(body.image, s)),
                     headImg = keyed(stretched(head.image, s));
        const QPoint dialAt(sc(clock.left, s), sc(clock.top, s));
        const int cx = dialAt.x() + dialImg.width() / 2, cy = dialAt.y() + dialImg.height() / 2;
        const QPoint bodyAt(cx - bodyImg.width() / 2 + sc(body.bodyLeft, s),
                            cy - dialImg.height() / 20 + sc(body.bodyTop, s));
        const QPoint headAt(cx - headImg.width() / 2 + sc(body.headLeft, s) + sc(head.left, s),
                            sc(head.top, s) + bodyAt.y() - headImg.height() + sc(body.headTop, s));

        const QStringList hms = cl.value(timeO).split(':');
        const int hh = hms.value(0).toInt(), mm = hms.value(1).toInt(), ss = hms.value(2).toInt();
        struct Hand { QImage pic; double angle; QSize area; int dy; };
        const Hand hour{hand.imgHour, (hh % 12) * 30 + mm * 0.5, {244, 244}, 0};
        const Hand minute{hand.imgMinute, mm * 6 + ss * 0.1, {280, 280}, 0};
        const Hand second{hand.imgSecond, ss * 6.0, {293, 298}, sc(dial.secHandOffset, s)};
        auto drawHand = [&](const Hand &h) {
            const QImage t = turned(keyed(stretched(h.pic, s)), h.angle);
            const QRect area(cx - h.area.width() / 2, cy + h.dy - h.area.height() / 2, h.area.width(), h.area.height());
            p.save();
            p.setClipRect(area);
            p.drawImage(area.left() + (area.width() - t.width()) / 2, area.top() + (area.height() - t.height()) / 2, t);
            p.restore();
        };
        auto drawCharacter = [&] { p.drawImage(bodyAt, bodyImg); p.drawImage(headAt, headImg); };

        p.drawImage(dialAt, dialImg);
        if (hand.secHandBehind) drawHand(second);
        if (hand.minHandBehind) drawHand(minute);
        drawCharacter();
        drawHand(hour);
        if (!hand.minHandBehind) drawHand(minute);
        if (!hand.secHandBehind) drawHand(second);

        if (cl.isSet(frameO) && clock.animationFrames > 0 && !clock.animationImage.isNull()) {
            const int k = cl.value(frameO).toInt();
            const int fw = clock.animationImage.width(), fh = clock.animationImage.height() / clock.animationFrames;
            QImage frame = stretched(clock.animationImage.copy(0, fh * k, fw, fh), s);
            if (clock.animationTrans)
                frame = keyed(frame);
            p.drawImage(sc(clock.animationLeft, s), sc(clock.animationTop, s), frame);
        }
        p.end();

        // Only the outline's inside is window.
        for (int y = 0; y < face.height(); ++y)
            for (int x = 0; x < face.width(); ++x)
                if (mask.pixel(x, y) == SkinArt::kMagenta)
                    face.setPixel(x, y, 0);

        QImage out = face;
        if (cl.value(bgO) != "none") {
            out = QImage(face.size(), QImage::Format_RGB32);
            out.fill(QColor(cl.value(bgO)));
            QPainter bg(&out);
            bg.drawImage(0, 0, face);
        }
        const int zoom = std::max(1, cl.value(zoomO).toInt());
        if (zoom > 1)
            out = out.scaled(out.size() * zoom, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        if (!out.save(cl.value(outO)))
            throw SkinArtError(("Cannot write " + cl.value(outO)).toStdString());
    } catch (const std::exception &e) {
        std::fprintf(stderr, "skinpreview: %s\n", e.what());
        return 1;
    }
    return 0;
}
