#pragma once
#include "ChimePlayback.h"
#include "ChimeState.h"
#include "ClockBase.h"
#include "ClockFolders.h"
#include "ClockSettings.h"
#include "ClockWindow.h"
#include "SkinSelection.h"
#include "SoundPlayer.h"
#include "TTable.h"

#include <QDate>
#include <QPointer>
#include <QTimer>
#include <limits>

#include <functional>
#include <memory>

class QAction;
class TImage;
class TRotateImage;
class QMenu;
class TrayIcon;
class StartFailurePanel;

// The main window: owns the ten tables, the tick, the face, the tray icon
// and the settings (Settings), which the dialogs are handed.
class TfClock : public TfClockBase, public ClockWindow
{
    Q_OBJECT
public:
    // programFolder ends with "/"; empty means the executable's folder.
    explicit TfClock(const QString &programFolder = QString(), QWidget *parent = nullptr);
    ~TfClock() override;

    // What dialogs see of the window.
    QWidget *clockWidget() override { return this; }
    bool fadeEnabled() const override { return Settings.FadeEnabled; }
    void setFadeEnabled(bool on) override { Settings.FadeEnabled = on; }
    void showOpaque() override { setTransparency(0); }

    void FormActivate();
    void FormClose();
    void LoadSettings();
    void SaveSettings();
    void Timer1Timer();
    void UpdateHands();
    void UpdateHands(const QTime &t);
    // Face assembly from the skin records on show (ClockRecNo ... HandRecNo)
    // at full size and at SizeScale.
    void AssembleFace();
    void BuildFace();
    // What both leave, as the start builds it: the face at SizeScale alone.
    void AssembleAndBuildFace();
    // Has the pictures of the skins the settings name decoded on another
    // thread, while the program makes its window (see PicturePrefetch). An
    // empty programFolder is the executable's folder, as for the window.
    static void prefetchFacePictures(const QString &programFolder = QString());
    void ArrangeHands();
    // The tick's alarm step: runs the check the alarm subsystem installs.
    void CheckAlarms();
    // Installed by the program (the alarm subsystem sits above this one).
    std::function<void()> alarmCheck;
    void StTrayIcon1Click();
    void StTrayIcon1Restore();
    void Minimize1Click();

    // A failed build keeps the scale in force; the new one is saved.
    void resizeTo(int sizeScale);
    void setStayOnTop(bool onTop);

    // The ten tables, in the order they are opened.
    QVector<TTable *> tables();
    // The names of tables(), in the same order.
    static QStringList tableNames();
    // The five skin tables with the window's memory of the items in use:
    // the one place that says which field goes with which table.
    SkinSelection skinSelection();

    // State of the main window.
    bool SkinRemoved = false;
    qint32 AppVersion = 0;
    QString ProgramFolder;
    // Shipped files are read from ProgramFolder; what the clock writes goes
    // to Folders.own (the same folder unless it is installed).
    ClockFolders Folders;
    // The settings file's values (FadeEnabled, SizeScale, the chimes, the
    // names of the skin records on show, ...); the dialogs edit them here.
    ClockSettings Settings;
    qint32 SecHandOffset = 0;
    qint32 DialLeft = 0;
    qint32 DialTop = 0;
    qint32 ClockRecNo = 0, DialRecNo = 0, HeadRecNo = 0, BodyRecNo = 0, HandRecNo = 0;

    // State of the tick. The chime, voice and animation sequencing state
    // (AnimationRunning, AnimationFrame, ChimeStriking, ...) is Chime.
    bool MouseOver = false;
    bool StartupDone = false;
    // Set when the session ends the clock: a failed start is not tried
    // again on the way out.
    bool Ending = false;
    ChimeState Chime;

    void AnimateFace();

    TTable tblClock, tblDial, tblHand, tblBody, tblHead, tblAlarm, tblAlarm2, tblSkins, tblProduct, tblTime;
    // The face: dial, character and hands over the silhouette, and the
    // animation frame in front of all.
    TImage *imgDial = nullptr, *imgBody = nullptr, *imgHead = nullptr, *imgAnim = nullptr;
    TRotateImage *RotateImageHour = nullptr, *RotateImageMin = nullptr, *RotateImageSec = nullptr;
    QImage imgTemp, imgWork; // animation frame buffer and strip copy

    QTimer Timer1;
    std::unique_ptr<SoundPlayer> MediaPlayer1;
    std::unique_ptr<ChimePlayback> Chimes;
    TrayIcon *StTrayIcon1 = nullptr;
    // The context menu, made by the program's layer.
    QMenu *PopupMenu1 = nullptr;
    // Shown in place of the face while the start has failed.
    StartFailurePanel *pnlStartFailure = nullptr;

signals:
    void activated();
    // The window closed through Exit or the system: the program ends.
    void closed();
    // The scale setting changed (its menu mark follows), and the clock
    // started (the product's records are read).
    void sizeScaleChanged();
    void started();

protected:
    bool event(QEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void enterEvent(QEnterEvent *e) override;
    void leaveEvent(QEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void contextMenuEvent(QContextMenuEvent *e) override;
    void changeEvent(QEvent *e) override;

private:
    // The minute (or second) the hints were last made for, and whether the
    // system's short time shows seconds.
    qint64 hintShown = std::numeric_limits<qint64>::min();
    bool hintShowsSeconds = true;
    QDate hintDay;   // the day dayHint names
    QString dayHint;
    // Sets Timer1 to wake when the next thing is due (a fade or animation
    // step, a sound, the next second).
    void planNextTick();
    // The pointer came or went: the fade starts now, not at the next second.
    void wakeTick();
    void FormCreate(const QString &programFolder);
    void createTrayIcon();
    void createFace();
    struct FaceParts;
    FaceParts readFaceParts();
    void buildFaceAt(int sizeScale, bool fullSize, const FaceParts &parts);
    void writeMask(const QImage &silhouette);
    QString settingsPath() const;
    // A window with no part on any screen comes back onto the nearest one.
    void keepOnScreen();
    // A failed start turns the window into an ordinary one that says what
    // failed and offers Retry and Quit; a start that succeeds turns it back.
    void showStartFailure(const QString &error);
    void leaveStartFailure();
    void requestWindowKind();
    void applyWindowKind();

    bool m_settingsLoaded = false;
    bool m_activating = false;
    // The scale the face on show was built at (SizeScale, or less where the
    // screen could not hold it).
    int m_builtScale = 16;
    bool m_failedStart = false;
    // The window is the ordinary framed one of a failed start.
    bool m_framed = false;
    Qt::WindowFlags m_clockFlags;
};
