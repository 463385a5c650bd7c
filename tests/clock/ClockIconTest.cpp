#include "DialogFixture.h"
#include "FakeTrayIcon.h"
#include "MappedFiles.h"
#include "ProgramIcon.h"
#include "SkinFolder.h"
#include "TempFolder.h"
#include "uClock.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <gtest/gtest.h>

namespace {

QList<QSize> squares(const QVector<int> &sizes)
{
    QList<QSize> list;
    for (int s : sizes)
        list << QSize(s, s);
    return list;
}

} // namespace

// The icon is read from pictures made by the build: an SVG icon would load
// Qt's SVG icon engine and libQt6Svg at start and draw the icon again at
// every size the window manager asks for when the window is shown.
TEST(ClockIcon, ComesFromItsPicturesWithoutAnySvgRenderer)
{
    // CTest runs each case in its own process; run together, an earlier
    // case may have loaded them already (writing a picture into a table
    // loads every image plugin, SVG's too).
    if (isMapped("libqsvgicon") || isMapped("libQt6Svg") || isMapped("/imageformats/"))
        GTEST_SKIP() << "an earlier test in this process loaded the SVG renderer or the image plugins";
    // The program folder as built, whose tables are read without plugins.
    TempFolder folder;
    const QDir built(programDir());
    const QStringList files = built.entryList({"*.db"}, QDir::Files) + ProgramIcon::fileNames();
    for (const QString &name : files)
        ASSERT_TRUE(QFile::copy(built.filePath(name), folder.file(name))) << name.toStdString();
    FakeTray tray(true);
    CollectedErrors errors;
    TfClock clock(folder.path());
    clock.FormActivate();
    clock.Timer1.stop();
    clock.show();
    settle();
    ASSERT_TRUE(clock.isVisible());
    EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join("\n").toStdString();
    EXPECT_FALSE(isMapped("libqsvgicon.so")) << "Qt's SVG icon engine";
    EXPECT_FALSE(isMapped("libQt6Svg"));
    EXPECT_FALSE(isMapped("/imageformats/")) << "Qt asked every image plugin to read a PNG";

    const QList<QSize> all = squares(ProgramIcon::sizes());
    EXPECT_EQ(clock.windowIcon().availableSizes(), all);
    EXPECT_EQ(QGuiApplication::windowIcon().availableSizes(), all) << "the dialogs' icon";
    ASSERT_TRUE(tray.icon);
    EXPECT_EQ(tray.icon->icon.availableSizes(), all);
    for (int s : ProgramIcon::sizes()) {
        const QImage drawn = clock.windowIcon().pixmap(QSize(s, s)).toImage();
        const QImage file(folder.file(ProgramIcon::fileName(s)));
        ASSERT_EQ(drawn.size(), QSize(s, s));
        EXPECT_EQ(drawn.convertToFormat(QImage::Format_ARGB32), file.convertToFormat(QImage::Format_ARGB32)) << s;
    }
}

// A program folder without the pictures (or some of them, or with a damaged
// one) still starts the clock, silently, with the sizes there are: none is
// an empty icon.
TEST(ClockIcon, MissingPicturesAreLeftOutSilently)
{
    const struct
    {
        const char *what;
        QVector<int> present;
        int damaged = 0; // a file of that size that is no picture
    } cases[] = {{"none", {}}, {"some", {16, 48}}, {"one damaged", {16, 32}, 24}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        FakeTray tray(true);
        CollectedErrors errors;
        ScriptedAnswers answers;
        SkinFolder folder;
        for (const char *t : {"Clock", "Dial", "Hand", "Head", "Body"})
            folder.addItem(t, "Pocket Watch", solid(40, 40, Qt::darkYellow));
        for (int s : c.present)
            ASSERT_TRUE(QFile::copy(programDir() + ProgramIcon::fileName(s), folder.file(ProgramIcon::fileName(s))));
        if (c.damaged)
            folder.write(ProgramIcon::fileName(c.damaged), QByteArray("\x89PNG\r\n\x1a\n", 8) + "cut short");
        std::unique_ptr<TfClock> clock = folder.startClock();
        clock->show();
        settle();
        EXPECT_TRUE(clock->isVisible());
        EXPECT_EQ(clock->windowIcon().availableSizes(), squares(c.present));
        EXPECT_EQ(clock->windowIcon().isNull(), c.present.isEmpty());
        ASSERT_TRUE(tray.icon);
        EXPECT_EQ(tray.icon->icon.availableSizes(), squares(c.present));
        EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join("\n").toStdString();
        EXPECT_TRUE(answers.asked.isEmpty());
    }
}
