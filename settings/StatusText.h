#pragma once

#include <QString>

#include <functional>

// Shows a progress text in the first panel of the main window's status bar.
using StatusText = std::function<void(const QString&)>;
