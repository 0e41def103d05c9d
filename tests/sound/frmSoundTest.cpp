#include "sound/frmSound.h"

#include "settings/Settings.h"
#include "sound/SilentAudioOutput.h"
#include "sound/SoundCommands.h"
#include "sound/SoundPlayer.h"
#include "tests/sound/WavFile.h"
#include "tests/support/TempAppFolder.h"
#include "tests/support/TestApplication.h"
#include "tests/support/TestLanguage.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

// The dialog over a temporary media folder ($WINDIR/media) and application
// folder, with the silent audio output on a clock moved by hand.
class SoundDialog : public ::testing::Test {
protected:
    void SetUp() override {
        useTestLanguage("ja");
        qputenv("WINDIR", windows.path().toUtf8());
        ASSERT_TRUE(QDir(windows.path()).mkpath("media/sub"));
        ASSERT_TRUE(writeWav(media("b.wav"), 11025) && writeWav(media("A.wav"), 22050));  // 500 ms, 1 s
        writeFileBytes(media("c.txt"), "");
        Settings = SettingsRecord{};
        useAudioOutput(std::make_unique<SilentAudioOutput>([this] { return now; }));
    }
    void TearDown() override {
        useAudioOutput(nullptr);
        qunsetenv("WINDIR");
    }

    QString media(const QString& name) const { return windows.path() + "/media/" + name; }
    QString played(const QString& name) const { return QFileInfo(media(name)).canonicalFilePath(); }
    // Closes the sound's device; false when it was not open.
    bool closeIfOpen(const QString& name) {
        return mciSendString("close \"" + played(name) + "\"").error != SoundError::DeviceNotOpen;
    }
    void open(int selected = -1) {
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        if (selected >= 0) list()->setCurrentIndex(selected);
    }
    QComboBox* list() { return dialog.findChild<QComboBox*>("cmbSound"); }
    void click(const char* button) { dialog.findChild<QAbstractButton*>(button)->click(); }

    QApplication& application = lastingApplication<QApplication>();  // before the dialog
    TempAppFolder home;
    QTemporaryDir windows;
    std::chrono::steady_clock::time_point now{};
    frmSound dialog;
};

}  // namespace

TEST_F(SoundDialog, ListsNoSoundThenTheFolderAfreshAndPreselectsTheStoredSound) {
    const std::pair<QString, QString> cases[] = {{"c.txt", "c.txt"}, {"gone.wav", "(無し)"}, {"B.WAV", "(無し)"}};
    for (const auto& [stored, shown] : cases) {
        Settings.COM.SOUND = stored;
        open();
        EXPECT_EQ(list()->currentText(), shown) << stored.toStdString();
        dialog.reject();
    }
    ASSERT_EQ(list()->count(), 4);
    EXPECT_EQ(list()->itemText(1), "A.wav") << "names in any letter case, in order, listed afresh";
}

// OK stores and saves the choice and silences the alarm sound if it plays;
// Cancel keeps everything and writes nothing.
TEST_F(SoundDialog, OkStoresAndSavesTheChoiceAndCancelKeepsIt) {
    for (const QString& chosen : {QString("cancel"), QString("b.wav"), QString()}) {
        Settings.COM.SOUND = "A.wav";
        Settings.COM.SoundPath = played("A.wav");
        sSoundPlay(Settings.COM.SoundPath);
        open(chosen.isEmpty() ? 0 : 2);
        click(chosen == "cancel" ? "bcmdCancel" : "bcmdOK");
        if (chosen == "cancel") {
            EXPECT_EQ(Settings.COM.SOUND, "A.wav");
            EXPECT_FALSE(QFile::exists(home.filePath("houndly.ini")));
            continue;
        }
        EXPECT_FALSE(closeIfOpen("A.wav")) << "the alarm sound still plays";
        EXPECT_EQ(Settings.COM.SoundPath, chosen.isEmpty() ? QString() : played(chosen));
        Settings = SettingsRecord{};
        ASSERT_TRUE(sLoadSettings());
        EXPECT_EQ(Settings.COM.SOUND, chosen);
    }
}

// A toggle: the trial outlives a closing of the dialog and the next press stops
// it; once a trial has ended, a press starts the new selection.
TEST_F(SoundDialog, TestButtonStartsAndStopsATrial) {
    open(1);  // A.wav, 1 s
    click("cmdTest");
    click("bcmdCancel");
    EXPECT_EQ(GetSoundMode(played("A.wav")), "PLAYING") << "closing the dialog stopped the trial";
    open(1);
    click("cmdTest");
    EXPECT_FALSE(closeIfOpen("A.wav")) << "the second press did not stop the trial";
    open(2);  // b.wav, 500 ms
    click("cmdTest");
    now += 600ms;
    list()->setCurrentIndex(1);
    click("cmdTest");
    EXPECT_EQ(GetSoundMode(played("A.wav")), "PLAYING") << "an ended trial kept the next from starting";
}
