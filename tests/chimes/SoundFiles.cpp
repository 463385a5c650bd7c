#include "SoundFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cmath>
#include <stdexcept>

namespace SoundFiles {

namespace {
void le32(QByteArray &b, quint32 v)
{
    char c[4];
    qToLittleEndian(v, c);
    b.append(c, 4);
}
void le16(QByteArray &b, quint16 v)
{
    char c[2];
    qToLittleEndian(v, c);
    b.append(c, 2);
}
void be32(QByteArray &b, quint32 v)
{
    char c[4];
    qToBigEndian(v, c);
    b.append(c, 4);
}
void varLen(QByteArray &b, quint32 v)
{
    QByteArray rev;
    rev.prepend(char(v & 0x7f));
    while (v >>= 7)
        rev.prepend(char((v & 0x7f) | 0x80));
    b.append(rev);
}
} // namespace

QByteArray wave(int ms)
{
    const int rate = 8000;
    const int samples = rate * ms / 1000;
    QByteArray b("RIFF");
    le32(b, 36 + samples * 2);
    b.append("WAVEfmt ");
    le32(b, 16);
    le16(b, 1);
    le16(b, 1);
    le32(b, rate);
    le32(b, rate * 2);
    le16(b, 2);
    le16(b, 16);
    b.append("data");
    le32(b, samples * 2);
    for (int i = 0; i < samples; ++i)
        le16(b, quint16(qint16(2000 * std::sin(i * 2 * M_PI * 440 / rate))));
    return b;
}

QByteArray midi(int ms)
{
    const int ppq = 480;
    const int ticks = ms * ppq / 500;
    QByteArray track;
    varLen(track, 0);
    track.append("\xff\x51\x03\x07\xa1\x20", 6); // 500000 us a beat
    varLen(track, 0);
    track.append("\xc0\x00", 2); // piano
    varLen(track, 0);
    track.append("\x90\x3c\x64", 3);
    varLen(track, quint32(ticks));
    track.append("\x80\x3c\x40", 3);
    varLen(track, 0);
    track.append("\xff\x2f\x00", 3);

    QByteArray b("MThd");
    be32(b, 6);
    b.append("\x00\x00\x00\x01", 4);
    b.append(char(ppq >> 8));
    b.append(char(ppq & 0xff));
    b.append("MTrk");
    be32(b, quint32(track.size()));
    b.append(track);
    return b;
}

void write(const QString &folder, const QString &name, const QByteArray &bytes)
{
    const QString path = folder + name;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

} // namespace SoundFiles
