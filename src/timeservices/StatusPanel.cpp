#include "StatusPanel.h"

#include <QLabel>
#include <QStatusBar>

QLabel *addStatusBar(QWidget *dialog, QStatusBar **bar)
{
    auto *statusBar = new QStatusBar(dialog);
    statusBar->setObjectName("StatusBar1");
    statusBar->setGeometry(0, dialog->height() - 21, dialog->width(), 21);
    statusBar->setSizeGripEnabled(false);
    auto *panel = new QLabel(statusBar);
    panel->setObjectName("StatusPanel");
    panel->setFixedWidth(150);
    statusBar->addWidget(panel);
    *bar = statusBar;
    return panel;
}
