#include "uClock.h"
#include "ClockSettings.h"
#include "ClockHints.h"
#include "DateTime.h"
#include "ErrorReport.h"
#include "TickRules.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDir>
#include <QMenu>
#include <QPainter>
#include <QScopeGuard>
#include <QSystemTrayIcon>

#include <stdexcept>

namespace {

const QString kTitle = "Zindle Clock";

// A skin table with the main window's memory of the record on show.
struct SkinSlot
{
    TTable *table;
    QString *name;
    qint32 *recNo;
};

QIcon clockIcon()
{
    QPixmap pm(64, 64);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(250, 236, 200));
    p.setPen(QPen(QColor(120, 70, 30), 5));
    p.drawEllipse(QRectF(4, 4, 56, 56));
    p.setPen(QPen(QColor(40, 30, 20), 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(32, 32), QPointF(32, 14));
    p.drawLine(QPointF(32, 32), QPointF(45, 38));
    return QIcon(pm);
}

} // namespace

TfClock::TfClock(const QString &programFolder, QWidget *parent) : TfClockBase(parent)
{
    setObjectName("fClock");
    setWindowTitle(kTitle);
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool);
    setAttribute(Qt::WA_Hover);
    setMouseTracking(true);
    const QString names[] = {"Clock", "Dial", "Hand", "Body", "Head", "Alarm", "Alarm2", "Skins", "Product", "Time"};
    const QVector<TTable *> all = tables();
    for (int i = 0; i < all.size(); ++i)
        all[i]->setTableName(names[i]);
    Timer1.setInterval(200);
    connect(&Timer1, &QTimer::timeout, this, [this] { ErrorReport::guard([this] { Timer1Timer(); }); });
    FormCreate(programFolder);
}

TfClock::~TfClock() = default;

QVector<TTable *> TfClock::tables()
{
    return {&tblClock, &tblDial, &tblHand, &tblBody, &tblHead, &tblAlarm, &tblAlarm2, &tblSkins, &tblProduct, &tblTime};
}

void TfClock::FormCreate(const QString &programFolder)
{
    StartupDone = false;
    ProgramFolder = programFolder.isEmpty() ? QCoreApplication::applicationDirPath() + "/" : programFolder;
    if (!ProgramFolder.endsWith('/'))
        ProgramFolder += '/';
    if (!QDir::setCurrent(ProgramFolder))
        throw std::runtime_error(QString("Cannot use the program folder %1").arg(ProgramFolder).toStdString());
    SetInvisibleColor(0xFF00FF);
    Chimes = std::make_unique<ChimePlayback>(Chime, MediaPlayer1, ProgramFolder);
    Chimes->Settings = [this] { return ChimeSettings{VoiceChime, MilTime, BellChime, CuckooChime}; };
    Chimes->AnimationFlag = [this] {
        return tblClock.RecordCount() > 0 && tblClock.FieldByName("AnimationFlag").asBoolean();
    };
    Chimes->ErrorReport = [](const QString &message) { ErrorReport::show(message); };
    createTrayIcon();
}

void TfClock::createTrayIcon()
{
    setWindowIcon(clockIcon());
    StTrayIcon1 = new QSystemTrayIcon(clockIcon(), this);
    StTrayIcon1->setToolTip(kTitle);
    auto *menu = new QMenu(this);
    // "&Close" ends at once: no settings save, no table compaction.
    menu->addAction(tr("&Close"), qApp, [] { QCoreApplication::exit(0); });
    menu->addAction(tr("&Restore"), this, [this] { StTrayIcon1Restore(); });
    StTrayIcon1->setContextMenu(menu);
    connect(StTrayIcon1, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (r == QSystemTrayIcon::Trigger || r == QSystemTrayIcon::MiddleClick)
            StTrayIcon1Click();
        else if (r == QSystemTrayIcon::DoubleClick)
            StTrayIcon1Restore();
    });
    if (QSystemTrayIcon::isSystemTrayAvailable())
        StTrayIcon1->show();
}

