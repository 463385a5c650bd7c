#pragma once
#include <QString>
#include <stdexcept>

// Every failure of the table engine and of the settings file: the message is
// meant for the user and names the file involved.
class ETableError : public std::runtime_error
{
public:
    explicit ETableError(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};
