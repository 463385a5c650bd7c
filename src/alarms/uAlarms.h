#pragma once
#include "ClockDialog.h"

class AlarmContext;
class AlarmListModel;
class QPushButton;
class QTableView;

// "Alarms...": creates the alarm list, shows it modally and frees it.
void ShowAlarms(AlarmContext &alarms);

// The alarm list: every alarm in a grid on Alarm2, with New, Edit, Remove
// and Close. New and Edit run the alarm wizard.
class TfAlarms : public ClockDialog
{
    Q_OBJECT
public:
    explicit TfAlarms(AlarmContext &alarms, QWidget *parent = nullptr);
    ~TfAlarms() override;

    static TfAlarms *fAlarms;

    void FormActivate() override;
    void btnNewAlarmClick();
    void btnEditClick();
    void btnRemoveClick();

    QTableView *DBGrid1;
    QPushButton *btnNewAlarm;
    QPushButton *btnEdit;
    QPushButton *btnRemove;
    QPushButton *BitBtn1;
    bool SavedFadeEnabled = false;

private:
    void updateButtons();
    void runWizard(bool editing);
    void followTable(int row);

    AlarmContext &m_alarms;
    AlarmListModel *m_model;
};
