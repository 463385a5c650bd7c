#include "uClock.h"
#include "ClockHints.h"
#include "DateTime.h"
#include "ErrorReport.h"
#include "HideAction.h"
#include "MessageBoxes.h"
#include "MediaPlayerSound.h"
#include "OnScreen.h"
#include "PicturePrefetch.h"
#include "ProgramIcon.h"
#include "StartFailurePanel.h"
#include "TickRules.h"
#include "TrayIcon.h"
#include "WindowSystem.h"

#include <malloc.h>
#include <QTimer>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QScopeGuard>

#include <algorithm>
#include <stdexcept>

namespace {

const QString kTitle = "Zindle Clock";

QVector<QRect> screenRects()
{
    QVector<QRect> rects;
    for (const QScreen *s : QGuiApplication::screens())
        rects << s->geometry();
    return rects;
}

} // namespace

TfClock::TfClock(const QString &programFolder, QWidget *parent) : TfClockBase(parent)
{
    setObjectName("fClock");
    setWindowTitle(kTitle);
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool);
    setAttribute(Qt::WA_Hover);
    setMouseTracking(true);
    const QStringList names = tableNames();
    const QVector<TTable *> all = tables();
    for (int i = 0; i < all.size(); ++i)
        all[i]->setTableName(names[i]);
    // The tick plans its own next wake-up; it must not come early, or the
    // hands would turn a second late.
    Timer1.setTimerType(Qt::PreciseTimer);
    Timer1.setInterval(TickRules::StepMs);
    connect(&Timer1, &QTimer::timeout, this, [this] { ErrorReport::guardTick([this] { Timer1Timer(); }); });
    createFace();
    FormCreate(programFolder);
}

TfClock::~TfClock() = default;

QVector<TTable *> TfClock::tables()
{
    return {&tblClock, &tblDial, &tblHand, &tblBody, &tblHead, &tblAlarm, &tblAlarm2, &tblSkins, &tblProduct, &tblTime};
}

QStringList TfClock::tableNames()
{
    return {"Clock", "Dial", "Hand", "Body", "Head", "Alarm", "Alarm2", "Skins", "Product", "Time"};
}

SkinSelection TfClock::skinSelection()
{
    return SkinSelection({{{&tblClock, &Settings.ClockName, &ClockRecNo},
                           {&tblDial, &Settings.DialName, &DialRecNo},
                           {&tblHand, &Settings.HandName, &HandRecNo},
                           {&tblHead, &Settings.HeadName, &HeadRecNo},
                           {&tblBody, &Settings.BodyName, &BodyRecNo}}});
}

void TfClock::FormCreate(const QString &programFolder)
{
    StartupDone = false;
    ProgramFolder = programFolder.isEmpty() ? QCoreApplication::applicationDirPath() + "/" : programFolder;
    if (!ProgramFolder.endsWith('/'))
        ProgramFolder += '/';
    setProgramFolder(ProgramFolder);
    Folders = ClockFolders::forProgram(ProgramFolder);
    if (!QDir::setCurrent(ProgramFolder))
        throw std::runtime_error(QString("Cannot use the program folder %1").arg(ProgramFolder).toStdString());
    SetInvisibleColor(0xFF00FF);
    MediaPlayer1 = MediaPlayerSound::create();
    Chimes = std::make_unique<ChimePlayback>(Chime, *MediaPlayer1, ProgramFolder);
    Chimes->Settings = [this] {
        return ChimeSettings{Settings.VoiceChime, Settings.MilTime, Settings.BellChime, Settings.CuckooChime};
    };
    Chimes->AnimationFlag = [this] {
        return tblClock.RecordCount() > 0 && tblClock.FieldByName("AnimationFlag").asBoolean();
    };
    Chimes->ErrorReport = [](const QString &message) { ErrorReport::showTick(message); };
    // Made once the window is on its way, from the event loop: the clock
    // shows without it, and its pictures and the look for a tray host
    // would cost the start milliseconds.
    QTimer::singleShot(0, this, [this] { createTrayIcon(); });
}

