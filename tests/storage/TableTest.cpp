#include "ImagePluginLookout.h"
#include "MappedFiles.h"
#include "PictureBytes.h"
#include "PictureLimit.h"
#include "PngMaker.h"
#include "TableError.h"
#include "TableFixture.h"

#include <QSignalSpy>

TEST_F(TableFixture, EmptyTableIsAtEofAtOnce)
{
    EXPECT_TRUE(dial.Eof());
    EXPECT_EQ(dial.RecordCount(), 0);
    EXPECT_EQ(dial.RecNo(), 0);
    dial.First();
    EXPECT_TRUE(dial.Eof());
    EXPECT_FALSE(dial.FindKey("anything"));
    EXPECT_THROW(dial.Delete(), ETableError);
}

TEST_F(TableFixture, RecordsFollowKeyOrderAndRecNoShiftsAfterAppend)
{
    for (const char *n : {"Moon", "Dial 006", "Zebra"})
        addDial(n);
    EXPECT_EQ(names(dial), QStringList({"Dial 006", "Moon", "Zebra"}));

    ASSERT_TRUE(dial.FindKey("Moon"));
    EXPECT_EQ(dial.RecNo(), 2);
    addDial("Apple"); // sorts before the record in use
    EXPECT_EQ(dial.FieldByName("Name").asString(), "Apple");
    EXPECT_EQ(dial.RecNo(), 1);
    dial.setRecNo(2);
    EXPECT_EQ(dial.FieldByName("Name").asString(), "Dial 006") << "the old number now names another record";
    ASSERT_TRUE(dial.FindKey("Moon"));
    EXPECT_EQ(dial.RecNo(), 3);
}

TEST_F(TableFixture, NamesDifferingInCaseAreDifferentKeys)
{
    addDial("abc", 1);
    addDial("ABC", 2);
    EXPECT_EQ(dial.RecordCount(), 2);
    EXPECT_FALSE(dial.FindKey("Abc"));
    ASSERT_TRUE(dial.FindKey("abc"));
    EXPECT_EQ(dial.FieldByName("SecHandOffset").asInteger(), 1);
    EXPECT_NE(dial.FieldByName("Name").value(), QVariant(QString("ABC")));
    EXPECT_THROW(addDial("abc"), ETableError) << "the same name twice is a key violation";
    dial.Cancel();
    EXPECT_EQ(dial.RecordCount(), 2);
}

TEST_F(TableFixture, FieldNamesIgnoreCaseAndUnknownFieldsFail)
{
    addDial("One");
    EXPECT_EQ(dial.FieldByName("name").FieldName(), "Name");
    EXPECT_EQ(dial.FieldByName("IMAGE").FieldName(), dial.FieldByName("image").FieldName());
    try {
        dial.FieldByName("Colour");
        FAIL() << "expected an error";
    } catch (const ETableError &e) {
        EXPECT_EQ(e.message(), "Field 'Colour' not found");
    }
}

TEST_F(TableFixture, DeleteLeavesTheNextRecordOrTheNewLast)
{
    struct Case { const char *remove; const char *current; int recNo; };
    const Case cases[] = {{"b", "c", 2}, {"d", "c", 3}, {"a", "b", 1}};
    for (const Case &c : cases) {
        dial.EmptyTable();
        for (const char *n : {"a", "b", "c", "d"})
            addDial(n);
        ASSERT_TRUE(dial.FindKey(c.remove));
        dial.Delete();
        EXPECT_EQ(dial.FieldByName("Name").asString(), c.current) << "removing " << c.remove;
        EXPECT_EQ(dial.RecNo(), c.recNo) << "removing " << c.remove;
        EXPECT_EQ(dial.RecordCount(), 3);
    }
    dial.EmptyTable();
    addDial("only");
    dial.Delete();
    EXPECT_TRUE(dial.Eof());
    EXPECT_EQ(dial.RecordCount(), 0);
}

TEST_F(TableFixture, NavigationStopsAtBothEnds)
{
    for (const char *n : {"a", "b"})
        addDial(n);
    dial.Last();
    EXPECT_FALSE(dial.Eof());
    dial.Next();
    EXPECT_TRUE(dial.Eof());
    EXPECT_EQ(dial.FieldByName("Name").asString(), "b");
    dial.First();
    EXPECT_FALSE(dial.Eof());
    dial.Prior();
    EXPECT_TRUE(dial.Bof());
    EXPECT_EQ(dial.FieldByName("Name").asString(), "a");
    dial.setRecNo(99);
    EXPECT_EQ(dial.RecNo(), 2) << "out-of-range numbers go to the nearest record";
}

