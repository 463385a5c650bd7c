#include "InstallSummary.h"
#include "PictureBytes.h"
#include "SkinFolder.h"
#include "SqliteDb.h"
#include "SkinDialogsFor.h"
#include "uInstallSkins.h"

#include <QDir>
#include <QProcess>
#include "TableSchema.h"
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class Installer : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QDir(folder.path()).mkdir("skins");
        for (const char *n : {"B Pocket", "C Tower"})
            folder.addItem("Clock", n);
        folder.addItem("Dial", "Dial 006");
        folder.addItem("Hand", "Cowboy 01");
        folder.addItem("Head", "Mopp");
        folder.addItem("Body", "Cowboy");
        folder.write("dial.bmp", "the program folder's own art");
    }
    void TearDown() override { EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join("\n").toStdString(); }

    // A package in skins/ with a catalogue of the items and any extra files.
    void package(const QString &name, const QVector<CatalogueItem> &items,
                 QVector<QPair<QString, QByteArray>> extra = {}, const QString &catalogueEntry = "Skins.db",
                 const QString &method = "deflate")
    {
        TempFolder work;
        writeCatalogue(work.path(), items);
        QVector<QPair<QString, QString>> entries = {{catalogueEntry, work.file("Skins.db")}};
        int n = 0;
        for (const auto &e : extra) {
            const QString file = work.file(QString("extra%1").arg(++n));
            work.write(QString("extra%1").arg(n), e.second);
            entries.append({e.first, file});
        }
        zipFiles(folder.file("skins/" + name + ".zip"), entries, method);
    }

    // Opens the installer, selects the named lines, presses Install.
    void install(const QStringList &lines)
    {
        if (!clock)
            clock = folder.startClock("ClockName=C Tower\n");
        auto dialog = installSkinsFor(*clock);
        TfInstallSkins &dlg = *dialog;
        dlg.show();
        for (const QString &l : lines) {
            const auto found = dlg.lbSkins->findItems(l, Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1) << l.toStdString();
            const QRect r = dlg.lbSkins->visualItemRect(found[0]);
            QTest::mouseClick(dlg.lbSkins->viewport(), Qt::LeftButton, {}, r.center());
        }
        QTest::mouseClick(dlg.btnInstall, Qt::LeftButton);
        progress = dlg.ProgressBar1->value();
        closedAfterInstall = !dlg.isVisible();
        dlg.close();
    }

    // What the installer asked, leaving out its closing notice.
    QVector<MessageRequest> questions() const
    {
        QVector<MessageRequest> out;
        for (const MessageRequest &r : answers.asked)
            if (r.icon == QMessageBox::Question)
                out << r;
        return out;
    }

    QStringList programFiles() const
    {
        return QDir(folder.path()).entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    CollectedErrors errors;
    ScriptedAnswers answers;
    SkinFolder folder;
    std::unique_ptr<TfClock> clock;
    int progress = -1;
    bool closedAfterInstall = false;
};

} // namespace

TEST_F(Installer, OpensWithTheListAndInstallDisabled)
{
    for (const char *n : {"zeta", "Alpha", "beta"})
        package(n, {});
    QDir(folder.file("skins/")).mkdir("folder.zip");
    folder.write("skins/.hidden.zip", "x");
    clock = folder.startClock();
    clock->setFadeEnabled(true);
    auto dialog = installSkinsFor(*clock);
    TfInstallSkins &dlg = *dialog;
    dlg.show();
    QStringList lines;
    for (int i = 0; i < dlg.lbSkins->count(); ++i)
        lines << dlg.lbSkins->item(i)->text();
    EXPECT_EQ(lines, QStringList({"Alpha", "beta", "zeta"}));
    EXPECT_EQ(dlg.lbSkins->currentRow(), 0);
    EXPECT_TRUE(dlg.lbSkins->selectedItems().isEmpty()) << "the caret, not a selection";
    EXPECT_FALSE(dlg.btnInstall->isEnabled());
    EXPECT_FALSE(clock->fadeEnabled());
    EXPECT_EQ(clock->getTransparency(), 0);
    QTest::mouseClick(dlg.lbSkins->viewport(), Qt::LeftButton, {}, dlg.lbSkins->visualItemRect(dlg.lbSkins->item(1)).center());
    EXPECT_TRUE(dlg.btnInstall->isEnabled());
    QTest::mouseClick(dlg.btnCancel, Qt::LeftButton);
    EXPECT_TRUE(clock->fadeEnabled());
}

