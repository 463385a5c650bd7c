#include "SqliteDb.h"
#include "TableError.h"

#include <QFileInfo>

#include <sqlite3.h>

namespace {

// What is wrong with the file, read from SQLite's result code; it follows
// "Table file <path>". The statement that failed is of no use to the user.
QString problemOf(int rc, const QString &detail)
{
    switch (rc & 0xff) {
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT: return "is damaged";
    case SQLITE_CONSTRAINT: return "already holds a record with the same key";
    case SQLITE_FULL: return "cannot be written: the disk is full";
    case SQLITE_READONLY: return "cannot be written (" + detail + ")";
    case SQLITE_IOERR:
        if (rc == SQLITE_IOERR_READ || rc == SQLITE_IOERR_SHORT_READ)
            return "cannot be read (" + detail + ")";
        return "cannot be written (" + detail + ")";
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_AUTH: return "cannot be opened (" + detail + ")";
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return "is in use by another program";
    case SQLITE_NOMEM: return "cannot be read: out of memory";
    default: return "cannot be used (" + detail + ")";
    }
}

} // namespace

SqliteDb::SqliteDb(const QString &path, Mode mode) : m_path(path)
{
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
    if (mode == Create)
        flags |= SQLITE_OPEN_CREATE;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString detail = QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close(m_db);
        m_db = nullptr;
        if (rc == SQLITE_CANTOPEN && mode != Create && !QFileInfo::exists(path))
            throw ETableError::inFile(path, "does not exist");
        throw ETableError::inFile(path, problemOf(rc, detail));
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, 2000);
}

SqliteDb::~SqliteDb()
{
    sqlite3_close_v2(m_db);
}

void SqliteDb::fail(int rc) const
{
    throw ETableError::inFile(m_path, problemOf(rc, QString::fromUtf8(sqlite3_errmsg(m_db))));
}

void SqliteDb::exec(const QString &sql)
{
    char *err = nullptr;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &err);
    sqlite3_free(err);
    if (rc != SQLITE_OK)
        fail(rc);
}

qint64 SqliteDb::lastInsertId() const { return sqlite3_last_insert_rowid(m_db); }

bool SqliteDb::inTransaction() const { return sqlite3_get_autocommit(m_db) == 0; }

SqliteStmt::SqliteStmt(const SqliteDb &db, const QString &sql) : m_db(db)
{
    const int rc = sqlite3_prepare_v2(db.handle(), sql.toUtf8().constData(), -1, &m_stmt, nullptr);
    if (rc != SQLITE_OK)
        db.fail(rc);
}

SqliteStmt::~SqliteStmt() { sqlite3_finalize(m_stmt); }

void SqliteStmt::bind(int index, const QString &value)
{
    const QByteArray utf8 = value.toUtf8();
    sqlite3_bind_text(m_stmt, index, utf8.constData(), utf8.size(), SQLITE_TRANSIENT);
}

void SqliteStmt::bind(int index, qint64 value) { sqlite3_bind_int64(m_stmt, index, value); }

void SqliteStmt::bind(int index, const QVariant &value)
{
    if (!value.isValid() || value.isNull()) {
        sqlite3_bind_null(m_stmt, index);
        return;
    }
    switch (value.typeId()) {
    case QMetaType::QByteArray: {
        const QByteArray b = value.toByteArray();
        sqlite3_bind_blob(m_stmt, index, b.constData(), b.size(), SQLITE_TRANSIENT);
        break;
    }
    case QMetaType::Double: sqlite3_bind_double(m_stmt, index, value.toDouble()); break;
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::LongLong: sqlite3_bind_int64(m_stmt, index, value.toLongLong()); break;
    default: bind(index, value.toString()); break;
    }
}

void SqliteStmt::reset()
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

bool SqliteStmt::step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    m_db.fail(rc);
}

int SqliteStmt::columnCount() const { return sqlite3_column_count(m_stmt); }
qint64 SqliteStmt::int64(int col) const { return sqlite3_column_int64(m_stmt, col); }

QString SqliteStmt::text(int col) const
{
    const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, col));
    return p ? QString::fromUtf8(p, sqlite3_column_bytes(m_stmt, col)) : QString();
}

QByteArray SqliteStmt::bytes(int col) const
{
    const void *p = sqlite3_column_blob(m_stmt, col);
    return p ? QByteArray(static_cast<const char *>(p), sqlite3_column_bytes(m_stmt, col)) : QByteArray();
}

QVariant SqliteStmt::value(int col) const
{
    switch (sqlite3_column_type(m_stmt, col)) {
    case SQLITE_INTEGER: return QVariant(int64(col));
    case SQLITE_FLOAT: return QVariant(sqlite3_column_double(m_stmt, col));
    case SQLITE_TEXT: return QVariant(text(col));
    case SQLITE_BLOB: return QVariant(bytes(col));
    default: return QVariant();
    }
}