TEST_F(TableFixture, EditChangingTheKeyMovesTheRecord)
{
    for (const char *n : {"a", "b", "c"})
        addDial(n);
    ASSERT_TRUE(dial.FindKey("a"));
    dial.Edit();
    dial.FieldByName("Name").setAsString("z");
    dial.Post();
    EXPECT_EQ(dial.RecNo(), 3);
    EXPECT_EQ(names(dial), QStringList({"b", "c", "z"}));
}

TEST_F(TableFixture, CurrentKeyIsTheStoredKeyOfTheRecordUnderTheCursor)
{
    EXPECT_EQ(dial.currentKey(), QString()) << "empty table";
    for (const char *n : {"b", "Zoë", "a", ""})
        addDial(QString::fromUtf8(n));
    for (dial.First(); !dial.Eof(); dial.Next())
        EXPECT_EQ(dial.currentKey(), dial.FieldByName("Name").asString());

    ASSERT_TRUE(dial.FindKey("a"));
    dial.Edit();
    dial.FieldByName("Name").setAsString("c");
    EXPECT_EQ(dial.currentKey(), "a") << "not posted yet";
    dial.Post();
    EXPECT_EQ(dial.currentKey(), "c") << "moved with its record";
    dial.Append();
    EXPECT_EQ(dial.currentKey(), QString()) << "a record being inserted has none yet";
    dial.Cancel();
}

TEST_F(TableFixture, WritingOutsideEditModeFails)
{
    addDial("a");
    EXPECT_THROW(dial.FieldByName("Name").setAsString("b"), ETableError);
}

TEST_F(TableFixture, AlarmTablesKeepInsertionOrderAndEveryType)
{
    const QString memo = "line one\nline two";
    for (const char *title : {"zeta", "alpha", "mid"}) {
        alarm.Append();
        alarm.FieldByName("Title").setAsString(title);
        alarm.FieldByName("Memo").setAsString(memo);
        alarm.FieldByName("TypeIndex").setAsInteger(-2147483647 - 1);
        alarm.FieldByName("Date").setAsDateTime(46000.0);
        alarm.FieldByName("Time").setAsDateTime(0.123456789);
        alarm.FieldByName("Activated").setAsBoolean(true);
        alarm.Post();
    }
    EXPECT_EQ(alarm.RecNo(), 3) << "an appended record becomes current";
    alarm.CloseTable();
    alarm.OpenTable();
    EXPECT_EQ(names(alarm, "Title"), QStringList({"zeta", "alpha", "mid"}));
    alarm.setRecNo(2);
    EXPECT_EQ(alarm.FieldByName("Memo").asString(), memo);
    EXPECT_EQ(alarm.FieldByName("TypeIndex").asInteger(), -2147483647 - 1);
    EXPECT_EQ(alarm.FieldByName("Date").asDateTime(), 46000.0);
    EXPECT_EQ(alarm.FieldByName("Time").asDateTime(), 0.123456789);
    EXPECT_TRUE(alarm.FieldByName("Activated").asBoolean());
    EXPECT_FALSE(alarm.FieldByName("Loop").asBoolean()) << "an unset field reads as false";
    EXPECT_EQ(alarm.FieldByName("Sound").asString(), "");
}

TEST_F(TableFixture, PicturesComeBackPixelForPixel)
{
    QImage picture(7, 5, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(x * 37 % 256, y * 51 % 256, (x + y) % 2 ? 255 : 0));
    picture.setPixel(0, 4, qRgb(255, 0, 255));
    dial.Append();
    dial.FieldByName("Name").setAsString("pic");
    dial.FieldByName("image").setAsPicture(picture);
    dial.Post();
    dial.CloseTable();
    dial.OpenTable();
    const QImage back = dial.FieldByName("Image").asPicture();
    ASSERT_EQ(back.size(), picture.size());
    EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), picture);

    addDial("no picture");
    EXPECT_TRUE(dial.FieldByName("Image").asPicture().isNull());

    // Stored compressed: a skin's flat colours take a fraction of their
    // pixels, which every start reads.
    QImage flat(300, 400, QImage::Format_RGB32);
    flat.fill(qRgb(200, 150, 40));
    addDial("flat");
    dial.Edit();
    dial.FieldByName("Image").setAsPicture(flat);
    dial.Post();
    EXPECT_LT(dial.FieldByName("Image").value().toByteArray().size(), 300 * 400 / 20);
}

