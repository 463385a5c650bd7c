#include "uInstallSkins.h"
#include "ErrorReport.h"
#include "InstallSummary.h"
#include "MessageBoxes.h"
#include "PackageInstall.h"
#include "SkinRules.h"
#include "uClock.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

TfInstallSkins::TfInstallSkins(TfClock *clock, QWidget *parent) : QDialog(parent), m_clock(clock)
{
    setObjectName("fInstallSkins");
    setWindowTitle(tr("Install Skins"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    QFont f("Arial");
    f.setPointSize(8);
    setFont(f);

    lbSkins = new QListWidget(this);
    lbSkins->setMinimumSize(185, 209);
    lbSkins->setSelectionMode(QAbstractItemView::MultiSelection);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setMinimumSize(185, 16);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setStyleSheet("QProgressBar::chunk { background-color: navy; }");
    btnInstall = new QPushButton(tr("Install"), this);
    btnInstall->setMinimumSize(81, 25);
    btnInstall->setDefault(true);
    btnInstall->setEnabled(false);
    btnCancel = new QPushButton(tr("Cancel"), this);
    btnCancel->setMinimumSize(81, 25);

    // The classic arrangement; the layout grows it where the font needs room.
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnInstall);
    buttons->addStretch();
    buttons->addWidget(btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 13, 10);
    layout->setSpacing(7);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(lbSkins);
    layout->addWidget(ProgressBar1);
    layout->addLayout(buttons);

    connect(lbSkins, &QListWidget::itemSelectionChanged, this, &TfInstallSkins::lbSkinsClick);
    connect(btnInstall, &QPushButton::clicked, this, [this] { ErrorReport::guard([this] { btnInstallClick(); }); });
    connect(btnCancel, &QPushButton::clicked, this, &TfInstallSkins::reject);
}

TfInstallSkins::~TfInstallSkins()
{
    if (m_opened && !m_closed)
        ErrorReport::guard([this] { FormClose(); });
}

void TfInstallSkins::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!m_opened) {
        m_opened = true;
        ErrorReport::guard([this] { FormActivate(); });
    }
}

void TfInstallSkins::FormActivate()
{
    m_fade.emplace(m_clock);
    PlaceBesideClock(this, m_clock);
    btnInstall->setEnabled(false);
    // A missing folder is reported; the list stays empty.
    for (const QFileInfo &package : SkinRules::listPackages(m_clock->Folders.skinFolders())) {
        lbSkins->addItem(SkinRules::packageName(package));
        m_files << package.absoluteFilePath();
    }
    if (lbSkins->count() > 0)
        lbSkins->setCurrentRow(0, QItemSelectionModel::NoUpdate);
}

void TfInstallSkins::lbSkinsClick()
{
    if (!lbSkins->selectedItems().isEmpty())
        btnInstall->setEnabled(true);
}

void TfInstallSkins::btnInstallClick()
{
    if (lbSkins->count() == 0) {
        MessageBoxes::inform(this, windowTitle(), tr("No skins found."));
        accept();
        return;
    }
    TfClock &c = *m_clock;
    PackageInstall install(c.Folders.own, c.tblSkins, {&c.tblClock, &c.tblDial, &c.tblHand, &c.tblHead, &c.tblBody},
                           c.AppVersion);
    install.progress = [this](int percent) { ProgressBar1->setValue(percent); };
    install.continueNewer = [this] {
        return MessageBoxes::ask(this, QMessageBox::Question, windowTitle(),
                                 tr("This skin database may require a newer version on Zindle Clock. Continue anyway?"),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    };
    QVector<InstalledPackage> installed;
    for (int row = 0; row < lbSkins->count(); ++row) {
        if (!lbSkins->item(row)->isSelected())
            continue;
        ProgressBar1->setValue(0);
        const QString name = lbSkins->item(row)->text();
        installed.append({name, install.install(m_files[row])});
    }
    if (!installed.isEmpty())
        MessageBoxes::inform(this, windowTitle(), installSummary(installed));
    accept();
}

void TfInstallSkins::done(int r)
{
    if (m_opened && !m_closed)
        ErrorReport::guard([this] { FormClose(); });
    QDialog::done(r);
}

void TfInstallSkins::FormClose()
{
    m_closed = true;
    m_fade.reset();
    // Items added before the ones in use have moved them: take their
    // numbers afresh by name, so the next face build shows the same items.
    TfClock &c = *m_clock;
    struct Slot
    {
        TTable *table;
        const QString &name;
        qint32 &recNo;
    } slots_[] = {{&c.tblClock, c.Settings.ClockName, c.ClockRecNo},
                  {&c.tblDial, c.Settings.DialName, c.DialRecNo},
                  {&c.tblHead, c.Settings.HeadName, c.HeadRecNo},
                  {&c.tblBody, c.Settings.BodyName, c.BodyRecNo},
                  {&c.tblHand, c.Settings.HandName, c.HandRecNo}};
    for (Slot &s : slots_) {
        if (!s.table->Active())
            continue;
        s.table->FindKey(s.name);
        s.recNo = s.table->RecNo();
    }
}
