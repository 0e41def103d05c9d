// The options dialog, driven as a user would.
#include "app/frmExt.h"
#include "settings/Settings.h"
#include "tests/support/NamedWidgets.h"
#include "tests/support/TempAppFolder.h"

#include <QApplication>
#include <QCheckBox>
#include <QSpinBox>

namespace {

class FrmExtTest : public ::testing::Test {
protected:
    void SetUp() override { Settings.EXT = {QStringLiteral("demo"), 4, true, false, 500, 0}; }
    void TearDown() override { Settings = SettingsRecord{}; }

    // Opens the dialog, changes every control and closes it with `button`.
    void editAndClose(const char* button)
    {
        frmExt dialog;
        dialog.show();
        EXPECT_EQ(namedChild<QSpinBox>(dialog, "spinPreTime")->value(), Settings.EXT.PRETIME);
        EXPECT_EQ(namedChild<QCheckBox>(dialog, "ckBgUpload")->isChecked(), Settings.EXT.BGUPLOAD);
        EXPECT_EQ(namedChild<QSpinBox>(dialog, "spinKeepMb")->value(), Settings.EXT.KEEPMB);
        namedChild<QSpinBox>(dialog, "spinPreTime")->setValue(99);  // held to 10
        clickNamed(dialog, "ckBgUpload");
        clickNamed(dialog, "ckLightCut");
        namedChild<QSpinBox>(dialog, "spinKeepMb")->setValue(2048);
        namedChild<QSpinBox>(dialog, "spinKeepDays")->setValue(30);
        clickNamed(dialog, button);
    }

    TempAppFolder home_;
};

TEST_F(FrmExtTest, CancelKeepsTheOptionsAndOkStoresAndSavesThem)
{
    editAndClose("bcmdCancel");
    EXPECT_EQ(Settings.EXT.PRETIME, 4);
    EXPECT_TRUE(Settings.EXT.BGUPLOAD);
    EXPECT_FALSE(QFile::exists(home_.filePath("houndly.ini")));

    editAndClose("bcmdOK");
    const QByteArray stored = readFileBytes(home_.filePath("houndly.ini"));
    EXPECT_TRUE(stored.contains("[EXT]\nCAMERA=demo\nPRETIME=10\nBGUPLOAD=False\nLIGHTCUT=True\nKEEPMB=2048\n"
                                "KEEPDAYS=30\n"))
        << stored.constData();
}

}  // namespace

// A window shown once leaves Qt state that must go before static destruction:
// the application lives on main's stack, not in a static.
int main(int argc, char** argv)
{
    // Test discovery runs this without the test environment.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
