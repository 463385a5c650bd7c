#pragma once
#include "DialogPlacement.h"

#include <QDialog>

#include <functional>
#include <optional>

class AlarmListModel;
class QPushButton;
class QTableView;
class TfClock;

// "Alarms...": creates the alarm list, shows it modally and frees it.
void ShowAlarms(TfClock &clock);

// The alarm list: every alarm in a grid on Alarm2, with New, Edit, Remove
// and Close. New and Edit run the alarm wizard.
class TfAlarms : public QDialog
{
    Q_OBJECT
public:
    explicit TfAlarms(TfClock &clock, QWidget *parent = nullptr);
    ~TfAlarms() override;

    static TfAlarms *fAlarms;

    void FormShow();
    void btnNewAlarmClick();
    void btnEditClick();
    void btnRemoveClick();
    void FormClose();

    QTableView *DBGrid1;
    QPushButton *btnNewAlarm;
    QPushButton *btnEdit;
    QPushButton *btnRemove;
    QPushButton *BitBtn1;
    bool SavedFadeEnabled = false;

protected:
    void showEvent(QShowEvent *e) override;
    void done(int result) override;

private:
    void updateButtons();
    void runWizard(bool editing);
    void followTable(int row);

    TfClock &m_clock;
    AlarmListModel *m_model;
    std::optional<FadePause> m_fade;
    bool m_shown = false;
    bool m_closed = false;
};
