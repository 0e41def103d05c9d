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

void setMessageBoxHandler(MessageBoxHandler newHandler)
{
    handler() = std::move(newHandler);
}