void TfClock::createTrayIcon()
{
    // Pictures made by the build, not the SVG drawing: see ProgramIcon.
    const QIcon icon = ProgramIcon::load(ProgramFolder);
    setWindowIcon(icon);
    // Every dialog and message box carries the clock's icon too.
    QGuiApplication::setWindowIcon(icon);
    StTrayIcon1 = TrayIcon::create(this);
    StTrayIcon1->setIcon(icon);
    StTrayIcon1->setToolTip(kTitle);
    auto *menu = new QMenu(this);
    // "&Close" ends at once: no settings save, no table compaction.
    menu->addAction(tr("&Close"), qApp, [] { QCoreApplication::exit(0); });
    menu->addAction(tr("&Restore"), this, [this] { StTrayIcon1Restore(); });
    StTrayIcon1->setContextMenu(menu);
    connect(StTrayIcon1, &TrayIcon::activated, this, [this](TrayIcon::Activation how) {
        if (how == TrayIcon::Activation::Click)
            StTrayIcon1Click();
        else if (how == TrayIcon::Activation::DoubleClick)
            StTrayIcon1Restore();
    });
    if (StTrayIcon1->hostAvailable())
        StTrayIcon1->show();
}

QString TfClock::settingsPath() const { return Folders.settingsFile; }

bool TfClock::event(QEvent *e)
{
    const bool result = TfClockBase::event(e);
    // A start that failed is tried again at every activation, and closing
    // its box activates the window again.
    if ((e->type() == QEvent::Show || e->type() == QEvent::WindowActivate) && !Ending)
        ErrorReport::guardTick([this] { FormActivate(); });
    return result;
}

void TfClock::FormActivate()
{
    if (StartupDone || m_activating)
        return;
    m_activating = true;
    auto done = qScopeGuard([this] { m_activating = false; });
    try {
        AppVersion = 100;
        const QVector<TTable *> all = tables();
        for (TTable *t : all)
            t->CloseTable();
        QStringList names;
        for (TTable *t : all)
            names << t->TableName();
        Folders.prepare(names);
        // Tables opened ahead on another thread are taken last: they have
        // longest to get ready.
        QVector<TTable *> order = all;
        std::stable_partition(order.begin(), order.end(), [this](TTable *t) {
            return !PicturePrefetch::promised(Folders.own + t->TableName() + ".db");
        });
        for (TTable *t : order) {
            if (const auto opened = PicturePrefetch::takeTable(Folders.own + t->TableName() + ".db"))
                t->takeOver(*opened);
            else
                t->OpenTable(Folders.own, t->TableName());
        }
        TTable::removeStaleSuperJournals(Folders.own);
        LoadSettings();
        AssembleAndBuildFace();
    } catch (const std::exception &e) {
        showStartFailure(QString::fromUtf8(e.what()));
        throw;
    } catch (...) {
        showStartFailure(tr("An unexpected error occurred."));
        throw;
    }
    emit started();
    MouseOver = false;
    Chime.AnimationRunning = false;
    Chime.ChimeStriking = false;
    Chime.VoiceSpeaking = false;
    Chime.AnimationFrame = 0;
    Timer1.start();
    StartupDone = true;
    SkinRemoved = false;
    leaveStartFailure();
    keepOnScreen();
    // Decoding, scaling and first painting the skins' pictures leave freed
    // heap the allocator would keep all day: given back once the face shows.
    QTimer::singleShot(1000, this, [] { malloc_trim(0); });
    emit activated();
}

void TfClock::keepOnScreen()
{
    const QPoint target = onScreenPosition(frameGeometry(), screenRects());
    if (target != pos())
        move(target);
}

void TfClock::showStartFailure(const QString &error)
{
    if (!pnlStartFailure) {
        pnlStartFailure = new StartFailurePanel(this);
        connect(pnlStartFailure, &StartFailurePanel::retry, this,
                [this] { ErrorReport::guard([this] { FormActivate(); }); });
        connect(pnlStartFailure, &StartFailurePanel::quit, this, &QWidget::close);
    }
    pnlStartFailure->setError(error);
    if (!m_failedStart) {
        m_failedStart = true;
        m_clockFlags = windowFlags();
    }
    clearMask();
    setTransparency(0);
    const QSize size = pnlStartFailure->sizeHint().expandedTo(QSize(460, 220));
    resize(size);
    pnlStartFailure->setGeometry(QRect(QPoint(0, 0), size));
    pnlStartFailure->raise();
    pnlStartFailure->show();
    keepOnScreen();
    requestWindowKind();
}

void TfClock::leaveStartFailure()
{
    if (!m_failedStart)
        return;
    m_failedStart = false;
    pnlStartFailure->hide();
    requestWindowKind();
}

void TfClock::requestWindowKind()
{
    // A window's kind cannot change while it is being shown (the start runs
    // from its show): a shown window changes on the next turn of the loop.
    if (isVisible())
        QMetaObject::invokeMethod(this, &TfClock::applyWindowKind, Qt::QueuedConnection);
    else
        applyWindowKind();
}

