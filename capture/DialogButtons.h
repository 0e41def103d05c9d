#pragma once

#include <QDialog>
#include <QDialogButtonBox>

#include <functional>

// OK runs `apply` and accepts the dialog; Cancel rejects it.
inline QDialogButtonBox* addDialogButtons(QDialog* dialog, std::function<void()> apply)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, [dialog, apply = std::move(apply)] {
        apply();
        dialog->accept();
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}