// Pictures are PNG, which Qt reads itself: reading one must not load (and
// keep mapped all day) every image plugin installed.
TEST_F(TableFixture, PicturesAreReadWithoutImagePlugins)
{
    // Run alone (as ctest runs it) the process has read no picture before.
    const bool mappedBefore = isMapped("/imageformats/");
    addDial("pic");
    dial.Edit();
    dial.FieldByName("Image").setValue(pngBytes(3, 2));
    dial.Post();
    EXPECT_EQ(PictureLimit::declaredSize(pngBytes(3, 2)), QSize(3, 2));
    EXPECT_EQ(dial.FieldByName("Image").asPicture().size(), QSize(3, 2));
    EXPECT_TRUE(mappedBefore || !isMapped("/imageformats/"));
}

// The kinds skin pictures are (8-bit RGB and RGBA, palettes) are read
// without Qt even looking for image plugins, which costs every start.
TEST_F(TableFixture, CommonPicturesAreReadWithoutLookingForImagePlugins)
{
    // Run alone (as ctest runs it) no picture has been read or written yet.
    ImagePluginLookout lookout;
    ASSERT_FALSE(lookout.looked()) << "image plugins were looked for before the test";
    PngKind rgb, rgba, palette;
    rgba.type = PngKind::Rgba;
    palette.type = PngKind::Palette;
    palette.paletteSize = 200;
    addDial("pic");
    for (const PngKind &kind : {rgb, rgba, palette}) {
        dial.Edit();
        dial.FieldByName("Image").setValue(pngMade(kind, QSize(30, 20)));
        dial.Post();
        EXPECT_EQ(dial.FieldByName("Image").asPicture().size(), QSize(30, 20));
    }
    EXPECT_FALSE(lookout.looked());
    // A grey picture is handed to Qt's reader: the look is seen.
    dial.Edit();
    dial.FieldByName("Image").setValue(pngBytes(3, 2));
    dial.Post();
    EXPECT_EQ(dial.FieldByName("Image").asPicture().size(), QSize(3, 2));
    EXPECT_TRUE(lookout.looked());
}

// The installer reads a package picture's size from its header. Bytes that
// declare a chunk larger than they are have none, and cost no memory.
TEST(PictureLimit, DeclaredSizeIsReadFromTheHeaderAlone)
{
    const QByteArray png = pngMade(PngKind(), QSize(40, 30));
    const QByteArray huge = QByteArray("\x7a\0\0\x14tEXt", 8) + "Title";
    const qint64 peak = peakResidentKilobytes();
    EXPECT_EQ(PictureLimit::declaredSize(png), QSize(40, 30));
    EXPECT_EQ(PictureLimit::declaredSize(pngBytes(8000, 8000)), QSize(8000, 8000));
    EXPECT_EQ(PictureLimit::declaredSize(png.left(pngChunkAt(png, "IDAT") + 10)), QSize(40, 30)) << "cut in the pixels";
    EXPECT_FALSE(PictureLimit::declaredSize(png.left(20)).isValid());
    EXPECT_FALSE(PictureLimit::declaredSize(QByteArray(100, 'x')).isValid());
    EXPECT_FALSE(PictureLimit::declaredSize(QByteArray(png).insert(pngChunkAt(png, "IDAT"), huge)).isValid());
    EXPECT_LT(peakResidentKilobytes() - peak, 100 * 1024) << "kilobytes more at the peak";
}

// Bytes that are no readable PNG are reported as a damaged picture, naming
// the table, the field and the file.
TEST_F(TableFixture, DamagedPicturesAreReported)
{
    const QByteArray png = pngMade(PngKind());
    const int idat = pngChunkAt(png, "IDAT");
    QByteArray badCrc = png;
    badCrc[idat - 1] = char(badCrc[idat - 1] ^ 1); // the header's CRC
    QByteArray zeroWidth = png;
    zeroWidth.replace(8, 25, pngChunk("IHDR", png.mid(16, 13).replace(0, 4, QByteArray(4, '\0'))));
    const struct
    {
        const char *what;
        QByteArray bytes;
    } cases[] = {
        {"garbage", QByteArray(300, 'x')},
        {"signature only", png.left(8)},
        {"cut in the pixels", png.left(idat + 20)},
        {"cut before the end chunk", png.left(pngChunkAt(png, "IEND"))},
        {"header's CRC wrong", badCrc},
        {"zero width", zeroWidth},
        {"grey, cut", pngBytes(40, 30).chopped(20)},
    };
    addDial("pic");
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        dial.Edit();
        dial.FieldByName("Image").setValue(c.bytes);
        dial.Post();
        try {
            dial.FieldByName("Image").asPicture();
            ADD_FAILURE() << "read";
        } catch (const ETableError &e) {
            EXPECT_EQ(e.message(),
                      QString("The picture in field 'Image' of table Dial (%1) is damaged").arg(dial.FileName()));
        }
    }
}

