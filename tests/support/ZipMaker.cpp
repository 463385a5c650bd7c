#include "ZipMaker.h"

#include <QFile>
#include <QRandomGenerator>
#include <QSet>
#include <QtEndian>

#include <zip.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

constexpr quint16 kDos1980 = (0 << 9) | (1 << 5) | 1; // 1980-01-01
constexpr quint16 kLzmaMethod = 14;                   // libzip names it but cannot write it

quint16 u16(const QByteArray &b, qint64 at) { return qFromLittleEndian<quint16>(b.constData() + at); }
quint32 u32(const QByteArray &b, qint64 at) { return qFromLittleEndian<quint32>(b.constData() + at); }
void put16(QByteArray &b, qint64 at, quint16 v) { qToLittleEndian(v, b.data() + at); }
void put32(QByteArray &b, qint64 at, quint32 v) { qToLittleEndian(v, b.data() + at); }

// Where a written archive keeps its records; enough to patch what libzip
// writes (no archive comment, no ZIP64).
struct Layout
{
    struct Record
    {
        qint64 central;
        qint64 local;
        QByteArray name;
    };
    qint64 endRecord = -1;
    qint64 centralStart = 0;
    qint64 centralSize = 0;
    QVector<Record> records;

    QString read(const QByteArray &b)
    {
        if (b.size() < 22 || b.mid(b.size() - 22, 4) != "PK\x05\x06")
            return "no end record where libzip puts it";
        endRecord = b.size() - 22;
        centralSize = u32(b, endRecord + 12);
        centralStart = u32(b, endRecord + 16);
        records.clear();
        for (qint64 at = centralStart; at < centralStart + centralSize;) {
            if (b.mid(at, 4) != "PK\x01\x02")
                return "no central record at " + QString::number(at);
            const quint16 n = u16(b, at + 28), m = u16(b, at + 30), k = u16(b, at + 32);
            records.append({at, qint64(u32(b, at + 42)), b.mid(at + 46, n)});
            at += 46 + n + m + k;
        }
        return {};
    }
    const Record *find(const QByteArray &name) const
    {
        for (const Record &r : records)
            if (r.name == name)
                return &r;
        return nullptr;
    }
};

// One mebibyte of zeros deflated and flushed so that copies follow each
// other, and the final empty block that ends the stream.
struct PackedZeros
{
    QByteArray chunk;
    QByteArray end;
    quint32 chunkCrc = 0;

    static const PackedZeros &get()
    {
        static const PackedZeros zeros;
        return zeros;
    }

private:
    PackedZeros()
    {
        const QByteArray block(1 << 20, '\0');
        chunkCrc = quint32(crc32(0, reinterpret_cast<const Bytef *>(block.constData()), uInt(block.size())));
        z_stream s{};
        deflateInit2(&s, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
        QByteArray out(int(deflateBound(&s, uLong(block.size()))) + 64, '\0');
        s.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(block.constData()));
        s.avail_in = uInt(block.size());
        s.next_out = reinterpret_cast<Bytef *>(out.data());
        s.avail_out = uInt(out.size());
        deflate(&s, Z_FULL_FLUSH);
        chunk = out.left(int(s.total_out));
        const uLong before = s.total_out;
        deflate(&s, Z_FINISH);
        end = out.mid(int(before), int(s.total_out - before));
        deflateEnd(&s);
    }
};

// A libzip source that hands over already deflated data with its sizes and
// checksum, so libzip copies it as it is.
struct PackedSource
{
    QByteArray packed;
    quint64 size;
    quint32 crc;
    qint64 at = 0;

    static zip_int64_t call(void *self, void *data, zip_uint64_t length, zip_source_cmd_t cmd)
    {
        auto *s = static_cast<PackedSource *>(self);
        switch (cmd) {
        case ZIP_SOURCE_OPEN:
            s->at = 0;
            return 0;
        case ZIP_SOURCE_READ: {
            const qint64 n = std::min<qint64>(qint64(length), s->packed.size() - s->at);
            std::memcpy(data, s->packed.constData() + s->at, size_t(n));
            s->at += n;
            return n;
        }
        case ZIP_SOURCE_CLOSE:
            return 0;
        case ZIP_SOURCE_STAT: {
            auto *st = static_cast<zip_stat_t *>(data);
            zip_stat_init(st);
            st->valid = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_CRC |
                        ZIP_STAT_ENCRYPTION_METHOD;
            st->size = s->size;
            st->comp_size = zip_uint64_t(s->packed.size());
            st->comp_method = ZIP_CM_DEFLATE;
            st->encryption_method = ZIP_EM_NONE;
            st->crc = s->crc;
            return sizeof(*st);
        }
        case ZIP_SOURCE_ERROR: {
            zip_error_t error;
            zip_error_init_with_code(&error, ZIP_ER_INTERNAL);
            const zip_int64_t n = zip_error_to_data(&error, data, length);
            zip_error_fini(&error);
            return n;
        }
        case ZIP_SOURCE_FREE:
            delete s;
            return 0;
        case ZIP_SOURCE_SUPPORTS:
            return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                                  ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
        default:
            return -1;
        }
    }
};

