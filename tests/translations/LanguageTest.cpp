#include "translations/Language.h"

#include "tests/support/TestApplication.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

// [EXT] LANG wins over the desktop; without it the first of the desktop's
// languages that Houndly speaks, and English for any other desktop.
TEST(Language, TheSettingWinsThenTheDesktopsFirstSpokenLanguageThenEnglish)
{
    const struct {
        const char* setting;
        QStringList desktop;
        UiLanguage expected;
    } cases[] = {
        {"ja", {"en-US"}, UiLanguage::Japanese},
        {"en", {"ja-JP", "ja"}, UiLanguage::English},
        {"", {"ja-JP", "ja", "en-US"}, UiLanguage::Japanese},
        {"", {"en-GB", "ja-JP"}, UiLanguage::English},
        {"", {"fr-FR", "ja-JP"}, UiLanguage::Japanese},
        {"", {"de-DE"}, UiLanguage::English},
        {"", {"C"}, UiLanguage::English},
        {"", {}, UiLanguage::English},
        {"fr", {"ja-JP"}, UiLanguage::Japanese},
    };
    for (const auto& c : cases)
        EXPECT_EQ(chooseUiLanguage(c.setting, c.desktop), c.expected) << c.setting << " " << c.desktop.join(',').toStdString();
}

// The built-in translation speaks English, and Japanese comes back when it goes.
TEST(Language, TheTranslationIsBuiltInAndCanBeRemoved)
{
    testApplication();
    const char* title = "ｻｳﾝﾄﾞ設定";
    ASSERT_TRUE(useUiLanguage(UiLanguage::English));
    EXPECT_EQ(QCoreApplication::translate("frmSound", title), QStringLiteral("Alarm Sound"));
    ASSERT_TRUE(useUiLanguage(UiLanguage::Japanese));
    EXPECT_EQ(QCoreApplication::translate("frmSound", title), QString::fromUtf8(title));
}
