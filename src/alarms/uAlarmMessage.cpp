#include "uAlarmMessage.h"
#include "AlarmContext.h"
#include "AlarmText.h"
#include "ClockFolders.h"
#include "DateTime.h"
#include "ErrorReport.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

TfAlarmMessage *TfAlarmMessage::fAlarmMessage = nullptr;

void ShowAlarmMessage(AlarmContext &alarms)
{
    TfAlarmMessage window(alarms);
    window.exec();
}

TfAlarmMessage::TfAlarmMessage(AlarmContext &alarms, QWidget *parent)
    : ClockDialog(alarms.window, Fade::Pause, parent), m_alarms(alarms)
{
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint);
    setObjectName("fAlarmMessage");
    setWindowTitle(tr("Alarm Message"));

    lblAlarmTime = new QLabel(this);
    lblAlarmTime->setObjectName("lblAlarmTime");
    lblAlarmTime->setTextFormat(Qt::PlainText);
    lblAlarmTime->setAlignment(Qt::AlignCenter);
    lblAlarmTime->setMinimumWidth(313);
    lblAlarmTime->setStyleSheet("color: red; font-weight: bold;");

    // The title is the user's own text: "Call <Mum>" shows as typed. A long
    // one wraps instead of widening the window.
    DBText1 = new QLabel(this);
    DBText1->setObjectName("DBText1");
    DBText1->setTextFormat(Qt::PlainText);
    DBText1->setWordWrap(true);
    QSizePolicy wrap(QSizePolicy::Ignored, QSizePolicy::Preferred);
    wrap.setHeightForWidth(true);
    DBText1->setSizePolicy(wrap);
    DBText1->setStyleSheet("font-weight: bold;");

    DBMemo1 = new QPlainTextEdit(this);
    DBMemo1->setObjectName("DBMemo1");
    DBMemo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    DBMemo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The classic 313 x 113, or six lines of a larger font.
    DBMemo1->setMinimumWidth(313);
    DBMemo1->setFixedHeight(std::max(113, 6 * DBMemo1->fontMetrics().lineSpacing() + 2 * DBMemo1->frameWidth()
                                              + int(2 * DBMemo1->document()->documentMargin())));

    btnSnooze = new QPushButton(tr("Snooze"), this);
    btnSnooze->setObjectName("btnSnooze");
    btnSnooze->setStyleSheet("color: navy;");
    btnSnooze->setToolTip(tr("Repeat in 5 minutes"));
    btnStop = new QPushButton(tr("Stop Sound"), this);
    btnStop->setObjectName("btnStop");
    btnStop->setStyleSheet("color: red;");
    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), tr("Close"), this);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setDefault(true);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnSnooze);
    buttons->addWidget(btnStop);
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(lblAlarmTime);
    layout->addWidget(DBText1);
    layout->addWidget(DBMemo1);
    layout->addLayout(buttons);

    MediaPlayer1 = MediaPlayerSound::create();
    connect(MediaPlayer1.get(), &AlarmSound::notify, this,
            [this] { ErrorReport::guardTick([this] { MediaPlayer1Notify(); }); }); // repeats while looping
    connect(btnStop, &QPushButton::clicked, this, [this] { ErrorReport::guard([this] { btnStopClick(); }); });
    connect(btnSnooze, &QPushButton::clicked, this, [this] { ErrorReport::guard([this] { btnSnoozeClick(); }); });
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(&alarms.store.alarm(), &TTable::changed, this, &TfAlarmMessage::showTitle);
}

TfAlarmMessage::~TfAlarmMessage()
{
    // No closeIfOpen: a window freed without having been closed leaves its
    // alarm as it stands (marked), as when the program ends under it.
    if (fAlarmMessage == this)
        fAlarmMessage = nullptr;
}

void TfAlarmMessage::showTitle()
{
    TTable &alarm = m_alarms.store.alarm();
    if (alarm.Active() && alarm.state() == TTable::State::Browse && alarm.RecordCount() > 0)
        DBText1->setText(AlarmRecord::read(alarm, AlarmRecord::Title).title);
}

void TfAlarmMessage::FormActivate()
{
    fAlarmMessage = this;
    Snoozed = false;
    SoundStopped = false;
    SoundPlaying = false;
    btnStop->setEnabled(false);
    SavedFadeEnabled = savedFadeEnabled();

    TTable &alarm = m_alarms.store.alarm();
    const AlarmRecord r = m_alarms.store.current();
    lblAlarmTime->setText(AlarmText::dueLine(r.date, r.time));
    showTitle();
    DBMemo1->setPlainText(r.memo);
    m_alarms.store.alarm2().setRecNo(alarm.RecNo());

    const QString file = m_alarms.folders.soundFile(r.sound);
    if (r.hasSound() && QFileInfo(file).isFile()) {
        // A file the player cannot take leaves the window silent but usable.
        MediaPlayer1->open(file);
        MediaPlayer1->play();
        btnStop->setEnabled(true);
        SoundPlaying = true;
    }
}

void TfAlarmMessage::MediaPlayer1Notify()
{
    if (SoundStopped || closed())
        return;
    TTable &alarm = m_alarms.store.alarm();
    if (alarm.RecordCount() > 0 && AlarmRecord::read(alarm, AlarmRecord::Loop).loop) {
        MediaPlayer1->rewind();
        MediaPlayer1->play();
    }
}

void TfAlarmMessage::btnStopClick()
{
    SoundStopped = true;
    if (SoundPlaying)
        MediaPlayer1->stop();
}

void TfAlarmMessage::btnSnoozeClick()
{
    Snoozed = true;
    if (SoundPlaying)
        MediaPlayer1->stop();
    accept();
}

void TfAlarmMessage::FormClose()
{
    SoundStopped = true;
    if (SoundPlaying)
        MediaPlayer1->stop();
    Memo1 = DBMemo1->toPlainText();
    // The tick stays stopped: the alarm check started it and starts it again.
    m_alarms.store.closeMessage(Memo1, Snoozed, ZDateTime::now());
}
