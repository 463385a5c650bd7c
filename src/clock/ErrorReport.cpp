#include "ErrorReport.h"

#include <QApplication>
#include <QDateTime>
#include <QHash>
#include <QMessageBox>
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

// Error texts name files, packages and servers: shown as plain text.
void showBox(const QString &text)
{
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), text, QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace

void ErrorReport::show(const QString &text)
{
    ReportState &s = state();
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (s.onScreen.contains(text))
        return;
    const auto last = s.lastShown.constFind(text);
    if (last != s.lastShown.constEnd() && now - *last < kQuietMs)
        return;
    s.onScreen.insert(text);
    s.lastShown[text] = now;
    if (s.sink)
        s.sink(text);
    else
        showBox(text);
    s.onScreen.remove(text);
    s.lastShown[text] = QDateTime::currentMSecsSinceEpoch();
}

void ErrorReport::guard(const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const std::exception &e) {
        show(QString::fromUtf8(e.what()));
    } catch (...) {
        show(QObject::tr("An unexpected error occurred."));
    }
}

void ErrorReport::setSink(std::function<void(const QString &)> sink) { state().sink = std::move(sink); }

void ErrorReport::forgetShown() { state().lastShown.clear(); }