zip_source_t *zerosSource(zip_t *z, int mebibytes)
{
    const PackedZeros &zeros = PackedZeros::get();
    auto *s = new PackedSource;
    s->packed = zeros.chunk.repeated(mebibytes) + zeros.end;
    s->size = quint64(mebibytes) << 20;
    s->crc = 0;
    for (int i = 0; i < mebibytes; ++i)
        s->crc = quint32(crc32_combine(s->crc, zeros.chunkCrc, 1 << 20));
    zip_source_t *source = zip_source_function(z, &PackedSource::call, s);
    if (!source)
        delete s;
    return source;
}

// A name of the same length as taken that no entry has, so that the real
// one can be written over it once libzip is done.
QByteArray standIn(const QByteArray &taken, const QSet<QByteArray> &used)
{
    for (int n = 0;; ++n) {
        QByteArray name = taken;
        const QByteArray tag = "\x7f" + QByteArray::number(n);
        if (tag.size() > name.size())
            return {};
        name.replace(name.size() - tag.size(), tag.size(), tag);
        if (!used.contains(name))
            return name;
    }
}

QString libzipText(zip_t *z) { return QString::fromUtf8(zip_strerror(z)); }

// Moves each entry's sizes and checksum from the local header into a data
// descriptor after its data and marks it so in both headers.
QString streamBytes(QByteArray &b)
{
    Layout layout;
    const QString problem = layout.read(b);
    if (!problem.isEmpty())
        return problem;
    QByteArray central = b.mid(layout.centralStart, layout.centralSize);
    QByteArray out;
    for (const Layout::Record &r : layout.records) {
        const qint64 c = r.central - layout.centralStart;
        const quint32 crc = u32(central, c + 16), packed = u32(central, c + 20), size = u32(central, c + 24);
        const qint64 headerSize = 30 + u16(b, r.local + 26) + u16(b, r.local + 28);
        QByteArray header = b.mid(r.local, headerSize);
        put16(header, 6, u16(header, 6) | 8);
        for (int at : {14, 18, 22})
            put32(header, at, 0);
        put16(central, c + 8, u16(central, c + 8) | 8);
        put32(central, c + 42, quint32(out.size()));
        QByteArray descriptor("PK\x07\x08", 4);
        descriptor.resize(16);
        put32(descriptor, 4, crc);
        put32(descriptor, 8, packed);
        put32(descriptor, 12, size);
        out += header + b.mid(r.local + headerSize, packed) + descriptor;
    }
    QByteArray end = b.mid(layout.endRecord);
    put32(end, 16, quint32(out.size()));
    b = out + central + end;
    return {};
}

} // namespace

ZipMaker::ZipMaker(Method method) : m_method(method), m_dosDate(kDos1980) {}

ZipMaker &ZipMaker::add(const QByteArray &name, const QByteArray &data, Method method, quint32 unixMode)
{
    m_entries.append({name, data, method, unixMode, 0, {}, 0, m_dosDate});
    return *this;
}

ZipMaker &ZipMaker::add(const QByteArray &name, const QByteArray &data, quint32 unixMode)
{
    return add(name, data, m_method, unixMode);
}

ZipMaker &ZipMaker::addZeros(const QByteArray &name, int mebibytes)
{
    m_entries.append({name, {}, Deflated, 0, mebibytes, {}, 0, m_dosDate});
    return *this;
}

ZipMaker &ZipMaker::addEncrypted(const QByteArray &name, const QByteArray &data, const QByteArray &password)
{
    m_entries.append({name, data, m_method, 0, 0, password, 0, m_dosDate});
    return *this;
}

ZipMaker &ZipMaker::setTime(int year, int month, int day)
{
    m_dosDate = quint16(((year - 1980) << 9) | (month << 5) | day);
    return *this;
}

ZipMaker &ZipMaker::streamed()
{
    m_streamed = true;
    return *this;
}

ZipMaker &ZipMaker::declareSize(const QByteArray &name, quint32 size)
{
    m_patches.append({Patch::Size, name, size, 0});
    return *this;
}

ZipMaker &ZipMaker::flip(const QByteArray &name)
{
    m_patches.append({Patch::Flip, name, 0, 0});
    return *this;
}

ZipMaker &ZipMaker::cut(double fraction)
{
    m_patches.append({Patch::Cut, {}, 0, fraction});
    return *this;
}

