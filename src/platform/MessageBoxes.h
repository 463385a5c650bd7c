#pragma once
#include <QMessageBox>
#include <QString>

#include <functional>

// The one way the clock puts a question, a notice or an error to the user,
// so that tests can answer instead of a person. Every box shows its text as
// plain text: texts carry package, file, server and skin names.
struct MessageRequest
{
    QMessageBox::Icon icon;
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons;
};

class MessageBoxes
{
public:
    using Handler = std::function<QMessageBox::StandardButton(const MessageRequest &)>;

    static QMessageBox::StandardButton ask(QWidget *parent, QMessageBox::Icon icon, const QString &title,
                                           const QString &text, QMessageBox::StandardButtons buttons);
    static void inform(QWidget *parent, const QString &title, const QString &text);
    // A box with an OK button that does not hold its caller: the clock goes
    // on ticking, a dialog's timer goes on running while it is read. Modal
    // to its parent window (Qt::WindowModal) or to nothing (Qt::NonModal);
    // it frees itself when closed. Returns the box, or null when a test's
    // handler answered instead.
    static QMessageBox *open(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text,
                             Qt::WindowModality modality, const QString &objectName = QString());
    // An empty handler brings back the real message boxes.
    static void setHandler(Handler handler);
};
