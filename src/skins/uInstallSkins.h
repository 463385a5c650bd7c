#pragma once
#include "ClockDialog.h"
#include "ClockFolders.h"
#include "SkinSelection.h"

#include <QStringList>

class QListWidget;
class QProgressBar;
class QPushButton;
class TTable;

// "Install Skins": lists the packages in the skins folders and installs the
// selected ones into the clock's skin tables (catalogue: the Skins table a
// package's items are read through; appVersion: the program's version the
// items are checked against).
class TfInstallSkins : public ClockDialog
{
    Q_OBJECT
public:
    TfInstallSkins(ClockWindow *clock, const SkinSelection &skins, TTable &catalogue, const ClockFolders &folders,
                   qint32 appVersion, QWidget *parent = nullptr);
    ~TfInstallSkins() override;

    void FormActivate() override;
    void FormClose() override;
    void lbSkinsClick();
    void btnInstallClick();

    QListWidget *lbSkins;
    QProgressBar *ProgressBar1;
    QPushButton *btnInstall, *btnCancel;

    bool SavedFadeEnabled() const { return savedFadeEnabled(); }

private:
    SkinSelection m_skins;
    TTable &m_catalogue;
    ClockFolders m_folders;
    qint32 m_appVersion;
    QStringList m_files; // package files, one per line of the list
};
