#include "StatusPanel.h"
#include "TimeText.h"

#include <QLabel>
#include <QStatusBar>
#include <QVBoxLayout>

#include <algorithm>

QLabel *addStatusBar(QWidget *dialog, QVBoxLayout *layout, QStatusBar **bar)
{
    auto *statusBar = new QStatusBar(dialog);
    statusBar->setObjectName("StatusBar1");
    statusBar->setSizeGripEnabled(false);
    auto *panel = new QLabel(statusBar);
    panel->setObjectName("StatusPanel");
    panel->setTextFormat(Qt::PlainText);
    // The text changes every second: its room is kept for the widest one, a
    // two-digit day in the month with the longest name.
    int widest = 0;
    for (int month = 1; month <= 12; ++month)
        widest = std::max(widest, panel->fontMetrics().horizontalAdvance(
                                      TimeText::dateAndTime(QDateTime(QDate(2000, month, 28), QTime(22, 58, 58)))));
    panel->setMinimumWidth(std::max(150, widest + 2 * panel->margin() + 8));
    statusBar->addWidget(panel);
    statusBar->setMinimumHeight(21);
    layout->addWidget(statusBar);
    *bar = statusBar;
    return panel;
}
