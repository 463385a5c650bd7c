#include "ClockFolder.h"
#include "DateTime.h"
#include "ErrorReport.h"
#include "FakeTrayIcon.h"
#include "HideAction.h"
#include "RotImg.h"
#include "TImage.h"
#include "uClock.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

QImage keyed(int w, int h, QColor art, QRgb key = 0xFFFF00FF)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(key);
    QPainter p(&img);
    p.fillRect(QRect(w / 4, h / 4, w / 2, h / 2), art);
    return img;
}

// The worked example's skin: a 300 x 400 clock with its dial at (21, 101),
// a 250 x 250 dial, a 120 x 90 body offset (-5, 10), a head and hands.
class Face : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ErrorReport::forgetShown();
        ErrorReport::setSink([this](const QString &t) { reports << t; });
        put("Clock", "Watch", {{"Image", keyed(300, 400, Qt::darkYellow)}},
            {{"Left", 21}, {"Top", 101}, {"AnimationFrames", 4}, {"AnimationLeft", 30}, {"AnimationTop", 50}});
        QImage strip(80, 400, QImage::Format_RGB32);
        for (int f = 0; f < 4; ++f)
            QPainter(&strip).fillRect(QRect(0, f * 100, 80, 100), QColor(10 + f * 60, 0, 0));
        setPicture("Clock", "Watch", "AnimationImage", strip);
        put("Dial", "Dial", {{"Image", keyed(250, 250, Qt::white, 0xFF000000)}}, {{"SecHandOffset", 40}});
        put("Body", "Body", {{"Image", keyed(120, 90, Qt::blue)}}, {{"BodyLeft", -5}, {"BodyTop", 10}});
        put("Head", "Head", {{"Image", keyed(80, 60, Qt::yellow)}}, {});
        put("Hand", "Hands",
            {{"imgHour", keyed(20, 160, Qt::black)}, {"imgMinute", keyed(16, 220, Qt::black)},
             {"imgSecond", keyed(10, 240, Qt::red)}},
            {});
    }
    void TearDown() override
    {
        ErrorReport::setSink(nullptr);
        ZDateTime::setNowProvider(nullptr);
    }

    void put(const QString &table, const QString &name, const QVector<std::pair<const char *, QImage>> &pictures,
             const QVector<std::pair<const char *, int>> &numbers)
    {
        TTable t;
        t.OpenTable(folder.path(), table);
        t.Append();
        t.FieldByName("Name").setAsString(name);
        for (const auto &[field, img] : pictures)
            t.FieldByName(field).setAsPicture(img);
        for (const auto &[field, v] : numbers)
            t.FieldByName(field).setAsInteger(v);
        t.Post();
    }
    void setPicture(const QString &table, const QString &name, const char *field, const QImage &img)
    {
        TTable t;
        t.OpenTable(folder.path(), table);
        t.FindKey(name);
        t.Edit();
        t.FieldByName(field).setAsPicture(img);
        t.Post();
    }
    std::unique_ptr<TfClock> start(const QByteArray &settings = "")
    {
        folder.writeSettings("[Path]\nClockName=Watch\n" + settings);
        auto clock = std::make_unique<TfClock>(folder.path());
        clock->FormActivate();
        clock->Timer1.stop();
        return clock;
    }
    int stackIndex(TfClock &c, QWidget *w) { return int(c.children().indexOf(w)); }

    ClockFolder folder;
    QStringList reports;
};

} // namespace

