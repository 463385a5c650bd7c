#pragma once
#include <QByteArray>
#include <ctime>

// Runs a test in a zone half an hour off whole hours east of UTC, so that a
// date or time read in UTC instead of local time shows, near midnight.
class LocalZone
{
public:
    explicit LocalZone(const char *posixZone = "IST-05:30") : m_saved(qgetenv("TZ")), m_had(qEnvironmentVariableIsSet("TZ"))
    {
        qputenv("TZ", posixZone);
        tzset();
    }
    ~LocalZone()
    {
        if (m_had)
            qputenv("TZ", m_saved);
        else
            qunsetenv("TZ");
        tzset();
    }

private:
    QByteArray m_saved;
    bool m_had;
};
