// The face of the main window: the pictures of the dial, character and
// hands built from the skin records at a scale, the outline written for the
// shaped window, the hands turned to the time and the animation strip.
#include "uClock.h"
#include "BmpFile.h"
#include "DateTime.h"
#include "FaceLayout.h"
#include "IniFile.h"
#include "PicturePrefetch.h"
#include "ReplaceFile.h"
#include "RotImg.h"
#include "TImage.h"
#include "TickRules.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScopeGuard>
#include <QScreen>
#include <algorithm>
#include <iterator>
#include <stdexcept>

namespace {

// The largest screen: no picture of the face is made larger than it.
QSize largestScreen()
{
    QSize largest;
    for (const QScreen *s : QGuiApplication::screens()) {
        const QSize size = s->geometry().size();
        if (qint64(size.width()) * size.height() > qint64(largest.width()) * largest.height())
            largest = size;
    }
    return largest;
}

} // namespace

void TfClock::createFace()
{
    auto picture = [this] {
        auto *img = new TImage(this);
        img->setTransparent(true);
        return img;
    };
    imgDial = picture();
    imgBody = picture();
    imgHead = picture();
    auto hand = [this](QSize area) {
        auto *h = new TRotateImage(this);
        h->setCenter(true);
        h->setTransparent(true);
        h->setAttribute(Qt::WA_TransparentForMouseEvents);
        h->resize(area);
        return h;
    };
    RotateImageHour = hand(kHourArea);
    RotateImageMin = hand(kMinuteArea);
    RotateImageSec = hand(kSecondArea);
    // The second hand turns over a face that stays still for a minute: the
    // face under it is kept as a picture, so a turn repaints the hand alone.
    // Painted through an effect, the window repaints whole anyway.
    RotateImageSec->setKeepBackdrop(!alphaEffect());
    // It also comes back to each of its 60 angles every minute.
    RotateImageSec->setKeepTurns(true);
    // And it is the one thing that changes in most seconds.
    RotateImageSec->setPaintAtOnce(true);
    imgAnim = new TImage(this);
    imgAnim->hide();
}

void TfClock::UpdateHands() { UpdateHands(ZDateTime::currentDateTime().time()); }

void TfClock::UpdateHands(const QTime &t)
{
    const TickRules::HandAngles a = TickRules::handAngles(t.hour(), t.minute(), t.second());
    // An unchanged angle costs nothing: the hand only turns when it moved.
    // The second hand last: its turn paints at once, with what the others
    // changed beneath it.
    RotateImageHour->setAngle(a.hour);
    RotateImageMin->setAngle(a.minute);
    RotateImageSec->setAngle(a.second);
}

void TfClock::AnimateFace()
{
    // Between runs a step would only hide the hidden strip: the idle tick
    // reads nothing from the table.
    if (!Chime.AnimationRunning && imgAnim->isHidden())
        return;
    const bool hasClock = tblClock.Active() && tblClock.RecordCount() > 0;
    const int frames = hasClock ? tblClock.FieldByName("AnimationFrames").asInteger() : 0;
    const TickRules::AnimationStep step = TickRules::animationStep(
        Chime.AnimationRunning, Settings.AnimationEnabled, Chime.AnimationFrame, frames, Chime.ChimeStriking);
    if (step.drawFrame >= 0) {
        imgWork = tblClock.FieldByName("AnimationImage").asPicture();
        const QRect frame = TickRules::animationFrame(imgWork.size(), frames, step.drawFrame);
        if (!frame.isEmpty()) {
            imgAnim->setTransparent(tblClock.FieldByName("AnimationTrans").asBoolean());
            imgAnim->raise();
            imgAnim->move(scaled(tblClock.FieldByName("AnimationLeft").asInteger(), m_builtScale),
                          scaled(tblClock.FieldByName("AnimationTop").asInteger(), m_builtScale));
            imgTemp = imgWork.copy(frame);
            imgAnim->setStretch(true);
            imgAnim->resize(scaled(frame.width(), m_builtScale), scaled(frame.height(), m_builtScale));
            imgAnim->setPicture(imgTemp);
            imgAnim->show();
        }
    }
    Chime.AnimationFrame = step.nextFrame;
    if (step.endRun) {
        imgAnim->hide();
        Chime.AnimationRunning = false;
    }
}

// What the face is built from: the pictures and places of the selected
// skin parts, read and decoded once for any number of builds.
struct TfClock::FaceParts
{
    QImage clock, dial, head, body, hour, minute, second;
    FaceInput in;
};

void TfClock::AssembleFace()
{
    buildFaceAt(16, true, readFaceParts());
}

