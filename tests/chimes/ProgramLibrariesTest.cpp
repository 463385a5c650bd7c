#include <QFile>
#include <QStringList>
#include <gtest/gtest.h>

#include <cstring>
#include <elf.h>

namespace {

template <typename T>
bool readAt(const QByteArray &file, quint64 offset, T &out)
{
    if (offset > quint64(file.size()) || quint64(file.size()) - offset < sizeof(T))
        return false;
    std::memcpy(&out, file.constData() + offset, sizeof(T));
    return true;
}

// The libraries a 64-bit ELF file names in its dynamic section (DT_NEEDED):
// what the loader maps, with all they need, before main runs.
QStringList neededLibraries(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray file = f.readAll();
    Elf64_Ehdr eh;
    if (!readAt(file, 0, eh) || std::memcmp(eh.e_ident, ELFMAG, SELFMAG) != 0 || eh.e_ident[EI_CLASS] != ELFCLASS64)
        return {};
    QStringList needed;
    for (int i = 0; i < eh.e_shnum; ++i) {
        Elf64_Shdr dynamic, strings;
        if (!readAt(file, eh.e_shoff + quint64(i) * eh.e_shentsize, dynamic) || dynamic.sh_type != SHT_DYNAMIC)
            continue;
        if (!readAt(file, eh.e_shoff + quint64(dynamic.sh_link) * eh.e_shentsize, strings))
            return {};
        for (quint64 at = dynamic.sh_offset; at + sizeof(Elf64_Dyn) <= dynamic.sh_offset + dynamic.sh_size;
             at += sizeof(Elf64_Dyn)) {
            Elf64_Dyn entry;
            if (!readAt(file, at, entry) || entry.d_tag == DT_NULL)
                break;
            const quint64 name = strings.sh_offset + entry.d_un.d_val;
            if (entry.d_tag == DT_NEEDED && name < quint64(file.size()))
                needed << QString::fromLatin1(file.constData() + name);
        }
    }
    return needed;
}

// The clock runs all day, mostly silent and without packages to unpack:
// SDL and SDL_mixer, with the forty libraries they bring (sound servers,
// synthesizers, decoders), are opened by the first sound and libzip by the
// first package, so the program must not be linked with any of them.
TEST(Program, IsNotLinkedWithTheLibrariesOpenedOnFirstUse)
{
    const QStringList needed = neededLibraries(QStringLiteral(ZC_PROGRAM_FILE));
    // The parse found the dynamic section: the program does link Qt.
    ASSERT_TRUE(needed.contains(QLatin1String("libQt6Core.so.6"))) << needed.join(' ').toStdString();
    for (const char *openedLater : {"libSDL2", "libzip"}) {
        for (const QString &lib : needed)
            EXPECT_FALSE(lib.startsWith(QLatin1String(openedLater))) << lib.toStdString();
    }
}

} // namespace
