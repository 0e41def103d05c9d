#include "app/MessageBox.h"

namespace {

MessageBoxHandler& handler()
{
    static MessageBoxHandler current;
    return current;
}

}  // namespace

void showMessageBox(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text)
{
    if (handler()) {
        handler()(parent, icon, title, text);
        return;
    }
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

void showMessageBoxWithoutWaiting(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text)
{
    if (handler()) {
        handler()(parent, icon, title, text);
        return;
    }
    auto* box = new QMessageBox(icon, title, text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

void setMessageBoxHandler(MessageBoxHandler newHandler)
{
    handler() = std::move(newHandler);
}
