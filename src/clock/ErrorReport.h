#pragma once
#include <QString>
#include <functional>

// The application's one place that shows an error to the user. A text that
// is on screen, or was shown in the last minute, is not shown again: a step
// that fails on every 200 ms tick must not bury the desktop in boxes.
class ErrorReport
{
public:
    static void show(const QString &text);
    // Runs a handler; an exception leaving it is shown and ends only it.
    static void guard(const std::function<void()> &handler);
    // Tests collect the reports instead of opening boxes.
    static void setSink(std::function<void(const QString &)> sink);
    static void forgetShown();
};
