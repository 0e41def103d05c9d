#pragma once

#include "translations/Language.h"

// Makes the whole program use a face that shows its language, at the 9 points
// the window layout is measured for: a Japanese-capable proportional Gothic for
// Japanese (saying on standard error when the system has none at all), the
// desktop's own sans-serif face for English.
void useFontsFor(UiLanguage language);
