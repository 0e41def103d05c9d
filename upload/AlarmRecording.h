#pragma once

#include "settings/StatusText.h"

// Records the alarm clip and uploads it, as the FTP settings ask.
void sStartAVI(const StatusText& showStatus);
