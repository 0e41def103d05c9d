#pragma once

#include <QString>

#include <functional>

// Every save of the settings after a change goes through here, so a save that
// fails is never silent: it is written to standard error and handed to the
// notice the main window installs, once, until a save succeeds again (a
// slider dragged on a full disk fails at every step).
bool sSaveSettingsReported();

// Shows the failure to the user; an empty notice leaves standard error only.
using SaveFailureNotice = std::function<void(const QString& message)>;
void setSaveFailureNotice(SaveFailureNotice notice);
