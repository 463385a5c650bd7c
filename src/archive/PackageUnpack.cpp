#include "PackageUnpack.h"
#include "SkinPackageError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QRegularExpression>
#include <QSet>

#include <zip.h>

#include <memory>

namespace {

// Far above any real skin package, far below what would fill a disk.
constexpr quint64 kUnpackLimit = 512ULL * 1024 * 1024;

struct Entry
{
    zip_uint64_t index;
    QString name; // bare file name
    zip_uint64_t size;
};

QString zipError(zip_t *z)
{
    return QString::fromLocal8Bit(zip_error_strerror(zip_get_error(z)));
}

} // namespace

void unpackPackage(const QString &zipFile, const QString &folder, const QStringList &protectedNames,
                   const std::function<void(int)> &progress)
{
    const QString package = QFileInfo(zipFile).fileName();
    auto refuse = [&](const QString &why) { throw ESkinPackage(QString("Skin package %1: %2").arg(package, why)); };

    if (QFileInfo(zipFile).size() == 0)
        refuse("the file is empty or missing");
    int code = 0;
    // CHECKCONS: duplicate and inconsistent central directory entries are refused.
    std::unique_ptr<zip_t, void (*)(zip_t *)> z(zip_open(QFile::encodeName(zipFile).constData(),
                                                         ZIP_RDONLY | ZIP_CHECKCONS, &code),
                                                [](zip_t *a) { zip_discard(a); });
    if (!z) {
        zip_error_t e;
        zip_error_init_with_code(&e, code);
        const QString text = QString::fromLocal8Bit(zip_error_strerror(&e));
        zip_error_fini(&e);
        refuse("it is not a readable ZIP archive (" + text + ")");
    }

    // Everything is checked before the first byte is written.
    QVector<Entry> entries;
    quint64 total = 0;
    const zip_int64_t count = zip_get_num_entries(z.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        if (zip_stat_index(z.get(), zip_uint64_t(i), 0, &st) != 0)
            refuse("an entry cannot be read (" + zipError(z.get()) + ")");
        const QString stored = QString::fromUtf8(st.name);
        if (stored.endsWith('/'))
            continue; // folders are not rebuilt
        // Bare names could not escape anyway, but a package that tries to
        // is not one to trust with the rest.
        const QStringList parts = stored.split(QRegularExpression("[/\\\\]"));
        if (stored.startsWith('/') || stored.startsWith('\\') || (stored.size() > 1 && stored[1] == ':') ||
            parts.contains(".."))
            refuse(QString("the entry %1 points outside the program folder").arg(stored));
        const QString bare = stored.section(QRegularExpression("[/\\\\]"), -1);
        if (bare.isEmpty() || bare == "." || bare == ".." || bare.contains(QChar(0)))
            refuse(QString("the entry '%1' has no usable file name").arg(stored));
        if (st.encryption_method != ZIP_EM_NONE)
            refuse(QString("the entry %1 is encrypted").arg(stored));
        if (st.comp_method != ZIP_CM_STORE && st.comp_method != ZIP_CM_DEFLATE)
            refuse(QString("the entry %1 uses a compression method that is not supported").arg(stored));
        for (const QString &p : protectedNames)
            if (bare.compare(p, Qt::CaseInsensitive) == 0)
                refuse(QString("it is refused because it would replace the program's own file %1").arg(bare));
        total += st.size;
        if (total > kUnpackLimit)
            refuse(QString("it would unpack to more than %1 MiB").arg(kUnpackLimit >> 20));
        entries.append({zip_uint64_t(i), bare, st.size});
    }

    QDir().mkpath(folder);
    quint64 done = 0;
    int shown = -1;
    auto report = [&] {
        const int percent = total == 0 ? 100 : int(done * 100 / total);
        if (percent != shown && progress)
            progress(shown = percent);
    };
    report();
    QByteArray buffer(1 << 16, Qt::Uninitialized);
    for (const Entry &e : entries) {
        std::unique_ptr<zip_file_t, int (*)(zip_file_t *)> in(zip_fopen_index(z.get(), e.index, 0), zip_fclose);
        if (!in)
            refuse(QString("the entry %1 cannot be opened (%2)").arg(e.name, zipError(z.get())));
        // Written under a temporary name and renamed only when whole and
        // its checksum is right.
        QSaveFile out(folder + e.name);
        if (!out.open(QIODevice::WriteOnly))
            refuse(QString("cannot write %1 (%2)").arg(out.fileName(), out.errorString()));
        quint64 written = 0;
        for (;;) {
            const zip_int64_t n = zip_fread(in.get(), buffer.data(), zip_uint64_t(buffer.size()));
            if (n < 0)
                refuse(QString("the entry %1 is damaged (%2)").arg(e.name, QString::fromLocal8Bit(
                                                                                zip_error_strerror(zip_file_get_error(in.get())))));
            if (n == 0)
                break;
            // The declared size is a promise libzip does not keep for us.
            written += quint64(n);
            if (written > e.size)
                refuse(QString("the entry %1 holds more than it declares").arg(e.name));
            if (out.write(buffer.constData(), n) != n)
                refuse(QString("cannot write %1 (%2)").arg(out.fileName(), out.errorString()));
            done += quint64(n);
            report();
        }
        if (written != e.size)
            refuse(QString("the entry %1 is truncated").arg(e.name));
        if (!out.commit())
            refuse(QString("cannot write %1 (%2)").arg(out.fileName(), out.errorString()));
    }
    done = total;
    report();
}
