#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

// Every message of the mail dialogs goes through here, so that tests can
// read and answer it without a modal loop.
using MailMessageHandler =
    std::function<void(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text)>;

// Shows a message box with an OK button and waits until it is closed.
void showMailMessage(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text);

// Replaces the way messages are shown; an empty handler restores the modal box.
void setMailMessageHandler(MailMessageHandler handler);
