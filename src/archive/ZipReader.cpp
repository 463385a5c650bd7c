#include "ZipReader.h"
#include "EntryName.h"
#include "SkinPackageError.h"
#include "StagedFile.h"
#include "ZipLibrary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <sys/stat.h>

namespace {

QString libzipText(const ZipLibrary &api, zip_error_t *error)
{
    return QString::fromLocal8Bit(api.zip_error_strerror(error));
}

QString mib(quint64 bytes)
{
    return QString::number(double(bytes) / (1024 * 1024), 'f', 1) + " MiB";
}

} // namespace

void TZipReader::Discard::operator()(zip *z) const
{
    api->zip_discard(z);
}

TZipReader::TZipReader() = default;
TZipReader::TZipReader(const ZipLibrary &library)
    : m_library(&library)
{
}

const ZipLibrary &TZipReader::library() const
{
    return m_library ? *m_library : ZipLibrary::installed();
}
TZipReader::~TZipReader() = default;

QString TZipReader::packageName() const
{
    return QFileInfo(m_fileName).fileName();
}

void TZipReader::refuse(const QString &why) const
{
    throw ESkinPackage(QString("Skin package %1: %2").arg(packageName(), why));
}

void TZipReader::open(const QString &fileName)
{
    close();
    m_fileName = fileName;
    const QFileInfo info(fileName);
    // The message names the package already.
    if (!info.exists())
        refuse("it does not exist");
    if (info.isDir())
        refuse("it is a folder, not a ZIP archive");
    if (info.size() == 0)
        refuse("it is empty");

    if (!library().missing.isEmpty())
        refuse(QString("ZIP archives cannot be read here (%1)").arg(library().missing));
    int code = 0;
    // CHECKCONS makes libzip refuse duplicate names and local headers that
    // disagree with the central directory.
    zip_t *z = library().zip_open(QFile::encodeName(fileName).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (!z) {
        zip_error_t error;
        library().zip_error_init_with_code(&error, code);
        const QString text = libzipText(library(), &error);
        library().zip_error_fini(&error);
        switch (code) {
        case ZIP_ER_NOZIP:
            refuse(QString("it is not a ZIP archive, or it is truncated (%1)").arg(text));
        case ZIP_ER_EXISTS:
            refuse(QString("the archive is damaged: two entries have the same name (%1)").arg(text));
        case ZIP_ER_INCONS:
        case ZIP_ER_CRC:
            refuse(QString("the archive is damaged (%1)").arg(text));
        default:
            refuse(QString("the archive cannot be read (%1)").arg(text));
        }
    }
    m_zip = std::unique_ptr<zip, Discard>(z, Discard(&library()));
}

void TZipReader::close()
{
    m_zip.reset();
}

bool TZipReader::isOpen() const
{
    return bool(m_zip);
}

void TZipReader::setBaseFolder(const QString &folder)
{
    m_baseFolder = folder;
    if (!m_baseFolder.isEmpty() && !m_baseFolder.endsWith('/'))
        m_baseFolder += '/';
}

void TZipReader::setShownFolder(const QString &folder)
{
    m_shownFolder = folder;
    if (!m_shownFolder.isEmpty() && !m_shownFolder.endsWith('/'))
        m_shownFolder += '/';
}

QString TZipReader::shownFolder() const
{
    return m_shownFolder.isEmpty() ? m_baseFolder : m_shownFolder;
}

void TZipReader::requireOpen() const
{
    if (!m_zip)
        throw ESkinPackage(QString("Skin package %1: the archive is not open")
                               .arg(m_fileName.isEmpty() ? QString("(none)") : packageName()));
}

QStringList TZipReader::entryNames() const
{
    requireOpen();
    QStringList names;
    const zip_int64_t count = library().zip_get_num_entries(m_zip.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char *name = library().zip_get_name(m_zip.get(), zip_uint64_t(i), 0);
        names << (name ? QString::fromUtf8(name) : QString());
    }
    return names;
}

QStringList TZipReader::filesToUnpack() const
{
    QStringList names;
    for (const Entry &e : plan().entries)
        names << e.name;
    return names;
}

TZipReader::Plan TZipReader::plan() const
{
    requireOpen();
    zip_t *z = m_zip.get();
    const zip_int64_t count = library().zip_get_num_entries(z, 0);
    if (count > kMaxEntries)
        refuse(QString("it holds %1 entries, more than %2").arg(count).arg(kMaxEntries));

    Plan plan;
    QHash<QString, QString> taken; // lower-case bare name -> stored name
    for (zip_int64_t i = 0; i < count; ++i) {
        const zip_uint64_t index = zip_uint64_t(i);
        zip_stat_t st;
        library().zip_stat_init(&st);
        if (library().zip_stat_index(z, index, 0, &st) != 0)
            refuse(QString("entry %1 cannot be read (%2)").arg(i).arg(libzipText(library(), library().zip_get_error(z))));
        const zip_uint64_t needed = ZIP_STAT_NAME | ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD |
                                    ZIP_STAT_ENCRYPTION_METHOD;
        if ((st.valid & needed) != needed)
            refuse(QString("entry %1 lacks its sizes or method").arg(i));
        const QString stored = QString::fromUtf8(st.name);

        zip_uint8_t opsys = 0;
        zip_uint32_t attributes = 0;
        library().zip_file_get_external_attributes(z, index, 0, &opsys, &attributes);
        const quint32 type = opsys == ZIP_OPSYS_UNIX ? (attributes >> 16) & S_IFMT : 0;
        if (isFolderEntryName(stored) || type == S_IFDIR)
            continue; // folders are never made
        if (type == S_IFLNK)
            refuse(QString("the entry %1 is a symbolic link").arg(stored));
        if (type != 0 && type != S_IFREG)
            refuse(QString("the entry %1 is not an ordinary file").arg(stored));

        QString problem;
        const QString bare = bareEntryName(stored, &problem);
        if (bare.isEmpty())
            refuse(QString("the entry '%1' %2").arg(stored, problem));
        if (st.encryption_method != ZIP_EM_NONE)
            refuse(QString("the entry %1 is encrypted").arg(stored));
        if (st.comp_method != ZIP_CM_STORE && st.comp_method != ZIP_CM_DEFLATE)
            refuse(QString("the entry %1 uses a compression method other than stored or deflated (method %2)")
                       .arg(stored)
                       .arg(st.comp_method));
        for (const QString &p : m_protected)
            if (bare.compare(p, Qt::CaseInsensitive) == 0)
                refuse(QString("it would replace the program's own file %1").arg(bare));

        const QString key = bare.toLower();
        if (taken.contains(key))
            refuse(QString("the entries %1 and %2 would unpack to the same file").arg(taken.value(key), stored));
        taken.insert(key, stored);

        if (st.size > kRatioFreeBytes && st.size / kMaxEntryRatio > st.comp_size)
            refuse(QString("the entry %1 would unpack to %2 from %3 packed, beyond 1:%4")
                       .arg(stored, mib(st.size), mib(st.comp_size))
                       .arg(kMaxEntryRatio));
        if (st.size > kMaxUnpackedBytes - plan.total)
            refuse(QString("it would unpack to more than %1").arg(mib(kMaxUnpackedBytes)));
        plan.total += st.size;

        const QFileInfo target(m_baseFolder + bare);
        if (target.isDir() && !target.isSymLink())
            refuse(QString("its file %1 would replace the folder %2").arg(stored, shownFolder() + bare));
        plan.entries.append({index, bare, st.size});
    }
    return plan;
}

void TZipReader::stage(const Entry &e, TStagedFile &out, const std::function<void(quint64)> &advance) const
{
    zip_file_t *in = library().zip_fopen_index(m_zip.get(), e.index, 0);
    if (!in)
        refuse(QString("the entry %1 cannot be opened (%2)").arg(e.name, libzipText(library(), library().zip_get_error(m_zip.get()))));
    struct Close
    {
        const ZipLibrary &api;
        zip_file_t *f;
        ~Close() { api.zip_fclose(f); }
    } closer{library(), in};

    static constexpr zip_uint64_t kChunk = 1 << 16;
    char buffer[kChunk];
    quint64 written = 0;
    for (;;) {
        const zip_int64_t n = library().zip_fread(in, buffer, kChunk);
        if (n < 0)
            refuse(QString("the entry %1 is damaged (%2)").arg(e.name, libzipText(library(), library().zip_file_get_error(in))));
        if (n == 0)
            break;
        // libzip hands out whatever the data inflates to; the declared size
        // is only kept if we count.
        written += quint64(n);
        if (written > e.size)
            refuse(QString("the entry %1 is damaged: it holds more than the %2 bytes it declares")
                       .arg(e.name)
                       .arg(e.size));
        out.write(buffer, n);
        advance(quint64(n));
    }
    if (written != e.size)
        refuse(QString("the entry %1 is damaged: it holds %2 of the %3 bytes it declares")
                   .arg(e.name)
                   .arg(written)
                   .arg(e.size));
    out.finish();
}

void TZipReader::unpackAll()
{
    requireOpen();
    if (m_baseFolder.isEmpty())
        refuse("no folder to unpack into was given");
    const Plan p = plan();
    if (!QDir().mkpath(m_baseFolder))
        refuse(QString("cannot make the folder %1").arg(shownFolder()));

    int shown = -1;
    quint64 done = 0;
    auto report = [&](int percent) {
        if (onProgress && percent != shown)
            onProgress(shown = percent);
    };
    report(0);
    std::vector<std::unique_ptr<TStagedFile>> staged;
    staged.reserve(size_t(p.entries.size()));
    // 100 is kept for the moment every file is in place.
    auto advance = [&](quint64 bytes) {
        done += bytes;
        report(int(qMin<quint64>(99, done * 100 / qMax<quint64>(1, p.total))));
    };
    for (const Entry &e : p.entries) {
        staged.push_back(std::make_unique<TStagedFile>(m_baseFolder + e.name, packageName(), shownFolder() + e.name));
        stage(e, *staged.back(), advance);
    }
    for (auto &f : staged)
        f->commit();
    report(100);
}