void TfClock::applyWindowKind()
{
    // After a failed start an ordinary window with a frame, not on top and
    // not shaped: the user sees what failed and how to go on. After a start
    // that succeeds, the clock again.
    if (m_framed == m_failedStart)
        return;
    m_framed = m_failedStart;
    const QPoint at = pos();
    const bool wasVisible = isVisible();
    setWindowFlags(m_framed ? Qt::WindowFlags(Qt::Window) : m_clockFlags);
    move(at);
    if (!m_framed)
        shapeIt(); // the face's size and outline
    keepOnScreen();
    if (wasVisible)
        show();
}

void TfClock::LoadSettings()
{
    Settings = readClockSettings(IniFile(settingsPath()));
    const ClockSettings &s = Settings;
    // Far beyond any screen, yet small enough that the window's rectangle
    // cannot overflow; a visible position is never changed by it.
    constexpr int kFar = 1 << 24;
    move(std::clamp(s.left, -kFar, kFar), std::clamp(s.top, -kFar, kFar));

    skinSelection().selectByName({s.ClockName, s.DialName, s.HandName, s.HeadName, s.BodyName});

    setHue(s.Hue);
    setRedIntensity(s.redIntensity);
    setGreenIntensity(s.greenIntensity);
    setBlueIntensity(s.blueIntensity);
    m_settingsLoaded = true;
}

void TfClock::SaveSettings()
{
    IniFile ini(settingsPath());
    // Position and tint are the window's own; the skin names come from the
    // tables' current records.
    ClockSettings s = Settings;
    s.top = y();
    s.left = x();
    const auto names = skinSelection().currentNames();
    s.ClockName = names[size_t(SkinKind::Clock)];
    s.DialName = names[size_t(SkinKind::Dial)];
    s.HandName = names[size_t(SkinKind::Hand)];
    s.HeadName = names[size_t(SkinKind::Head)];
    s.BodyName = names[size_t(SkinKind::Body)];
    s.Hue = getHue();
    s.redIntensity = getRedIntensity();
    s.greenIntensity = getGreenIntensity();
    s.blueIntensity = getBlueIntensity();
    writeClockSettings(ini, s);
    ini.save();
}

void TfClock::Timer1Timer()
{
    // However the tick ends, the next one is planned from what is under way.
    auto plan = qScopeGuard([this] { planNextTick(); });
    const int level = getTransparency();
    const int next = TickRules::fadeLevel(level, MouseOver, Settings.FadeEnabled, Settings.MaxTransparency,
                                          TickRules::StepMs, Settings.FadeSpeed);
    if (next != level)
        setTransparency(next);
    const QDateTime now = ZDateTime::currentDateTime();
    UpdateHands(now.time());
    // Formatting in the system's formats is the dearest part of an idle
    // tick: the hints are made again only when the part of the time they
    // show (the minute, or the second where the short time shows seconds)
    // has changed.
    const qint64 second = now.date().toJulianDay() * 86400 + now.time().msecsSinceStartOfDay() / 1000;
    const qint64 hintKey = hintShowsSeconds ? second : second / 60;
    if (hintKey != hintShown) {
        hintShowsSeconds = QLocale::system().timeFormat(QLocale::ShortFormat).contains('s');
        hintShown = hintShowsSeconds ? second : second / 60;
        // The day's names, dearer still, once a day.
        if (now.date() != hintDay) {
            hintDay = now.date();
            dayHint = windowHint(hintDay);
        }
        const QString tray = trayHint(now.time(), dayHint);
        if (StTrayIcon1 && StTrayIcon1->toolTip() != tray)
            StTrayIcon1->setToolTip(tray);
        if (toolTip() != dayHint)
            setToolTip(dayHint);
    }
    CheckAlarms();
    // An alarm's message holds the tick for as long as it is open: what
    // follows works on the time as it is now, so an hour whose full second
    // passed under the message neither chimes nor speaks late.
    const double nowValue = ZDateTime::now();
    if (TickRules::isQuiet(Settings.QuietTime, Settings.QuietStart, Settings.QuietEnd, ZDateTime::timeOf(nowValue)))
        return;
    Chimes->Tick(nowValue);
    AnimateFace();
}

