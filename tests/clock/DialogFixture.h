#pragma once
#include "FakeSystemClock.h"
#include "SkinFolder.h"

#include <QDialog>
#include <QFont>
#include <QString>

#include <functional>
#include <memory>

class TfClock;

// A clock on a folder with one item of each kind, a product record, a time
// server, a skin package to list and one alarm, and every dialog of the
// program made the way its menu command makes it.
class DialogFixture
{
public:
    DialogFixture();
    ~DialogFixture();

    struct Dialog
    {
        const char *name;
        std::function<std::unique_ptr<QDialog>(DialogFixture &)> make;
        // Pages a dialog has beyond the one it opens on: each step shows the next.
        int pages = 1;
        std::function<void(QDialog &)> nextPage = {};
    };
    static const QVector<Dialog> &dialogs();

    // Makes and shows the dialog; its layout has settled when this returns.
    std::unique_ptr<QDialog> open(const Dialog &d);

    SkinFolder folder;
    std::unique_ptr<TfClock> clock;
    FakeSystemClock systemClock;
    CollectedErrors errors;
    ScriptedAnswers answers;
};

// Lets Qt finish laying out what was shown or changed.
void settle();

// The application font for the tests in one scope, put back afterwards.
class AppFont
{
public:
    explicit AppFont(double scale);
    ~AppFont();

private:
    QFont m_saved;
};