QString ZipMaker::write(const QString &file) const
{
    if (m_entries.isEmpty()) {
        // libzip leaves no file for an empty archive; zip tools write the
        // bare end record.
        QFile f(file);
        QByteArray end("PK\x05\x06", 4);
        end.resize(22);
        std::fill(end.begin() + 4, end.end(), '\0');
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(end) != end.size())
            return "cannot write " + file;
        return {};
    }
    int code = 0;
    zip_t *z = zip_open(QFile::encodeName(file).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!z)
        return "libzip cannot create " + file + " (error " + QString::number(code) + ")";
    auto fail = [z](const QString &what) {
        const QString text = what + ": " + libzipText(z);
        zip_discard(z);
        return text;
    };

    // libzip adds no second entry of a name: a stand-in takes its place and
    // the name is written over it afterwards.
    QSet<QByteArray> used;
    for (const Entry &e : m_entries)
        used.insert(e.name);
    QSet<QByteArray> added;
    QVector<QPair<QByteArray, QByteArray>> renames; // stand-in, name
    QVector<QByteArray> lzma;
    for (const Entry &e : m_entries) {
        QByteArray name = e.name;
        if (added.contains(name)) {
            name = standIn(e.name, used);
            if (name.isEmpty())
                return fail("no stand-in for the second " + QString::fromUtf8(e.name));
            used.insert(name);
            renames.append({name, e.name});
        }
        added.insert(name);

        zip_source_t *source = e.zeroMiB > 0 ? zerosSource(z, e.zeroMiB)
                                             : zip_source_buffer(z, e.data.constData(), zip_uint64_t(e.data.size()), 0);
        if (!source)
            return fail("no source for " + QString::fromUtf8(e.name));
        const zip_int64_t index = zip_file_add(z, name.constData(), source, ZIP_FL_ENC_GUESS);
        if (index < 0) {
            zip_source_free(source);
            return fail("cannot add " + QString::fromUtf8(e.name));
        }
        const zip_uint64_t i = zip_uint64_t(index);
        // Python's zipfile packs at level 6 and bzip2 at 9; so do these.
        static const struct
        {
            zip_int32_t method;
            zip_uint32_t level;
        } methods[] = {{ZIP_CM_STORE, 0}, {ZIP_CM_DEFLATE, 6}, {ZIP_CM_BZIP2, 9}, {ZIP_CM_STORE, 0}};
        if (zip_set_file_compression(z, i, methods[e.method].method, methods[e.method].level) != 0 ||
            zip_file_set_external_attributes(z, i, 0, ZIP_OPSYS_UNIX, e.unixMode << 16) != 0 ||
            zip_file_set_dostime(z, i, e.dosTime, e.dosDate, 0) != 0)
            return fail("cannot set up " + QString::fromUtf8(e.name));
        if (!e.password.isEmpty() && zip_file_set_encryption(z, i, ZIP_EM_TRAD_PKWARE, e.password.constData()) != 0)
            return fail("cannot encrypt " + QString::fromUtf8(e.name));
        if (e.method == Lzma)
            lzma.append(name);
    }
    if (zip_close(z) != 0)
        return fail("cannot write " + file);

    if (renames.isEmpty() && lzma.isEmpty() && !m_streamed && m_patches.isEmpty())
        return {};
    QFile f(file);
    if (!f.open(QIODevice::ReadWrite))
        return "cannot reopen " + file;
    QByteArray b = f.readAll();
    Layout layout;
    QString problem = layout.read(b);
    if (!problem.isEmpty())
        return file + ": " + problem;
    for (const auto &r : renames) {
        const Layout::Record *at = layout.find(r.first);
        b.replace(at->central + 46, r.second.size(), r.second);
        b.replace(at->local + 30, r.second.size(), r.second);
    }
    for (const QByteArray &name : lzma) {
        const Layout::Record *at = layout.find(name);
        put16(b, at->central + 10, kLzmaMethod);
        put16(b, at->local + 8, kLzmaMethod);
    }
    if (m_streamed && !(problem = streamBytes(b)).isEmpty())
        return file + ": " + problem;
    for (const Patch &p : m_patches) {
        if (p.kind == Patch::Cut) {
            b.truncate(int(b.size() * p.fraction));
            continue;
        }
        if (!(problem = layout.read(b)).isEmpty())
            return file + ": " + problem;
        const Layout::Record *at = layout.find(p.name);
        if (!at)
            return file + " holds no " + QString::fromUtf8(p.name);
        if (p.kind == Patch::Size) {
            put32(b, at->central + 24, p.size);
            put32(b, at->local + 22, p.size);
        } else {
            const qint64 data = at->local + 30 + u16(b, at->local + 26) + u16(b, at->local + 28);
            b[data + u32(b, at->central + 20) / 2] ^= 0x5a;
        }
    }
    if (!f.resize(0) || !f.seek(0) || f.write(b) != b.size())
        return "cannot rewrite " + file;
    return {};
}

QByteArray noise(int size, quint32 seed)
{
    QRandomGenerator generator(seed);
    QByteArray bytes(size, '\0');
    for (char &c : bytes)
        c = char(generator.generate() & 0xff);
    return bytes;
}
