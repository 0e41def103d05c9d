#pragma once

// Driving a dialog by the object names of its controls, as a user would.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLineEdit>

// The child of `parent` named `name`; a test failure (and nullptr) when missing.
template <typename T = QWidget>
T* namedChild(QWidget& parent, const char* name)
{
    T* found = parent.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

inline void clickNamed(QWidget& parent, const char* name)
{
    if (auto* button = namedChild<QAbstractButton>(parent, name))
        button->click();
}

inline void typeInto(QWidget& parent, const char* name, const QString& text)
{
    if (auto* box = namedChild<QLineEdit>(parent, name))
        box->setText(text);
}
