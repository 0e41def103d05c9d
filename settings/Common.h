#pragma once

// The common helpers under the module's original name.
#include "settings/CommonHelpers.h"
