#pragma once
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <memory>

struct zip;
struct ZipLibrary;
class TStagedFile;

// Reads a ZIP package from outside and unpacks its entries into one base
// folder under their bare file names (the folder part of a stored name, up
// to the last '/' or '\', is dropped; folders are never made), replacing
// files already there.
//
// A package is untrusted. unpackAll() checks every entry before it writes
// anything and refuses the whole package when one entry:
//  - has a name that is empty, ".", "..", absolute, climbs out with "..",
//    or holds a control character;
//  - is a symbolic link or other special file (folder entries are skipped);
//  - is encrypted, or compressed other than stored or deflated;
//  - has the bare name of a protected file (compared ignoring case), or the
//    same bare name as another entry, or the name of a folder in the base
//    folder;
//  - would unpack to more than kMaxEntryRatio times its packed size (entries
//    above kRatioFreeBytes only), or all entries together to more than
//    kMaxUnpackedBytes, or there are more than kMaxEntries entries.
// open() already refuses a missing, empty, damaged or truncated archive and
// one with duplicate names.
//
// Each entry is written to a temporary file in the base folder, its bytes
// counted against its declared size and its CRC checked. Only when every
// entry is whole are they renamed into place, so a damaged entry anywhere
// leaves the base folder as it was. A rename failing in that last step (a
// full or read-only disk cannot cause one; the base folder vanishing can)
// leaves the entries renamed before it in place.
//
// Every failure throws ESkinPackage with a message that names the package,
// also a libzip that is missing or lacks a function the reader calls.
class TZipReader
{
public:
    static constexpr quint64 kMaxUnpackedBytes = 256ULL * 1024 * 1024;
    static constexpr quint64 kMaxEntryRatio = 200;
    // Flat-coloured bitmaps shrink beyond 1:200; small ones are let through,
    // the total limit still bounds them.
    static constexpr quint64 kRatioFreeBytes = 1024 * 1024;
    static constexpr int kMaxEntries = 10000;

    // Reads with libzip.so.4, opened by the first open().
    TZipReader();
    // Reads with the given library, which must outlive the reader.
    explicit TZipReader(const ZipLibrary &library);
    ~TZipReader();
    TZipReader(const TZipReader &) = delete;
    TZipReader &operator=(const TZipReader &) = delete;

    // Opens the package, closing any open one first.
    void open(const QString &fileName);
    void close();
    bool isOpen() const;
    QString fileName() const { return m_fileName; }

    // Where entries unpack to; made when missing.
    void setBaseFolder(const QString &folder);
    QString baseFolder() const { return m_baseFolder; }
    // The folder messages name instead of the base folder: where the files
    // end up when the base folder is only a staging place on their way.
    // The base folder itself when empty.
    void setShownFolder(const QString &folder);
    QString shownFolder() const;

    // Bare file names no entry may have: the program's own files.
    void setProtectedNames(const QStringList &names) { m_protected = names; }
    QStringList protectedNames() const { return m_protected; }

    // Whole-package progress of unpackAll(), 0 to 100, rising; 100 comes
    // once every file is in place.
    std::function<void(int percent)> onProgress;

    // Stored names of all entries, folders included, in archive order.
    QStringList entryNames() const;
    // Runs every check of unpackAll() that needs no unpacking; returns the
    // bare names the package would write, in archive order.
    QStringList filesToUnpack() const;
    void unpackAll();

private:
    struct Entry
    {
        quint64 index;
        QString name; // bare
        quint64 size; // declared
    };
    struct Plan
    {
        QVector<Entry> entries;
        quint64 total = 0;
    };

    Plan plan() const;
    void stage(const Entry &e, TStagedFile &out, const std::function<void(quint64)> &advance) const;
    void requireOpen() const;
    [[noreturn]] void refuse(const QString &why) const;
    QString packageName() const;
    const ZipLibrary &library() const;

    struct Discard
    {
        Discard() : api(nullptr) {}
        explicit Discard(const ZipLibrary *library) : api(library) {}
        const ZipLibrary *api;
        void operator()(zip *z) const;
    };
    const ZipLibrary *m_library = nullptr; // null: the installed one
    std::unique_ptr<zip, Discard> m_zip;
    QString m_fileName;
    QString m_baseFolder;
    QString m_shownFolder;
    QStringList m_protected;
};
