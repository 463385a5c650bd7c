#pragma once

class QLabel;
class QStatusBar;
class QWidget;

// The time dialogs' status bar along the bottom edge, 21 pixels high, with
// one panel 150 wide for the date and time; returns the panel.
QLabel *addStatusBar(QWidget *dialog, QStatusBar **bar);
