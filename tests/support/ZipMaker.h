#pragma once
#include <QByteArray>
#include <QString>
#include <QVector>

// Builds test packages in-process with libzip, including what no zip tool
// writes on purpose: names kept byte for byte (backslashes, "..", absolute
// paths, control characters), two entries of one name, Unix file types,
// methods the reader refuses, encrypted entries, sizes and checksums that
// lie, and archives cut short. Faults libzip will not write are patched into
// the bytes after it has written the archive.
//
//   ZipMaker().add("art/dial.bmp", bytes).add("x", "", ZipMaker::Stored).write(path)
class ZipMaker
{
public:
    enum Method { Stored, Deflated, Bzip2, Lzma };

    // method: the one entries get unless they name their own.
    explicit ZipMaker(Method method = Deflated);

    // unixMode: type and permission bits kept as Unix external attributes
    // (0: none, as a bare Python ZipInfo has). An Lzma entry holds the data
    // stored under the LZMA method's number: libzip cannot pack LZMA, and the
    // reader refuses the method before reading the data.
    ZipMaker &add(const QByteArray &name, const QByteArray &data, Method method, quint32 unixMode = 0);
    ZipMaker &add(const QByteArray &name, const QByteArray &data, quint32 unixMode = 0);
    // Deflated zero bytes, packed once per process and copied: a real
    // stream that inflates to that many bytes, without packing them all.
    ZipMaker &addZeros(const QByteArray &name, int mebibytes);
    // An entry encrypted the traditional PKWARE way.
    ZipMaker &addEncrypted(const QByteArray &name, const QByteArray &data, const QByteArray &password);

    // Date and time in MS-DOS form for the entries added after it; the
    // default is 1980-01-01 00:00, the earliest there is.
    ZipMaker &setTime(int year, int month, int day);
    // Sizes and checksum follow each entry's data in a data descriptor,
    // the way tools writing to a pipe do; the local headers hold zeros.
    ZipMaker &streamed();

    // Changes to the written bytes, applied in order.
    ZipMaker &declareSize(const QByteArray &name, quint32 size); // both headers' unpacked size
    ZipMaker &flip(const QByteArray &name);                      // one byte in the middle of the entry's data
    ZipMaker &cut(double fraction);                              // keeps only that part of the file

    // Writes the archive; returns an empty string on success, else what
    // went wrong.
    QString write(const QString &file) const;

private:
    struct Entry
    {
        QByteArray name;
        QByteArray data;
        Method method;
        quint32 unixMode;
        int zeroMiB;          // > 0: data is that many MiB of zeros
        QByteArray password;  // non-empty: encrypted
        quint16 dosTime, dosDate;
    };
    struct Patch
    {
        enum Kind { Size, Flip, Cut } kind;
        QByteArray name;
        quint32 size;
        double fraction;
    };
    Method m_method;
    quint16 m_dosDate;
    bool m_streamed = false;
    QVector<Entry> m_entries;
    QVector<Patch> m_patches;
};

// Bytes that do not compress, the same for the same seed.
QByteArray noise(int size, quint32 seed = 1);
