#include "TTable.h"
#include "SqliteDb.h"
#include "TableError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <utility>
#include <cstdio>
#include <sqlite3.h>
#include <unistd.h>
#include <fcntl.h>

namespace {

QString quoted(const QString &identifier)
{
    QString q = identifier;
    q.replace('"', "\"\"");
    return '"' + q + '"';
}

void syncFile(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

TTable::TTable(QObject *parent) : QObject(parent) {}

TTable::~TTable() = default;

QString TTable::FileName() const { return m_folder + m_name + ".db"; }

SqliteDb &TTable::conn() const { return m_route ? *m_route : *m_db; }

QString TTable::dataTable() const { return quoted(m_schemaName) + ".data"; }

void TTable::requireActive(const char *operation) const
{
    if (!m_db)
        throw ETableError(QString("%1: table %2 is not open").arg(operation, m_name));
}

void TTable::OpenTable(const QString &folder, const QString &tableName)
{
    m_folder = folder;
    m_name = tableName;
    OpenTable();
}

void TTable::OpenTable()
{
    CloseTable();
    auto db = std::make_unique<SqliteDb>(FileName(), SqliteDb::ReadWrite);
    db->exec("PRAGMA synchronous=FULL");
    m_db = std::move(db);
    try {
        // A file left in WAL mode would lose the all-or-nothing commit
        // across two tables.
        m_db->exec("PRAGMA journal_mode=DELETE");
        // One read transaction: the file is locked and checked once, not
        // once for each of the reads that follow.
        m_db->exec("BEGIN");
        loadSchema();
        loadOrder();
        m_openedVersion = dataVersion();
        m_db->exec("COMMIT");
    } catch (...) {
        m_rowQuery.reset();
        m_db.reset();
        m_fields.clear();
        throw;
    }
    m_state = State::Browse;
    moveTo(m_ids.isEmpty() ? -1 : 0);
    notify();
}

void TTable::takeOver(TTable &opened)
{
    CloseTable();
    m_folder = opened.m_folder;
    m_name = opened.m_name;
    if (!opened.m_db || opened.m_route || opened.m_state != State::Browse) {
        OpenTable();
        return;
    }
    if (opened.m_currentLoaded && opened.m_pos >= 0)
        m_readAhead = ReadAhead{opened.m_ids[opened.m_pos], opened.m_current};
    m_db = std::move(opened.m_db);
    m_rowQuery = std::move(opened.m_rowQuery);
    m_fields = opened.m_fields;
    m_keyField = opened.m_keyField;
    m_keyIndex = opened.m_keyIndex;
    m_ids = std::move(opened.m_ids);
    m_keys = std::move(opened.m_keys);
    m_openedVersion = opened.m_openedVersion;
    m_current.fill(QVariant(), m_fields.size());
    opened.CloseTable();
    if (dataVersion() != m_openedVersion) {
        OpenTable();
        return;
    }
    m_state = State::Browse;
    moveTo(m_ids.isEmpty() ? -1 : 0);
    notify();
}

// Changes whenever another connection commits to the file; this
// connection's own writes leave it as it is.
qint64 TTable::dataVersion() const
{
    SqliteStmt st(*m_db, "PRAGMA data_version");
    return st.step() ? st.int64(0) : -1;
}

void TTable::loadSchema()
{
    m_fields.clear();
    m_keyField.clear();
    m_keyIndex = -1;
    const QString file = FileName();
    // SQLite takes an empty file for an empty database.
    if (QFileInfo(file).size() == 0)
        throw ETableError::inFile(file, "is damaged: it is empty");
    {
        // Reading the file's list of tables is the first real read: a file
        // that is no database at all fails here as damaged.
        SqliteStmt st(*m_db, "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN "
                             "('zindle_table', 'zindle_fields', 'data')");
        if (!st.step() || st.int64(0) != 3)
            throw ETableError::notATableFile(file);
    }
    auto damaged = [&](const QString &why) { return ETableError::inFile(file, "is damaged: " + why); };
    {
        SqliteStmt st(*m_db, "SELECT key_field FROM zindle_table");
        if (!st.step())
            throw damaged("it has no table description");
        m_keyField = st.text(0);
    }
    SqliteStmt st(*m_db, "SELECT name, type FROM zindle_fields ORDER BY pos");
    while (st.step()) {
        FieldDef f{st.text(0), FieldType::String};
        if (f.name.isEmpty() || !fieldTypeFromName(st.text(1), &f.type))
            throw damaged(QString("a field has no name or an unknown type"));
        m_fields.append(f);
    }
    QStringList columns;
    SqliteStmt info(*m_db, "PRAGMA table_info(data)");
    while (info.step())
        columns << info.text(1).toLower();
    if (m_fields.isEmpty())
        throw damaged("it describes no fields");
    for (const FieldDef &f : m_fields)
        if (!columns.contains(f.name.toLower()))
            throw damaged(QString("its records lack the field '%1'").arg(f.name));
    if (!columns.contains("id"))
        throw damaged("its records have no numbers");
    if (!m_keyField.isEmpty()) {
        m_keyIndex = fieldIndex(m_keyField);
        if (m_keyIndex < 0)
            throw damaged(QString("its key field '%1' is not among its fields").arg(m_keyField));
        m_keyField = m_fields[m_keyIndex].name;
    }
    m_current.fill(QVariant(), m_fields.size());
}

void TTable::loadOrder()
{
    m_ids.clear();
    m_keys.clear();
    if (m_keyIndex >= 0) {
        SqliteStmt st(conn(), QString("SELECT id, CAST(%1 AS BLOB) FROM %2 ORDER BY %1 COLLATE BINARY, id")
                                  .arg(quoted(m_keyField), dataTable()));
        while (st.step()) {
            m_ids.append(st.int64(0));
            m_keys.append(st.bytes(1));
        }
    } else {
        SqliteStmt st(conn(), QString("SELECT id FROM %1 ORDER BY id").arg(dataTable()));
        while (st.step())
            m_ids.append(st.int64(0));
    }
}

void TTable::CloseTable()
{
    m_readAhead.reset();
    if (!m_db)
        return;
    m_rowQuery.reset();
    m_db.reset();
    m_route = nullptr;
    m_schemaName = "main";
    m_ids.clear();
    m_keys.clear();
    m_pos = -1;
    m_eof = m_bof = true;
    m_state = State::Inactive;
    m_currentLoaded = false;
    notify();
}

int TTable::fieldIndex(const QString &name) const
{
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

TField TTable::FieldByName(const QString &name)
{
    requireActive("FieldByName");
    const int i = fieldIndex(name);
    if (i < 0)
        throw ETableError(QString("Field '%1' not found").arg(name));
    return TField(this, i);
}

int TTable::RecordCount() const { return m_ids.size(); }

int TTable::RecNo() const
{
    if (m_state == State::Insert)
        return 0;
    return m_pos + 1;
}

void TTable::setRecNo(int recNo)
{
    requireActive("RecNo");
    checkBrowseMode();
    if (m_ids.isEmpty())
        return;
    moveTo(std::clamp(recNo, 1, int(m_ids.size())) - 1);
    notify();
}

void TTable::moveTo(int pos)
{
    m_pos = pos;
    m_eof = m_bof = (pos < 0);
    m_currentLoaded = false;
}

void TTable::notify()
{
    if (m_disabled == 0)
        emit changed();
}

void TTable::checkBrowseMode()
{
    if (m_state == State::Edit || m_state == State::Insert)
        Post();
}

void TTable::First()
{
    requireActive("First");
    checkBrowseMode();
    moveTo(m_ids.isEmpty() ? -1 : 0);
    notify();
}

void TTable::Last()
{
    requireActive("Last");
    checkBrowseMode();
    moveTo(int(m_ids.size()) - 1);
    notify();
}

void TTable::Next()
{
    requireActive("Next");
    checkBrowseMode();
    if (m_pos + 1 < m_ids.size()) {
        moveTo(m_pos + 1);
        notify();
    } else {
        m_eof = true;
    }
}

void TTable::Prior()
{
    requireActive("Prior");
    checkBrowseMode();
    if (m_pos > 0) {
        moveTo(m_pos - 1);
        notify();
    } else {
        m_bof = true;
    }
}

int TTable::keyInsertPos(const QByteArray &key) const
{
    return int(std::lower_bound(m_keys.begin(), m_keys.end(), key) - m_keys.begin());
}

bool TTable::FindKey(const QString &key)
{
    requireActive("FindKey");
    if (m_keyIndex < 0)
        throw ETableError(QString("Table %1 has no key to find records by").arg(m_name));
    checkBrowseMode();
    const QByteArray k = key.toUtf8();
    const int pos = keyInsertPos(k);
    if (pos >= m_keys.size() || m_keys[pos] != k)
        return false;
    moveTo(pos);
    notify();
    return true;
}

QString TTable::currentKey() const
{
    if (m_keyIndex < 0 || m_state == State::Insert || m_pos < 0 || m_pos >= m_keys.size())
        return QString();
    return QString::fromUtf8(m_keys[m_pos]);
}

void TTable::loadCurrent()
{
    if (m_currentLoaded)
        return;
    m_current.fill(QVariant(), m_fields.size());
    // Read ahead on another thread: good for its own record while no other
    // connection has written since the order was read, and only once.
    const std::optional<ReadAhead> ahead = std::exchange(m_readAhead, std::nullopt);
    if (ahead && m_pos >= 0 && ahead->id == m_ids[m_pos] && dataVersion() == m_openedVersion) {
        m_current = ahead->values;
    } else if (m_pos >= 0) {
        if (!m_rowQuery)
            m_rowQuery = std::make_unique<SqliteStmt>(
                conn(), QString("SELECT %1 FROM %2 WHERE id = ?").arg(fieldList(), dataTable()));
        SqliteStmt &st = *m_rowQuery;
        st.reset();
        st.bind(1, m_ids[m_pos]);
        const bool found = st.step();
        if (found)
            for (int i = 0; i < m_fields.size(); ++i)
                m_current[i] = st.value(i);
        st.reset();
        if (!found)
            throw ETableError::inFile(FileName(), "changed while it was read: a record vanished");
    }
    m_currentLoaded = true;
}

QVector<QVariant> TTable::columnValues(const QStringList &names)
{
    requireActive("reading records");
    checkBrowseMode();
    QStringList columns;
    for (const QString &name : names) {
        const int i = fieldIndex(name);
        if (i < 0)
            throw ETableError(QString("Table %1 has no field '%2'").arg(m_name, name));
        columns << quoted(m_fields[i].name);
    }
    // The cursor's own order, so each row can be checked against it.
    const QString order = m_keyIndex >= 0 ? QString("%1 COLLATE BINARY, id").arg(quoted(m_keyField)) : "id";
    SqliteStmt st(conn(), QString("SELECT id%1%2 FROM %3 ORDER BY %4")
                              .arg(columns.isEmpty() ? "" : ", ", columns.join(", "), dataTable(), order));
    QVector<QVariant> values;
    values.reserve(m_ids.size() * columns.size());
    int row = 0;
    for (; st.step(); ++row) {
        if (row >= m_ids.size() || st.int64(0) != m_ids[row])
            break;
        for (int c = 0; c < columns.size(); ++c)
            values << st.value(c + 1);
    }
    if (row != m_ids.size())
        throw ETableError::inFile(FileName(), "changed while it was read: its records are not those listed");
    return values;
}

QString TTable::fieldList() const
{
    QStringList names;
    for (const FieldDef &f : m_fields)
        names << quoted(f.name);
    return names.join(", ");
}

QVariant TTable::fieldValue(int index)
{
    requireActive("reading a field");
    if (m_state == State::Edit || m_state == State::Insert)
        return m_buffer[index];
    loadCurrent();
    return m_current[index];
}

void TTable::setFieldValue(int index, const QVariant &value)
{
    if (m_state != State::Edit && m_state != State::Insert)
        throw ETableError(QString("Table %1 is not in edit or insert mode").arg(m_name));
    m_buffer[index] = value;
    m_dirty[index] = true;
}

void TTable::Append()
{
    requireActive("Append");
    m_readAhead.reset();
    checkBrowseMode();
    m_buffer.fill(QVariant(), m_fields.size());
    m_dirty.fill(false, m_fields.size());
    m_state = State::Insert;
    notify();
}

void TTable::Edit()
{
    requireActive("Edit");
    if (m_state == State::Edit || m_state == State::Insert)
        return;
    if (m_pos < 0)
        throw ETableError(QString("Table %1 has no record to edit").arg(m_name));
    loadCurrent();
    m_buffer = m_current;
    m_dirty.fill(false, m_fields.size());
    m_state = State::Edit;
}

void TTable::Cancel()
{
    if (m_state == State::Edit || m_state == State::Insert) {
        m_state = State::Browse;
        m_buffer.clear();
        notify();
    }
}

void TTable::Post()
{
    requireActive("Post");
    if (m_state != State::Edit && m_state != State::Insert)
        return;
    if (m_keyIndex >= 0 && m_buffer[m_keyIndex].isNull())
        m_buffer[m_keyIndex] = QString("");
    const QByteArray newKey = m_keyIndex >= 0 ? m_buffer[m_keyIndex].toString().toUtf8() : QByteArray();

    if (m_state == State::Insert) {
        QStringList marks;
        for (int i = 0; i < m_fields.size(); ++i)
            marks << "?";
        SqliteStmt st(conn(), QString("INSERT INTO %1(%2) VALUES(%3)").arg(dataTable(), fieldList(), marks.join(", ")));
        for (int i = 0; i < m_fields.size(); ++i)
            st.bind(i + 1, m_buffer[i]);
        st.step();
        const qint64 id = sqlite3_last_insert_rowid(conn().handle());
        int pos = m_ids.size();
        if (m_keyIndex >= 0) {
            pos = keyInsertPos(newKey);
            m_keys.insert(pos, newKey);
        }
        m_ids.insert(pos, id);
        m_pos = pos;
    } else {
        QStringList sets;
        QVector<int> changedFields;
        for (int i = 0; i < m_fields.size(); ++i)
            if (m_dirty[i]) {
                sets << quoted(m_fields[i].name) + " = ?";
                changedFields << i;
            }
        if (!changedFields.isEmpty()) {
            SqliteStmt st(conn(), QString("UPDATE %1 SET %2 WHERE id = ?").arg(dataTable(), sets.join(", ")));
            int n = 1;
            for (int i : changedFields)
                st.bind(n++, m_buffer[i]);
            st.bind(n, m_ids[m_pos]);
            st.step();
            if (m_keyIndex >= 0 && m_dirty[m_keyIndex] && m_keys[m_pos] != newKey) {
                const qint64 id = m_ids[m_pos];
                m_ids.remove(m_pos);
                m_keys.remove(m_pos);
                const int pos = keyInsertPos(newKey);
                m_keys.insert(pos, newKey);
                m_ids.insert(pos, id);
                m_pos = pos;
            }
        }
    }
    m_state = State::Browse;
    m_buffer.clear();
    moveTo(m_pos);
    notify();
}

void TTable::Delete()
{
    requireActive("Delete");
    if (m_state == State::Insert) {
        Cancel();
        return;
    }
    m_state = State::Browse;
    if (m_pos < 0)
        throw ETableError(QString("Table %1 has no record to delete").arg(m_name));
    SqliteStmt st(conn(), QString("DELETE FROM %1 WHERE id = ?").arg(dataTable()));
    st.bind(1, m_ids[m_pos]);
    st.step();
    m_ids.remove(m_pos);
    if (m_keyIndex >= 0)
        m_keys.remove(m_pos);
    moveTo(std::min(m_pos, int(m_ids.size()) - 1));
    notify();
}

void TTable::DisableControls() { ++m_disabled; }

void TTable::EnableControls()
{
    if (m_disabled > 0 && --m_disabled == 0)
        emit changed();
}

void TTable::EmptyTable()
{
    if (m_db) {
        checkBrowseMode();
        conn().exec(QString("DELETE FROM %1").arg(dataTable()));
        m_ids.clear();
        m_keys.clear();
        moveTo(-1);
        notify();
        return;
    }
    SqliteDb db(FileName(), SqliteDb::ReadWrite);
    db.exec("PRAGMA synchronous=FULL");
    db.exec("DELETE FROM data");
}

void TTable::OptimizeTable()
{
    if (m_db)
        throw ETableError(QString("Table %1 must be closed before it is optimised").arg(m_name));
    const QString path = FileName();
    const QString compact = path + ".compact";
    const QString backup = m_folder + m_name + ".bak";
    QFile::remove(compact);
    {
        SqliteDb db(path, SqliteDb::ReadWrite);
        {
            SqliteStmt check(db, "SELECT count(*) FROM zindle_fields");
            check.step();
        }
        SqliteStmt st(db, "VACUUM INTO ?");
        st.bind(1, compact);
        st.step();
    }
    syncFile(compact);
    // The backup is written under a temporary name first so that an older
    // backup is only replaced by a complete one.
    QFile::remove(backup + ".tmp");
    if (!QFile::copy(path, backup + ".tmp")) {
        QFile::remove(compact);
        throw ETableError(QString("Cannot write the backup %1 of table %2").arg(backup, m_name));
    }
    syncFile(backup + ".tmp");
    if (std::rename(QFile::encodeName(backup + ".tmp").constData(), QFile::encodeName(backup).constData()) != 0
        || std::rename(QFile::encodeName(compact).constData(), QFile::encodeName(path).constData()) != 0) {
        QFile::remove(compact);
        throw ETableError(QString("Cannot replace table file %1 with its compacted copy").arg(path));
    }
    syncFile(m_folder.isEmpty() ? QString(".") : m_folder);
}

void TTable::transaction(std::initializer_list<TTable *> tables, const std::function<void()> &work)
{
    if (tables.size() == 0)
        return;
    TTable *host = *tables.begin();
    for (TTable *t : tables) {
        t->requireActive("transaction");
        if (t->m_state != State::Browse)
            throw ETableError(QString("Table %1 is being edited").arg(t->m_name));
    }
    SqliteDb &db = *host->m_db;
    if (db.inTransaction())
        throw ETableError("Table transactions cannot be nested");

    int n = 0;
    auto unroute = [&]() {
        for (TTable *t : tables) {
            if (t == host || !t->m_route)
                continue;
            t->m_rowQuery.reset();
            t->m_route = nullptr;
            const QString alias = t->m_schemaName;
            t->m_schemaName = "main";
            t->m_currentLoaded = false;
            try {
                db.exec("DETACH " + alias);
            } catch (const ETableError &) {
            }
        }
    };
    try {
        for (TTable *t : tables) {
            if (t == host)
                continue;
            const QString alias = QString("peer%1").arg(++n);
            SqliteStmt attach(db, "ATTACH ? AS " + alias);
            attach.bind(1, t->FileName());
            attach.step();
            db.exec(QString("PRAGMA %1.synchronous=FULL").arg(alias));
            db.exec(QString("PRAGMA %1.journal_mode=DELETE").arg(alias));
            t->m_rowQuery.reset();
            t->m_route = &db;
            t->m_schemaName = alias;
        }
        db.exec("BEGIN IMMEDIATE");
        try {
            work();
            for (TTable *t : tables)
                t->checkBrowseMode();
            db.exec("COMMIT");
        } catch (...) {
            sqlite3_exec(db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
            // The cursors followed changes that are now undone.
            for (TTable *t : tables) {
                t->m_state = State::Browse;
                t->m_buffer.clear();
                const int pos = t->m_pos;
                t->loadOrder();
                t->moveTo(std::min(pos, int(t->m_ids.size()) - 1));
                t->notify();
            }
            throw;
        }
    } catch (...) {
        unroute();
        throw;
    }
    unroute();
}

void TTable::removeStaleSuperJournals(const QString &folder)
{
    QDir dir(folder);
    const QStringList supers = dir.entryList({"*-mj*"}, QDir::Files);
    if (supers.isEmpty())
        return;
    QByteArray journals;
    for (const QString &j : dir.entryList({"*-journal"}, QDir::Files)) {
        QFile f(dir.filePath(j));
        if (f.open(QIODevice::ReadOnly))
            journals += f.readAll();
    }
    for (const QString &s : supers)
        if (!journals.contains(QFile::encodeName(s)))
            QFile::remove(dir.filePath(s));
}