void TfClock::BuildFace() { buildFaceAt(Settings.SizeScale, false, readFaceParts()); }

void TfClock::AssembleAndBuildFace()
{
    // The face at full size would at once be replaced by the face at the
    // chosen scale: at the start only that one is built, with the fade
    // level the full-size face would have left.
    // What the start guessed and did not use is not kept all day.
    const auto forget = qScopeGuard([] { PicturePrefetch::finish(); });
    const FaceParts parts = readFaceParts();
    buildFaceAt(Settings.SizeScale, false, parts);
    if (!parts.clock.isNull())
        setTransparency(0);
}

void TfClock::prefetchFacePictures(const QString &programFolder)
{
    // Qt's applicationDirPath, known before there is an application.
    const QString folder = programFolder.isEmpty()
                               ? QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).path() + "/"
                               : programFolder;
    const ClockFolders folders = ClockFolders::forProgram(folder);
    const struct
    {
        const char *table;
        QString ClockSettings::*name;
        QStringList fields;
    } parts[] = {{"Clock", &ClockSettings::ClockName, {"Image"}},
                 {"Dial", &ClockSettings::DialName, {"Image"}},
                 {"Head", &ClockSettings::HeadName, {"Image"}},
                 {"Body", &ClockSettings::BodyName, {"Image"}},
                 {"Hand", &ClockSettings::HandName, {"imgHour", "imgMinute", "imgSecond"}}};
    // Every table the start opens: the others are quick to open, but the
    // start would open them itself while this thread has time to spare.
    const QStringList names = tableNames();
    QStringList files;
    for (const QString &name : names)
        files << folders.own + name + ".db";
    PicturePrefetch::start(files, [folders, parts, names, files](PicturePrefetch::Handover &handover) {
        // The start's own steps, without what they change: tables opened,
        // the items named in the settings found as LoadSettings finds them.
        // Tables first, pictures last: the start takes every table before
        // it needs the first picture.
        const ClockSettings s = readClockSettings(IniFile(folders.settingsFile));
        QList<QByteArray> pictures[std::size(parts)]; // in the order the start takes them
        for (int i = 0; i < names.size(); ++i) {
            const auto part = std::find_if(std::begin(parts), std::end(parts),
                                           [&](const auto &p) { return names[i] == p.table; });
            std::unique_ptr<TTable> t;
            try {
                t = std::make_unique<TTable>();
                t->OpenTable(folders.own, names[i]);
                if (part != std::end(parts)) {
                    t->FindKey(s.*part->name);
                    if (t->RecordCount() > 0)
                        for (const QString &field : part->fields)
                            pictures[part - std::begin(parts)] << t->FieldByName(field).value().toByteArray();
                }
            } catch (...) {
                // Opened where it is used, which says what is wrong.
                t.reset();
            }
            handover.table(files[i], std::move(t));
        }
        for (const QList<QByteArray> &ofPart : pictures)
            for (const QByteArray &bytes : ofPart)
                handover.picture(bytes);
    });
}

void TfClock::writeMask(const QImage &silhouette)
{
    // Written whole or not at all: a full disk never leaves half an outline.
    // The clock shapes itself from the picture, not from this file, and
    // writes it again at every build: no need to wait for the disk.
    const QString path = Folders.own + "mask_fClock.bmp";
    const QByteArray bytes = bmpFile(silhouette);
    // Most starts build the outline the last one wrote: that costs no write.
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.size() == bytes.size() && existing.readAll() == bytes)
        return;
    if (!replaceFile(path, bytes, false))
        throw std::runtime_error(QString("Cannot create file %1").arg(path).toStdString());
}

