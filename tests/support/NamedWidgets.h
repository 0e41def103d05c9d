#pragma once

// Driving a dialog by the object names of its controls, as a user would.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>

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

// The character a password box shows for each typed one, as the box asks its style.
inline QChar passwordCharacter(QWidget& parent, const char* name)
{
    auto* box = namedChild<QLineEdit>(parent, name);
    if (box == nullptr)
        return {};
    QStyleOptionFrame option;
    option.initFrom(box);
    return QChar(box->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, &option, box));
}
