// The Debian package as `make deb` makes it: built once for the whole suite
// by cpack into a folder of the test's own, then read back, checked by
// Debian's own tools and unpacked into a root where the program starts for
// an unprivileged user.
#include "Account.h"
#include "TempFolder.h"
#include "TreeSnapshot.h"
#include "XWindows.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

struct Result
{
    bool ok = false;
    QString output;
};

Result run(const QString &program, const QStringList &args, const QString &folder = QString())
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    if (!folder.isEmpty())
        p.setWorkingDirectory(folder);
    p.start(program, args);
    Result r;
    r.ok = p.waitForFinished(600000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    r.output = QString::fromLocal8Bit(p.readAll());
    return r;
}

class Package : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        folder = new TempFolder;
        const Result made = run(ZC_CPACK_COMMAND, {"-G", "DEB", "-B", folder->path(), "--config",
                                                   QString(ZC_BINARY_DIR) + "/CPackConfig.cmake"},
                                ZC_BINARY_DIR);
        const QStringList debs = QDir(folder->path()).entryList({"*.deb"}, QDir::Files);
        if (made.ok && debs.size() == 1)
            deb = folder->file(debs.first());
        else
            failure = new QString(made.output);
    }
    static void TearDownTestSuite()
    {
        delete folder;
        delete failure;
        folder = nullptr;
        failure = nullptr;
    }
    void SetUp() override
    {
        ASSERT_FALSE(deb.isEmpty()) << "cpack failed: " << (failure ? failure->toStdString() : "");
    }

    // The package unpacked into a root of its own, readable by everyone.
    QString unpack(const TempFolder &root) const
    {
        QFile::setPermissions(root.path(), QFile::permissions(root.path()) | QFileDevice::ReadOther
                                               | QFileDevice::ExeOther | QFileDevice::ReadGroup | QFileDevice::ExeGroup);
        const Result r = run("dpkg", {"-x", deb, root.path()});
        EXPECT_TRUE(r.ok) << r.output.toStdString();
        return root.path();
    }

    static TempFolder *folder;
    static QString deb;
    static QString *failure;
};

TempFolder *Package::folder = nullptr;
QString Package::deb;
QString *Package::failure = nullptr;

} // namespace

TEST_F(Package, NameContentsAndDependencies)
{
    const Result arch = run("dpkg", {"--print-architecture"});
    ASSERT_TRUE(arch.ok);
    EXPECT_EQ(QFileInfo(deb).fileName(), QString("zindleclock_%1_%2.deb").arg(ZC_VERSION, arch.output.trimmed()));

    const Result listing = run("dpkg-deb", {"-c", deb});
    ASSERT_TRUE(listing.ok) << listing.output.toStdString();
    // Path -> mode column, for every entry.
    QMap<QString, QString> entries;
    for (const QString &line : listing.output.split('\n', Qt::SkipEmptyParts)) {
        const QStringList cols = line.split(QRegularExpression("\\s+"));
        ASSERT_GE(cols.size(), 6) << line.toStdString();
        const int nameAt = line.indexOf(" ./");
        entries.insert(line.mid(nameAt + 1), cols[0]);
        EXPECT_EQ(cols[1], "root/root") << line.toStdString();
    }
    const char *const wanted[] = {
        "./usr/bin/zindleclock -> ../lib/zindleclock/ZindleClock",
        "./usr/lib/zindleclock/ZindleClock",
        "./usr/lib/zindleclock/zindleclock-timeserver.so",
        "./usr/lib/zindleclock/ZindleClock.html",
        "./usr/lib/zindleclock/INSTALLED",
        "./usr/lib/zindleclock/voice/hour1.wav",
        "./usr/lib/zindleclock/chimes/",
        "./usr/lib/zindleclock/sound/",
        "./usr/lib/zindleclock/skins/",
        "./usr/share/applications/zindleclock.desktop",
        "./usr/share/icons/hicolor/scalable/apps/zindleclock.svg",
        "./usr/lib/zindleclock/zindleclock-16.png",
        "./usr/lib/zindleclock/zindleclock-64.png",
        "./usr/share/metainfo/org.example.zindleclock.metainfo.xml",
        "./usr/share/man/man1/zindleclock.1.gz",
        "./usr/share/doc/zindleclock/copyright",
    };
    for (const char *path : wanted)
        EXPECT_TRUE(entries.contains(path)) << path;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        EXPECT_TRUE(entries.contains(QString("./usr/share/icons/hicolor/%1x%1/apps/zindleclock.png").arg(size))) << size;
    for (const char *table : {"Clock", "Dial", "Hand", "Body", "Head", "Alarm", "Alarm2", "Skins", "Product", "Time"})
        EXPECT_EQ(entries.value(QString("./usr/lib/zindleclock/%1.db").arg(table)), "-rw-r--r--") << table;
    EXPECT_EQ(entries.value("./usr/lib/zindleclock/ZindleClock"), "-rwxr-xr-x");
    // Only what ships: nothing a clock run from the build folder leaves
    // there (settings, outline, journals, unpacked skins) goes along.
    const QRegularExpression shipped("^\\./usr/lib/zindleclock/((Clock|Dial|Hand|Body|Head|Alarm|Alarm2|Skins|Product|"
                                     "Time)\\.db|ZindleClock|zindleclock-timeserver\\.so|ZindleClock\\.html|zindleclock\\.svg|"
                                     "zindleclock-(16|22|24|32|48|64)\\.png|"
                                     "zindleclock\\.desktop|INSTALLED|(voice|chimes|sound|skins)/[^/]*)?$");
    for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
        if (it.key().startsWith("./usr/lib/zindleclock")) {
            EXPECT_TRUE(shipped.match(it.key()).hasMatch()) << it.key().toStdString();
        }
    }

    const Result depends = run("dpkg-deb", {"--field", deb, "Depends"});
    ASSERT_TRUE(depends.ok);
    // With versions: computed from the binary for what it links, named in
    // the package for SDL_mixer and libzip, which it opens when first needed.
    for (const char *lib : {"libqt6widgets6 (", "libqt6network6 (", "libsdl2-mixer-2.0-0 (", "libsqlite3-0 (", "libzip4 (", "libc6 ("})
        EXPECT_TRUE(depends.output.contains(lib)) << lib << " in " << depends.output.toStdString();
    // The icon is shipped as pictures: nothing draws SVG at run time.
    EXPECT_FALSE(depends.output.contains("libqt6svg6")) << depends.output.toStdString();
}

