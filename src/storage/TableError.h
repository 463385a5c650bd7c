#pragma once
#include <QString>
#include <stdexcept>

// Every failure of the table engine and of the settings file: the message is
// meant for the user and names the file involved.
class ETableError : public std::runtime_error
{
public:
    explicit ETableError(const QString &message) : std::runtime_error(message.toStdString()) {}

    // What is wrong with one table file, said once and naming the file once:
    // "Table file <file> <problem>", the problem a predicate such as "is
    // damaged" or "cannot be read (reason)".
    static ETableError inFile(const QString &file, const QString &problem)
    {
        return ETableError(QString("Table file %1 %2").arg(file, problem), file, problem);
    }
    // A file that holds no table of this program (another program's
    // database, or no database at all).
    static ETableError notATableFile(const QString &file)
    {
        const QString problem = "is not a table file of Zindle Clock";
        return ETableError(QString("The file %1 %2").arg(file, problem), file, problem);
    }

    QString message() const { return QString::fromStdString(what()); }
    // The file a problem of inFile() or notATableFile() is about; empty for
    // other errors.
    QString file() const { return m_file; }
    // That problem without the file's name ("is damaged"); empty for other
    // errors.
    QString problem() const { return m_problem; }

private:
    ETableError(const QString &message, const QString &file, const QString &problem)
        : std::runtime_error(message.toStdString()), m_file(file), m_problem(problem)
    {
    }

    QString m_file;
    QString m_problem;
};
