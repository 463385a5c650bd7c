#include "SessionEnd.h"
#include "ErrorReport.h"
#include "uClock.h"

#include <QApplication>
#include <QDialog>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <cerrno>
#include <csignal>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Written by the signal handler, which may do nothing but write().
volatile sig_atomic_t g_writeFd = -1;
struct sigaction g_previous[3];

void onSignal(int sig)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(sig);
    if (g_writeFd >= 0)
        [[maybe_unused]] const ssize_t n = ::write(g_writeFd, &byte, 1);
    errno = saved;
}

// The main loop is one level; a modal window or a menu runs one more each.
constexpr int kMainLoopLevel = 1;
// Retries while nested loops unwind; then the clock closes regardless
// (quitting leaves every loop), so that the end never hangs.
constexpr int kRetryMs = 10;
constexpr int kMaxAttempts = 300;

} // namespace

const int SessionEnd::Signals[3] = {SIGTERM, SIGINT, SIGHUP};

SessionEnd::SessionEnd(TfClock &clock) : QObject(&clock), m_clock(clock)
{
    if (g_writeFd >= 0)
        throw std::logic_error("SessionEnd: the signals are already taken");
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, m_fds) != 0)
        throw std::runtime_error("Cannot watch for the end of the session: no socket pair");
    m_notifier = new QSocketNotifier(m_fds[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SessionEnd::readSignals);
    g_writeFd = m_fds[0];
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < 3; ++i)
        ::sigaction(Signals[i], &action, &g_previous[i]);

#ifndef QT_NO_SESSIONMANAGER
    if (auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        connect(app, &QGuiApplication::commitDataRequest, this, &SessionEnd::saveForSession);
        connect(app, &QGuiApplication::saveStateRequest, this, &SessionEnd::saveForSession);
    }
#endif
}

SessionEnd::~SessionEnd()
{
    for (int i = 0; i < 3; ++i)
        ::sigaction(Signals[i], &g_previous[i], nullptr);
    g_writeFd = -1;
    delete m_notifier;
    ::close(m_fds[0]);
    ::close(m_fds[1]);
}

void SessionEnd::saveForSession()
{
    if (m_clock.StartupDone)
        ErrorReport::guard([this] { m_clock.SaveSettings(); });
}

void SessionEnd::readSignals()
{
    unsigned char bytes[64];
    bool any = false;
    while (::read(m_fds[1], bytes, sizeof bytes) > 0)
        any = true;
    if (any)
        end();
}

void SessionEnd::end()
{
    if (m_ending)
        return;
    m_ending = true;
    m_clock.Ending = true;
    m_attempts = 0;
    leaveLoopsThenClose();
}

void SessionEnd::leaveLoopsThenClose()
{
    // Before the main loop runs (the message of a failed start), a modal
    // window's loop is the only one.
    const bool nested = QThread::currentThread()->loopLevel() > kMainLoopLevel || QApplication::activeModalWidget()
        || QApplication::activePopupWidget();
    if (nested && ++m_attempts < kMaxAttempts) {
        // Each window leaves by its own close path (an alarm message deals
        // with its alarm, a dialog cancels), then its loop returns and
        // whatever opened it finishes before the clock closes.
        if (QWidget *popup = QApplication::activePopupWidget())
            popup->close();
        else if (QWidget *modal = QApplication::activeModalWidget()) {
            if (auto *dialog = qobject_cast<QDialog *>(modal))
                dialog->reject();
            else
                modal->close();
        }
        QTimer::singleShot(kRetryMs, this, &SessionEnd::leaveLoopsThenClose);
        return;
    }
    m_clock.close();
}
