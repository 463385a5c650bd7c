#include "ErrorReport.h"
#include "MessageBoxes.h"

#include <QApplication>
#include <QDateTime>
#include <QEvent>
#include <QHash>
#include <QSet>
#include <exception>

namespace {

constexpr qint64 kQuietMs = 60 * 1000;

struct ReportState
{
    std::function<void(const QString &)> sink;
    QSet<QString> onScreen;
    QHash<QString, qint64> lastShown;
};

ReportState &state()
{
    static ReportState s;
    return s;
}

void showBox(const QString &text)
{
    MessageBoxes::ask(nullptr, QMessageBox::Critical, QApplication::applicationName(), text, QMessageBox::Ok);
}

enum class Source { Command, Repeating };

void report(const QString &text, Source source)
{
    ReportState &s = state();
    if (s.onScreen.contains(text))
        return;
    if (source == Source::Repeating) {
        const auto last = s.lastShown.constFind(text);
        if (last != s.lastShown.constEnd() && QDateTime::currentMSecsSinceEpoch() - *last < kQuietMs)
            return;
    }
    s.onScreen.insert(text);
    if (s.sink)
        s.sink(text);
    else
        showBox(text);
    s.onScreen.remove(text);
    // Counted from the box's closing: a failing tick stays quiet for a
    // minute after the user dismissed it, however long the box was open.
    s.lastShown[text] = QDateTime::currentMSecsSinceEpoch();
}

void run(const std::function<void()> &handler, Source source)
{
    try {
        handler();
    } catch (const std::exception &e) {
        report(QString::fromUtf8(e.what()), source);
    } catch (...) {
        report(QObject::tr("An unexpected error occurred."), source);
    }
}

} // namespace

void ErrorReport::show(const QString &text) { report(text, Source::Command); }

void ErrorReport::guard(const std::function<void()> &handler) { run(handler, Source::Command); }

void ErrorReport::showTick(const QString &text) { report(text, Source::Repeating); }

void ErrorReport::guardTick(const std::function<void()> &handler) { run(handler, Source::Repeating); }

bool ErrorReport::isUserInput(const QEvent &event)
{
    switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::Wheel:
        return true;
    default:
        return false;
    }
}

void ErrorReport::setSink(std::function<void(const QString &)> sink) { state().sink = std::move(sink); }

void ErrorReport::forgetShown() { state().lastShown.clear(); }
