#include "ClockMenu.h"
#include "ClockAlarms.h"
#include "DialogPlacement.h"
#include "ErrorReport.h"
#include "LinuxSystemClock.h"
#include "MessageBoxes.h"
#include "TimeServerModule.h"
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

} // namespace

ClockMenu::ClockMenu(TfClock &clock) : QObject(&clock), m_clock(clock)
{
    auto *m = new QMenu(&clock);
    PopupMenu1 = m;
    clock.PopupMenu1 = m;
    auto item = [&](const QString &caption, void (ClockMenu::*handler)()) {
        QAction *a = m->addAction(caption);
        connect(a, &QAction::triggered, this, [this, handler] { ErrorReport::guard([&] { (this->*handler)(); }); });
        return a;
    };
    mnuAbout = item(tr("&About..."), &ClockMenu::mnuAboutClick);
    mnuWebSite = item(tr("Visit Zindle Clock Web Site"), &ClockMenu::mnuWebSiteClick);
    mnuPartner = item(tr("Visit"), &ClockMenu::mnuPartnerClick);
    mnuPartner->setVisible(false);
    mnuPartner->setEnabled(false);
    mnuHelp = item(tr("Help"), &ClockMenu::mnuHelpClick);
    m->addSeparator();
    mnuDownload = item(tr("Download Skins"), &ClockMenu::mnuDownloadClick);
    mnuInstallSkins = item(tr("Install Skins..."), &ClockMenu::mnuInstallSkinsClick);
    mnuSelectClock = item(tr("Select Skin..."), &ClockMenu::mnuSelectClockClick);
    m->addSeparator();
    mnuOptions = item(tr("Display Options..."), &ClockMenu::mnuOptionsClick);
    mnuResize = m->addMenu(tr("Resize"));
    auto *group = new QActionGroup(mnuResize);
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    auto size = [&](const QString &caption, void (ClockMenu::*handler)()) {
        QAction *a = mnuResize->addAction(caption);
        a->setCheckable(true);
        group->addAction(a);
        connect(a, &QAction::triggered, this, [this, handler] { ErrorReport::guard([&] { (this->*handler)(); }); });
        return a;
    };
    mnu25 = size(tr("25%"), &ClockMenu::mnu25Click);
    mnu50 = size(tr("50%"), &ClockMenu::mnu50Click);
    mnu75 = size(tr("75%"), &ClockMenu::mnu75Click);
    mnu100 = size(tr("100%"), &ClockMenu::mnu100Click);
    mnuStayOnTop = item(tr("Stay on Top"), &ClockMenu::mnuStayOnTopClick);
    mnuStayOnTop->setCheckable(true);
    mnuStayOnTop->setChecked(true);
    m->addSeparator();
    mnuSetTime = item(tr("Adjust Date/Time..."), &ClockMenu::mnuSetTimeClick);
    mnuInternetTime = item(tr("Internet Time..."), &ClockMenu::mnuInternetTimeClick);
    mnuCalendar = item(tr("Calendar..."), &ClockMenu::mnuCalendarClick);
    m->addSeparator();
    mnuAlarm = item(tr("Alarms..."), &ClockMenu::mnuAlarmClick);
    mnuChimes = item(tr("Chimes..."), &ClockMenu::mnuChimesClick);
    mnuDownSounds = item(tr("Download Sounds"), &ClockMenu::mnuDownSoundsClick);
    m->addSeparator();
    Minimize1 = m->addAction(tr("Hide"));
    connect(Minimize1, &QAction::triggered, this, [this] { ErrorReport::guard([this] { m_clock.Minimize1Click(); }); });
    mnuExit = item(tr("E&xit"), &ClockMenu::mnuExitClick);
    markResizeItem();
    connect(&clock, &TfClock::sizeScaleChanged, this, &ClockMenu::markResizeItem);
    connect(&clock, &TfClock::started, this, &ClockMenu::showPartnerItem);
    if (clock.StartupDone)
        showPartnerItem();
}

void ClockMenu::markResizeItem()
{
    const std::pair<QAction *, int> items[] = {{mnu25, 4}, {mnu50, 8}, {mnu75, 12}, {mnu100, 16}};
    for (const auto &[item, scale] : items)
        item->setChecked(scale == m_clock.Settings.SizeScale);
}