TEST_F(Installer, AMissingSkinsFolderIsReportedAndTheListStaysEmpty)
{
    QDir(folder.file("skins")).removeRecursively();
    clock = folder.startClock();
    auto dialog = installSkinsFor(*clock);
    TfInstallSkins &dlg = *dialog;
    dlg.show();
    EXPECT_EQ(dlg.lbSkins->count(), 0);
    EXPECT_FALSE(dlg.btnInstall->isEnabled());
    ASSERT_EQ(errors.texts.size(), 1);
    EXPECT_TRUE(errors.texts[0].contains("skins")) << errors.texts[0].toStdString();
    errors.texts.clear();
}

TEST_F(Installer, TwoPackagesWithTheSameDialInListOrder)
{
    package("second", {{"dial", "Brass", 100, "from second"}, {"dial", "Steel"}});
    package("first", {{"dial", "Brass", 100, "from first"}});
    install({"second", "first"});
    EXPECT_TRUE(closedAfterInstall);
    EXPECT_EQ(progress, 100);
    EXPECT_EQ(namesOf(clock->tblDial), QStringList({"Brass", "Dial 006", "Steel"}));
    ASSERT_TRUE(clock->tblDial.FindKey("Brass"));
    EXPECT_EQ(clock->tblDial.FieldByName("Notes").asString(), "from first") << "installed in list order";
    // The catalogue table holds the last package's items.
    EXPECT_EQ(clock->tblSkins.RecordCount(), 2);
    // The installer does not close without a word.
    ASSERT_EQ(answers.asked.size(), 1);
    EXPECT_EQ(answers.asked[0].icon, QMessageBox::Information);
    EXPECT_EQ(answers.asked[0].text, "2 skin items were installed.\n\n"
                                     "first: 1 new item.\n"
                                     "second: 1 new item, 1 already installed.\n\n"
                                     "Choose them with Select Skin.");
}

TEST(InstallSummary, SaysWhatEachPackageBrought)
{
    struct Case
    {
        QVector<InstalledPackage> packages;
        QString text;
    } cases[] = {
        {{{"Autumn", {3, 0, 0, false}}},
         "3 skin items were installed.\n\nAutumn: 3 new items.\n\nChoose them with Select Skin."},
        {{{"Autumn", {1, 0, 0, false}}},
         "1 skin item was installed.\n\nAutumn: 1 new item.\n\nChoose them with Select Skin."},
        {{{"Autumn", {0, 4, 0, false}}},
         "No new skin items were installed.\n\nAutumn: no new items, 4 already installed."},
        {{{"Odd", {1, 0, 2, false}}, {"Newer", {0, 0, 0, true}}},
         "1 skin item was installed.\n\nOdd: 1 new item, 2 of an unknown kind left out.\n"
         "Newer: no new items, stopped at an item made for a newer version.\n\nChoose them with Select Skin."},
    };
    for (const Case &c : cases)
        EXPECT_EQ(installSummary(c.packages), c.text);
}

TEST_F(Installer, AnItemBeforeTheClockInUseKeepsTheFaceOnTheSameClock)
{
    package("p", {{"Clock", "A Alarm"}});
    install({"p"});
    EXPECT_EQ(clock->Settings.ClockName, "C Tower");
    EXPECT_EQ(clock->ClockRecNo, 3) << "one higher than before";
    EXPECT_EQ(clock->tblClock.FieldByName("Name").asString(), "C Tower");
    clock->tblClock.setRecNo(clock->ClockRecNo);
    EXPECT_EQ(clock->tblClock.FieldByName("Name").asString(), "C Tower");
}

