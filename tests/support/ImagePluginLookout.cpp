#include "ImagePluginLookout.h"

#include <QCoreApplication>
#include <QDir>

#include <sys/inotify.h>
#include <unistd.h>

ImagePluginLookout::ImagePluginLookout()
{
    const QString folder = m_dir.path() + "/imageformats";
    QDir().mkpath(folder);
    m_fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_fd >= 0)
        inotify_add_watch(m_fd, QFile::encodeName(folder).constData(), IN_OPEN);
    QCoreApplication::addLibraryPath(m_dir.path());
}

ImagePluginLookout::~ImagePluginLookout()
{
    QCoreApplication::removeLibraryPath(m_dir.path());
    if (m_fd >= 0)
        close(m_fd);
}

bool ImagePluginLookout::looked()
{
    // Opening the folder is reported at once: what has happened is queued.
    bool any = false;
    alignas(inotify_event) char events[4096];
    while (m_fd >= 0 && read(m_fd, events, sizeof events) > 0)
        any = true;
    return any;
}
