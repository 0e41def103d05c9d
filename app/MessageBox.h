#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

// Every message box of the main window goes through here, so that tests can
// see the message without a modal loop.
using MessageBoxHandler =
    std::function<void(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text)>;

// Shows a message box with an OK button and waits until it is closed.
void showMessageBox(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text);

// Shows a message box with an OK button and returns at once: for news that
// must not stop what the user is doing (a slider still being dragged).
void showMessageBoxWithoutWaiting(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text);

// Replaces the way message boxes are shown; an empty handler restores the modal box.
void setMessageBoxHandler(MessageBoxHandler handler);