QString TfClock::settingsPath() const { return ProgramFolder + kSettingsFileName; }

bool TfClock::event(QEvent *e)
{
    const bool result = TfClockBase::event(e);
    if (e->type() == QEvent::Show || e->type() == QEvent::WindowActivate)
        ErrorReport::guard([this] { FormActivate(); });
    return result;
}

void TfClock::FormActivate()
{
    if (StartupDone || m_activating)
        return;
    m_activating = true;
    auto done = qScopeGuard([this] { m_activating = false; });
    AppVersion = 100;
    const QVector<TTable *> all = tables();
    for (TTable *t : all)
        t->CloseTable();
    for (TTable *t : all)
        t->OpenTable(ProgramFolder, t->TableName());
    TTable::removeStaleSuperJournals(ProgramFolder);
    LoadSettings();
    AssembleFace();
    BuildFace();
    showPartnerItem();
    MouseOver = false;
    Chime.AnimationRunning = false;
    Chime.ChimeStriking = false;
    Chime.VoiceSpeaking = false;
    Chime.AnimationFrame = 0;
    Timer1.start();
    StartupDone = true;
    EditingAlarm = false;
    SkinRemoved = false;
    emit activated();
}

void TfClock::LoadSettings()
{
    const ClockSettings s = readClockSettings(IniFile(settingsPath()));
    move(s.left, s.top);
    FadeEnabled = s.FadeEnabled;
    AnimationEnabled = s.AnimationEnabled;
    VoiceChime = s.VoiceChime;
    MilTime = s.MilTime;
    BellChime = s.BellChime;
    CuckooChime = s.CuckooChime;
    QuietTime = s.QuietTime;
    QuietStart = s.QuietStart;
    QuietEnd = s.QuietEnd;
    MaxTransparency = s.MaxTransparency;
    FadeSpeed = s.FadeSpeed;

    const SkinSlot skinSlots[] = {{&tblClock, &ClockName, &ClockRecNo}, {&tblDial, &DialName, &DialRecNo},
                              {&tblHead, &HeadName, &HeadRecNo},    {&tblBody, &BodyName, &BodyRecNo},
                              {&tblHand, &HandName, &HandRecNo}};
    const QString wanted[] = {s.ClockName, s.DialName, s.HeadName, s.BodyName, s.HandName};
    for (int i = 0; i < 5; ++i)
        skinSlots[i].table->FindKey(wanted[i]);
    for (int i = 0; i < 5; ++i)
        *skinSlots[i].recNo = skinSlots[i].table->RecNo();
    // An empty table has no record to name: the name from the file is kept
    // so that the next save does not lose it.
    for (int i = 0; i < 5; ++i)
        *skinSlots[i].name = skinSlots[i].table->RecordCount() > 0 ? skinSlots[i].table->FieldByName("Name").asString()
                                                           : wanted[i];

    setHue(s.Hue);
    setRedIntensity(s.redIntensity);
    setGreenIntensity(s.greenIntensity);
    setBlueIntensity(s.blueIntensity);
    SizeScale = s.SizeScale;
    m_settingsLoaded = true;
}

void TfClock::SaveSettings()
{
    IniFile ini(settingsPath());
    ClockSettings s;
    s.top = y();
    s.left = x();
    s.FadeEnabled = FadeEnabled;
    s.AnimationEnabled = AnimationEnabled;
    s.MaxTransparency = MaxTransparency;
    s.FadeSpeed = FadeSpeed;
    s.VoiceChime = VoiceChime;
    s.MilTime = MilTime;
    s.BellChime = BellChime;
    s.CuckooChime = CuckooChime;
    s.QuietTime = QuietTime;
    s.QuietStart = QuietStart;
    s.QuietEnd = QuietEnd;
    auto currentName = [](TTable &t, const QString &remembered) {
        return t.Active() && t.RecordCount() > 0 ? t.FieldByName("Name").asString() : remembered;
    };
    s.ClockName = currentName(tblClock, ClockName);
    s.DialName = currentName(tblDial, DialName);
    s.HeadName = currentName(tblHead, HeadName);
    s.BodyName = currentName(tblBody, BodyName);
    s.HandName = currentName(tblHand, HandName);
    s.Hue = getHue();
    s.redIntensity = getRedIntensity();
    s.greenIntensity = getGreenIntensity();
    s.blueIntensity = getBlueIntensity();
    s.SizeScale = SizeScale;
    writeClockSettings(ini, s);
    ini.save();
}

