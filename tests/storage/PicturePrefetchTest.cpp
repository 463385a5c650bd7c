#include "PictureBytes.h"
#include "PicturePrefetch.h"
#include "TableError.h"
#include "TableFixture.h"

#include <QBuffer>
#include <QThread>

#include <atomic>
#include <chrono>
#include <future>
#include <stdexcept>

namespace {

QByteArray pngOf(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QImage striped(int width, int height, QRgb a, QRgb b)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, (x + y) % 2 ? a : b);
    return image;
}

// Decodes these bytes ahead, as a start would.
void guess(const QList<QByteArray> &stored)
{
    PicturePrefetch::start({}, [stored](PicturePrefetch::Handover &h) {
        for (const QByteArray &bytes : stored)
            h.picture(bytes);
    });
}

class Prefetch : public TableFixture
{
protected:
    void TearDown() override { PicturePrefetch::finish(); }

    void store(const QString &name, const QByteArray &bytes)
    {
        addDial(name);
        dial.Edit();
        dial.FieldByName("Image").setValue(bytes);
        dial.Post();
    }
};

} // namespace

// A picture decoded ahead is handed out for exactly its bytes, once; bytes
// that were not guessed, or changed since, are decoded where they are read.
TEST_F(Prefetch, APictureIsHandedOutOnlyForTheBytesItWasDecodedFrom)
{
    const QImage red = striped(3, 2, qRgb(255, 0, 0), qRgb(0, 0, 0));
    const QImage blue = striped(3, 2, qRgb(0, 0, 255), qRgb(0, 0, 0));
    const QByteArray redBytes = pngOf(red), blueBytes = pngOf(blue);
    Qt::HANDLE guessedOn = nullptr;
    PicturePrefetch::start({}, [&](PicturePrefetch::Handover &h) {
        guessedOn = QThread::currentThreadId();
        h.picture(redBytes);
    });

    const std::optional<QImage> taken = PicturePrefetch::take(redBytes);
    EXPECT_NE(guessedOn, QThread::currentThreadId()) << "the guess ran on this thread";
    ASSERT_TRUE(taken.has_value());
    EXPECT_EQ(taken->convertToFormat(QImage::Format_RGB32), red);
    EXPECT_FALSE(PicturePrefetch::take(redBytes).has_value()) << "handed out twice";

    // Read through a field: the record holds other bytes than were guessed.
    guess({redBytes});
    store("blue", blueBytes);
    EXPECT_EQ(dial.FieldByName("Image").asPicture().convertToFormat(QImage::Format_RGB32), blue);
    EXPECT_TRUE(PicturePrefetch::take(redBytes).has_value()) << "the guess is still there until finished";
    guess({blueBytes});
    PicturePrefetch::finish();
    EXPECT_FALSE(PicturePrefetch::take(blueBytes).has_value()) << "finish drops what was not taken";
}

// What the field would refuse is not decoded ahead either: reading it still
// fails with the field's own message. A guess that fails leaves nothing.
TEST_F(Prefetch, RefusedPicturesAndFailedGuessesLeaveTheFieldToSayWhy)
{
    const QByteArray damaged = pngOf(striped(4, 4, qRgb(1, 2, 3), qRgb(4, 5, 6))).left(40);
    const QByteArray tooLarge = pngBytes(4097, 1);
    const QByteArray good = pngOf(striped(2, 2, qRgb(9, 9, 9), qRgb(0, 0, 0)));
    guess({damaged, tooLarge, good});
    EXPECT_FALSE(PicturePrefetch::take(damaged).has_value());
    EXPECT_FALSE(PicturePrefetch::take(tooLarge).has_value());
    EXPECT_TRUE(PicturePrefetch::take(good).has_value()) << "one refused picture spoils the others";

    const struct
    {
        QByteArray bytes;
        QString error;
    } cases[] = {{damaged, "is damaged"}, {tooLarge, "is 4097 x 1 pixels"}};
    for (const auto &c : cases) {
        guess({c.bytes});
        store(c.error, c.bytes);
        try {
            dial.FieldByName("Image").asPicture();
            ADD_FAILURE() << c.error.toStdString();
        } catch (const ETableError &e) {
            EXPECT_TRUE(e.message().startsWith("The picture in field 'Image' of table Dial")) << e.what();
            EXPECT_TRUE(e.message().contains(c.error)) << e.what();
        }
    }

    PicturePrefetch::start({}, [](PicturePrefetch::Handover &) { throw std::runtime_error("no settings"); });
    EXPECT_FALSE(PicturePrefetch::take(good).has_value());
}

