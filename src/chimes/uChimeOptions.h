#pragma once
#include "ClockDialog.h"
#include "ClockSettings.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTimeEdit;

// "Hourly Chime Options": none, spoken time or chime, their variants, and the
// quiet window. OK writes its seven values back into the settings it was
// given (also those of disabled groups); Cancel, Esc and the close box write
// nothing. It opens beside the clock, when given one; the fade goes on.
class TfChimeOptions : public ClockDialog
{
    Q_OBJECT
public:
    explicit TfChimeOptions(ClockSettings &settings, ClockWindow *clock = nullptr, QWidget *parent = nullptr);
    ~TfChimeOptions() override;

    // Radio groups: the group box shows the caption, the button group holds
    // the items with their index as id.
    QGroupBox *rgType;
    QButtonGroup *rgTypeItems;
    QGroupBox *rgHourVoice;
    QButtonGroup *rgHourVoiceItems;
    QGroupBox *rgChimes;
    QButtonGroup *rgChimesItems;
    QGroupBox *GroupBox1;
    QCheckBox *cbQuietTime;
    QLabel *lblStarts;
    QTimeEdit *DateTimePicker1;
    QLabel *lblEnds;
    QTimeEdit *DateTimePicker2;
    QPushButton *btnOK;
    QPushButton *btnCancel;

    // The instance on show, null otherwise.
    static TfChimeOptions *fChimeOptions;

private slots:
    void rgTypeClick();
    void cbQuietTimeClick();
    void btnOKClick();

private:
    void FormShow();

    ClockSettings &m_settings;
};
