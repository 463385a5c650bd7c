#include "FaceRig.h"

#include "PackageInstall.h"
#include "RotImg.h"
#include "TImage.h"
#include "TickRules.h"
#include "uClock.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <stdexcept>

FaceRig::FaceRig(const QString &programFolder)
{
    if (!m_folder.isValid())
        throw std::runtime_error("cannot make a work folder");
    const QString from = QDir(programFolder).absolutePath() + "/";
    const QString to = m_folder.path() + "/";
    // The tables, and the icon the window shows.
    const QStringList files = QDir(from).entryList({"*.db", "*.svg"}, QDir::Files);
    if (!files.contains("Clock.db"))
        throw std::runtime_error(("no tables in " + from).toStdString());
    for (const QString &t : files)
        if (!QFile::copy(from + t, to + t))
            throw std::runtime_error(("cannot copy " + from + t).toStdString());

    m_clock = std::make_unique<TfClock>(to);
    m_clock->FormActivate();
    m_clock->Timer1.stop();
    TfClock &c = *m_clock;
    for (const QString &package : QDir(from + "skins/").entryList({"*.zip"}, QDir::Files, QDir::Name)) {
        PackageInstall install(c.ProgramFolder, c.tblSkins, SkinTargets::of(c.skinSelection()), c.AppVersion);
        install.continueNewer = [] { return true; };
        install.install(from + "skins/" + package);
    }
}

FaceRig::~FaceRig() = default;

QStringList FaceRig::names(const QString &table) const
{
    TTable *t = nullptr;
    for (TTable *candidate : m_clock->tables())
        if (candidate->TableName().compare(table, Qt::CaseInsensitive) == 0)
            t = candidate;
    if (!t)
        throw std::runtime_error(("no table " + table).toStdString());
    QStringList out;
    for (t->First(); !t->Eof(); t->Next())
        out << t->FieldByName("Name").asString();
    return out;
}

void FaceRig::build(const Choice &choice, int sizeScale)
{
    TfClock &c = *m_clock;
    const SkinSelection skins = c.skinSelection();
    const QString wanted[kSkinKinds] = {choice.clock, choice.dial, choice.hand, choice.head, choice.body};
    for (int i = 0; i < kSkinKinds; ++i) {
        const SkinPart &p = skins[i];
        if (!p.table->FindKey(wanted[i]))
            throw std::runtime_error(("no skin item \"" + wanted[i] + "\" in " + p.table->TableName()).toStdString());
        *p.recNo = p.table->RecNo();
        *p.name = wanted[i];
    }
    c.Settings.SizeScale = sizeScale;
    c.BuildFace();
}

TRotateImage *FaceRig::control(Hand hand) const
{
    switch (hand) {
    case Hand::Hour: return m_clock->RotateImageHour;
    case Hand::Minute: return m_clock->RotateImageMin;
    case Hand::Second: break;
    }
    return m_clock->RotateImageSec;
}

void FaceRig::setTime(int hour, int minute, int second)
{
    const TickRules::HandAngles a = TickRules::handAngles(hour, minute, second);
    m_clock->RotateImageHour->setAngle(a.hour);
    m_clock->RotateImageMin->setAngle(a.minute);
    m_clock->RotateImageSec->setAngle(a.second);
    showAll();
}

void FaceRig::showOnly(Hand hand, int angle)
{
    for (Hand h : {Hand::Hour, Hand::Minute, Hand::Second})
        control(h)->setVisible(h == hand);
    control(hand)->setAngle(angle);
}

void FaceRig::showAll()
{
    for (Hand h : {Hand::Hour, Hand::Minute, Hand::Second})
        control(h)->show();
}

QImage FaceRig::render() const
{
    TfClock &c = *m_clock;
    // grab() keeps the window's own coordinates; render() into an image
    // would move everything by the corner of the outline's bounding box.
    const QImage drawn = c.grab().toImage();
    const QRegion outline = c.mask();
    if (outline.isEmpty())
        return drawn.convertToFormat(QImage::Format_ARGB32);
    QImage out(c.size(), QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    QPainter p(&out);
    p.setClipRegion(outline);
    p.drawImage(0, 0, drawn);
    p.end();
    return out.convertToFormat(QImage::Format_ARGB32);
}

QRect FaceRig::dialRect() const { return m_clock->imgDial->geometry(); }

QImage FaceRig::handPicture(Hand hand) const { return control(hand)->displayBitmap(); }

QPoint FaceRig::handPosition(Hand hand) const
{
    // Centred in the hand's drawing area, as the control paints it.
    const TRotateImage *h = control(hand);
    const QImage &d = h->displayBitmap();
    return h->pos() + QPoint((h->width() - d.width()) / 2, (h->height() - d.height()) / 2);
}