namespace {

// The Dial table opened on another thread and positioned on `name`'s
// record, read there; returns once it is handed over.
std::unique_ptr<TTable> openedAhead(const QString &folder, const QString &name)
{
    const QString file = folder + "Dial.db";
    std::promise<void> handed;
    PicturePrefetch::start({file}, [&](PicturePrefetch::Handover &h) {
        auto t = std::make_unique<TTable>();
        t->OpenTable(folder, "Dial");
        t->FindKey(name);
        t->FieldByName("SecHandOffset").value();
        h.table(file, std::move(t));
        handed.set_value();
    });
    handed.get_future().wait();
    return PicturePrefetch::takeTable(file);
}

} // namespace

// A table opened ahead is the table as its file is when it is taken over,
// and its first read is the record as it is then: a change another
// connection made after the thread read it is never hidden.
TEST_F(Prefetch, ATableOpenedAheadIsTakenOverAsItsFileIsNow)
{
    addDial("a", 1);
    addDial("b", 2);
    const struct
    {
        const char *when;
        bool changeBeforeTakeOver;
    } cases[] = {{"changed before the take-over", true}, {"changed before the first read", false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.when);
        dial.FindKey("b");
        dial.Edit();
        dial.FieldByName("SecHandOffset").setAsInteger(2);
        dial.Post();
        std::unique_ptr<TTable> opened = openedAhead(folder.path(), "b");
        ASSERT_TRUE(opened);
        auto change = [&] {
            dial.FindKey("b");
            dial.Edit();
            dial.FieldByName("SecHandOffset").setAsInteger(20);
            dial.Post();
        };
        TTable taken;
        if (c.changeBeforeTakeOver)
            change();
        taken.takeOver(*opened);
        EXPECT_FALSE(opened->Active());
        if (!c.changeBeforeTakeOver)
            change();
        ASSERT_TRUE(taken.FindKey("b"));
        EXPECT_EQ(taken.FieldByName("SecHandOffset").asInteger(), 20);
        dial.FindKey("b");
        dial.Delete();
        addDial("b", 2);
    }

    // Records added after the thread read the order are there to find.
    std::unique_ptr<TTable> opened = openedAhead(folder.path(), "a");
    addDial("c", 3);
    TTable taken;
    taken.takeOver(*opened);
    EXPECT_EQ(names(taken), (QStringList{"a", "b", "c"}));

    // Unchanged, it reads, edits and keeps its records as any open table.
    opened = openedAhead(folder.path(), "a");
    TTable same;
    same.takeOver(*opened);
    EXPECT_EQ(same.FileName(), dial.FileName());
    ASSERT_TRUE(same.FindKey("a"));
    EXPECT_EQ(same.FieldByName("SecHandOffset").asInteger(), 1);
    same.Edit();
    same.FieldByName("SecHandOffset").setAsInteger(11);
    same.Post();
    dial.FindKey("a");
    EXPECT_EQ(dial.FieldByName("SecHandOffset").asInteger(), 11);
}

// The program waits for a promised table only until it is handed over or
// the thread ends; a table never promised is not waited for at all, and one
// the thread could not open is left for the program to open and explain.
TEST_F(Prefetch, OnlyPromisedTablesAreWaitedForAndFailuresAreLeftToTheProgram)
{
    const QString dialFile = folder.path() + "Dial.db", alarmFile = folder.path() + "Alarm.db";
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<bool> waitedOut{false};
    PicturePrefetch::start({dialFile}, [&](PicturePrefetch::Handover &h) {
        // Long enough that a take waiting for it would be seen to.
        waitedOut = released.wait_for(std::chrono::seconds(30)) == std::future_status::timeout;
        h.table(dialFile, nullptr);
    });
    EXPECT_TRUE(PicturePrefetch::promised(dialFile));
    EXPECT_FALSE(PicturePrefetch::promised(alarmFile));
    EXPECT_EQ(PicturePrefetch::takeTable(alarmFile), nullptr);
    release.set_value();
    EXPECT_EQ(PicturePrefetch::takeTable(dialFile), nullptr) << "a table that did not open was handed over";
    EXPECT_FALSE(waitedOut) << "a table never promised was waited for";

    // A thread that ends without handing over what it promised.
    PicturePrefetch::start({dialFile}, [](PicturePrefetch::Handover &) { throw std::runtime_error("no settings"); });
    EXPECT_EQ(PicturePrefetch::takeTable(dialFile), nullptr);
}
