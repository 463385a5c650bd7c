#include "uAlarmWiz.h"
#include "AlarmContext.h"
#include "AlarmRules.h"
#include "AlarmText.h"
#include "AlarmTick.h"
#include "AlarmWizardPages.h"
#include "ClockFolders.h"
#include "DateTime.h"
#include "ErrorReport.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QStyle>
#include <QTimeEdit>
#include <QVBoxLayout>

#include <algorithm>

TfAlarmWiz *TfAlarmWiz::fAlarmWiz = nullptr;

namespace {

QString shortDateFormat()
{
    // Four-digit years: a two-digit year would make the picker guess the century.
    QString f = QLocale::system().dateFormat(QLocale::ShortFormat);
    if (!f.contains("yyyy"))
        f.replace(QRegularExpression("y+"), "yyyy");
    return f;
}

QWidget *page(QStackedWidget *pages, const char *name)
{
    auto *w = new QWidget(pages);
    w->setObjectName(name);
    pages->addWidget(w);
    return w;
}

} // namespace

TfAlarmWiz::TfAlarmWiz(AlarmContext &alarms, QWidget *parent)
    : ClockDialog(alarms.window, Fade::Pause, parent), m_alarms(alarms)
{
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setObjectName("fAlarmWiz");
    setWindowTitle(tr("Alarm Wizard"));

    pages = new QStackedWidget(this);
    // The classic page area; the largest page at the font in use sets it.
    pages->setMinimumSize(271, 168);

    pnlTitle = page(pages, "pnlTitle");
    {
        auto *l = new QVBoxLayout(pnlTitle);
        auto *picture = new QLabel(pnlTitle);
        picture->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
        l->addWidget(picture);
        l->addWidget(new QLabel(tr("Title"), pnlTitle));
        Edit1 = new QLineEdit(pnlTitle);
        Edit1->setObjectName("Edit1");
        l->addWidget(Edit1);
        l->addStretch();
    }

    pnlType = page(pages, "pnlType");
    {
        auto *l = new QVBoxLayout(pnlType);
        rgAlarmType = new QGroupBox(tr("Alarm Type"), pnlType);
        rgAlarmType->setObjectName("rgAlarmType");
        auto *grid = new QGridLayout(rgAlarmType);
        typeButtons = new QButtonGroup(this);
        const QStringList &names = AlarmRules::typeNames();
        const int perColumn = (names.size() + 1) / 2;
        for (int i = 0; i < names.size(); ++i) {
            auto *b = new QRadioButton(names[i], rgAlarmType);
            b->setObjectName(QString("rgAlarmType%1").arg(i));
            typeButtons->addButton(b, i);
            grid->addWidget(b, i % perColumn, i / perColumn);
        }
        l->addWidget(rgAlarmType);
    }

    pnlTimeDate = page(pages, "pnlTimeDate");
    {
        auto *l = new QVBoxLayout(pnlTimeDate);
        auto *heading = new QLabel(tr("Set Alarm Time/Date"), pnlTimeDate);
        heading->setStyleSheet("font-weight: bold;");
        l->addWidget(heading);
        pnlSetTime = new QWidget(pnlTimeDate);
        pnlSetTime->setObjectName("pnlSetTime");
        auto *tl = new QHBoxLayout(pnlSetTime);
        auto *timeLabel = new QLabel(tr("Time"), pnlSetTime);
        tl->addWidget(timeLabel);
        DateTimePicker2 = new QTimeEdit(pnlSetTime);
        DateTimePicker2->setObjectName("DateTimePicker2");
        DateTimePicker2->setDisplayFormat(AlarmText::longTimeFormat());
        tl->addWidget(DateTimePicker2);
        tl->addStretch();
        l->addWidget(pnlSetTime);
        pnlSetDate = new QWidget(pnlTimeDate);
        pnlSetDate->setObjectName("pnlSetDate");
        auto *dl = new QHBoxLayout(pnlSetDate);
        auto *dateLabel = new QLabel(tr("Date"), pnlSetDate);
        dl->addWidget(dateLabel);
        DateTimePicker1 = new QDateEdit(pnlSetDate);
        DateTimePicker1->setObjectName("DateTimePicker1");
        DateTimePicker1->setDisplayFormat(shortDateFormat());
        DateTimePicker1->setCalendarPopup(true);
        dl->addWidget(DateTimePicker1);
        dl->addStretch();
        l->addWidget(pnlSetDate);
        // The two rows line up: labels of one width, pickers of one width.
        const int labels = std::max(timeLabel->sizeHint().width(), dateLabel->sizeHint().width());
        timeLabel->setMinimumWidth(labels);
        dateLabel->setMinimumWidth(labels);
        const int pickers = std::max(DateTimePicker2->sizeHint().width(), DateTimePicker1->sizeHint().width());
        DateTimePicker2->setMinimumWidth(pickers);
        DateTimePicker1->setMinimumWidth(pickers);
        l->addStretch();
    }

    pnlMessage = page(pages, "pnlMessage");
    {
        auto *l = new QVBoxLayout(pnlMessage);
        l->addWidget(new QLabel(tr("Alarm Message"), pnlMessage));
        Memo1 = new QPlainTextEdit(pnlMessage);
        Memo1->setObjectName("Memo1");
        Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        // The memo takes what the other pages leave, at least four lines.
        Memo1->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
        Memo1->setMinimumHeight(4 * Memo1->fontMetrics().lineSpacing() + 2 * Memo1->frameWidth()
                                + int(2 * Memo1->document()->documentMargin()));
        l->addWidget(Memo1, 1);
    }

    pnlSound = page(pages, "pnlSound");
    {
        auto *l = new QVBoxLayout(pnlSound);
        l->addWidget(new QLabel(tr("Sound"), pnlSound));
        ComboBox1 = new QComboBox(pnlSound);
        ComboBox1->setObjectName("ComboBox1");
        ComboBox1->setEditable(true);
        ComboBox1->setInsertPolicy(QComboBox::NoInsert);
        l->addWidget(ComboBox1);
        auto *row = new QHBoxLayout;
        CheckBoxLoop = new QCheckBox(tr("Loop Sound"), pnlSound);
        CheckBoxLoop->setObjectName("CheckBoxLoop");
        btnPlay = new QPushButton(tr("Play"), pnlSound);
        btnPlay->setObjectName("btnPlay");
        row->addWidget(CheckBoxLoop);
        row->addStretch();
        row->addWidget(btnPlay);
        l->addLayout(row);
        l->addStretch();
    }

    pnlDone = page(pages, "pnlDone");
    {
        auto *l = new QVBoxLayout(pnlDone);
        auto *text = new QLabel(tr("Click on \"Finish\" button to complete alarm creation"), pnlDone);
        text->setWordWrap(true);
        text->setStyleSheet("color: green; font-weight: bold;");
        l->addWidget(text);
    }

    btnPrevious = new QPushButton(tr("< Previous"), this);
    btnPrevious->setObjectName("btnPrevious");
    btnNext = new QPushButton(tr("Next >"), this);
    btnNext->setObjectName("btnNext");
    btnCancel = new QPushButton(tr("Cancel"), this);
    btnCancel->setObjectName("btnCancel");
    for (QPushButton *b : {btnPrevious, btnNext, btnCancel, btnPlay})
        b->setAutoDefault(false);
    // Enter goes on to the next page (the message memo keeps its Enter for
    // new lines).
    btnNext->setDefault(true);
    auto *bar = new QHBoxLayout;
    bar->addWidget(btnPrevious);
    bar->addWidget(btnNext);
    bar->addStretch();
    bar->addWidget(btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(pages);
    layout->addLayout(bar);

    MediaPlayer1 = MediaPlayerSound::create();

    connect(btnNext, &QPushButton::clicked, this, [this] { ErrorReport::guard([this] { btnNextClick(); }); });
    connect(btnPrevious, &QPushButton::clicked, this, [this] { ErrorReport::guard([this] { btnPreviousClick(); }); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { btnCancelClick(); });
    connect(btnPlay, &QPushButton::clicked, this, [this] { ErrorReport::guard([this] { btnPlayClick(); }); });
    connect(ComboBox1, &QComboBox::currentTextChanged, this,
            [this] { ErrorReport::guard([this] { ComboBox1Change(); }); });

    // Alarms may fire and be removed while the wizard is open: keep EditRecNo
    // on the alarm that was opened.
    connect(&alarms.store, &AlarmStore::removed, this, [this](int recNo) {
        if (EditRecNo == recNo)
            EditRecNo = 0;
        else if (recNo < EditRecNo)
            --EditRecNo;
    });
}

TfAlarmWiz::~TfAlarmWiz()
{
    closeIfOpen();
    if (fAlarmWiz == this)
        fAlarmWiz = nullptr;
}

int TfAlarmWiz::typeIndex() const { return typeButtons->checkedId(); }

void TfAlarmWiz::setTypeIndex(int index)
{
    if (QAbstractButton *b = typeButtons->button(index))
        b->setChecked(true);
}

double TfAlarmWiz::pickedDate() const { return ZDateTime::fromQDateTime(QDateTime(DateTimePicker1->date(), QTime(0, 0))); }

double TfAlarmWiz::pickedTime() const { return ZDateTime::dayFraction(DateTimePicker2->time()); }

void TfAlarmWiz::setPickers(double moment)
{
    const QDateTime dt = ZDateTime::toQDateTime(moment);
    DateTimePicker1->setDate(dt.date());
    DateTimePicker2->setTime(dt.time());
}

void TfAlarmWiz::fillSoundList()
{
    // A missing sound folder lists "None" alone.
    const QSignalBlocker block(ComboBox1);
    ComboBox1->clear();
    ComboBox1->addItems(AlarmText::soundList(m_alarms.folders.soundFolders()));
}

QString TfAlarmWiz::soundFile() const { return m_alarms.folders.soundFile(ComboBox1->currentText()); }

void TfAlarmWiz::setSoundControls(bool enabled, bool loopToo)
{
    MediaPlayerEnabled = enabled;
    btnPlay->setEnabled(enabled);
    if (loopToo)
        CheckBoxLoop->setEnabled(enabled);
}

void TfAlarmWiz::FormActivate()
{
    fAlarmWiz = this;
    SavedFadeEnabled = savedFadeEnabled();

    pages->setCurrentWidget(pnlTitle);
    btnPrevious->setEnabled(false);
    btnNext->setEnabled(true);
    btnNext->setText(tr("Next >"));
    PageIndex = 0;

    if (m_alarms.EditingAlarm) {
        TickPause pause(m_alarms.tick);
        AlarmStore &store = m_alarms.store;
        EditRecNo = store.alarm2().RecNo();
        store.alarm().setRecNo(EditRecNo);
        const AlarmRecord r = store.current();
        Edit1->setText(r.title);
        Memo1->setPlainText(r.memo);
        DateTimePicker1->setDate(ZDateTime::toQDateTime(ZDateTime::dateOf(r.date)).date());
        DateTimePicker2->setTime(ZDateTime::timeOfDay(r.time));
        setTypeIndex(r.typeIndex);
        fillSoundList();
        {
            const QSignalBlocker block(ComboBox1);
            ComboBox1->setCurrentText(r.sound);
        }
        setSoundControls(r.sound != kNoSound, false);
        CheckBoxLoop->setChecked(r.loop);
    } else {
        EditRecNo = 0;
        setPickers(AlarmRules::wizardDueMoment(-1, ZDateTime::now()));
        Memo1->clear();
        Edit1->clear();
        // A new alarm starts as "Once".
        setTypeIndex(AlarmRules::Once);
        fillSoundList();
        {
            const QSignalBlocker block(ComboBox1);
            ComboBox1->setCurrentText(kNoSound);
        }
        setSoundControls(false, true);
    }
}

void TfAlarmWiz::ShowPage()
{
    const int type = typeIndex();
    switch (PageIndex) {
    case 0:
        btnPrevious->setEnabled(false);
        pages->setCurrentWidget(pnlTitle);
        break;
    case 1:
        btnPrevious->setEnabled(true);
        pages->setCurrentWidget(pnlType);
        break;
    case 2:
        pnlSetDate->setVisible(type <= AlarmRules::Once);
        pages->setCurrentWidget(pnlTimeDate);
        break;
    case 3:
        pages->setCurrentWidget(pnlMessage);
        break;
    case 4:
        pages->setCurrentWidget(pnlSound);
        btnNext->setText(tr("Next >"));
        break;
    case 5:
        pages->setCurrentWidget(pnlDone);
        btnNext->setText(tr("Finish"));
        break;
    }
}

void TfAlarmWiz::btnNextClick()
{
    const int to = AlarmWizardPages::next(PageIndex, typeIndex());
    if (to == AlarmWizardPages::Finished) {
        Save();
        return;
    }
    // The types that skip the time page are due at a distance from now.
    if (AlarmWizardPages::passesTimeDate(PageIndex, to))
        setPickers(AlarmRules::wizardDueMoment(typeIndex(), ZDateTime::now()));
    PageIndex = to;
    ShowPage();
}

void TfAlarmWiz::btnPreviousClick()
{
    PageIndex = AlarmWizardPages::previous(PageIndex, typeIndex());
    ShowPage();
}

void TfAlarmWiz::btnCancelClick()
{
    Memo1->clear();
    Edit1->clear();
    reject();
}

void TfAlarmWiz::ComboBox1Change()
{
    if (ComboBox1->currentText() == kNoSound) {
        setSoundControls(false, true);
        return;
    }
    setSoundControls(true, true);
    if (QFileInfo(soundFile()).isFile())
        MediaPlayer1->open(soundFile());
}

void TfAlarmWiz::btnPlayClick()
{
    if (!QFileInfo(soundFile()).isFile())
        return;
    MediaPlayer1->open(soundFile());
    MediaPlayer1->play();
}

void TfAlarmWiz::Save()
{
    AlarmRecord r;
    r.title = Edit1->text().isEmpty() ? QStringLiteral("Alarm") : Edit1->text();
    r.memo = Memo1->toPlainText();
    const int type = typeIndex() < 0 ? AlarmRules::Once : typeIndex();
    r.type = AlarmRules::typeNames().value(type);
    r.typeIndex = type;
    r.date = pickedDate();
    r.time = pickedTime();
    r.sound = ComboBox1->currentText();
    r.loop = CheckBoxLoop->isChecked();
    {
        TickPause pause(m_alarms.tick);
        m_alarms.store.save(m_alarms.EditingAlarm ? EditRecNo : 0, r);
    }
    accept();
}

void TfAlarmWiz::FormClose()
{
    // The preview stops with the wizard.
    MediaPlayer1->stop();
}