TfClock::FaceParts TfClock::readFaceParts()
{
    // A table without records gives an empty part; the face is built from
    // what there is.
    const SkinSelection skins = skinSelection();
    auto current = [&skins](SkinKind kind) {
        const SkinPart &p = skins[kind];
        if (p.table->RecordCount() > 0)
            p.table->setRecNo(*p.recNo);
        return p.table->RecordCount() > 0;
    };
    auto picture = [](TTable &t, bool has, const char *field) {
        return has ? t.FieldByName(field).asPicture() : QImage();
    };
    auto integer = [](TTable &t, bool has, const char *field) { return has ? t.FieldByName(field).asInteger() : 0; };

    const bool hasClock = current(SkinKind::Clock);
    const bool hasDial = current(SkinKind::Dial);
    const bool hasHead = current(SkinKind::Head);
    const bool hasBody = current(SkinKind::Body);
    const bool hasHand = current(SkinKind::Hand);

    FaceParts p;
    p.clock = picture(tblClock, hasClock, "Image");
    p.dial = picture(tblDial, hasDial, "Image");
    p.head = picture(tblHead, hasHead, "Image");
    p.body = picture(tblBody, hasBody, "Image");
    p.hour = picture(tblHand, hasHand, "imgHour");
    p.minute = picture(tblHand, hasHand, "imgMinute");
    p.second = picture(tblHand, hasHand, "imgSecond");

    FaceInput &in = p.in;
    in.clock = p.clock.size();
    in.dial = p.dial.size();
    in.head = p.head.size();
    in.body = p.body.size();
    in.hour = p.hour.size();
    in.minute = p.minute.size();
    in.second = p.second.size();
    in.clockLeft = integer(tblClock, hasClock, "Left");
    in.clockTop = integer(tblClock, hasClock, "Top");
    in.bodyLeft = integer(tblBody, hasBody, "BodyLeft");
    in.bodyTop = integer(tblBody, hasBody, "BodyTop");
    in.bodyHeadLeft = integer(tblBody, hasBody, "HeadLeft");
    in.bodyHeadTop = integer(tblBody, hasBody, "HeadTop");
    in.headLeft = integer(tblHead, hasHead, "Left");
    in.headTop = integer(tblHead, hasHead, "Top");
    in.secHandOffset = integer(tblDial, hasDial, "SecHandOffset");
    return p;
}

void TfClock::buildFaceAt(int s, bool fullSize, const FaceParts &parts)
{
    if (!fullSize)
        imgAnim->hide();
    const FaceInput &in = parts.in;
    const QImage &clock = parts.clock, &dial = parts.dial, &head = parts.head, &body = parts.body;
    const QImage &hour = parts.hour, &minute = parts.minute, &second = parts.second;
    const int built = fullSize ? s : fittingScale(in, s, largestScreen());
    const FaceLayout f = layoutFace(in, built);

    auto scaledPicture = [](const QImage &img, QSize size) {
        if (img.isNull() || size.isEmpty())
            return QImage();
        return img.size() == size ? img : img.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    };
    // The outline is written before anything of the face changes: when it
    // cannot be, the face stays whole at the scale it had.
    const bool hasOutline = !clock.isNull() && !f.window.isEmpty();
    const QImage outline = hasOutline ? (fullSize ? clock : scaledPicture(clock, f.window)) : QImage();
    if (hasOutline)
        writeMask(outline);
    m_builtScale = built;

    for (auto [control, img, rect] : {std::tuple{imgDial, dial, f.dial}, std::tuple{imgHead, head, f.head},
                                      std::tuple{imgBody, body, f.body}}) {
        control->setStretch(!fullSize);
        control->setGeometry(rect);
        control->setPicture(img);
    }

    // The silhouette is the window's outline and background. Without a
    // clock picture the window keeps the outline it has.
    if (hasOutline) {
        loadSkin(Folders.own, outline);
        if (fullSize)
            setTransparency(0);
    }

    // Turned to the time before they get their pictures, the hands turn
    // once each, and the face shows the time from its first frame.
    UpdateHands();
    RotateImageHour->setPicture(scaledPicture(hour, f.hour));
    RotateImageMin->setPicture(scaledPicture(minute, f.minute));
    RotateImageSec->setPicture(scaledPicture(second, f.second));

    DialLeft = f.DialLeft;
    DialTop = f.DialTop;
    SecHandOffset = f.SecHandOffset;
    RotateImageHour->setGeometry(f.hourArea);
    RotateImageMin->setGeometry(f.minuteArea);
    RotateImageSec->setGeometry(f.secondArea);

    ArrangeHands();
    imgDial->update();
    imgHead->update();
    imgBody->update();
    if (!fullSize)
        emit sizeScaleChanged();
}

void TfClock::ArrangeHands()
{
    const bool hasHand = tblHand.Active() && tblHand.RecordCount() > 0;
    const bool minBehind = hasHand && tblHand.FieldByName("MinHandBehind").asBoolean();
    const bool secBehind = hasHand && tblHand.FieldByName("SecHandBehind").asBoolean();
    for (FacePart part : stackingOrder(minBehind, secBehind)) {
        switch (part) {
        case FacePart::Dial: imgDial->raise(); break;
        case FacePart::Body: imgBody->raise(); break;
        case FacePart::Head: imgHead->raise(); break;
        case FacePart::HourHand: RotateImageHour->raise(); break;
        case FacePart::MinuteHand: RotateImageMin->raise(); break;
        case FacePart::SecondHand: RotateImageSec->raise(); break;
        }
    }
    if (imgAnim->isVisible())
        imgAnim->raise();
}
