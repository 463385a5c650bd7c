// The main window's context menu: every command that opens a dialog of
// another subsystem lives here, in the program's top layer.
#include "AlarmCheck.h"
#include "ChimeOptions.h"
#include "DialogPlacement.h"
#include "ErrorReport.h"
#include "LinuxSystemClock.h"
#include "MessageBoxes.h"
#include "WebOpener.h"
#include "uAbout.h"
#include "uAlarms.h"
#include "uCalPop.h"
#include "uChimeOptions.h"
#include "uClock.h"
#include "uDisplay.h"
#include "uInstallSkins.h"
#include "uPickSkins.h"
#include "uSystemTime.h"
#include "uTimeServer.h"

#include <QActionGroup>
#include <QMenu>
#include <QUrl>

#include <exception>

namespace {

SystemClock &systemClock()
{
    static LinuxSystemClock clock;
    return clock;
}

// Runs a dialog; an error inside it is reported after the dialog is gone,
// and after the settings were written when the command saves them.
void runDialog(TfClock *clock, const std::function<void()> &dialog, bool saveAfter)
{
    std::exception_ptr failure;
    try {
        dialog();
    } catch (...) {
        failure = std::current_exception();
    }
    if (saveAfter)
        ErrorReport::guard([clock] { clock->SaveSettings(); });
    if (failure)
        ErrorReport::guard([&] { std::rethrow_exception(failure); });
}

QString productField(TfClock *clock, const char *field)
{
    return clock->tblProduct.Active() && clock->tblProduct.RecordCount() > 0
               ? clock->tblProduct.FieldByName(field).asString()
               : QString();
}

} // namespace

void TfClock::createMenu()
{
    auto *m = new QMenu(this);
    PopupMenu1 = m;
    auto item = [&](const QString &caption, void (TfClock::*handler)()) {
        QAction *a = m->addAction(caption);
        connect(a, &QAction::triggered, this, [this, handler] { ErrorReport::guard([&] { (this->*handler)(); }); });
        return a;
    };
    mnuAbout = item(tr("&About..."), &TfClock::mnuAboutClick);
    mnuWebSite = item(tr("Visit Zindle Clock Web Site"), &TfClock::mnuWebSiteClick);
    mnuPartner = item(tr("Visit"), &TfClock::mnuPartnerClick);
    mnuPartner->setVisible(false);
    mnuPartner->setEnabled(false);
    mnuHelp = item(tr("Help"), &TfClock::mnuHelpClick);
    m->addSeparator();
    mnuDownload = item(tr("Download Skins"), &TfClock::mnuDownloadClick);
    mnuInstallSkins = item(tr("Install Skins..."), &TfClock::mnuInstallSkinsClick);
    mnuSelectClock = item(tr("Select Skin..."), &TfClock::mnuSelectClockClick);
    m->addSeparator();
    mnuOptions = item(tr("Display Options..."), &TfClock::mnuOptionsClick);
    mnuResize = m->addMenu(tr("Resize"));
    auto *group = new QActionGroup(mnuResize);
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    auto size = [&](const QString &caption, void (TfClock::*handler)()) {
        QAction *a = mnuResize->addAction(caption);
        a->setCheckable(true);
        group->addAction(a);
        connect(a, &QAction::triggered, this, [this, handler] { ErrorReport::guard([&] { (this->*handler)(); }); });
        return a;
    };
    mnu25 = size(tr("25%"), &TfClock::mnu25Click);
    mnu50 = size(tr("50%"), &TfClock::mnu50Click);
    mnu75 = size(tr("75%"), &TfClock::mnu75Click);
    mnu100 = size(tr("100%"), &TfClock::mnu100Click);
    mnuStayOnTop = item(tr("Stay on Top"), &TfClock::mnuStayOnTopClick);
    mnuStayOnTop->setCheckable(true);
    mnuStayOnTop->setChecked(true);
    m->addSeparator();
    mnuSetTime = item(tr("Adjust Date/Time..."), &TfClock::mnuSetTimeClick);
    mnuInternetTime = item(tr("Internet Time..."), &TfClock::mnuInternetTimeClick);
    mnuCalendar = item(tr("Calendar..."), &TfClock::mnuCalendarClick);
    m->addSeparator();
    mnuAlarm = item(tr("Alarms..."), &TfClock::mnuAlarmClick);
    mnuChimes = item(tr("Chimes..."), &TfClock::mnuChimesClick);
    mnuDownSounds = item(tr("Download Sounds"), &TfClock::mnuDownSoundsClick);
    m->addSeparator();
    Minimize1 = item(tr("Hide"), &TfClock::Minimize1Click);
    mnuExit = item(tr("E&xit"), &TfClock::mnuExitClick);
    markResizeItem();
    if (StartupDone)
        showPartnerItem();
}