void TfClock::planNextTick()
{
    const int level = getTransparency();
    TickRules::TickState state;
    state.fading = TickRules::fadeLevel(level, MouseOver, Settings.FadeEnabled, Settings.MaxTransparency,
                                        TickRules::StepMs, Settings.FadeSpeed) != level;
    state.animating = Chime.AnimationRunning;
    state.sounding = Chime.ChimeStriking || Chime.VoiceSpeaking;
    const QDateTime now = ZDateTime::currentDateTime();
    state.quiet = TickRules::isQuiet(Settings.QuietTime, Settings.QuietStart, Settings.QuietEnd,
                                     ZDateTime::timeOf(ZDateTime::fromQDateTime(now)));
    state.msOfSecond = now.time().msec();
    // A running timer starts over with the new interval; a stopped one (a
    // paused tick, a test driving it) stays stopped.
    Timer1.setInterval(TickRules::nextTickMs(state));
}

void TfClock::wakeTick()
{
    if (Timer1.isActive())
        Timer1.start(0);
}

void TfClock::resizeTo(int sizeScale)
{
    // A build that fails (the outline cannot be written) changes nothing of
    // the face: the scale in force, and its check mark, stay.
    const int previous = Settings.SizeScale;
    Settings.SizeScale = sizeScale;
    emit sizeScaleChanged();
    try {
        BuildFace();
    } catch (...) {
        Settings.SizeScale = previous;
        emit sizeScaleChanged();
        throw;
    }
    SaveSettings();
}

void TfClock::setStayOnTop(bool onTop)
{
    const bool visible = isVisible();
    // Changing the flag recreates the window; Qt puts the outline (mask) and
    // the opacity back on the new one.
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (visible)
        show();
}

void TfClock::contextMenuEvent(QContextMenuEvent *e)
{
    // A failed start offers Retry and Quit; the clock's commands need a
    // started clock.
    if (PopupMenu1 && !m_failedStart)
        PopupMenu1->exec(e->globalPos());
}

void TfClock::CheckAlarms()
{
    if (alarmCheck)
        alarmCheck();
}

void TfClock::closeEvent(QCloseEvent *e)
{
    FormClose();
    e->accept();
    emit closed();
}

void TfClock::FormClose()
{
    if (StTrayIcon1)
        StTrayIcon1->hide();
    Timer1.stop();
    // Settings never read (a failed start) are not written over the file.
    if (m_settingsLoaded)
        ErrorReport::guard([this] { SaveSettings(); });
    if (!SkinRemoved)
        return;
    TTable *const closing[] = {&tblClock, &tblDial, &tblHand, &tblBody, &tblHead,
                               &tblAlarm, &tblAlarm2, &tblSkins, &tblProduct};
    for (TTable *t : closing)
        t->CloseTable();
    for (TTable *t : closing)
        if (t != &tblProduct)
            ErrorReport::guard([t] { t->OptimizeTable(); });
}

void TfClock::StTrayIcon1Click()
{
    setTransparency(0);
    show();
}

void TfClock::StTrayIcon1Restore()
{
    showNormal();
    raise();
    activateWindow();
}

void TfClock::Minimize1Click()
{
    switch (hideAction(StTrayIcon1 && StTrayIcon1->hostAvailable(), WindowSystem::windowManagerRunning())) {
    case HideAction::ToTray:
        if (StTrayIcon1 && !StTrayIcon1->isVisible())
            StTrayIcon1->show();
        hide();
        break;
    case HideAction::Minimise:
        showMinimized();
        break;
    case HideAction::StayAndExplain: {
        // Not modal: the clock goes on ticking while the note is read.
        if (auto *open = findChild<QMessageBox *>("hideNotice", Qt::FindDirectChildrenOnly)) {
            open->raise();
            break;
        }
        MessageBoxes::open(this, QMessageBox::Information, kTitle,
                           tr("The clock cannot be hidden on this desktop: there is no notification area "
                              "to bring it back from, and no window manager to restore it once "
                              "minimised. It stays where it is; Exit in its menu closes it."),
                           Qt::NonModal, "hideNotice");
        break;
    }
    }
}

void TfClock::changeEvent(QEvent *e)
{
    TfClockBase::changeEvent(e);
    if (e->type() == QEvent::WindowStateChange && isMinimized() && StTrayIcon1 && StTrayIcon1->hostAvailable())
        QTimer::singleShot(0, this, [this] { hide(); });
}

void TfClock::enterEvent(QEnterEvent *e)
{
    MouseOver = true;
    wakeTick();
    TfClockBase::enterEvent(e);
}

void TfClock::leaveEvent(QEvent *e)
{
    MouseOver = false;
    wakeTick();
    TfClockBase::leaveEvent(e);
}

void TfClock::mouseMoveEvent(QMouseEvent *e)
{
    if (!MouseOver) {
        MouseOver = true;
        wakeTick();
    }
    TfClockBase::mouseMoveEvent(e);
}
