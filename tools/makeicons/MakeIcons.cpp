// Renders the program's SVG icon as PNG pictures, one a size, so that the
// clock reads pictures at start and never loads an SVG renderer.
// Usage: makeicons <icon.svg> <output folder>/ <size>...
// Writes <output folder>/<name>-<size>.png, <name> being the SVG's base name.
#include "SkinArt.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImageWriter>

#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: makeicons <icon.svg> <output folder>/ <size>...\n");
        return 2;
    }
    const QString svg = QString::fromLocal8Bit(argv[1]);
    const QString folder = QString::fromLocal8Bit(argv[2]);
    const QString name = QFileInfo(svg).completeBaseName();
    try {
        for (int i = 3; i < argc; ++i) {
            bool ok = false;
            const int size = QString::fromLocal8Bit(argv[i]).toInt(&ok);
            if (!ok || size < 1 || size > 1024)
                throw std::runtime_error(std::string("not an icon size: ") + argv[i]);
            const QString path = folder + QString("%1-%2.png").arg(name).arg(size);
            QImageWriter writer(path, "png");
            if (!writer.write(SkinArt::renderSvgFileSmooth(svg, size, size)))
                throw std::runtime_error("cannot write " + path.toStdString() + ": "
                                         + writer.errorString().toStdString());
        }
    } catch (const std::exception &e) {
        std::fprintf(stderr, "makeicons: %s\n", e.what());
        return 1;
    }
    return 0;
}