void TfClock::Timer1Timer()
{
    const int level = getTransparency();
    const int next = TickRules::fadeLevel(level, MouseOver, FadeEnabled, MaxTransparency, Timer1.interval(), FadeSpeed);
    if (next != level)
        setTransparency(next);
    UpdateHands();
    const QDateTime now = ZDateTime::currentDateTime();
    const QString tray = trayHint(now);
    if (StTrayIcon1 && StTrayIcon1->toolTip() != tray)
        StTrayIcon1->setToolTip(tray);
    const QString hint = windowHint(now.date());
    if (toolTip() != hint)
        setToolTip(hint);
    CheckAlarms();
    const double nowValue = ZDateTime::fromQDateTime(now);
    if (TickRules::isQuiet(QuietTime, QuietStart, QuietEnd, ZDateTime::timeOf(nowValue)))
        return;
    Chimes->Tick(nowValue);
    AnimateFace();
}

void TfClock::UpdateHands() {}

void TfClock::showPartnerItem()
{
    if (!mnuPartner || tblProduct.RecordCount() == 0)
        return;
    const QString partner = tblProduct.FieldByName("WebName2").asString();
    if (!partner.isEmpty()) {
        mnuPartner->setText(tr("Visit ") + partner);
        mnuPartner->setVisible(true);
        mnuPartner->setEnabled(true);
    }
}

void TfClock::markResizeItem()
{
    const std::pair<QAction *, int> items[] = {{mnu25, 4}, {mnu50, 8}, {mnu75, 12}, {mnu100, 16}};
    for (const auto &[item, scale] : items)
        if (item)
            item->setChecked(scale == SizeScale);
}

void TfClock::resizeTo(int sizeScale)
{
    SizeScale = sizeScale;
    markResizeItem();
    BuildFace();
    SaveSettings();
}

void TfClock::mnu25Click() { resizeTo(4); }
void TfClock::mnu50Click() { resizeTo(8); }
void TfClock::mnu75Click() { resizeTo(12); }
void TfClock::mnu100Click() { resizeTo(16); }

void TfClock::contextMenuEvent(QContextMenuEvent *e)
{
    if (PopupMenu1)
        PopupMenu1->exec(e->globalPos());
}

void TfClock::AnimateFace() {}

void TfClock::AssembleFace() {}

void TfClock::BuildFace() {}

void TfClock::CheckAlarms()
{
    if (alarmCheck)
        alarmCheck();
}

void TfClock::closeEvent(QCloseEvent *e)
{
    FormClose();
    e->accept();
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
    // Without a notification area the window must stay reachable.
    if (QSystemTrayIcon::isSystemTrayAvailable())
        hide();
    else
        showMinimized();
}

void TfClock::changeEvent(QEvent *e)
{
    TfClockBase::changeEvent(e);
    if (e->type() == QEvent::WindowStateChange && isMinimized() && QSystemTrayIcon::isSystemTrayAvailable())
        QTimer::singleShot(0, this, [this] { hide(); });
}

void TfClock::enterEvent(QEnterEvent *e)
{
    MouseOver = true;
    TfClockBase::enterEvent(e);
}

void TfClock::leaveEvent(QEvent *e)
{
    MouseOver = false;
    TfClockBase::leaveEvent(e);
}

void TfClock::mouseMoveEvent(QMouseEvent *e)
{
    if (!MouseOver)
        MouseOver = true;
    TfClockBase::mouseMoveEvent(e);
}
