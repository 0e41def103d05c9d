#pragma once

#include "translations/Language.h"

#include <QString>

#include <gtest/gtest.h>

// Makes the texts built from now on speak `language`, "ja" or "en", as [EXT] LANG
// would at start-up. Needs the test's application object.
inline void useTestLanguage(const char* language)
{
    ASSERT_TRUE(useUiLanguage(chooseUiLanguage(QString::fromLatin1(language), {})));
}
