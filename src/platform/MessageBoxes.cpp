#include "MessageBoxes.h"

namespace {

MessageBoxes::Handler &handler()
{
    static MessageBoxes::Handler h;
    return h;
}

} // namespace

QMessageBox::StandardButton MessageBoxes::ask(QWidget *parent, QMessageBox::Icon icon, const QString &title,
                                              const QString &text, QMessageBox::StandardButtons buttons)
{
    if (handler())
        return handler()({icon, title, text, buttons});
    QMessageBox box(icon, title, text, buttons, parent);
    // Texts carry package, file and skin names: never read them as markup.
    box.setTextFormat(Qt::PlainText);
    return QMessageBox::StandardButton(box.exec());
}

void MessageBoxes::inform(QWidget *parent, const QString &title, const QString &text)
{
    ask(parent, QMessageBox::Information, title, text, QMessageBox::Ok);
}

void MessageBoxes::setHandler(Handler h) { handler() = std::move(h); }
