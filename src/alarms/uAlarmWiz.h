#pragma once
#include "AlarmSound.h"
#include "ClockDialog.h"

#include <memory>

class AlarmContext;
class QButtonGroup;
class QComboBox;
class QCheckBox;
class QDateEdit;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTimeEdit;

// The alarm wizard: title, type, time and date, message, sound, done. Finish
// writes the alarm to both alarm tables; Cancel writes nothing. It edits the
// alarm selected in the list when the list has set EditingAlarm.
class TfAlarmWiz : public ClockDialog
{
    Q_OBJECT
public:
    explicit TfAlarmWiz(AlarmContext &alarms, QWidget *parent = nullptr);
    ~TfAlarmWiz() override;

    static TfAlarmWiz *fAlarmWiz;

    void FormActivate() override;
    void ShowPage();
    void btnNextClick();
    void btnPreviousClick();
    void btnCancelClick();
    void btnPlayClick();
    void ComboBox1Change();
    void Save();
    void FormClose() override;

    // The chosen type (the type group's item index).
    int typeIndex() const;
    void setTypeIndex(int index);
    // The due moment the pickers hold.
    double pickedDate() const;
    double pickedTime() const;

    QStackedWidget *pages;
    QWidget *pnlTitle, *pnlType, *pnlTimeDate, *pnlSetTime, *pnlSetDate, *pnlMessage, *pnlSound, *pnlDone;
    QLineEdit *Edit1;
    QGroupBox *rgAlarmType;
    QButtonGroup *typeButtons;
    QTimeEdit *DateTimePicker2;
    QDateEdit *DateTimePicker1;
    QPlainTextEdit *Memo1;
    QComboBox *ComboBox1;
    QCheckBox *CheckBoxLoop;
    QPushButton *btnPlay;
    QPushButton *btnPrevious, *btnNext, *btnCancel;
    std::unique_ptr<AlarmSound> MediaPlayer1;
    bool MediaPlayerEnabled = false;

    int PageIndex = 0;
    // The alarm being edited; kept pointing at it while alarms before it are
    // removed, and 0 once it has gone (Finish then adds it anew).
    int EditRecNo = 0;
    bool SavedFadeEnabled = false;

private:
    void setPickers(double moment);
    void fillSoundList();
    QString soundFile() const;
    void setSoundControls(bool enabled, bool loopToo);

    AlarmContext &m_alarms;
};
