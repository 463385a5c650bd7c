#pragma once

class QLabel;
class QStatusBar;
class QVBoxLayout;
class QWidget;

// The time dialogs' status bar along the bottom edge, at least 21 pixels
// high, with one panel for the date and time: 150 wide, or as wide as the
// longest date and time of the system's formats. The dialog's layout gets
// the bar as its last row; returns the panel.
QLabel *addStatusBar(QWidget *dialog, QVBoxLayout *layout, QStatusBar **bar);
