// Builds the ten tables of the program folder from the sources in data/.
// Usage: maketables <program folder>/ <data folder>/
#include "IniFile.h"
#include "SkinArt.h"
#include "TTable.h"
#include "TableSchema.h"

#include <QFile>
#include <QGuiApplication>
#include <QMap>
#include <QPainter>
#include <QTemporaryDir>
#include <QTextStream>

#include <memory>
#include <zip.h>

#include <cstdio>
#include <exception>

namespace {

// Stores one catalogue item in its skin table (five tables) or in the
// package catalogue (the Skins table, with its category and version).
void storeItem(TTable &t, const SkinArtItem &item, bool catalogue)
{
    t.Append();
    auto set = [&](const char *field, const QVariant &v) {
        if (t.fieldIndex(field) >= 0)
            t.FieldByName(field).setValue(v);
    };
    auto picture = [&](const char *field, const QImage &img) {
        if (t.fieldIndex(field) >= 0 && !img.isNull())
            t.FieldByName(field).setAsPicture(img);
    };
    if (catalogue) {
        set("Category", item.category);
        set("Version", item.version);
    }
    set("Name", item.name);
    set("Notes", item.notes);
    picture("Image", item.image);
    picture("AnimationImage", item.animationImage);
    picture("imgHour", item.imgHour);
    picture("imgMinute", item.imgMinute);
    picture("imgSecond", item.imgSecond);
    const QString c = item.category;
    if (catalogue || c == "clock" || c == "head") {
        set("Left", item.left);
        set("Top", item.top);
    }
    if (catalogue || c == "clock") {
        set("AnimationFrames", item.animationFrames);
        set("AnimationLeft", item.animationLeft);
        set("AnimationTop", item.animationTop);
        set("AnimationFlag", item.animationFlag);
        set("AnimationTrans", item.animationTrans);
    }
    if (catalogue || c == "dial")
        set("SecHandOffset", item.secHandOffset);
    if (catalogue || c == "hand") {
        set("MinHandBehind", item.minHandBehind);
        set("SecHandBehind", item.secHandBehind);
        set("HourHandBehind", item.hourHandBehind);
    }
    if (catalogue || c == "body") {
        set("BodyLeft", item.bodyLeft);
        set("BodyTop", item.bodyTop);
        set("HeadLeft", item.headLeft);
        set("HeadTop", item.headTop);
    }
    t.Post();
}

void fillSkinTables(const QString &folder, const QString &data)
{
    const QMap<QString, QString> tableOf = {
        {"clock", "Clock"}, {"dial", "Dial"}, {"hand", "Hand"}, {"head", "Head"}, {"body", "Body"}};
    QMap<QString, std::shared_ptr<TTable>> tables;
    for (const SkinArtItem &item : loadCatalogue(data + "skins/catalogue.json")) {
        auto &t = tables[item.category];
        if (!t) {
            t = std::make_shared<TTable>();
            t->OpenTable(folder, tableOf.value(item.category));
        }
        storeItem(*t, item, false);
    }
}

// A skin package: a ZIP carrying one Skins table with the manifest's items.
void buildPackage(const QString &zipPath, const QString &manifest)
{
    QTemporaryDir work;
    const QString folder = work.path() + "/";
    createTable(folder, standardSchema("Skins"));
    {
        TTable skins;
        skins.OpenTable(folder, "Skins");
        for (const SkinArtItem &item : loadCatalogue(manifest))
            storeItem(skins, item, true);
    }
    QFile::remove(zipPath);
    int err = 0;
    zip_t *zip = zip_open(QFile::encodeName(zipPath).constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    if (!zip)
        throw std::runtime_error("cannot create " + zipPath.toStdString());
    zip_source_t *src = zip_source_file(zip, QFile::encodeName(folder + "Skins.db").constData(), 0, -1);
    if (!src || zip_file_add(zip, "Skins.db", src, ZIP_FL_ENC_UTF_8) < 0 || zip_close(zip) != 0) {
        if (src)
            zip_source_free(src);
        zip_discard(zip);
        throw std::runtime_error("cannot write " + zipPath.toStdString());
    }
}

void fillProduct(const QString &folder, const QString &data)
{
    IniFile ini(data + "product/product.ini");
    if (!ini.exists())
        throw std::runtime_error("missing data/product/product.ini");
    TTable t;
    t.OpenTable(folder, "Product");
    t.Append();
    for (const char *key : {"Title", "Copyright", "Copyright2", "Website", "WebURL2", "WebName2", "Download"})
        t.FieldByName(key).setAsString(ini.readString("Product", key, ""));
    // The product picture is the program's icon on the about box's white.
    QImage picture(97, 113, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter p(&picture);
    p.drawImage(0, 8, SkinArt::renderSvgFile(data + "desktop/zindleclock.svg", 97, 97, 0xFFFFFFFF));
    p.end();
    t.FieldByName("Image").setAsPicture(picture);
    t.Post();
}

void fillTimeServers(const QString &folder, const QString &data)
{
    QFile f(data + "timeservers/servers.txt");
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error("missing data/timeservers/servers.txt");
    TTable t;
    t.OpenTable(folder, "Time");
    QTextStream in(&f);
    while (!in.atEnd()) {
        const QString server = in.readLine().trimmed();
        if (server.isEmpty() || server.startsWith('#'))
            continue;
        t.Append();
        t.FieldByName("TimeServer").setAsString(server);
        t.Post();
    }
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: maketables <program folder>/ <data folder>/\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString data = QString::fromLocal8Bit(argv[2]);
    try {
        for (const TableSchema &s : standardSchemas())
            createTable(folder, s);
        fillSkinTables(folder, data);
        fillProduct(folder, data);
        fillTimeServers(folder, data);
        buildPackage(folder + "skins/Zindle Sampler.zip", data + "skins/sample-package.json");
    } catch (const std::exception &e) {
        std::fprintf(stderr, "maketables: %s\n", e.what());
        return 1;
    }
    return 0;
}