TEST_F(Face, WorkedExampleAtHalfSize)
{
    auto c = start("SizeScale=8\n");
    EXPECT_EQ(c->size(), QSize(150, 200));
    EXPECT_EQ(c->imgDial->geometry(), QRect(10, 50, 125, 125));
    EXPECT_EQ(c->imgBody->geometry(), QRect(40, 111, 60, 45));
    EXPECT_EQ(c->DialLeft, 10);
    EXPECT_EQ(c->SecHandOffset, 20);
    // The second hand turns 20 pixels below the dial's centre (72, 112).
    EXPECT_EQ(c->RotateImageSec->geometry(), QRect(72 - 146, 112 + 20 - 149, 293, 298));
    EXPECT_EQ(c->RotateImageHour->geometry(), QRect(72 - 122, 112 - 122, 244, 244));
    EXPECT_EQ(c->RotateImageSec->Picture().size(), QSize(5, 120)) << "hands are scaled once per build";
    EXPECT_EQ(QImage(folder.file("mask_fClock.bmp")).size(), QSize(150, 200));
}

TEST_F(Face, FullSizeKeepsThePicturesAsStored)
{
    auto c = start("SizeScale=16\n");
    EXPECT_EQ(c->size(), QSize(300, 400));
    const QImage mask(folder.file("mask_fClock.bmp"));
    EXPECT_EQ(mask.convertToFormat(QImage::Format_RGB32), keyed(300, 400, Qt::darkYellow));
    EXPECT_EQ(c->imgDial->geometry(), QRect(21, 101, 250, 250));
}

TEST_F(Face, ResizeToTheSameSizeRewritesTheMaskAndTheSettings)
{
    auto c = start("SizeScale=8\n");
    QFile::remove(folder.file("mask_fClock.bmp"));
    QFile::remove(folder.file("ZindleClock.ini"));
    c->resizeTo(8);
    EXPECT_TRUE(QFile::exists(folder.file("mask_fClock.bmp")));
    EXPECT_TRUE(QFile::exists(folder.file("ZindleClock.ini")));
    c->resizeTo(4);
    EXPECT_EQ(c->size(), QSize(75, 100));
    EXPECT_EQ(c->Settings.SizeScale, 4);
}

// Most starts build the outline the last one wrote: it is left as it is,
// unwritten; any other content, even of the same size, is replaced.
TEST_F(Face, AnOutlineAlreadyOnDiskIsNotWrittenAgain)
{
    auto c = start("SizeScale=8\n");
    const QString mask = folder.file("mask_fClock.bmp");
    const QByteArray built = folder.read("mask_fClock.bmp");
    auto inode = [&mask] {
        struct stat st {};
        return ::stat(QFile::encodeName(mask).constData(), &st) == 0 ? st.st_ino : ino_t(0);
    };
    const auto first = inode();
    c->BuildFace();
    EXPECT_EQ(inode(), first) << "the same outline was written again";

    QByteArray tampered = built;
    tampered[tampered.size() - 1] = char(~tampered[tampered.size() - 1]);
    folder.write("mask_fClock.bmp", tampered);
    c->BuildFace();
    EXPECT_EQ(folder.read("mask_fClock.bmp"), built);

    c->resizeTo(4);
    EXPECT_NE(folder.read("mask_fClock.bmp"), built);
    EXPECT_EQ(QImage(mask).size(), c->size());
}

// The start has its tables opened and the face's pictures decoded ahead,
// by what the settings name; a picture changed after that guess is shown as
// it is now, and the others as they are. So is an alarm added meanwhile.
TEST_F(Face, APictureChangedAfterTheStartsGuessShowsAsItIsNow)
{
    folder.writeSettings("[Path]\nClockName=Watch\nDialName=Dial\nHandName=Hands\nHeadName=Head\n"
                         "BodyName=Body\nSizeScale=16\n");
    const QImage head = keyed(70, 50, Qt::green);
    TfClock::prefetchFacePictures(folder.path());
    setPicture("Head", "Head", "Image", head);
    int alarms = 0;
    {
        TTable alarm;
        alarm.OpenTable(folder.path(), "Alarm");
        alarm.Append();
        alarm.FieldByName("Title").setAsString("Added meanwhile");
        alarm.Post();
        alarms = alarm.RecordCount();
    }
    TfClock c(folder.path());
    c.FormActivate();
    c.Timer1.stop();
    EXPECT_EQ(c.tblAlarm.RecordCount(), alarms);
    EXPECT_EQ(c.imgHead->picture().convertToFormat(QImage::Format_RGB32), head);
    EXPECT_EQ(c.imgBody->picture().convertToFormat(QImage::Format_RGB32), keyed(120, 90, Qt::blue));
    EXPECT_EQ(c.imgDial->picture().convertToFormat(QImage::Format_RGB32), keyed(250, 250, Qt::white, 0xFF000000));
    EXPECT_EQ(c.RotateImageSec->Picture().convertToFormat(QImage::Format_RGB32), keyed(10, 240, Qt::red));
    EXPECT_EQ(c.size(), QSize(300, 400));
    EXPECT_TRUE(reports.isEmpty()) << reports.join('\n').toStdString();
}

