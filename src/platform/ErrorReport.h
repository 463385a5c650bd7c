#pragma once
#include <QString>
#include <functional>

class QEvent;

// The application's one place that shows an error to the user, as a message
// box with the error's text. A text already on screen is never shown a
// second time at once.
//
// Two kinds of handler meet here. A command the user starts (a menu
// command, a button) always answers with its message, however often it is
// repeated: the user asked and waits for an answer. A step that runs again
// by itself (the 200 ms tick, a window's activation, a table's change
// notices that bound labels follow, a looping sound's notices, any event
// that is not the user's input) could bury the desktop in boxes: its text is
// not shown again for a minute after its box was closed.
class ErrorReport
{
public:
    // For commands the user starts.
    static void show(const QString &text);
    // Runs a command; an exception leaving it is shown and ends only it.
    static void guard(const std::function<void()> &handler);

    // For steps that repeat by themselves: the flood guard.
    static void showTick(const QString &text);
    static void guardTick(const std::function<void()> &handler);

    // Whether an event is the user's own input, whose failure answers like
    // a command; any other event repeats by itself.
    static bool isUserInput(const QEvent &event);

    // Tests collect the reports instead of opening boxes.
    static void setSink(std::function<void(const QString &)> sink);
    static void forgetShown();
};
