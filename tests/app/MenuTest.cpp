#include "ClockFolder.h"
#include "ClockMenu.h"
#include "ErrorReport.h"
#include "MessageBoxes.h"
#include "WebOpener.h"
#include "uClock.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class Menu : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ErrorReport::forgetShown();
        ErrorReport::setSink([this](const QString &t) { reports << t; });
        WebOpener::setOpener([this](const QUrl &url) {
            opened << url.toString();
            return browserWorks;
        });
        MessageBoxes::setHandler([this](const MessageRequest &r) {
            messages << r.text;
            return QMessageBox::Ok;
        });
        for (const char *t : {"Clock", "Dial", "Head", "Body", "Hand"})
            folder.addSkin(t, "only");
    }
    void TearDown() override
    {
        ErrorReport::setSink(nullptr);
        WebOpener::setOpener(nullptr);
        MessageBoxes::setHandler(nullptr);
    }
    void product(const QString &website, const QString &partner)
    {
        TTable t;
        t.OpenTable(folder.path(), "Product");
        t.Append();
        t.FieldByName("Website").setAsString(website);
        t.FieldByName("WebName2").setAsString(partner);
        t.FieldByName("WebURL2").setAsString("https://partner.example.org");
        t.Post();
    }
    // The menu of the clock start() made last (the clock owns it).
    ClockMenu *menu = nullptr;
    std::unique_ptr<TfClock> start(const QByteArray &settings = "")
    {
        folder.writeSettings("[Path]\n" + settings);
        auto clock = std::make_unique<TfClock>(folder.path());
        menu = new ClockMenu(*clock);
        clock->FormActivate();
        clock->Timer1.stop();
        return clock;
    }
    // Closes whatever modal dialog the command opens, as a user would.
    static void closeNextDialog()
    {
        QTimer::singleShot(0, [] {
            if (QWidget *w = QApplication::activeModalWidget())
                w->close();
        });
    }

    ClockFolder folder;
    QStringList reports, opened, messages;
    bool browserWorks = true;
};

QStringList captions(QMenu *menu)
{
    QStringList out;
    for (QAction *a : menu->actions())
        out << (a->isSeparator() ? QString("-") : a->text());
    return out;
}

} // namespace

TEST_F(Menu, ItemsInOrderWithTheirStates)
{
    product("https://zindle.example.org", "");
    auto c = start();
    EXPECT_EQ(captions(menu->PopupMenu1),
              QStringList({"&About...", "Visit Zindle Clock Web Site", "Visit", "Help", "-", "Download Skins",
                           "Install Skins...", "Select Skin...", "-", "Display Options...", "Resize", "Stay on Top",
                           "-", "Adjust Date/Time...", "Internet Time...", "Calendar...", "-", "Alarms...",
                           "Chimes...", "Download Sounds", "-", "Hide", "E&xit"}));
    EXPECT_FALSE(menu->mnuPartner->isVisible());
    EXPECT_FALSE(menu->mnuPartner->isEnabled());
    EXPECT_TRUE(menu->mnuStayOnTop->isChecked());
    EXPECT_EQ(captions(menu->mnuResize), QStringList({"25%", "50%", "75%", "100%"}));
    EXPECT_TRUE(menu->mnu100->isChecked());
}

TEST_F(Menu, PartnerItemAppearsOnlyWithAName)
{
    product("https://zindle.example.org", "Partner Pages");
    auto c = start();
    EXPECT_EQ(menu->mnuPartner->text(), "Visit Partner Pages");
    EXPECT_TRUE(menu->mnuPartner->isVisible());
    menu->mnuPartner->trigger();
    EXPECT_EQ(opened, QStringList({"https://partner.example.org"}));
}

TEST_F(Menu, DownloadSoundsIsNotNormalised)
{
    product("https://zindle.example.org/", "");
    auto c = start();
    menu->mnuDownSounds->trigger();
    EXPECT_EQ(opened, QStringList({"https://zindle.example.org//sounds.html"}));
}

TEST_F(Menu, ABrowserThatCannotStartIsReported)
{
    product("", "");
    browserWorks = false;
    auto c = start();
    menu->mnuWebSite->trigger();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].endsWith(
        "\n\nUnable to start web browser.\nMake sure you have it properly set-up on your system."))
        << messages[0].toStdString();
    EXPECT_FALSE(messages[0].startsWith("\n")) << "the system's text comes first";
}

TEST_F(Menu, StayOnTopIsNotKeptAcrossRuns)
{
    {
        auto c = start();
        menu->mnuStayOnTop->trigger();
        EXPECT_FALSE(menu->mnuStayOnTop->isChecked());
        EXPECT_FALSE(c->windowFlags() & Qt::WindowStaysOnTopHint);
        EXPECT_TRUE(QFile::exists(folder.file("ZindleClock.ini")));
        c->FormClose();
    }
    auto again = start(folder.read("ZindleClock.ini").mid(7));
    EXPECT_TRUE(menu->mnuStayOnTop->isChecked());
    EXPECT_TRUE(again->windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST_F(Menu, OddScaleLeavesEveryResizeItemUnmarked)
{
    auto c = start("SizeScale=10\n");
    for (QAction *a : menu->mnuResize->actions())
        EXPECT_FALSE(a->isChecked()) << a->text().toStdString();
    menu->mnu75->trigger();
    EXPECT_TRUE(menu->mnu75->isChecked());
    EXPECT_EQ(c->Settings.SizeScale, 12);
}

TEST_F(Menu, SelectSkinSavesEvenUnchangedAndAfterAnError)
{
    auto c = start();
    QFile::remove(folder.file("ZindleClock.ini"));
    closeNextDialog();
    menu->mnuSelectClock->trigger();
    EXPECT_TRUE(QFile::exists(folder.file("ZindleClock.ini")));
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();

}

TEST_F(Menu, ADialogThatFailsStillLeadsToTheSave)
{
    // A clock table without its Notes field: the picker fails as it opens.
    createTable(folder.path(), {"Clock", "Name", {{"Name", FieldType::String}, {"Image", FieldType::Picture},
                                                 {"Left", FieldType::Integer}, {"Top", FieldType::Integer}}});
    folder.addSkin("Clock", "only");
    auto c = start();
    QFile::remove(folder.file("ZindleClock.ini"));
    closeNextDialog();
    menu->mnuSelectClock->trigger();
    EXPECT_EQ(reports, QStringList({"Field 'Notes' not found"}));
    EXPECT_TRUE(QFile::exists(folder.file("ZindleClock.ini"))) << "the settings are written all the same";
}