// However the scale was set, no picture of the face is made larger than
// the screen: 200 from the file is shown at 100 %, and a scale set past the
// settings' rule builds at most what the screen holds.
TEST_F(Face, NoScaleBuildsAFaceLargerThanTheScreen)
{
    auto c = start("SizeScale=200\n");
    EXPECT_EQ(c->Settings.SizeScale, 16);
    EXPECT_EQ(c->size(), QSize(300, 400));
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    for (int scale : {200, 1000, 2147483647}) {
        c->Settings.SizeScale = scale;
        c->BuildFace();
        EXPECT_LE(c->width(), screen.width()) << scale;
        EXPECT_LE(c->height(), screen.height()) << scale;
        EXPECT_GE(c->height(), screen.height() * 3 / 4) << scale << ": as large as fits";
        EXPECT_TRUE(reports.isEmpty()) << reports.join('\n').toStdString();
    }
}

TEST_F(Face, HandsBehindTheCharacterStackBelowIt)
{
    TTable t;
    t.OpenTable(folder.path(), "Hand");
    t.Edit();
    t.FieldByName("MinHandBehind").setAsBoolean(true);
    t.FieldByName("SecHandBehind").setAsBoolean(true);
    t.Post();
    auto c = start();
    const int dial = stackIndex(*c, c->imgDial), sec = stackIndex(*c, c->RotateImageSec),
              min = stackIndex(*c, c->RotateImageMin), body = stackIndex(*c, c->imgBody),
              head = stackIndex(*c, c->imgHead), hour = stackIndex(*c, c->RotateImageHour);
    EXPECT_LT(dial, sec);
    EXPECT_LT(sec, min) << "the minute hand lies above the second hand";
    EXPECT_LT(min, body);
    EXPECT_LT(body, head);
    EXPECT_LT(head, hour) << "the hour hand stays in front of the character";
}

TEST_F(Face, AMaskThatCannotBeWrittenStopsTheBuildWithItsPath)
{
    auto c = start();
    QFile::remove(folder.file("mask_fClock.bmp"));
    QDir(folder.path()).mkdir("mask_fClock.bmp");
    try {
        c->BuildFace();
        FAIL() << "the build went on";
    } catch (const std::exception &e) {
        EXPECT_EQ(QString(e.what()), "Cannot create file " + folder.file("mask_fClock.bmp"));
    }
}

