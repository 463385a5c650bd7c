// Builds the ten tables of the program folder from the sources in data/.
// Usage: maketables <program folder>/ <data folder>/
#include "IniFile.h"
#include "PlaceholderArt.h"
#include "TTable.h"
#include "TableSchema.h"

#include <QFile>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>
#include <exception>

namespace {

void addSkin(TTable &t, const QString &name, const QString &notes, const QImage &image)
{
    t.Append();
    t.FieldByName("Name").setAsString(name);
    t.FieldByName("Notes").setAsString(notes);
    t.FieldByName("Image").setAsPicture(image);
    t.Post();
}

void fillPlaceholders(const QString &folder)
{
    TTable clock, dial, body, head, hand;
    clock.OpenTable(folder, "Clock");
    addSkin(clock, "Pocket Watch 001", "A plain pocket watch", PlaceholderArt::clock());
    clock.Edit();
    clock.FieldByName("Left").setAsInteger(25);
    clock.FieldByName("Top").setAsInteger(100);
    clock.Post();
    dial.OpenTable(folder, "Dial");
    addSkin(dial, "Dial 006", "Cream dial with hour marks", PlaceholderArt::dial());
    body.OpenTable(folder, "Body");
    addSkin(body, "Cowboy", "A cowboy's body", PlaceholderArt::body());
    body.Edit();
    body.FieldByName("BodyTop").setAsInteger(40);
    body.Post();
    head.OpenTable(folder, "Head");
    addSkin(head, "Mopp 001", "A friendly face", PlaceholderArt::head());
    hand.OpenTable(folder, "Hand");
    hand.Append();
    hand.FieldByName("Name").setAsString("Cowboy 01");
    hand.FieldByName("Notes").setAsString("Plain hands");
    hand.FieldByName("imgHour").setAsPicture(PlaceholderArt::hand(14, 70, QColor(40, 30, 20)));
    hand.FieldByName("imgMinute").setAsPicture(PlaceholderArt::hand(12, 100, QColor(40, 30, 20)));
    hand.FieldByName("imgSecond").setAsPicture(PlaceholderArt::hand(8, 110, QColor(190, 30, 30)));
    hand.Post();
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
    t.FieldByName("Image").setAsPicture(PlaceholderArt::productPicture());
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
        fillPlaceholders(folder);
        fillProduct(folder, data);
        fillTimeServers(folder, data);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "maketables: %s\n", e.what());
        return 1;
    }
    return 0;
}
