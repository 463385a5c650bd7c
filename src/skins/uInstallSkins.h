#pragma once
#include "DialogPlacement.h"

#include <QDialog>
#include <QStringList>

#include <optional>

class QListWidget;
class QProgressBar;
class QPushButton;
class TfClock;

// "Install Skins": lists the packages in the skins folder and installs the
// selected ones into the clock's skin tables.
class TfInstallSkins : public QDialog
{
    Q_OBJECT
public:
    explicit TfInstallSkins(TfClock *clock, QWidget *parent = nullptr);
    ~TfInstallSkins() override;

    void FormActivate();
    void FormClose();
    void lbSkinsClick();
    void btnInstallClick();

    QListWidget *lbSkins;
    QProgressBar *ProgressBar1;
    QPushButton *btnInstall, *btnCancel;

    bool SavedFadeEnabled() const { return m_fade ? m_fade->SavedFadeEnabled() : false; }

protected:
    void showEvent(QShowEvent *e) override;
    void done(int r) override;

private:
    TfClock *m_clock;
    std::optional<FadePause> m_fade;
    QStringList m_files; // package files, one per line of the list
    bool m_opened = false;
    bool m_closed = false;
};
