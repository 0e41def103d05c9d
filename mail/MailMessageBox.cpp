#include "mail/MailMessageBox.h"

namespace {
MailMessageHandler currentHandler;
}

void showMailMessage(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text)
{
    if (currentHandler) {
        currentHandler(parent, icon, title, text);
        return;
    }
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

void setMailMessageHandler(MailMessageHandler handler)
{
    currentHandler = std::move(handler);
}
