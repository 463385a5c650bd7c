#include "uAlarms.h"
#include "AlarmListModel.h"
#include "AlarmStore.h"
#include "ErrorReport.h"
#include "uAlarmWiz.h"
#include "uClock.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

TfAlarms *TfAlarms::fAlarms = nullptr;

void ShowAlarms(TfClock &clock)
{
    TfAlarms list(clock);
    list.exec();
}

TfAlarms::TfAlarms(TfClock &clock, QWidget *parent) : QDialog(parent, Qt::Tool), m_clock(clock)
{
    setObjectName("fAlarms");
    setWindowTitle(tr("Alarms"));
    setFixedSize(461, 199);

    m_model = new AlarmListModel(clock.tblAlarm2, this);
    DBGrid1 = new QTableView(this);
    DBGrid1->setObjectName("DBGrid1");
    DBGrid1->setModel(m_model);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->verticalHeader()->setDefaultSectionSize(18);
    const int widths[] = {180, 80, 71, 72};
    for (int c = 0; c < 4; ++c)
        DBGrid1->setColumnWidth(c, widths[c]);

    btnNewAlarm = new QPushButton(tr("New"), this);
    btnNewAlarm->setObjectName("btnNewAlarm");
    btnEdit = new QPushButton(tr("Edit"), this);
    btnEdit->setObjectName("btnEdit");
    btnRemove = new QPushButton(tr("Remove"), this);
    btnRemove->setObjectName("btnRemove");
    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), tr("Close"), this);
    BitBtn1->setObjectName("BitBtn1");
    for (QPushButton *b : {btnNewAlarm, btnEdit, btnRemove, BitBtn1})
        b->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnNewAlarm);
    buttons->addWidget(btnEdit);
    buttons->addWidget(btnRemove);
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(DBGrid1);
    layout->addLayout(buttons);

    connect(btnNewAlarm, &QPushButton::clicked, this, [this] { ErrorReport::guard([this] { btnNewAlarmClick(); }); });
    connect(btnEdit, &QPushButton::clicked, this, [this] { ErrorReport::guard([this] { btnEditClick(); }); });
    connect(btnRemove, &QPushButton::clicked, this, [this] { ErrorReport::guard([this] { btnRemoveClick(); }); });
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);

    // The grid's current row is Alarm2's current record, both ways.
    connect(m_model, &AlarmListModel::currentRowChanged, this, &TfAlarms::followTable);
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                TTable &t = m_clock.tblAlarm2;
                if (current.isValid() && t.Active() && t.state() == TTable::State::Browse
                    && t.RecNo() != current.row() + 1)
                    ErrorReport::guard([&] { t.setRecNo(current.row() + 1); });
            });
    followTable(m_model->currentRow());
}

TfAlarms::~TfAlarms()
{
    if (fAlarms == this)
        fAlarms = nullptr;
}

void TfAlarms::followTable(int row)
{
    const QModelIndex current = DBGrid1->currentIndex();
    if (row < 0 || row >= m_model->rowCount())
        return;
    if (!current.isValid() || current.row() != row)
        DBGrid1->setCurrentIndex(m_model->index(row, current.isValid() ? current.column() : 0));
}

void TfAlarms::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (m_shown)
        return;
    m_shown = true;
    fAlarms = this;
    ErrorReport::guard([this] { FormShow(); });
}

void TfAlarms::FormShow()
{
    m_fade.emplace(&m_clock);
    SavedFadeEnabled = m_fade->SavedFadeEnabled();
    PlaceBesideClock(this, &m_clock);
    updateButtons();
}

void TfAlarms::updateButtons()
{
    const bool any = m_clock.tblAlarm2.Active() && m_clock.tblAlarm2.RecordCount() > 0;
    btnEdit->setEnabled(any);
    btnRemove->setEnabled(any);
}

void TfAlarms::runWizard(bool editing)
{
    m_clock.EditingAlarm = editing;
    {
        TfAlarmWiz wizard(m_clock, this);
        wizard.exec();
    }
    updateButtons();
}

void TfAlarms::btnNewAlarmClick() { runWizard(false); }

void TfAlarms::btnEditClick() { runWizard(true); }

void TfAlarms::btnRemoveClick()
{
    if (m_clock.tblAlarm2.RecordCount() > 0) {
        TickPause pause(m_clock);
        AlarmStore::of(m_clock).remove(m_clock.tblAlarm2.RecNo());
    }
    updateButtons();
}

void TfAlarms::done(int result)
{
    if (!m_closed) {
        m_closed = true;
        FormClose();
    }
    QDialog::done(result);
}

void TfAlarms::FormClose() { m_fade.reset(); }
