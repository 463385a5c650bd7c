#include "SqliteDb.h"
#include "TableError.h"
#include "TableFixture.h"

#include <QFile>
#include <QFileInfo>

TEST_F(TableFixture, EmptyTableWorksOnAClosedTable)
{
    for (const char *n : {"a", "b"})
        addDial(n);
    dial.CloseTable();
    dial.EmptyTable();
    dial.OpenTable();
    EXPECT_EQ(dial.RecordCount(), 0);
}

TEST_F(TableFixture, OptimizeCompactsAndKeepsTheOldFileAsBackup)
{
    const QImage big(200, 200, QImage::Format_RGB32);
    QImage noisy = big;
    for (int i = 0; i < 40; ++i) {
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 200; ++x)
                noisy.setPixel(x, y, qRgb((x * i) % 256, (y * 7 + i) % 256, (x ^ y) % 256));
        dial.Append();
        dial.FieldByName("Name").setAsString(QString("dial %1").arg(i, 2, 10, QChar('0')));
        dial.FieldByName("Image").setAsPicture(noisy);
        dial.Post();
    }
    for (dial.First(); dial.RecordCount() > 2;)
        dial.Delete();
    dial.CloseTable();
    const qint64 before = QFileInfo(dial.FileName()).size();
    const QByteArray oldBytes = folder.read("Dial.db");

    EXPECT_THROW({ dial.OpenTable(); dial.OptimizeTable(); }, ETableError) << "an open table is not optimised";
    dial.CloseTable();
    dial.OptimizeTable();

    EXPECT_LT(QFileInfo(dial.FileName()).size(), before / 4);
    EXPECT_EQ(folder.read("Dial.bak"), oldBytes);
    dial.OpenTable();
    EXPECT_EQ(names(dial), QStringList({"dial 38", "dial 39"}));
    dial.FindKey("dial 39");
    EXPECT_EQ(dial.FieldByName("Image").asPicture().convertToFormat(QImage::Format_RGB32), noisy);
}

TEST(TableFiles, BadFilesGiveAnErrorNamingTheFile)
{
    TempFolder folder;
    struct Case { const char *what; QByteArray bytes; };
    QByteArray header = QByteArray("SQLite format 3") + char(0);
    const Case cases[] = {
        {"garbage", QByteArray(4096, 'x')},
        {"truncated header", header + QByteArray(40, '\1')},
        {"empty file", QByteArray()},
    };
    for (const Case &c : cases) {
        folder.write("Clock.db", c.bytes);
        TTable t;
        try {
            t.OpenTable(folder.path(), "Clock");
            // An empty file is a valid empty database to SQLite: it must still
            // be refused as not ours.
            FAIL() << c.what << " was opened";
        } catch (const ETableError &e) {
            EXPECT_TRUE(e.message().contains(folder.file("Clock.db"))) << c.what << ": " << e.what();
        }
        EXPECT_FALSE(t.Active());
    }
    {
        SqliteDb foreign(folder.file("Time.db"), SqliteDb::Create);
        foreign.exec("CREATE TABLE data(id INTEGER PRIMARY KEY, x TEXT)");
    }
    TTable t;
    EXPECT_THROW(t.OpenTable(folder.path(), "Time"), ETableError) << "a database of another program";
    try {
        t.OpenTable(folder.path(), "Missing");
        FAIL();
    } catch (const ETableError &e) {
        EXPECT_TRUE(e.message().contains(folder.file("Missing.db"))) << e.what();
    }
}

TEST(TableFiles, DamageInsideAFileIsReportedWhenRead)
{
    TempFolder folder;
    createTable(folder.path(), standardSchema("Dial"));
    {
        TTable t;
        t.OpenTable(folder.path(), "Dial");
        for (int i = 0; i < 200; ++i) {
            t.Append();
            t.FieldByName("Name").setAsString(QString("dial %1").arg(i));
            t.FieldByName("Notes").setAsString(QString(300, QChar('n')));
            t.Post();
        }
    }
    QByteArray bytes = folder.read("Dial.db");
    for (int i = 4096 * 2; i < bytes.size(); i += 7)
        bytes[i] = char(0xA5);
    folder.write("Dial.db", bytes);
    TTable t;
    try {
        t.OpenTable(folder.path(), "Dial");
        for (t.First(); !t.Eof(); t.Next())
            t.FieldByName("Notes").asString();
        FAIL() << "damage went unnoticed";
    } catch (const ETableError &e) {
        EXPECT_TRUE(e.message().contains("Dial.db")) << e.what();
    }
}
