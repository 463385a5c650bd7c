#include "SkinPackageError.h"
#include "TempFolder.h"
#include "ZipLibrary.h"
#include "ZipReader.h"

#include <gtest/gtest.h>

namespace {

struct LibraryCase
{
    const char *name;
    const char *library;
    int version;
    const char *named; // what the message must name
};

void PrintTo(const LibraryCase &c, std::ostream *os) { *os << c.name; }

class MissingZipLibrary : public ::testing::TestWithParam<LibraryCase>
{
};

// A system without libzip, or with one that lacks a function the reader
// calls, refuses the package through the reader's usual error and says what
// is missing; nothing is called through a null pointer.
TEST_P(MissingZipLibrary, RefusesThePackageNamingWhatIsMissing)
{
    const LibraryCase &c = GetParam();
    const ZipLibrary api = ZipLibrary::load(QString::fromLatin1(c.library), c.version);
    EXPECT_TRUE(api.missing.contains(QLatin1String(c.named))) << api.missing.toStdString();

    TempFolder work;
    work.write("pack.zip", "PK\x05\x06 not looked at");
    TZipReader reader(api);
    try {
        reader.open(work.file("pack.zip"));
        ADD_FAILURE() << "no error";
    } catch (const ESkinPackage &e) {
        EXPECT_TRUE(e.message().startsWith(QLatin1String("Skin package pack.zip: ZIP archives cannot be read here (")))
            << e.what();
        EXPECT_TRUE(e.message().contains(QLatin1String(c.named))) << e.what();
    }
    EXPECT_FALSE(reader.isOpen());
}

// zlib is there wherever Qt is, and has none of libzip's functions.
INSTANTIATE_TEST_SUITE_P(Cases, MissingZipLibrary,
                         ::testing::Values(LibraryCase{"NoLibrary", "zc-no-such-zip", 4, "zc-no-such-zip"},
                                           LibraryCase{"NoFunctions", "z", 1, "has no zip_open"}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(ZipLibrary, TheInstalledLibraryHasEveryFunction)
{
    const ZipLibrary &api = ZipLibrary::installed();
    EXPECT_TRUE(api.missing.isEmpty()) << api.missing.toStdString();
#define ZC_PRESENT(f) EXPECT_NE(api.f, nullptr) << #f;
    ZC_ZIP_FUNCTIONS(ZC_PRESENT)
#undef ZC_PRESENT
}

} // namespace