// A picture bomb (a few KB of PNG that unpack to gigabytes) is refused from
// its header, with a message naming the table, the field and the file; so is
// storing a picture that could not be read back.
TEST_F(TableFixture, PicturesBeyondTheLimitAreRefused)
{
    const struct
    {
        int width, height;
        bool fits;
    } cases[] = {
        {4096, 4096, true}, {4096, 1, true}, {1, 4096, true},   {4097, 1, false},
        {1, 4097, false},   {8000, 8000, false}, {65535, 2, false}, {2, 1000000, false},
    };
    addDial("pic");
    for (const auto &c : cases) {
        SCOPED_TRACE(QString("%1 x %2").arg(c.width).arg(c.height).toStdString());
        dial.Edit();
        dial.FieldByName("Image").setValue(pngBytes(c.width, c.height));
        dial.Post();
        if (c.fits) {
            EXPECT_EQ(dial.FieldByName("Image").asPicture().size(), QSize(c.width, c.height));
            continue;
        }
        try {
            dial.FieldByName("image").asPicture();
            ADD_FAILURE() << "read";
        } catch (const ETableError &e) {
            EXPECT_EQ(e.message(), QString("The picture in field 'Image' of table Dial (%1) is %2 x %3 pixels, "
                                           "larger than the 4096 x 4096 a picture may have")
                                       .arg(dial.FileName())
                                       .arg(c.width)
                                       .arg(c.height));
        }
        if (qint64(c.width) * c.height > 100000000)
            continue; // not worth making as a picture
        dial.Edit();
        try {
            dial.FieldByName("Image").setAsPicture(QImage(c.width, c.height, QImage::Format_Mono));
            ADD_FAILURE() << "stored";
        } catch (const ETableError &e) {
            EXPECT_TRUE(e.message().contains("larger than the 4096 x 4096")) << e.what();
        }
        dial.Cancel();
    }
}

TEST_F(TableFixture, ChangeNoticesPauseWhileControlsAreDisabled)
{
    for (const char *n : {"a", "b", "c"})
        addDial(n);
    QSignalSpy spy(&dial, &TTable::changed);
    dial.First();
    EXPECT_EQ(spy.count(), 1);
    dial.DisableControls();
    for (; !dial.Eof(); dial.Next()) {
    }
    EXPECT_EQ(spy.count(), 1);
    dial.EnableControls();
    EXPECT_EQ(spy.count(), 2);
    dial.CloseTable();
    EXPECT_EQ(spy.count(), 3) << "closing blanks the bound controls";
}

TEST_F(TableFixture, ColumnValuesFollowTheCursorOrderAndLeaveTheCursorAlone)
{
    for (const char *n : {"Dial 3", "Dial 1", "Dial 2"})
        addDial(n, QString(n).right(1).toInt() * 10);
    dial.setRecNo(2);
    dial.Edit();
    dial.FieldByName("SecHandOffset").setAsInteger(99); // not posted yet
    int notices = 0;
    QObject::connect(&dial, &TTable::changed, [&] { ++notices; });

    const QVector<QVariant> v = dial.columnValues({"name", "SecHandOffset"});
    ASSERT_EQ(v.size(), 6);
    EXPECT_EQ(v[0].toString(), "Dial 1");
    EXPECT_EQ(v[1].toInt(), 10);
    EXPECT_EQ(v[2].toString(), "Dial 2");
    EXPECT_EQ(v[3].toInt(), 99) << "the record being edited is posted first";
    EXPECT_EQ(v[4].toString(), "Dial 3");
    EXPECT_EQ(dial.state(), TTable::State::Browse);
    EXPECT_EQ(dial.RecNo(), 2);
    EXPECT_EQ(notices, 1) << "the post, and no notice for each record read";

    EXPECT_THROW(dial.columnValues({"Name", "NoSuchField"}), ETableError);
    EXPECT_TRUE(alarm.columnValues({"Title"}).isEmpty());
}
