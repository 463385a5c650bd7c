#pragma once
#include "AlarmRecord.h"

#include <QAbstractTableModel>
#include <QVector>

class TTable;

// The rows of Alarm2 for the alarm list's grid: Title, Type, Date, Time.
// It follows the table: a changed record is read again at once, a record
// added or removed makes it read the whole table on the next turn of the
// event loop (moving the cursor and putting it back).
class AlarmListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit AlarmListModel(TTable &table, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Reads every record now.
    void reload();
    // The row of the table's current record, -1 when there is none.
    int currentRow() const;
    // Texts as wide as any the column can show (none for the free-text title),
    // in the system's formats: the grid sizes its columns by them.
    static QStringList columnSamples(int column);

signals:
    // The table's current record moved to this row.
    void currentRowChanged(int row);

private:
    // A row holds the list's columns (AlarmRecord::kListFields) only.
    using Row = AlarmRecord;
    Row readCurrent() const;
    void tableChanged();
    void scheduleReload();

    TTable &m_table;
    QVector<Row> m_rows;
    bool m_reading = false;
    bool m_reloadPending = false;
};
