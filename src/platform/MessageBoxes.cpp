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
    box.setTextFormat(Qt::PlainText);
    return QMessageBox::StandardButton(box.exec());
}

QMessageBox *MessageBoxes::open(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text,
                                Qt::WindowModality modality, const QString &objectName)
{
    if (handler()) {
        handler()({icon, title, text, QMessageBox::Ok});
        return nullptr;
    }
    auto *box = new QMessageBox(icon, title, text, QMessageBox::Ok, parent);
    box->setTextFormat(Qt::PlainText);
    box->setObjectName(objectName);
    box->setAttribute(Qt::WA_DeleteOnClose);
    if (modality == Qt::NonModal) {
        box->setWindowModality(Qt::NonModal);
        box->show();
    } else
        box->open();
    return box;
}

void MessageBoxes::inform(QWidget *parent, const QString &title, const QString &text)
{
    ask(parent, QMessageBox::Information, title, text, QMessageBox::Ok);
}

void MessageBoxes::setHandler(Handler h) { handler() = std::move(h); }
