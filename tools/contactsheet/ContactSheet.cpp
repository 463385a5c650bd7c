// contactsheet: every clock x dial x hand set of the supplied tables (and the
// packages in the program folder's skins/), assembled by the clock's own face
// build at one size and time, on one PNG. Heads and bodies take turns, so
// that every hand set is seen over every character.
//
//   contactsheet [--scale 16] [--time 10:08:37] --out sheet.png PROGRAM_FOLDER

#include "FaceRig.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char **argv)
{
    // Nothing is shown, nothing is heard.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("SDL_AUDIODRIVER", "dummy");
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    QTemporaryDir runtime;
    QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    QApplication app(argc, argv);

    QCommandLineParser cl;
    cl.setApplicationDescription("Writes a contact sheet of every clock, dial and hand set.");
    cl.addHelpOption();
    const QCommandLineOption scaleO("scale", "Size in sixteenths (16, 12, 8, 4).", "n", "16"),
        timeO("time", "Time shown by the hands.", "hh:mm:ss", "10:08:37"),
        marginO("margin", "Pixels of the clock kept around the dial, at full size.", "n", "6"),
        outO("out", "PNG file to write.", "file", "contact.png");
    cl.addOptions({scaleO, timeO, marginO, outO});
    cl.addPositionalArgument("folder", "The program folder (tables and skins/).");
    cl.process(app);
    if (cl.positionalArguments().size() != 1)
        cl.showHelp(2);

    try {
        // The clock works in its own folder: names given here are taken first.
        const QString program = QDir(cl.positionalArguments().first()).absolutePath();
        const QString outFile = QFileInfo(cl.value(outO)).absoluteFilePath();
        FaceRig rig(program);
        const int s = cl.value(scaleO).toInt();
        const QStringList hms = cl.value(timeO).split(':');
        const int hh = hms.value(0).toInt(), mm = hms.value(1).toInt(), ss = hms.value(2).toInt();
        const QStringList clocks = rig.names("Clock"), dials = rig.names("Dial"), hands = rig.names("Hand"),
                          heads = rig.names("Head"), bodies = rig.names("Body");

        // Rows: clock x hand set; columns: dials. Each cell shows the dial
        // and a rim of the clock around it: the hands never leave the dial.
        const int margin = cl.value(marginO).toInt() * s / 16;
        const int cell = 250 * s / 16 + 2 * margin, gap = 6, labelW = 150, headerH = 22;
        const int rows = int(clocks.size() * hands.size()), cols = int(dials.size());
        QImage sheet(labelW + cols * (cell + gap) + gap, headerH + rows * (cell + gap) + gap, QImage::Format_RGB32);
        sheet.fill(QColor("#5b7a99"));
        QPainter p(&sheet);
        QFont font = p.font();
        font.setPixelSize(12);
        p.setFont(font);
        p.setPen(Qt::white);
        for (int c = 0; c < cols; ++c)
            p.drawText(QRect(labelW + gap + c * (cell + gap), 0, cell, headerH), Qt::AlignCenter,
                       p.fontMetrics().elidedText(dials[c], Qt::ElideRight, cell));
        for (int ci = 0; ci < clocks.size(); ++ci)
            for (int hi = 0; hi < hands.size(); ++hi) {
                const int row = int(ci * hands.size() + hi);
                const int top = headerH + gap + row * (cell + gap);
                p.drawText(QRect(4, top, labelW - 8, cell), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextWordWrap,
                           clocks[ci] + "\n" + hands[hi]);
                for (int di = 0; di < cols; ++di) {
                    const int k = row + di;
                    const FaceRig::Choice choice{clocks[ci], dials[di], hands[hi], heads[k % heads.size()],
                                                 bodies[(k + ci) % bodies.size()]};
                    rig.build(choice, s);
                    rig.setTime(hh, mm, ss);
                    const QImage face = rig.render();
                    const QRect around = rig.dialRect().adjusted(-margin, -margin, margin, margin);
                    p.drawImage(QPoint(labelW + gap + di * (cell + gap), top), face, around);
                }
            }
        p.end();
        // Smallest file: these pictures live in the repository.
        if (!sheet.save(outFile, "PNG", 0))
            throw std::runtime_error(("cannot write " + outFile).toStdString());
    } catch (const std::exception &e) {
        std::fprintf(stderr, "contactsheet: %s\n", e.what());
        return 1;
    }
    return 0;
}
