#include "sound/frmSound.h"

#include "settings/Settings.h"
#include "sound/SilentAudioOutput.h"
#include "sound/SoundCommands.h"
#include "sound/SoundPlayer.h"
#include "tests/sound/WavFile.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

// The dialog over a temporary media folder ($WINDIR/media) and application
// folder, with the silent audio output on a clock moved by hand.
class SoundDialog : public ::testing::Test {
protected:
    void SetUp() override {
        qputenv("HOUNDLY_HOME", home.path().toUtf8());
        qputenv("WINDIR", windows.path().toUtf8());
        ASSERT_TRUE(QDir(windows.path()).mkpath("media/sub"));
        ASSERT_TRUE(writeWav(media("b.wav"), 11025));  // 500 ms
        ASSERT_TRUE(writeWav(media("A.wav"), 22050));  // 1000 ms
        QFile notes(media("c.txt"));
        ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
        Settings = SettingsRecord{};
        useAudioOutput(std::make_unique<SilentAudioOutput>([this] { return now; }));
    }
    void TearDown() override {
        useAudioOutput(nullptr);
        qunsetenv("WINDIR");
        qunsetenv("HOUNDLY_HOME");
    }

    QString media(const QString& name) const { return windows.path() + "/media/" + name; }
    QString played(const QString& name) const { return QFileInfo(media(name)).canonicalFilePath(); }
    QComboBox* list() { return dialog.findChild<QComboBox*>("cmbSound"); }
    QStringList items() {
        QStringList texts;
        for (int i = 0; i < list()->count(); ++i) texts << list()->itemText(i);
        return texts;
    }
    void click(const char* button) {
        QTest::mouseClick(dialog.findChild<QAbstractButton*>(button), Qt::LeftButton);
    }
    void open() {
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }

    QTemporaryDir home;
    QTemporaryDir windows;
    std::chrono::steady_clock::time_point now{};
    frmSound dialog;
};

}  // namespace

TEST_F(SoundDialog, ShowsItsCaptionsAndListsNoSoundThenTheFolderFiles) {
    open();
    EXPECT_EQ(dialog.windowTitle(), "ｻｳﾝﾄﾞ設定");
    EXPECT_EQ(dialog.findChild<QPushButton*>("bcmdOK")->text(), "OK(&O)");
    EXPECT_EQ(dialog.findChild<QPushButton*>("bcmdCancel")->text(), "Cancel(&C)");
    EXPECT_TRUE(dialog.findChild<QToolButton*>("cmdTest")->text().isEmpty());
    EXPECT_FALSE(list()->isEditable());
    EXPECT_EQ(items(), QStringList({"(無し)", "A.wav", "b.wav", "c.txt"}));
    // Opened again, the list is read afresh from the folder.
    dialog.reject();
    QDir(windows.path()).removeRecursively();
    open();
    EXPECT_EQ(items(), QStringList({"(無し)"}));
}

TEST_F(SoundDialog, PreselectsTheStoredSoundOrNone) {
    const struct {
        QString stored;
        QString shown;
    } cases[] = {{"b.wav", "b.wav"}, {"c.txt", "c.txt"}, {"gone.wav", "(無し)"}, {"B.WAV", "(無し)"}, {"", "(無し)"}};
    for (const auto& c : cases) {
        Settings.COM.SOUND = c.stored;
        open();
        EXPECT_EQ(list()->currentText(), c.shown) << c.stored.toStdString();
        dialog.reject();
    }
}

TEST_F(SoundDialog, OkStoresAndSavesTheChosenSound) {
    open();
    list()->setCurrentIndex(2);
    click("bcmdOK");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(Settings.COM.SOUND, "b.wav");
    EXPECT_EQ(Settings.COM.SoundPath, played("b.wav"));

    Settings = SettingsRecord{};
    ASSERT_TRUE(sLoadSettings());
    EXPECT_EQ(Settings.COM.SOUND, "b.wav");
    EXPECT_EQ(Settings.COM.SoundPath, played("b.wav"));
}

TEST_F(SoundDialog, OkWithNoSoundStoresAnEmptyChoice) {
    Settings.COM.SOUND = "b.wav";
    Settings.COM.SoundPath = played("b.wav");
    ASSERT_TRUE(sSaveSettings());
    open();
    list()->setCurrentIndex(0);
    click("bcmdOK");
    EXPECT_EQ(Settings.COM.SOUND, "");
    EXPECT_EQ(Settings.COM.SoundPath, "");
    Settings = SettingsRecord{};
    ASSERT_TRUE(sLoadSettings());
    EXPECT_EQ(Settings.COM.SOUND, "");
}

TEST_F(SoundDialog, CancelAndTheWindowFrameKeepEverything) {
    for (const char* how : {"cancel", "frame"}) {
        Settings.COM.SOUND = "b.wav";
        Settings.COM.SoundPath = played("b.wav");
        open();
        list()->setCurrentIndex(1);
        if (QString(how) == "cancel") click("bcmdCancel"); else dialog.close();
        EXPECT_EQ(dialog.result(), QDialog::Rejected) << how;
        EXPECT_EQ(Settings.COM.SOUND, "b.wav") << how;
        EXPECT_EQ(Settings.COM.SoundPath, played("b.wav")) << how;
        EXPECT_FALSE(QFile::exists(home.filePath("houndly.ini"))) << how;
    }
}

// The trial outlives a closing of the dialog; the next press stops it.
TEST_F(SoundDialog, TestButtonStartsStopsAndStartsAgain) {
    open();
    list()->setCurrentIndex(1);  // A.wav, 1 s
    click("cmdTest");
    click("bcmdCancel");
    EXPECT_EQ(GetSoundMode(played("A.wav")), "PLAYING") << "closing the dialog stopped the trial";
    open();
    list()->setCurrentIndex(1);
    now += 300ms;
    click("cmdTest");
    EXPECT_EQ(mciSendString("close \"" + played("A.wav") + "\"").error, SoundError::DeviceNotOpen)
        << "the second press did not stop the trial";
    click("cmdTest");
    EXPECT_EQ(GetSoundMode(played("A.wav")), "PLAYING");
}

TEST_F(SoundDialog, TestButtonAfterATrialEndedStartsTheNewSelection) {
    open();
    list()->setCurrentIndex(2);  // b.wav, 500 ms
    click("cmdTest");
    now += 600ms;
    list()->setCurrentIndex(1);
    click("cmdTest");
    EXPECT_EQ(GetSoundMode(played("A.wav")), "PLAYING");
}

TEST_F(SoundDialog, TestButtonWithNoSoundPlaysNothing) {
    open();
    list()->setCurrentIndex(0);
    click("cmdTest");
    click("cmdTest");
    EXPECT_EQ(mciSendString("close \"" + played("A.wav") + "\"").error, SoundError::DeviceNotOpen);
    EXPECT_EQ(mciSendString("close \"" + played("b.wav") + "\"").error, SoundError::DeviceNotOpen);
}

TEST_F(SoundDialog, OkSilencesThePlayingAlarmSound) {
    Settings.COM.SOUND = "b.wav";
    Settings.COM.SoundPath = played("b.wav");
    sSoundPlay(Settings.COM.SoundPath);
    open();
    click("bcmdOK");
    EXPECT_EQ(mciSendString("close \"" + played("b.wav") + "\"").error, SoundError::DeviceNotOpen);
}

int main(int argc, char** argv) {
    // Test discovery runs this without the test environment.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
