#include "uInstallSkins.h"
#include "ErrorReport.h"
#include "InstallSummary.h"
#include "MessageBoxes.h"
#include "PackageInstall.h"
#include "SkinRules.h"
#include "TTable.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

TfInstallSkins::TfInstallSkins(ClockWindow *clock, const SkinSelection &skins, TTable &catalogue,
                               const ClockFolders &folders, qint32 appVersion, QWidget *parent)
    : ClockDialog(clock, Fade::Pause, parent), m_skins(skins), m_catalogue(catalogue), m_folders(folders),
      m_appVersion(appVersion)
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

TfInstallSkins::~TfInstallSkins() { closeIfOpen(); }

void TfInstallSkins::FormActivate()
{
    btnInstall->setEnabled(false);
    // A missing folder is reported; the list stays empty.
    for (const QFileInfo &package : SkinRules::listPackages(m_folders.skinFolders())) {
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
    PackageInstall install(m_folders.own, m_catalogue, SkinTargets::of(m_skins), m_appVersion);
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

void TfInstallSkins::FormClose()
{
    // Items added before the ones in use have moved them: take their
    // numbers afresh by name, so the next face build shows the same items.
    m_skins.renumberByName();
}