void ClockMenu::showPartnerItem()
{
    const QString partner = productField("WebName2");
    if (!partner.isEmpty()) {
        // A product field, shown as it stands: "&" is no access key here.
        mnuPartner->setText(tr("Visit ") + QString(partner).replace('&', "&&"));
        mnuPartner->setVisible(true);
        mnuPartner->setEnabled(true);
    }
}

QString ClockMenu::productField(const char *field) const
{
    TTable &product = m_clock.tblProduct;
    return product.Active() && product.RecordCount() > 0 ? product.FieldByName(field).asString() : QString();
}

void ClockMenu::runDialog(const std::function<void()> &dialog, bool saveAfter)
{
    std::exception_ptr failure;
    try {
        dialog();
    } catch (...) {
        failure = std::current_exception();
    }
    if (saveAfter)
        ErrorReport::guard([this] { m_clock.SaveSettings(); });
    if (failure)
        ErrorReport::guard([&] { std::rethrow_exception(failure); });
}

void ClockMenu::mnu25Click() { m_clock.resizeTo(4); }
void ClockMenu::mnu50Click() { m_clock.resizeTo(8); }
void ClockMenu::mnu75Click() { m_clock.resizeTo(12); }
void ClockMenu::mnu100Click() { m_clock.resizeTo(16); }

void ClockMenu::OpenWebPage(const QString &address)
{
    if (WebOpener::open(address))
        return;
    const QString systemText = address.isEmpty() ? tr("No web address is given.")
                                                 : tr("No program could open %1.").arg(address);
    MessageBoxes::inform(&m_clock, m_clock.windowTitle(),
                         systemText + "\n\n" + tr("Unable to start web browser.") + "\n"
                             + tr("Make sure you have it properly set-up on your system."));
}

void ClockMenu::mnuWebSiteClick() { OpenWebPage(productField("Website")); }
void ClockMenu::mnuPartnerClick() { OpenWebPage(productField("WebURL2")); }
void ClockMenu::mnuDownloadClick() { OpenWebPage(productField("Download")); }
void ClockMenu::mnuDownSoundsClick() { OpenWebPage(productField("Website") + "/sounds.html"); }

void ClockMenu::mnuHelpClick()
{
    // No message when no browser takes the page.
    WebOpener::open(QUrl::fromLocalFile(m_clock.ProgramFolder + "ZindleClock.html").toString());
}

void ClockMenu::mnuAboutClick()
{
    runDialog([this] { TfAbout(&m_clock, m_clock.tblProduct).exec(); }, false);
}

void ClockMenu::mnuInstallSkinsClick()
{
    runDialog([this] {
        TfInstallSkins(&m_clock, m_clock.skinSelection(), m_clock.tblSkins, m_clock.Folders, m_clock.AppVersion).exec();
    }, false);
}

void ClockMenu::mnuSelectClockClick()
{
    runDialog([this] {
        TfPickSkins(&m_clock, m_clock.skinSelection(), [this] { m_clock.BuildFace(); },
                    [this] { m_clock.SkinRemoved = true; })
            .exec();
    }, true);
}

void ClockMenu::mnuOptionsClick()
{
    runDialog([this] { TfDisplay(m_clock.Settings, m_clock, &m_clock).exec(); }, true);
}

void ClockMenu::mnuSetTimeClick()
{
    runDialog([this] {
        TfSystemTime dialog(systemClock(), &m_clock);
        dialog.exec();
    }, false);
}

void ClockMenu::mnuInternetTimeClick()
{
    runDialog([this] {
        TimeServerModule::run(m_clock.tblTime, systemClock(), &m_clock);
    }, false);
}

void ClockMenu::mnuCalendarClick()
{
    runDialog([this] {
        TfCalPop dialog(systemClock(), &m_clock);
        dialog.exec();
    }, false);
}

void ClockMenu::mnuAlarmClick()
{
    runDialog([this] { ShowAlarms(ClockAlarms::of(m_clock).context()); }, false);
}

void ClockMenu::mnuChimesClick()
{
    runDialog([this] { TfChimeOptions(m_clock.Settings, &m_clock).exec(); }, true);
}

void ClockMenu::mnuStayOnTopClick()
{
    m_clock.setStayOnTop(mnuStayOnTop->isChecked());
    m_clock.SaveSettings();
}

void ClockMenu::mnuExitClick() { m_clock.close(); }
