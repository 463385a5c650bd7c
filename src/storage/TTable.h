#pragma once
#include "TField.h"
#include "TableSchema.h"

#include <QObject>
#include <QVariant>
#include <QVector>

#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>

class SqliteDb;
class SqliteStmt;

// One table of the program folder, stored as "<folder><name>.db" (SQLite),
// with a single cursor. Records are visited in key order (byte order of the
// key's UTF-8 text, so "abc" and "ABC" are different keys) or, for tables
// without a key, in insertion order. The cursor's order is kept in memory,
// so moving, RecNo and FindKey never scan the file; field values of the
// current record are read on demand.
class TTable : public QObject
{
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };

    explicit TTable(QObject *parent = nullptr);
    ~TTable() override;

    void setDatabaseName(const QString &folder) { m_folder = folder; }
    void setTableName(const QString &name) { m_name = name; }
    QString DatabaseName() const { return m_folder; }
    QString TableName() const { return m_name; }
    QString FileName() const;

    void OpenTable(const QString &folder, const QString &tableName);
    void OpenTable();
    // Opens this table as `opened` is, taking its connection, description
    // and order: a table another thread opened ahead of its use. The record
    // `opened` read last is kept for the first read here. When another
    // connection has changed the file since, the table is opened anew.
    void takeOver(TTable &opened);
    void CloseTable();
    bool Active() const { return m_db != nullptr; }
    State state() const { return m_state; }

    bool FindKey(const QString &key);
    // The key of the current record as stored, from the cursor's order:
    // known without reading the record and its pictures. Empty without a
    // current record or a key.
    QString currentKey() const;
    void First();
    void Next();
    void Prior();
    void Last();
    bool Eof() const { return m_eof; }
    bool Bof() const { return m_bof; }
    int RecordCount() const;
    // 1-based position in index order; 0 on an empty table. Setting clamps
    // to the records there are.
    int RecNo() const;
    void setRecNo(int recNo);

    TField FieldByName(const QString &name);
    int fieldIndex(const QString &name) const;
    // The named fields of every record in cursor order, row after row (the
    // value of names[c] of RecNo r at (r - 1) * names.size() + c), read in
    // one query without moving the cursor: a scan of a large table without
    // a query and a change notice per record. A record being edited is
    // posted first, as a move would.
    QVector<QVariant> columnValues(const QStringList &names);
    const QVector<FieldDef> &fields() const { return m_fields; }
    const QString &keyField() const { return m_keyField; }

    void Append();
    void Edit();
    void Post();
    void Cancel();
    void Delete();

    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return m_disabled > 0; }

    // Works on a closed table as well.
    void EmptyTable();
    // Requires a closed table: writes a compact copy and keeps the previous
    // file as "<name>.bak".
    void OptimizeTable();

    // Runs work as one transaction across the tables' files: either every
    // change made to them inside work is kept, or (on an exception, or a
    // crash) none is. The tables must be open and not editing.
    static void transaction(std::initializer_list<TTable *> tables, const std::function<void()> &work);

    // Deletes super-journal files that no table journal refers to any more
    // (left behind by a crash early in a multi-table commit).
    static void removeStaleSuperJournals(const QString &folder);

signals:
    // The current record moved or changed: bound controls show it anew.
    void changed();

private:
    friend class TField;
    QVariant fieldValue(int index);
    void setFieldValue(int index, const QVariant &value);
    FieldType fieldType(int index) const { return m_fields[index].type; }

    void requireActive(const char *operation) const;
    void loadSchema();
    void loadOrder();
    void loadCurrent();
    void checkBrowseMode();
    void moveTo(int pos);
    void notify();
    qint64 dataVersion() const;
    QString dataTable() const;
    QString fieldList() const;
    int keyInsertPos(const QByteArray &key) const;
    SqliteDb &conn() const;

    QString m_folder;
    QString m_name;
    std::unique_ptr<SqliteDb> m_db;
    SqliteDb *m_route = nullptr; // another table's connection during a joint transaction
    QString m_schemaName = "main";

    QVector<FieldDef> m_fields;
    QString m_keyField;
    int m_keyIndex = -1;

    QVector<qint64> m_ids;       // record ids in cursor order
    QVector<QByteArray> m_keys;  // UTF-8 keys, parallel to m_ids (keyed tables)
    int m_pos = -1;
    bool m_eof = true;
    bool m_bof = true;

    State m_state = State::Inactive;
    std::unique_ptr<SqliteStmt> m_rowQuery; // reading the current record, prepared once
    QVector<QVariant> m_current;
    bool m_currentLoaded = false;
    qint64 m_openedVersion = 0; // the file's version as the order was read
    struct ReadAhead
    {
        qint64 id;
        QVector<QVariant> values;
    };
    std::optional<ReadAhead> m_readAhead; // a record another thread read, for the first read
    QVector<QVariant> m_buffer;
    QVector<bool> m_dirty;

    int m_disabled = 0;
};
