#include "PictureBytes.h"
#include "PicturePrefetch.h"
#include "TableError.h"
#include "TableFixture.h"

#include <QBuffer>
#include <QThread>

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
    PicturePrefetch::start([&] {
        guessedOn = QThread::currentThreadId();
        return QList<QByteArray>{redBytes};
    });

    const std::optional<QImage> taken = PicturePrefetch::take(redBytes);
    EXPECT_NE(guessedOn, QThread::currentThreadId()) << "the guess ran on this thread";
    ASSERT_TRUE(taken.has_value());
    EXPECT_EQ(taken->convertToFormat(QImage::Format_RGB32), red);
    EXPECT_FALSE(PicturePrefetch::take(redBytes).has_value()) << "handed out twice";

    // Read through a field: the record holds other bytes than were guessed.
    PicturePrefetch::start([&] { return QList<QByteArray>{redBytes}; });
    store("blue", blueBytes);
    EXPECT_EQ(dial.FieldByName("Image").asPicture().convertToFormat(QImage::Format_RGB32), blue);
    EXPECT_TRUE(PicturePrefetch::take(redBytes).has_value()) << "the guess is still there until finished";
    PicturePrefetch::start([&] { return QList<QByteArray>{blueBytes}; });
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
    PicturePrefetch::start([&] { return QList<QByteArray>{damaged, tooLarge, good}; });
    EXPECT_FALSE(PicturePrefetch::take(damaged).has_value());
    EXPECT_FALSE(PicturePrefetch::take(tooLarge).has_value());
    EXPECT_TRUE(PicturePrefetch::take(good).has_value()) << "one refused picture spoils the others";

    const struct
    {
        QByteArray bytes;
        QString error;
    } cases[] = {{damaged, "is damaged"}, {tooLarge, "is 4097 x 1 pixels"}};
    for (const auto &c : cases) {
        PicturePrefetch::start([&] { return QList<QByteArray>{c.bytes}; });
        store(c.error, c.bytes);
        try {
            dial.FieldByName("Image").asPicture();
            ADD_FAILURE() << c.error.toStdString();
        } catch (const ETableError &e) {
            EXPECT_TRUE(e.message().startsWith("The picture in field 'Image' of table Dial")) << e.what();
            EXPECT_TRUE(e.message().contains(c.error)) << e.what();
        }
    }

    PicturePrefetch::start([]() -> QList<QByteArray> { throw std::runtime_error("no settings"); });
    EXPECT_FALSE(PicturePrefetch::take(good).has_value());
}
