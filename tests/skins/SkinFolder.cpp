#include "SkinFolder.h"
#include "ErrorReport.h"
#include "TableSchema.h"
#include "uClock.h"
#include "ZipMaker.h"

#include <QFile>
#include <QHash>

#include <stdexcept>

QImage solid(int width, int height, const QColor &colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

void SkinFolder::addItem(const QString &table, const QString &name, const QImage &picture, const QString &notes)
{
    addNamed(table, name, [&](TTable &t) {
        t.FieldByName("Notes").setAsString(notes);
        t.FieldByName(table == "Hand" ? "imgHour" : "Image").setAsPicture(picture);
        if (table == "Hand") {
            t.FieldByName("imgMinute").setAsPicture(solid(3, 20, Qt::green));
            t.FieldByName("imgSecond").setAsPicture(solid(2, 30, Qt::blue));
        }
    });
}

void SkinFolder::addProduct(const QStringList &values)
{
    const char *fields[] = {"Title", "Copyright", "Copyright2", "Website", "WebURL2", "WebName2", "Download"};
    TTable t;
    t.OpenTable(path(), "Product");
    t.Append();
    for (int i = 0; i < values.size() && i < 7; ++i)
        t.FieldByName(fields[i]).setAsString(values[i]);
    t.FieldByName("Image").setAsPicture(solid(97, 113, Qt::darkCyan));
    t.Post();
}

std::unique_ptr<TfClock> SkinFolder::startClock(const QByteArray &settings)
{
    if (!settings.isEmpty())
        write("ZindleClock.ini", "[Path]\n" + settings);
    auto clock = std::make_unique<TfClock>(path());
    clock->FormActivate();
    return clock;
}

void writeCatalogue(const QString &folder, const QVector<CatalogueItem> &items)
{
    createTable(folder, standardSchema("Skins"));
    TTable t;
    t.OpenTable(folder, "Skins");
    int n = 0;
    for (const CatalogueItem &item : items) {
        ++n;
        t.Append();
        t.FieldByName("Category").setAsString(item.category);
        t.FieldByName("Version").setAsInteger(item.version);
        t.FieldByName("Name").setAsString(item.name);
        t.FieldByName("Notes").setAsString(item.notes);
        for (const char *f : {"image", "AnimationImage", "imgHour", "imgMinute", "imgSecond"})
            t.FieldByName(f).setAsPicture(solid(2 + n % 7, 3, QColor::fromHsv((n * 37) % 360, 200, 200)));
        for (const char *f : {"Left", "Top", "BodyLeft", "BodyTop", "HeadLeft", "HeadTop", "SecHandOffset",
                              "AnimationLeft", "AnimationTop", "AnimationFrames"})
            t.FieldByName(f).setAsInteger(item.number);
        for (const char *f : {"SecHandBehind", "MinHandBehind", "HourHandBehind", "AnimationFlag", "AnimationTrans"})
            t.FieldByName(f).setAsBoolean(item.flag);
        t.Post();
    }
}

QStringList namesOf(TTable &table)
{
    QStringList names;
    const int at = table.RecNo();
    for (table.First(); !table.Eof(); table.Next())
        names << table.FieldByName("Name").asString();
    table.setRecNo(at);
    return names;
}

ScriptedAnswers::ScriptedAnswers()
{
    MessageBoxes::setHandler([this](const MessageRequest &r) {
        asked << r;
        if (m_answers.empty())
            return QMessageBox::Ok;
        const QMessageBox::StandardButton b = m_answers.front();
        m_answers.pop_front();
        return b;
    });
}

ScriptedAnswers::~ScriptedAnswers() { MessageBoxes::setHandler({}); }

CollectedErrors::CollectedErrors()
{
    ErrorReport::forgetShown();
    ErrorReport::setSink([this](const QString &t) { texts << t; });
}

CollectedErrors::~CollectedErrors() { ErrorReport::setSink({}); }

void zipFiles(const QString &zipFile, const QVector<QPair<QString, QString>> &entries, const QString &method)
{
    const QHash<QString, ZipMaker::Method> methods = {
        {"deflate", ZipMaker::Deflated}, {"store", ZipMaker::Stored}, {"bzip2", ZipMaker::Bzip2}};
    if (!methods.contains(method))
        throw std::runtime_error("zip failed: no method " + method.toStdString());
    ZipMaker maker(methods.value(method));
    maker.setTime(2024, 1, 1);
    for (const auto &e : entries) {
        const QByteArray name = e.first.toUtf8();
        if (e.second.startsWith("@zeros:")) {
            maker.addZeros(name, e.second.mid(7).toInt());
            continue;
        }
        QFile f(e.second);
        if (!f.open(QIODevice::ReadOnly))
            throw std::runtime_error("zip failed: cannot read " + e.second.toStdString());
        maker.add(name, f.readAll());
    }
    const QString problem = maker.write(zipFile);
    if (!problem.isEmpty())
        throw std::runtime_error("zip failed: " + problem.toStdString());
}