TEST_F(Face, MissingPicturesAndEmptyTablesBuildWhatThereIs)
{
    setPicture("Clock", "Watch", "Image", QImage());
    TTable hands;
    hands.OpenTable(folder.path(), "Hand");
    hands.Delete();
    auto c = start("SizeScale=8\n");
    EXPECT_TRUE(c->StartupDone);
    EXPECT_FALSE(QFile::exists(folder.file("mask_fClock.bmp"))) << "no silhouette to write";
    EXPECT_TRUE(c->RotateImageHour->Picture().isNull());
    c->Timer1Timer();
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

// The window's first frame shows the time, not twelve o'clock until the
// first tick; each hand is turned once to get there.
TEST_F(Face, TheFaceShowsTheTimeFromItsFirstFrame)
{
    const QDateTime now(QDate(2026, 12, 10), QTime(9, 45, 30));
    ZDateTime::setNowProvider([&] { return now; });
    auto c = start();
    EXPECT_EQ(c->RotateImageHour->Angle(), 68);
    EXPECT_EQ(c->RotateImageMin->Angle(), 90);
    EXPECT_EQ(c->RotateImageSec->Angle(), 180);
    EXPECT_EQ(c->RotateImageSec->keptTurns().size(), 1);
}

TEST_F(Face, HandsFollowTheTimeAndOnlyTurnWhenTheAngleChanges)
{
    auto c = start();
    QDateTime now(QDate(2026, 12, 10), QTime(15, 30, 0));
    ZDateTime::setNowProvider([&] { return now; });
    c->Timer1Timer();
    EXPECT_EQ(c->RotateImageHour->Angle(), 255);
    EXPECT_EQ(c->RotateImageMin->Angle(), 180);
    EXPECT_EQ(c->RotateImageSec->Angle(), 360);
    const int turns = c->RotateImageSec->rebuildCount();
    const int minuteTurns = c->RotateImageMin->rebuildCount();
    now = now.addMSecs(200);
    c->Timer1Timer();
    EXPECT_EQ(c->RotateImageSec->rebuildCount(), turns);
    now = now.addSecs(1);
    c->Timer1Timer();
    EXPECT_EQ(c->RotateImageSec->rebuildCount(), turns + 1);
    EXPECT_EQ(c->RotateImageMin->rebuildCount(), minuteTurns);
    EXPECT_EQ(c->toolTip(), QLocale::system().toString(now.date(), "ddd MMM d"));

    // Only the second hand, back at its angles every minute, keeps its turns.
    for (int i = 0; i < 70; ++i) {
        now = now.addSecs(1);
        c->Timer1Timer();
    }
    EXPECT_EQ(c->RotateImageSec->keptTurns().size(), 60) << "one for each second of the minute";
    EXPECT_EQ(c->RotateImageMin->keptTurns().size(), 0);
    EXPECT_EQ(c->RotateImageHour->keptTurns().size(), 0);

    // The day's names are made once a day, and anew at midnight.
    now = QDateTime(QDate(2026, 12, 11), QTime(0, 0, 0));
    c->Timer1Timer();
    EXPECT_EQ(c->toolTip(), QLocale::system().toString(now.date(), "ddd MMM d"));
}

TEST_F(Face, AnimationDrawsOneFramePerTickScaledFromTheStrip)
{
    auto c = start("SizeScale=8\nAnimationEnabled=1\n");
    c->Chime.AnimationRunning = true;
    c->Chime.ChimeStriking = true;
    c->Chime.AnimationFrame = 2;
    c->AnimateFace();
    EXPECT_FALSE(c->imgAnim->isHidden());
    EXPECT_EQ(c->imgAnim->geometry(), QRect(15, 25, 40, 50));
    EXPECT_EQ(c->imgTemp.size(), QSize(80, 100));
    EXPECT_EQ(QColor(c->imgTemp.pixel(5, 5)), QColor(130, 0, 0)) << "frame 2 is rows 200 to 299";
    EXPECT_EQ(c->Chime.AnimationFrame, 3);

    // The skin changes mid-run: the next frame comes from the new strip.
    QImage strip(60, 301, QImage::Format_RGB32);
    strip.fill(Qt::green);
    setPicture("Clock", "Watch", "AnimationImage", strip);
    c->tblClock.CloseTable();
    c->tblClock.OpenTable();
    c->AnimateFace();
    EXPECT_EQ(c->imgTemp.size(), QSize(60, 75)) << "a height not a multiple of the frames is cut";

    // Held at the end while strikes are due, gone after the last one.
    c->AnimateFace();
    EXPECT_FALSE(c->imgAnim->isHidden());
    c->Chime.ChimeStriking = false;
    c->AnimateFace();
    EXPECT_TRUE(c->imgAnim->isHidden());
    EXPECT_FALSE(c->Chime.AnimationRunning);
}

TEST_F(Face, AnimationOffOrWithoutAStripNeverFails)
{
    auto c = start("AnimationEnabled=0\n");
    c->Chime.AnimationRunning = true;
    c->Chime.ChimeStriking = true;
    c->Chime.AnimationFrame = 1;
    c->AnimateFace();
    EXPECT_TRUE(c->imgAnim->isHidden());
    EXPECT_EQ(c->Chime.AnimationFrame, 1) << "the counter waits while animation is off";

    setPicture("Clock", "Watch", "AnimationImage", QImage());
    c->tblClock.CloseTable();
    c->tblClock.OpenTable();
    c->Settings.AnimationEnabled = true;
    c->AnimateFace();
    EXPECT_TRUE(c->imgAnim->isHidden());
    EXPECT_TRUE(reports.isEmpty());
}

TEST_F(Face, TrayClickShowsTheClockOpaqueAndHideKeepsItReachable)
{
    FakeTray tray(false);
    auto c = start();
    c->show();
    c->setTransparency(50);
    c->Minimize1Click();
    // Neither a notification area nor a window manager here: the clock stays
    // reachable and a note says why.
    EXPECT_TRUE(c->isVisible());
    EXPECT_FALSE(c->isMinimized());
    auto *note = c->findChild<QMessageBox *>("hideNotice");
    ASSERT_NE(note, nullptr);
    EXPECT_TRUE(note->isVisible());
    EXPECT_FALSE(note->isModal()) << "the clock goes on ticking";
    c->Minimize1Click();
    EXPECT_EQ(c->findChildren<QMessageBox *>("hideNotice").size(), 1) << "one note at a time";
    note->close();
    c->hide();
    c->StTrayIcon1Click();
    EXPECT_EQ(c->getTransparency(), 0);
    EXPECT_TRUE(c->isVisible());
}

TEST_F(Face, WithATrayHideGoesThereAndTheIconBringsTheClockBack)
{
    FakeTray tray(true);
    auto c = start();
    EXPECT_FALSE(tray.icon) << "made before the window shows";
    QCoreApplication::processEvents();
    ASSERT_TRUE(tray.icon);
    EXPECT_TRUE(tray.icon->visible) << "shown where the desktop has a tray";
    ASSERT_NE(tray.icon->menu, nullptr);
    QStringList items;
    for (const QAction *a : tray.icon->menu->actions())
        items << a->text();
    EXPECT_EQ(items, QStringList({"&Close", "&Restore"}));

    c->show();
    c->setTransparency(50);
    tray.icon->visible = false; // a host that lost the icon: Hide puts it back
    c->Minimize1Click();
    EXPECT_FALSE(c->isVisible());
    EXPECT_TRUE(tray.icon->visible);
    EXPECT_EQ(c->findChild<QMessageBox *>("hideNotice"), nullptr) << "nothing to explain";

    tray.icon->click(TrayIcon::Activation::Click);
    EXPECT_TRUE(c->isVisible());
    EXPECT_EQ(c->getTransparency(), 0);
    c->hide();
    tray.icon->click(TrayIcon::Activation::DoubleClick);
    EXPECT_TRUE(c->isVisible());
    c->hide();
    tray.icon->click(TrayIcon::Activation::Other);
    EXPECT_FALSE(c->isVisible()) << "a right click only opens the menu";

    c->close();
    EXPECT_FALSE(tray.icon->visible) << "the icon leaves with the clock";
}

TEST(HideAction, AHiddenClockCanAlwaysBeBroughtBack)
{
    struct Case
    {
        bool tray, windowManager;
        HideAction action;
    };
    const Case cases[] = {
        {true, true, HideAction::ToTray},
        {true, false, HideAction::ToTray},
        {false, true, HideAction::Minimise},
        {false, false, HideAction::StayAndExplain},
    };
    for (const Case &c : cases)
        EXPECT_EQ(hideAction(c.tray, c.windowManager), c.action) << "tray " << c.tray << ", manager " << c.windowManager;
}