TEST_F(Installer, NewerVersionQuestion)
{
    package("newer", {{"head", "First"}, {"head", "Second", 101}, {"head", "Third"}});
    answers.answer(QMessageBox::No);
    install({"newer"});
    ASSERT_EQ(questions().size(), 1);
    EXPECT_EQ(questions()[0].text, "This skin database may require a newer version on Zindle Clock. Continue anyway?");
    EXPECT_EQ(questions()[0].buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(namesOf(clock->tblHead), QStringList({"First", "Mopp"}));
    answers.answer(QMessageBox::Yes);
    install({"newer"});
    EXPECT_EQ(questions().size(), 2);
    EXPECT_EQ(namesOf(clock->tblHead), QStringList({"First", "Mopp", "Second", "Third"}));
}

TEST_F(Installer, EntriesStoredUnderAFolderLandInTheProgramFolder)
{
    package("nested", {{"body", "Robe"}}, {{"art/bodies/robe.bmp", "robe"}}, "data/tables/Skins.db");
    // What an install killed half-way left behind goes with the next one.
    QDir(folder.path()).mkpath(".skin-install-Ab12Cd/half");
    folder.write(".skin-install-Ab12Cd/half/dial.bmp", "half");
    install({"nested"});
    EXPECT_FALSE(QDir(folder.file(".skin-install-Ab12Cd")).exists());
    EXPECT_EQ(namesOf(clock->tblBody), QStringList({"Cowboy", "Robe"}));
    EXPECT_EQ(folder.read("robe.bmp"), "robe");
    EXPECT_FALSE(QDir(folder.file("art")).exists());
    EXPECT_FALSE(QDir(folder.file("data")).exists());
}

// Zip tools on Windows separate folders with backslashes.
TEST_F(Installer, EntriesStoredUnderAWindowsFolderLandInTheProgramFolder)
{
    package("windows", {{"body", "Robe"}}, {{"art\\bodies\\robe.bmp", "robe"}}, "data\\tables\\Skins.db");
    install({"windows"});
    EXPECT_EQ(namesOf(clock->tblBody), QStringList({"Cowboy", "Robe"}));
    EXPECT_EQ(folder.read("robe.bmp"), "robe");
    for (const QString &f : QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
        EXPECT_FALSE(f.contains('\\')) << f.toStdString();
}

TEST_F(Installer, APackageWithoutACatalogueBringsNothing)
{
    package("full", {{"dial", "Full"}});
    install({"full"});
    TempFolder work;
    work.write("readme.txt", "hello");
    zipFiles(folder.file("skins/bare.zip"), {{"readme.txt", work.file("readme.txt")}});
    install({"bare"});
    EXPECT_EQ(clock->tblSkins.RecordCount(), 0);
    EXPECT_EQ(folder.read("readme.txt"), "hello");
}

// Packages from outside must not harm the program folder. Each is refused
// with a message naming the package, and leaves every file as it was.
TEST_F(Installer, HostilePackagesAreRefusedWhole)
{
    TempFolder work;
    writeCatalogue(work.path(), {{"dial", "Sneaky"}});
    work.write("art.bmp", "art");
    work.write("settings", "[Path]\nClockName=evil\n");
    work.write("garbage", QByteArray(4096, 'g'));
    createTable(work.path(), standardSchema("Time"));
    const QString catalogue = work.file("Skins.db");
    const QString zeros = "@zeros:600";
    // Catalogues that are table files, but not ones to take.
    TempFolder bomb, foreign, viewed;
    writeCatalogue(bomb.path(), {{"dial", "Big"}});
    {
        TTable t;
        t.OpenTable(bomb.path(), "Skins");
        t.Edit();
        t.FieldByName("image").setValue(pngBytes(8000, 8000));
        t.Post();
    }
    {
        SqliteDb db(foreign.file("Skins.db"), SqliteDb::Create);
        db.exec("CREATE TABLE data(id INTEGER PRIMARY KEY, x TEXT)");
    }
    writeCatalogue(viewed.path(), {{"dial", "Sneaky"}});
    {
        SqliteDb db(viewed.file("Skins.db"), SqliteDb::ReadWrite);
        db.exec("CREATE VIEW v AS SELECT 1");
    }
    work.write("nothing", "");

    struct Case
    {
        const char *name;
        std::function<void(const QString &zip)> build;
        const char *says; // part of the message
    } cases[] = {
        {"escape", [&](const QString &z) { zipFiles(z, {{"Skins.db", catalogue}, {"../../escape.bmp", work.file("art.bmp")}}); }, "outside"},
        {"absolute", [&](const QString &z) { zipFiles(z, {{"Skins.db", catalogue}, {"/tmp/escape.bmp", work.file("art.bmp")}}); }, "outside"},
        {"settings", [&](const QString &z) { zipFiles(z, {{"art.bmp", work.file("art.bmp")}, {"ZindleClock.ini", work.file("settings")}}); }, "ZindleClock.ini"},
        {"table", [&](const QString &z) { zipFiles(z, {{"art.bmp", work.file("art.bmp")}, {"deep/Clock.db", catalogue}}); }, "Clock.db"},
        {"journal", [&](const QString &z) { zipFiles(z, {{"art.bmp", work.file("art.bmp")}, {"Dial.db-journal", work.file("garbage")}}); }, "Dial.db-journal"},
        {"program", [&](const QString &z) { zipFiles(z, {{"ZindleClock", work.file("art.bmp")}}); }, "ZindleClock"},
        {"bzip2", [&](const QString &z) { zipFiles(z, {{"art.bmp", work.file("art.bmp")}, {"Skins.db", catalogue}}, "bzip2"); }, "compression"},
        {"huge", [&](const QString &z) { zipFiles(z, {{"art.bmp", work.file("art.bmp")}, {"zeros", zeros}}); }, "MiB"},
        {"notatable", [&](const QString &z) { zipFiles(z, {{"art.bmp", work.file("art.bmp")}, {"Skins.db", work.file("garbage")}}); }, "Skins"},
        {"wrongtable", [&](const QString &z) { zipFiles(z, {{"art.bmp", work.file("art.bmp")}, {"Skins.db", work.file("Time.db")}}); }, "Skins"},
        {"truncated", [&](const QString &z) {
             zipFiles(z, {{"art.bmp", work.file("art.bmp")}, {"Skins.db", catalogue}});
             QFile f(z);
             f.open(QIODevice::ReadWrite);
             f.resize(f.size() / 2);
         }, nullptr},
        {"damaged", [&](const QString &z) {
             // One byte changed in the middle of the stored catalogue: the checksum fails.
             zipFiles(z, {{"art.bmp", work.file("art.bmp")}, {"Skins.db", catalogue}}, "store");
             QFile f(z);
             f.open(QIODevice::ReadWrite);
             f.seek(f.size() / 2);
             char c;
             f.getChar(&c);
             f.seek(f.size() / 2);
             f.putChar(char(c ^ 0x5a));
         }, "damaged"},
        {"empty", [&](const QString &z) { QFile f(z); f.open(QIODevice::WriteOnly); }, nullptr},
        {"bomb", [&](const QString &z) { zipFiles(z, {{"Skins.db", bomb.file("Skins.db")}}); }, "8000 x 8000 pixels"},
        {"foreign", [&](const QString &z) { zipFiles(z, {{"Skins.db", foreign.file("Skins.db")}}); }, "not a table file"},
        {"emptytable", [&](const QString &z) { zipFiles(z, {{"Skins.db", work.file("nothing")}}); }, "empty"},
        {"view", [&](const QString &z) { zipFiles(z, {{"Skins.db", viewed.file("Skins.db")}}); }, "unexpected object"},
        {"windowsfolder", [&](const QString &z) { zipFiles(z, {{"data\\ZindleClock.ini", work.file("settings")}}); }, "own file ZindleClock.ini"},
    };
    clock = folder.startClock("ClockName=C Tower\n");
    const QStringList before = programFiles();
    const QByteArray skinsBefore = folder.read("Skins.db");
    const QByteArray clockBefore = folder.read("Clock.db");
    for (const Case &c : cases) {
        const QString zip = folder.file(QString("skins/") + c.name + ".zip");
        c.build(zip);
        errors.texts.clear();
        install({c.name});
        QFile::remove(zip);
        ASSERT_EQ(errors.texts.size(), 1) << c.name;
        const QString text = errors.texts[0];
        // Every refusal starts the same way, names the package by its file
        // name and never the place it was unpacked in on its way.
        EXPECT_TRUE(text.startsWith(QString("Skin package %1.zip: ").arg(c.name))) << c.name << ": " << text.toStdString();
        EXPECT_FALSE(text.contains(".skin-install")) << c.name << ": " << text.toStdString();
        EXPECT_FALSE(text.contains(".zc-unpack")) << c.name << ": " << text.toStdString();
        EXPECT_FALSE(text.contains(folder.path())) << c.name << ": " << text.toStdString();
        if (c.says) {
            EXPECT_TRUE(text.contains(c.says)) << c.name << ": " << text.toStdString();
        }
        EXPECT_FALSE(closedAfterInstall) << c.name << ": the dialog stays open on an error";
        EXPECT_EQ(programFiles(), before) << c.name;
        EXPECT_EQ(folder.read("Skins.db"), skinsBefore) << c.name;
        EXPECT_EQ(folder.read("Clock.db"), clockBefore) << c.name;
        EXPECT_EQ(folder.read("dial.bmp"), "the program folder's own art") << c.name;
        EXPECT_TRUE(clock->tblSkins.Active()) << c.name << ": the catalogue table is open again";
        EXPECT_EQ(namesOf(clock->tblDial), QStringList({"Dial 006"})) << c.name;
    }
    EXPECT_FALSE(QFile::exists(folder.file("../escape.bmp")));
    EXPECT_FALSE(QFile::exists(folder.file("../../escape.bmp")));
    errors.texts.clear();
}

TEST_F(Installer, AnEncryptedPackageIsRefused)
{
    TempFolder work;
    writeCatalogue(work.path(), {{"dial", "Secret"}});
    QProcess zip;
    zip.setWorkingDirectory(work.path());
    zip.start("zip", {"-q", "-P", "password", folder.file("skins/locked.zip"), "Skins.db"});
    ASSERT_TRUE(zip.waitForFinished(60000));
    ASSERT_EQ(zip.exitCode(), 0);
    clock = folder.startClock("ClockName=C Tower\n");
    const QStringList before = programFiles();
    install({"locked"});
    ASSERT_EQ(errors.texts.size(), 1);
    EXPECT_TRUE(errors.texts[0].contains("locked"));
    EXPECT_TRUE(errors.texts[0].contains("encrypted")) << errors.texts[0].toStdString();
    EXPECT_EQ(programFiles(), before);
    errors.texts.clear();
}
