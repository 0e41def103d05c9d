#pragma once

#include <QObject>
#include <QString>

// Gives a freshly made control the object name that the tests and the style
// sheets find it by, and hands it back for the constructor's initialiser list.
template <typename Object>
Object* named(Object* object, const char* name)
{
    object->setObjectName(QString::fromLatin1(name));
    return object;
}
