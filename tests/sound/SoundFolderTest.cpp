#include "settings/AppPaths.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

TEST(SoundFolder, WindowsFolderWhenSetOtherwiseBesideTheProgram) {
    int argc = 1;
    char name[] = "sound_test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    const QString beside = QCoreApplication::applicationDirPath() + "/media/";
    const struct {
        const char* windir;  // nullptr: unset
        QString expected;
    } cases[] = {
        {"/srv/win", "/srv/win/media/"},
        {"/srv/win/", "/srv/win/media/"},
        {"", beside},
        {nullptr, beside},
    };
    const QByteArray saved = qgetenv("WINDIR");
    const bool wasSet = qEnvironmentVariableIsSet("WINDIR");
    for (const auto& c : cases) {
        if (c.windir) qputenv("WINDIR", c.windir); else qunsetenv("WINDIR");
        EXPECT_EQ(soundFolder(), c.expected) << (c.windir ? c.windir : "(unset)");
    }
    if (wasSet) qputenv("WINDIR", saved); else qunsetenv("WINDIR");
}
