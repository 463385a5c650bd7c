#pragma once
#include <functional>

#include <sys/types.h>

// A writer in a child process that is killed without warning (SIGKILL) at a
// point of its own progress: the child reports each finished step through a
// pipe, the parent waits for as many steps as it likes and kills it. On a
// busy machine the kill still lands in the middle of the work, not before it
// has begun, as a kill after a fixed time would.
//   KilledWriter writer([&](const KilledWriter::Step &step) {
//       for (;;) { change(); step(); }
//   });
//   ASSERT_TRUE(writer.waitForSteps(n));
//   writer.kill();
class KilledWriter
{
public:
    using Step = std::function<void()>;

    // Forks; the child runs work(step) and ends when it returns (exit code
    // 0) or throws (exit code 2, the error on standard error).
    explicit KilledWriter(const std::function<void(const Step &step)> &work);
    ~KilledWriter(); // kills and reaps a child still there
    KilledWriter(const KilledWriter &) = delete;
    KilledWriter &operator=(const KilledWriter &) = delete;

    // Waits until the child has reported `steps` steps in all; false when it
    // ended first or reported nothing for a long time.
    bool waitForSteps(int steps);
    int stepsSeen() const { return m_seen; }
    // Kills the child with SIGKILL and reaps it; answers its wait status.
    int kill();

private:
    pid_t m_pid = -1;
    int m_fd = -1;
    int m_seen = 0;
};
