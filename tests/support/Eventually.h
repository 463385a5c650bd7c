#pragma once
#include <functional>

// How long a test waits for something that should happen soon: the window
// to show, a sound to end, a process to take a lock. Generous, because the
// machine may be shared and busy; a wait that succeeds ends as soon as its
// condition holds, so only a failing test pays for it.
constexpr int kPatienceMs = 60000;

// Serves the event loop until cond() holds (true) or the time is up (false).
// Use it instead of a fixed sleep, and instead of QTRY_* and QVERIFY: under
// GoogleTest those report nothing and let a failing test pass.
//   ASSERT_TRUE(eventually([&] { return form.pos() == QPoint(1, 2); }));
bool eventually(const std::function<bool()> &cond, int timeoutMs = kPatienceMs);
