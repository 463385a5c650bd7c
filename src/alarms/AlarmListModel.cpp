#include "AlarmListModel.h"
#include "AlarmRules.h"
#include "AlarmText.h"
#include "DateTime.h"
#include "ErrorReport.h"
#include "TTable.h"

#include <QTimer>

AlarmListModel::AlarmListModel(TTable &table, QObject *parent) : QAbstractTableModel(parent), m_table(table)
{
    connect(&m_table, &TTable::changed, this, &AlarmListModel::tableChanged);
    reload();
}

int AlarmListModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : int(m_rows.size()); }

int AlarmListModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : 4; }

QVariant AlarmListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_rows.size())
        return {};
    const Row &r = m_rows[index.row()];
    switch (index.column()) {
    case 0: return r.title;
    case 1: return r.type;
    case 2: return AlarmText::shortDate(r.date);
    case 3: return AlarmText::longTime(r.time);
    }
    return {};
}

QVariant AlarmListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char *const names[] = {"Title", "Type", "Date", "Time"};
    return section >= 0 && section < 4 ? QString(names[section]) : QVariant();
}

QStringList AlarmListModel::columnSamples(int column)
{
    QStringList samples;
    switch (column) {
    case 1:
        samples = AlarmRules::typeNames();
        break;
    case 2:
        // Two-digit days in every month: month names differ in width.
        for (int month = 1; month <= 12; ++month)
            samples << AlarmText::shortDate(ZDateTime::fromQDateTime(QDateTime(QDate(2000, month, 28), QTime(0, 0))));
        break;
    case 3:
        for (int hour : {10, 22})
            samples << AlarmText::longTime(ZDateTime::fromQDateTime(QDateTime(QDate(2000, 1, 1), QTime(hour, 58, 58))));
        break;
    }
    return samples;
}

int AlarmListModel::currentRow() const { return m_table.Active() ? m_table.RecNo() - 1 : -1; }

AlarmListModel::Row AlarmListModel::readCurrent() const
{
    return AlarmRecord::read(m_table, AlarmRecord::kListFields);
}

void AlarmListModel::reload()
{
    m_reloadPending = false;
    if (!m_table.Active() || m_table.state() != TTable::State::Browse) {
        beginResetModel();
        m_rows.clear();
        endResetModel();
        if (m_table.Active())
            scheduleReload(); // a record is being written: read it once it is posted
        return;
    }
    QVector<Row> rows;
    rows.reserve(m_table.RecordCount());
    const int recNo = m_table.RecNo();
    m_reading = true;
    m_table.DisableControls();
    try {
        for (m_table.First(); !m_table.Eof(); m_table.Next())
            rows.append(readCurrent());
        if (recNo > 0)
            m_table.setRecNo(recNo);
    } catch (...) {
        if (recNo > 0)
            m_table.setRecNo(recNo);
        m_table.EnableControls();
        m_reading = false;
        throw;
    }
    m_table.EnableControls();
    m_reading = false;
    beginResetModel();
    m_rows = rows;
    endResetModel();
    emit currentRowChanged(currentRow());
}

void AlarmListModel::scheduleReload()
{
    if (m_reloadPending)
        return;
    m_reloadPending = true;
    QTimer::singleShot(0, this, [this] {
        // Follows table changes, the tick's among them: flood-guarded.
        if (m_reloadPending)
            ErrorReport::guardTick([this] { reload(); });
    });
}

void AlarmListModel::tableChanged()
{
    if (m_reading)
        return;
    if (!m_table.Active()) {
        beginResetModel();
        m_rows.clear();
        endResetModel();
        return;
    }
    if (m_table.state() != TTable::State::Browse)
        return; // Post tells again
    if (m_reloadPending || m_table.RecordCount() != m_rows.size()) {
        scheduleReload();
        return;
    }
    const int row = currentRow();
    if (row >= 0) {
        const Row r = readCurrent();
        if (r != m_rows[row]) {
            m_rows[row] = r;
            emit dataChanged(index(row, 0), index(row, 3));
        }
    }
    emit currentRowChanged(row);
}
