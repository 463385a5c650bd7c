#pragma once
#include <QObject>
#include <QString>

#include <functional>

class QAction;
class QMenu;
class TfClock;

// The clock's context menu and its commands. It sits in the program's layer
// because its commands open the dialogs of every subsystem; the clock only
// pops it up and tells it when the scale or the product changed.
class ClockMenu : public QObject
{
    Q_OBJECT
public:
    // The menu becomes the clock's own (its child) and its pop-up menu.
    explicit ClockMenu(TfClock &clock);

    void mnuAboutClick();
    void mnuWebSiteClick();
    void mnuPartnerClick();
    void mnuHelpClick();
    void mnuDownloadClick();
    void mnuInstallSkinsClick();
    void mnuSelectClockClick();
    void mnuOptionsClick();
    void mnu25Click();
    void mnu50Click();
    void mnu75Click();
    void mnu100Click();
    void mnuStayOnTopClick();
    void mnuSetTimeClick();
    void mnuInternetTimeClick();
    void mnuCalendarClick();
    void mnuAlarmClick();
    void mnuChimesClick();
    void mnuDownSoundsClick();
    void mnuExitClick();
    // Opens an address in the browser, or says why it could not.
    void OpenWebPage(const QString &address);

    QMenu *PopupMenu1 = nullptr;
    QMenu *mnuResize = nullptr;
    QAction *mnuAbout = nullptr, *mnuWebSite = nullptr, *mnuPartner = nullptr, *mnuHelp = nullptr,
            *mnuDownload = nullptr, *mnuInstallSkins = nullptr, *mnuSelectClock = nullptr, *mnuOptions = nullptr,
            *mnu25 = nullptr, *mnu50 = nullptr, *mnu75 = nullptr, *mnu100 = nullptr, *mnuStayOnTop = nullptr,
            *mnuSetTime = nullptr, *mnuInternetTime = nullptr, *mnuCalendar = nullptr, *mnuAlarm = nullptr,
            *mnuChimes = nullptr, *mnuDownSounds = nullptr, *Minimize1 = nullptr, *mnuExit = nullptr;

private:
    // The check mark follows the scale in force.
    void markResizeItem();
    // The partner's item shows once the product names one.
    void showPartnerItem();
    QString productField(const char *field) const;
    // Runs a dialog; an error inside it is reported after the dialog is gone,
    // and after the settings were written when the command saves them.
    void runDialog(const std::function<void()> &dialog, bool saveAfter);

    TfClock &m_clock;
};
