#include "uSystemTime.h"

#include "MessageBoxes.h"
#include "SystemClock.h"
#include "TimeText.h"
#include "StatusPanel.h"

#include <QDateTimeEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

TfSystemTime::TfSystemTime(SystemClock &clock, ClockWindow *window, QWidget *parent)
    : ClockDialog(window, Fade::Keep, parent), m_clock(clock)
{
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setObjectName("fSystemTime");
    setWindowTitle("Set System Time");

    auto *timeLabel = new QLabel("Time", this);
    // Both fields hold a whole date and time; only one part of each is used.
    DateTimePicker1 = new QDateTimeEdit(this);
    DateTimePicker1->setObjectName("DateTimePicker1");
    DateTimePicker1->setMinimumSize(186, 22);
    DateTimePicker1->setDisplayFormat(TimeText::longTimeFormat());
    DateTimePicker1->setTimeSpec(Qt::LocalTime);

    auto *dateLabel = new QLabel("Date", this);
    DateTimePicker2 = new QDateTimeEdit(this);
    DateTimePicker2->setObjectName("DateTimePicker2");
    DateTimePicker2->setMinimumSize(185, 22);
    DateTimePicker2->setDisplayFormat(QLocale::system().dateFormat(QLocale::ShortFormat));
    DateTimePicker2->setCalendarPopup(true);
    DateTimePicker2->setTimeSpec(Qt::LocalTime);

    btnOK = new QPushButton("OK", this);
    btnOK->setObjectName("btnOK");
    btnOK->setMinimumSize(89, 33);
    btnOK->setDefault(true);
    btnCancel = new QPushButton("Cancel", this);
    btnCancel->setObjectName("btnCancel");
    btnCancel->setMinimumSize(89, 33);

    // The classic arrangement: labels at the left, fields and buttons in a
    // column 64 pixels in; the layout grows it wherever the font needs room.
    auto *grid = new QGridLayout;
    grid->setContentsMargins(8, 16, 14, 6);
    grid->setHorizontalSpacing(0);
    grid->setVerticalSpacing(10);
    grid->setColumnMinimumWidth(0, 56);
    grid->addWidget(timeLabel, 0, 0, Qt::AlignLeft | Qt::AlignTop);
    grid->addWidget(DateTimePicker1, 0, 1);
    grid->addWidget(dateLabel, 1, 0, Qt::AlignLeft | Qt::AlignTop);
    grid->addWidget(DateTimePicker2, 1, 1);
    grid->setRowMinimumHeight(2, 8);
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(7);
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    grid->addLayout(buttons, 3, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(grid);
    StatusPanel = addStatusBar(this, layout, &StatusBar1);

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(1000);

    // Our own updates run with the fields' signals blocked, so any change
    // that arrives here is the user's.
    auto userEdit = [this] { Edited = true; };
    connect(DateTimePicker1, &QDateTimeEdit::dateTimeChanged, this, userEdit);
    connect(DateTimePicker2, &QDateTimeEdit::dateTimeChanged, this, userEdit);
    connect(btnOK, &QPushButton::clicked, this, &TfSystemTime::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfSystemTime::reject);
    connect(Timer1, &QTimer::timeout, this, &TfSystemTime::Timer1Timer);
}

TfSystemTime::~TfSystemTime() { closeIfOpen(); }

void TfSystemTime::FormActivate()
{
    showNow();
    Edited = false;
    Timer1->start();
}

void TfSystemTime::showNow()
{
    const QDateTime now = m_clock.nowLocal();
    const QSignalBlocker b1(DateTimePicker1);
    const QSignalBlocker b2(DateTimePicker2);
    DateTimePicker1->setDateTime(now);
    DateTimePicker2->setDateTime(now);
}

void TfSystemTime::Timer1Timer()
{
    StatusPanel->setText(TimeText::dateAndTime(m_clock.nowLocal()));
    if (!Edited)
        showNow();
}

QDateTime TfSystemTime::chosenDateTime() const
{
    return QDateTime(DateTimePicker2->date(), DateTimePicker1->time(), Qt::LocalTime);
}

void TfSystemTime::btnOKClick()
{
    if (m_setting)
        return;
    m_setting = true;
    btnOK->setEnabled(false);
    const qint64 usec = chosenDateTime().toMSecsSinceEpoch() * 1000;
    m_clock.setTime(usec, false, this, [this](bool accepted, const QString &reason) {
        m_setting = false;
        btnOK->setEnabled(true);
        if (accepted)
            accept();
        else
            setRefused(reason);
    });
}

void TfSystemTime::setRefused(const QString &reason)
{
    // The dialog stays open: the user sees the clock was not changed and can
    // try again or cancel.
    // The reason is the system's own text: shown as it stands.
    MessageBoxes::open(this, QMessageBox::Warning, windowTitle(),
                       "The date and time could not be set." + (reason.isEmpty() ? QString() : "\n" + reason),
                       Qt::WindowModal);
}

void TfSystemTime::FormClose() { Timer1->stop(); }
