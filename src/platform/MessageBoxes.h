#pragma once
#include <QMessageBox>
#include <QString>

#include <functional>

// The one way the skin dialogs put a question or a notice to the user, so
// that tests can answer instead of a person.
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
    // An empty handler brings back the real message boxes.
    static void setHandler(Handler handler);
};
