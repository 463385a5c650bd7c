#pragma once
#include <QString>
#include <stdexcept>

// A sound file that cannot be opened or played. The message names the file
// and the reason, ready to be shown to the user.
class EMCIDeviceError : public std::runtime_error
{
public:
    explicit EMCIDeviceError(const QString &message)
        : std::runtime_error(message.toStdString())
    {
    }
    QString text() const { return QString::fromStdString(what()); }
};
