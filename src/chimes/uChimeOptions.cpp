#include "uChimeOptions.h"

#include "DateTime.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTimeEdit>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

TfChimeOptions *TfChimeOptions::fChimeOptions = nullptr;

namespace {

// A radio group of the given items laid out in the given number of columns.
QGroupBox *makeRadioGroup(const QString &objectName, const QString &caption, const QStringList &items,
                          int columns, QButtonGroup **buttons, QWidget *parent)
{
    auto *box = new QGroupBox(caption, parent);
    box->setObjectName(objectName);
    auto *grid = new QGridLayout(box);
    *buttons = new QButtonGroup(box);
    for (int i = 0; i < items.size(); ++i) {
        auto *radio = new QRadioButton(items[i], box);
        radio->setObjectName(objectName + QString::number(i));
        (*buttons)->addButton(radio, i);
        grid->addWidget(radio, i / columns, i % columns);
    }
    return box;
}

QString pickerFormat()
{
    // The system's long time format, without a zone name.
    QString f = QLocale::system().timeFormat(QLocale::LongFormat);
    f.remove(QRegularExpression(QStringLiteral("\\s*t+\\s*")));
    return f.trimmed().isEmpty() ? QStringLiteral("HH:mm:ss") : f.trimmed();
}

} // namespace

TfChimeOptions::TfChimeOptions(ClockSettings &settings, ClockWindow *clock, QWidget *parent)
    : ClockDialog(clock, Fade::Keep, parent), m_settings(settings)
{
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setObjectName(QStringLiteral("fChimeOptions"));
    setWindowTitle(QStringLiteral("Hourly Chime Options"));

    // The layout sizes the dialog for the font in use: a fixed size cut the
    // time fields to a few pixels.
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(6);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    rgType = makeRadioGroup(QStringLiteral("rgType"), QStringLiteral("Type"),
                            {QStringLiteral("None"), QStringLiteral("Voice"), QStringLiteral("Chimes")}, 1,
                            &rgTypeItems, this);
    rgHourVoice = makeRadioGroup(QStringLiteral("rgHourVoice"), QStringLiteral("Voice"),
                                 {QStringLiteral("12 Hour"), QStringLiteral("24 Hour")}, 2, &rgHourVoiceItems, this);
    rgChimes = makeRadioGroup(QStringLiteral("rgChimes"), QStringLiteral("Chimes"),
                              {QStringLiteral("Bells"), QStringLiteral("Cuckoo")}, 2, &rgChimesItems, this);

    GroupBox1 = new QGroupBox(QStringLiteral("Quiet Time"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto *quiet = new QGridLayout(GroupBox1);
    cbQuietTime = new QCheckBox(QStringLiteral("Quiet Time Enabled"), GroupBox1);
    cbQuietTime->setObjectName(QStringLiteral("cbQuietTime"));
    lblStarts = new QLabel(QStringLiteral("Starts"), GroupBox1);
    lblEnds = new QLabel(QStringLiteral("Ends"), GroupBox1);
    DateTimePicker1 = new QTimeEdit(GroupBox1);
    DateTimePicker1->setObjectName(QStringLiteral("DateTimePicker1"));
    DateTimePicker2 = new QTimeEdit(GroupBox1);
    DateTimePicker2->setObjectName(QStringLiteral("DateTimePicker2"));
    for (QTimeEdit *picker : {DateTimePicker1, DateTimePicker2}) {
        picker->setDisplayFormat(pickerFormat());
        picker->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }
    quiet->addWidget(cbQuietTime, 0, 0, 1, 2);
    quiet->addWidget(lblStarts, 1, 0);
    quiet->addWidget(DateTimePicker1, 1, 1);
    quiet->addWidget(lblEnds, 2, 0);
    quiet->addWidget(DateTimePicker2, 2, 1);

    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);

    // Never narrower than the classic 203 pixels, nor than the caption.
    QFont titleFont = font();
    titleFont.setBold(true);
    const QFontMetrics title(titleFont);
    // (The caption shares its bar with an icon and up to three buttons, and
    // the window manager's font is often larger than ours.)
    rgType->setMinimumWidth(std::max(203 - 16, title.horizontalAdvance(windowTitle()) + 8 * title.height()));
    layout->addWidget(rgType);
    layout->addWidget(rgHourVoice);
    layout->addWidget(rgChimes);
    layout->addWidget(GroupBox1);
    layout->addStretch();
    layout->addLayout(buttons);

    connect(rgTypeItems, &QButtonGroup::idClicked, this, &TfChimeOptions::rgTypeClick);
    connect(cbQuietTime, &QCheckBox::clicked, this, &TfChimeOptions::cbQuietTimeClick);
    connect(btnOK, &QPushButton::clicked, this, &TfChimeOptions::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    FormShow();
    fChimeOptions = this;
}

TfChimeOptions::~TfChimeOptions()
{
    closeIfOpen();
    if (fChimeOptions == this)
        fChimeOptions = nullptr;
}

void TfChimeOptions::FormShow()
{
    // "Chimes" wins when a hand-edited file asks for both.
    int type = 0;
    if (m_settings.VoiceChime)
        type = 1;
    if (m_settings.BellChime)
        type = 2;
    rgTypeItems->button(type)->setChecked(true);
    rgHourVoiceItems->button(m_settings.MilTime ? 1 : 0)->setChecked(true);
    rgChimesItems->button(m_settings.CuckooChime ? 1 : 0)->setChecked(true);
    rgHourVoice->setEnabled(m_settings.VoiceChime);
    rgChimes->setEnabled(m_settings.BellChime);

    cbQuietTime->setChecked(m_settings.QuietTime);
    DateTimePicker1->setTime(ZDateTime::timeOfDay(m_settings.QuietStart));
    DateTimePicker2->setTime(ZDateTime::timeOfDay(m_settings.QuietEnd));
    DateTimePicker1->setEnabled(m_settings.QuietTime);
    DateTimePicker2->setEnabled(m_settings.QuietTime);
}

void TfChimeOptions::rgTypeClick()
{
    const int type = rgTypeItems->checkedId();
    rgHourVoice->setEnabled(type == 1);
    rgChimes->setEnabled(type == 2);
}

void TfChimeOptions::cbQuietTimeClick()
{
    DateTimePicker1->setEnabled(cbQuietTime->isChecked());
    DateTimePicker2->setEnabled(cbQuietTime->isChecked());
}

void TfChimeOptions::btnOKClick()
{
    const int type = rgTypeItems->checkedId();
    m_settings.VoiceChime = type == 1;
    m_settings.BellChime = type == 2;
    m_settings.MilTime = rgHourVoiceItems->checkedId() == 1;
    m_settings.CuckooChime = rgChimesItems->checkedId() == 1;
    m_settings.QuietTime = cbQuietTime->isChecked();
    m_settings.QuietStart = ZDateTime::dayFraction(DateTimePicker1->time());
    m_settings.QuietEnd = ZDateTime::dayFraction(DateTimePicker2->time());
    accept();
}