void TfClock::OpenWebPage(const QString &address)
{
    if (WebOpener::open(address))
        return;
    const QString systemText = address.isEmpty() ? tr("No web address is given.")
                                                 : tr("No program could open %1.").arg(address);
    MessageBoxes::inform(this, windowTitle(),
                         systemText + "\n\n" + tr("Unable to start web browser.") + "\n"
                             + tr("Make sure you have it properly set-up on your system."));
}

void TfClock::mnuWebSiteClick() { OpenWebPage(productField(this, "Website")); }
void TfClock::mnuPartnerClick() { OpenWebPage(productField(this, "WebURL2")); }
void TfClock::mnuDownloadClick() { OpenWebPage(productField(this, "Download")); }
void TfClock::mnuDownSoundsClick() { OpenWebPage(productField(this, "Website") + "/sounds.html"); }

void TfClock::mnuHelpClick()
{
    // No message when no browser takes the page.
    WebOpener::open(QUrl::fromLocalFile(ProgramFolder + "ZindleClock.html").toString());
}

void TfClock::mnuAboutClick()
{
    runDialog(this, [this] { TfAbout(this).exec(); }, false);
}

void TfClock::mnuInstallSkinsClick()
{
    runDialog(this, [this] { TfInstallSkins(this).exec(); }, false);
}

void TfClock::mnuSelectClockClick()
{
    runDialog(this, [this] { TfPickSkins(this).exec(); }, true);
}

void TfClock::mnuOptionsClick()
{
    runDialog(this, [this] { TfDisplay(this).exec(); }, true);
}

void TfClock::mnuSetTimeClick()
{
    runDialog(this, [this] {
        TfSystemTime dialog(systemClock(), this);
        dialog.exec();
    }, false);
}

void TfClock::mnuInternetTimeClick()
{
    runDialog(this, [this] {
        TfTimeServer dialog(tblTime, systemClock(), this);
        dialog.exec();
    }, false);
}

void TfClock::mnuCalendarClick()
{
    runDialog(this, [this] {
        TfCalPop dialog(systemClock(), this);
        dialog.exec();
    }, false);
}

void TfClock::mnuAlarmClick()
{
    runDialog(this, [this] { ShowAlarms(*this); }, false);
}

void TfClock::mnuChimesClick()
{
    runDialog(this, [this] {
        ChimeOptions options{VoiceChime, MilTime, BellChime, CuckooChime, QuietTime, QuietStart, QuietEnd};
        TfChimeOptions dialog(options);
        PlaceBesideClock(&dialog, this);
        if (dialog.exec() == QDialog::Accepted) {
            VoiceChime = options.VoiceChime;
            MilTime = options.MilTime;
            BellChime = options.BellChime;
            CuckooChime = options.CuckooChime;
            QuietTime = options.QuietTime;
            QuietStart = options.QuietStart;
            QuietEnd = options.QuietEnd;
        }
    }, true);
}

void TfClock::mnuStayOnTopClick()
{
    const bool onTop = mnuStayOnTop->isChecked();
    const bool visible = isVisible();
    // Changing the flag recreates the window; Qt puts the outline (mask) and
    // the opacity back on the new one.
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (visible)
        show();
    SaveSettings();
}

void TfClock::mnuExitClick() { close(); }
