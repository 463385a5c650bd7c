#include "SqliteDb.h"
#include "TableError.h"
#include "TableFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

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
        // Noise: pictures are stored compressed, and these must stay large.
        QRandomGenerator noise(i);
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 200; ++x)
                noisy.setPixel(x, y, 0xFF000000 | noise.generate());
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

// Each damage is told by what is wrong with the file, naming it once; the
// statement that failed is of no use to the user.
TEST(TableFiles, ADamagedFileIsToldByWhatIsWrong)
{
    const QByteArray header = QByteArray("SQLite format 3") + char(0);
    auto bytes = [](QByteArray b) { return [b](TempFolder &f) { f.write("Dial.db", b); }; };
    auto good = [](const std::function<void(TempFolder &, const QByteArray &)> &damage) {
        return [damage](TempFolder &f) {
            createTable(f.path(), standardSchema("Dial"));
            {
                TTable t;
                t.OpenTable(f.path(), "Dial");
                for (int i = 0; i < 50; ++i) {
                    t.Append();
                    t.FieldByName("Name").setAsString(QString("dial %1").arg(i));
                    t.FieldByName("Notes").setAsString(QString(500, QChar('n')));
                    t.Post();
                }
            }
            damage(f, f.read("Dial.db"));
        };
    };
    auto sql = [good](const char *statement) {
        return good([statement](TempFolder &f, const QByteArray &) {
            SqliteDb(f.file("Dial.db"), SqliteDb::ReadWrite).exec(statement);
        });
    };
    const struct
    {
        const char *what;
        std::function<void(TempFolder &)> make;
        const char *problem; // follows "Table file <path> "
    } cases[] = {
        {"missing", [](TempFolder &) {}, "does not exist"},
        {"folder", [](TempFolder &f) { QDir(f.path()).mkdir("Dial.db"); }, "cannot be opened"},
        {"empty", bytes({}), "is damaged: it is empty"},
        {"garbage", bytes(QByteArray(4096, 'x')), "is damaged"},
        {"header only", bytes(header + QByteArray(40, '\1')), "is damaged"},
        {"cut", good([](TempFolder &f, const QByteArray &b) { f.write("Dial.db", b.left(b.size() / 3)); }), "is damaged"},
        {"overwritten",
         good([](TempFolder &f, const QByteArray &b) { f.write("Dial.db", b.left(100) + QByteArray(b.size() - 100, '\xff')); }),
         "is damaged"},
        {"foreign", [](TempFolder &f) { SqliteDb(f.file("Dial.db"), SqliteDb::Create).exec("CREATE TABLE data(id INTEGER PRIMARY KEY)"); },
         nullptr},
        {"no description", sql("DELETE FROM zindle_table"), "is damaged: it has no table description"},
        {"no fields", sql("DELETE FROM zindle_fields"), "is damaged: it describes no fields"},
        {"unknown type", sql("UPDATE zindle_fields SET type = 'colour' WHERE name = 'Notes'"),
         "is damaged: a field has no name or an unknown type"},
        {"column gone", sql("ALTER TABLE data DROP COLUMN Notes"), "is damaged: its records lack the field 'Notes'"},
        {"key gone", sql("UPDATE zindle_table SET key_field = 'Colour'"),
         "is damaged: its key field 'Colour' is not among its fields"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        c.make(folder);
        const QString file = folder.file("Dial.db");
        TTable t;
        try {
            t.OpenTable(folder.path(), "Dial");
            for (t.First(); !t.Eof(); t.Next())
                t.FieldByName("Notes").asString();
            ADD_FAILURE() << "opened and read";
            continue;
        } catch (const ETableError &e) {
            if (c.problem)
                EXPECT_EQ(e.message().left(e.message().indexOf(" (")),
                          QString("Table file %1 %2").arg(file, c.problem));
            else
                EXPECT_EQ(e.message(), QString("The file %1 is not a table file of Zindle Clock").arg(file));
            EXPECT_EQ(e.message().count(file), 1) << e.what();
            EXPECT_EQ(e.file(), file);
            EXPECT_FALSE(e.problem().contains(file)) << e.what();
            EXPECT_FALSE(e.message().contains("failed")) << e.what();
            EXPECT_FALSE(e.message().contains("PRAGMA")) << e.what();
        }
        EXPECT_FALSE(t.Active());
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
