#include "KilledWriter.h"

#include "Eventually.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <exception>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

KilledWriter::KilledWriter(const std::function<void(const Step &step)> &work)
{
    int fds[2];
    if (pipe(fds) != 0)
        return;
    m_pid = fork();
    if (m_pid == 0) {
        close(fds[0]);
        const int out = fds[1];
        const Step step = [out] {
            const char c = 's';
            while (write(out, &c, 1) != 1)
                if (errno != EINTR)
                    _exit(3); // the parent has gone
        };
        // _exit: the child must not run the parent's test framework or
        // destructors on its way out.
        try {
            work(step);
        } catch (const std::exception &e) {
            std::fprintf(stderr, "writer failed: %s\n", e.what());
            _exit(2);
        } catch (...) {
            _exit(2);
        }
        _exit(0);
    }
    close(fds[1]);
    if (m_pid < 0)
        close(fds[0]);
    else
        m_fd = fds[0];
}

KilledWriter::~KilledWriter()
{
    kill();
}

bool KilledWriter::waitForSteps(int steps)
{
    char buffer[256];
    while (m_seen < steps && m_fd >= 0) {
        pollfd p{m_fd, POLLIN, 0};
        const int ready = poll(&p, 1, kPatienceMs);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        // Only as many as asked for: what is left stays for a later wait.
        const ssize_t n = read(m_fd, buffer, size_t(std::min<int>(int(sizeof buffer), steps - m_seen)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false; // the child ended
        m_seen += int(n);
    }
    return m_seen >= steps;
}

int KilledWriter::kill()
{
    int status = 0;
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
        }
        m_pid = -1;
    }
    if (m_fd >= 0) {
        close(m_fd);
        m_fd = -1;
    }
    return status;
}
