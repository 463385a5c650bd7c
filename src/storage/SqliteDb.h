#pragma once
#include <QByteArray>
#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

// Thin RAII layer over the SQLite C API. Every failure becomes an ETableError
// that names the database file and says what is wrong with it.
class SqliteDb
{
public:
    enum Mode { ReadWrite, Create };
    SqliteDb(const QString &path, Mode mode);
    ~SqliteDb();
    SqliteDb(const SqliteDb &) = delete;
    SqliteDb &operator=(const SqliteDb &) = delete;

    sqlite3 *handle() const { return m_db; }
    const QString &path() const { return m_path; }
    void exec(const QString &sql);
    // Throws the ETableError that says what SQLite's result code rc means
    // for the file.
    [[noreturn]] void fail(int rc) const;
    qint64 lastInsertId() const;
    bool inTransaction() const;

private:
    sqlite3 *m_db = nullptr;
    QString m_path;
};

class SqliteStmt
{
public:
    SqliteStmt(const SqliteDb &db, const QString &sql);
    ~SqliteStmt();
    SqliteStmt(const SqliteStmt &) = delete;
    SqliteStmt &operator=(const SqliteStmt &) = delete;

    void bind(int index, const QVariant &value);
    void bind(int index, const QString &value);
    void bind(int index, qint64 value);
    // Makes a prepared statement ready to run again.
    void reset();
    // True while a row is available.
    bool step();
    int columnCount() const;
    qint64 int64(int col) const;
    QString text(int col) const;
    QByteArray bytes(int col) const;
    QVariant value(int col) const;

private:
    const SqliteDb &m_db;
    sqlite3_stmt *m_stmt = nullptr;
};
