#pragma once
#include <QString>
#include <stdexcept>

// A skin package that cannot be installed; the message names the package
// and says what is wrong with it.
class ESkinPackage : public std::runtime_error
{
public:
    explicit ESkinPackage(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};
