#pragma once
#include <stdexcept>
#include <string>

#include <QString>

// Raised by the shaped-window classes; the message names the class, the
// operation and what failed.
class OrganicShapeException : public std::runtime_error
{
public:
    explicit OrganicShapeException(const std::string &message) : std::runtime_error(message) {}
    explicit OrganicShapeException(const QString &message) : std::runtime_error(message.toStdString()) {}
};
