#pragma once
#include <QApplication>

// Turns an exception that leaves any event handler into the error report;
// the program goes on.
class ZApplication : public QApplication
{
public:
    using QApplication::QApplication;
    bool notify(QObject *receiver, QEvent *event) override;
};
