#pragma once

#include <QString>

#include <ostream>

// Test failures show texts as text, not as bytes.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