TEST_F(Package, DebiansToolsFindNoFault)
{
    TempFolder root;
    unpack(root);
    const QString entry = root.file("usr/share/applications/zindleclock.desktop");
    const Result desktop = run("desktop-file-validate", {entry});
    EXPECT_TRUE(desktop.ok && desktop.output.trimmed().isEmpty()) << desktop.output.toStdString();
    // Fit to be copied into ~/.config/autostart: it starts the launcher and
    // is not hidden.
    const QString text = QString::fromUtf8(root.read("usr/share/applications/zindleclock.desktop"));
    EXPECT_TRUE(text.contains("\nExec=zindleclock\n")) << text.toStdString();
    EXPECT_FALSE(text.contains("Hidden=true") || text.contains("NoDisplay=true"));

    const Result metainfo =
        run("appstreamcli", {"validate", "--no-net", root.file("usr/share/metainfo/org.example.zindleclock.metainfo.xml")});
    EXPECT_TRUE(metainfo.ok) << metainfo.output.toStdString();
    EXPECT_TRUE(QString::fromUtf8(root.read("usr/share/metainfo/org.example.zindleclock.metainfo.xml")).contains("<caption>"));

    const Result man = run("sh", {"-c", "zcat \"$0\" | groff -man -Tutf8 -ww -z 2>&1", root.file("usr/share/man/man1/zindleclock.1.gz")});
    EXPECT_TRUE(man.ok && man.output.trimmed().isEmpty()) << man.output.toStdString();

    const Result lintian = run("lintian", {"--fail-on", "error", deb});
    EXPECT_TRUE(lintian.ok) << lintian.output.toStdString();
    for (const QString &line : lintian.output.split('\n'))
        EXPECT_FALSE(line.startsWith("E: ")) << line.toStdString();
}

TEST_F(Package, UnpackedItStartsForAnUnprivilegedUser)
{
    if (!Account::asRoot())
        GTEST_SKIP() << "changing the user id needs root";
    XWindows::Display *display = XWindows::open();
    if (!display)
        GTEST_SKIP() << "no X server";
    TempFolder root;
    unpack(root);
    const QMap<QString, QString> before = snapshotTree(root.path());
    Account user(65534, 65534);
    ASSERT_TRUE(user.usable());
    QProcess clock;
    user.start(clock, root.file("usr/bin/zindleclock"));
    const XWindows::Window w = XWindows::waitFor(display, "Zindle Clock", 60);
    EXPECT_NE(w, 0u) << "the clock never showed: " << clock.readAllStandardError().toStdString();
    if (w) {
        const QRect g = XWindows::geometry(display, w);
        EXPECT_GT(g.width(), 100);
        EXPECT_GT(g.height(), 100);
        EXPECT_LT(g.width(), 640) << "the window took the outline's size";
        const QList<QSize> icon = XWindows::iconSizes(display, w);
        EXPECT_EQ(icon, (QList<QSize>{{16, 16}, {22, 22}, {24, 24}, {32, 32}, {48, 48}, {64, 64}}))
            << "the icon's pictures from the installed program folder";
    }
    EXPECT_TRUE(QFileInfo::exists(user.home() + "/.local/share/zindleclock/mask_fClock.bmp"));
    clock.kill();
    clock.waitForFinished(10000);
    XWindows::close(display);
    EXPECT_EQ(snapshotTree(root.path()), before) << "the unpacked program folder is only read";
}
