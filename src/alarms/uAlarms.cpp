#include "uAlarms.h"
#include "AlarmContext.h"
#include "AlarmListModel.h"
#include "AlarmTick.h"
#include "ErrorReport.h"
#include "uAlarmWiz.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

TfAlarms *TfAlarms::fAlarms = nullptr;

void ShowAlarms(AlarmContext &alarms)
{
    TfAlarms list(alarms);
    list.exec();
}

namespace {

// Room around a cell's text: the style's focus frame margins and a little air.
int cellPadding(const QWidget *view)
{
    return 2 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1) + 4;
}

} // namespace

TfAlarms::TfAlarms(AlarmContext &alarms, QWidget *parent)
    : ClockDialog(alarms.window, Fade::Pause, parent), m_alarms(alarms)
{
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setObjectName("fAlarms");
    setWindowTitle(tr("Alarms"));

    m_model = new AlarmListModel(alarms.store.alarm2(), this);
    DBGrid1 = new QTableView(this);
    DBGrid1->setObjectName("DBGrid1");
    DBGrid1->setModel(m_model);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    const QFontMetrics fm(DBGrid1->font());
    DBGrid1->verticalHeader()->setDefaultSectionSize(std::max(18, fm.height() + 4));
    // The classic widths, widened to the longest type, date and time the
    // system's formats and the font can give; the title's to the font.
    const int widths[] = {std::max(180, 24 * fm.averageCharWidth()), 80, 71, 72};
    int columns = 0;
    for (int c = 0; c < 4; ++c) {
        int w = std::max(widths[c], DBGrid1->horizontalHeader()->sectionSizeHint(c));
        for (const QString &sample : AlarmListModel::columnSamples(c))
            w = std::max(w, fm.horizontalAdvance(sample) + cellPadding(DBGrid1));
        DBGrid1->setColumnWidth(c, w);
        columns += w;
    }
    // Every column and about seven rows show without scrolling sideways.
    const int frame = 2 * DBGrid1->frameWidth();
    const int rows =
        DBGrid1->horizontalHeader()->sizeHint().height() + 7 * DBGrid1->verticalHeader()->defaultSectionSize();
    const int rowNumbers = std::max(DBGrid1->verticalHeader()->sizeHint().width(),
                                    fm.horizontalAdvance("999") + cellPadding(DBGrid1));
    const int scrollBar = DBGrid1->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, DBGrid1);
    DBGrid1->setFixedSize(std::max(449, rowNumbers + columns + frame + scrollBar), std::max(156, rows + frame));

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
    layout->setSizeConstraint(QLayout::SetFixedSize);
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
                TTable &t = m_alarms.store.alarm2();
                if (current.isValid() && t.Active() && t.state() == TTable::State::Browse
                    && t.RecNo() != current.row() + 1)
                    ErrorReport::guard([&] { t.setRecNo(current.row() + 1); });
            });
    followTable(m_model->currentRow());
}

TfAlarms::~TfAlarms()
{
    closeIfOpen();
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

void TfAlarms::FormActivate()
{
    fAlarms = this;
    SavedFadeEnabled = savedFadeEnabled();
    updateButtons();
}

void TfAlarms::updateButtons()
{
    TTable &alarm2 = m_alarms.store.alarm2();
    const bool any = alarm2.Active() && alarm2.RecordCount() > 0;
    btnEdit->setEnabled(any);
    btnRemove->setEnabled(any);
}

void TfAlarms::runWizard(bool editing)
{
    m_alarms.EditingAlarm = editing;
    {
        TfAlarmWiz wizard(m_alarms, this);
        wizard.exec();
    }
    updateButtons();
}

void TfAlarms::btnNewAlarmClick() { runWizard(false); }

void TfAlarms::btnEditClick() { runWizard(true); }

void TfAlarms::btnRemoveClick()
{
    TTable &alarm2 = m_alarms.store.alarm2();
    if (alarm2.RecordCount() > 0) {
        TickPause pause(m_alarms.tick);
        m_alarms.store.remove(alarm2.RecNo());
    }
    updateButtons();
}
