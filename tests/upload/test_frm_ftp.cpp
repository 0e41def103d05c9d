// The FTP and recording settings dialog, driven as a user would.
#include "settings/Settings.h"
#include "upload/frmFtp.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>

namespace {

class FrmFtpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        qputenv("HOUNDLY_HOME", home_.path().toUtf8());
        Settings.FTP = {QStringLiteral("False"), QStringLiteral("True"), QStringLiteral("  ftp.example.net "),
                        QStringLiteral(" hound"), QStringLiteral("bark twice "), QStringLiteral(" clips "),
                        QStringLiteral("True"), 3, QStringLiteral("True")};
        stored_ = Settings.FTP;
        dialog_.show();
    }
    void TearDown() override { Settings.FTP = {}; }

    template <typename Control>
    Control* control(const char* name)
    {
        auto* found = dialog_.findChild<Control*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    // Clicks OK and returns the text of the message box it shows ("" for none).
    QString clickOk()
    {
        QString message;
        QTimer::singleShot(0, [&message] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                message = box->text() + QLatin1Char('|') + box->windowTitle();
                EXPECT_EQ(box->icon(), QMessageBox::Critical);
                box->close();
            }
        });
        control<QPushButton>("bcmdOK")->click();
        return message;
    }

    QTemporaryDir home_;
    frmFtp dialog_;
    SettingsRecord::Ftp stored_;
};

TEST_F(FrmFtpTest, ShowsTheStoredSettingsTrimmedAndTheTimeAtLeastFive)
{
    EXPECT_EQ(dialog_.windowTitle(), QStringLiteral("FTPと動画設定"));
    EXPECT_TRUE(control<QCheckBox>("ckFtpExe")->isChecked());
    EXPECT_FALSE(control<QCheckBox>("ckMakeAvi")->isChecked());  // loading does not couple the boxes
    EXPECT_EQ(control<QLineEdit>("txtHost")->text(), QStringLiteral("ftp.example.net"));
    EXPECT_EQ(control<QLineEdit>("txtUser")->text(), QStringLiteral("hound"));
    EXPECT_EQ(control<QLineEdit>("txtPass")->text(), QStringLiteral("bark twice"));
    EXPECT_EQ(control<QLineEdit>("txtPass")->echoMode(), QLineEdit::Password);
    EXPECT_EQ(control<QLineEdit>("txtHolder")->text(), QStringLiteral("clips"));
    EXPECT_EQ(control<QSlider>("SliderTime")->value(), 5);
    EXPECT_EQ(control<QSlider>("SliderTime")->minimum(), 5);
    EXPECT_EQ(control<QSlider>("SliderTime")->maximum(), 30);
    EXPECT_TRUE(control<QCheckBox>("ckAudio")->isChecked());
    EXPECT_TRUE(control<QCheckBox>("ckFileName")->isChecked());
    EXPECT_FALSE(control<QCheckBox>("ckanonymous")->isChecked());
    const std::pair<const char*, int> limits[] = {{"txtHost", 80}, {"txtUser", 80}, {"txtPass", 80}, {"txtHolder", 220}};
    for (const auto& [name, limit] : limits)
        EXPECT_EQ(control<QLineEdit>(name)->maxLength(), limit) << name;
}

TEST_F(FrmFtpTest, AnonymousFillsTheUserAndAlwaysClearsThePassword)
{
    auto* anonymous = control<QCheckBox>("ckanonymous");
    const std::pair<bool, QString> clicks[] = {{true, QStringLiteral("anonymous")}, {false, QString()}};
    for (const auto& [ticked, user] : clicks) {
        control<QLineEdit>("txtPass")->setText(QStringLiteral("secret"));
        anonymous->click();
        EXPECT_EQ(anonymous->isChecked(), ticked);
        EXPECT_EQ(control<QLineEdit>("txtUser")->text(), user);
        EXPECT_TRUE(control<QLineEdit>("txtPass")->text().isEmpty());
    }
}

TEST_F(FrmFtpTest, UploadingKeepsRecordingTicked)
{
    auto* makeAvi = control<QCheckBox>("ckMakeAvi");
    auto* ftpExe = control<QCheckBox>("ckFtpExe");
    ftpExe->click();  // off: recording stays as it was
    EXPECT_FALSE(makeAvi->isChecked());
    ftpExe->click();  // on: recording follows
    EXPECT_TRUE(makeAvi->isChecked());
    makeAvi->click();  // cannot be unticked while uploading
    EXPECT_TRUE(makeAvi->isChecked());
    ftpExe->click();
    makeAvi->click();
    EXPECT_FALSE(makeAvi->isChecked());
}

TEST_F(FrmFtpTest, RefusedEntriesStayInTheDialogAndStoreNothing)
{
    struct Row {
        const char* box;
        QString text;
        QString message;
    };
    const Row rows[] = {
        {"txtHost", QStringLiteral("   "), QStringLiteral("ﾎｽﾄ名を入力して下さい。|FTPと動画設定")},
        {"txtUser", QStringLiteral("hound\r\nDELETE x"), QStringLiteral("改行を含む文字は使えません。|FTPと動画設定")},
        {"txtPass", QStringLiteral("a\nb"), QStringLiteral("改行を含む文字は使えません。|FTPと動画設定")},
        {"txtHolder", QStringLiteral("clips\rquit"), QStringLiteral("改行を含む文字は使えません。|FTPと動画設定")},
    };
    for (const Row& row : rows) {
        dialog_.hide();
        dialog_.show();  // reloads every box
        control<QLineEdit>(row.box)->setText(row.text);
        ASSERT_EQ(control<QLineEdit>(row.box)->text(), row.text);  // pasted text may hold line breaks
        EXPECT_EQ(clickOk(), row.message) << row.box;
        EXPECT_TRUE(dialog_.isVisible()) << row.box;
        EXPECT_EQ(Settings.FTP.USER, stored_.USER) << row.box;
        EXPECT_FALSE(QFile::exists(home_.filePath(QStringLiteral("houndly.ini")))) << row.box;
    }
}

TEST_F(FrmFtpTest, AnEmptyHostIsAcceptedWithoutUploading)
{
    control<QCheckBox>("ckFtpExe")->click();
    control<QLineEdit>("txtHost")->setText(QStringLiteral("  "));
    EXPECT_EQ(clickOk(), QString());
    EXPECT_EQ(Settings.FTP.FTP, QStringLiteral("False"));
    EXPECT_EQ(Settings.FTP.HOST, QString());
}

TEST_F(FrmFtpTest, OkStoresTrimmedValuesAndSavesCancelDiscards)
{
    control<QLineEdit>("txtUser")->setText(QStringLiteral("  watcher  "));
    control<QSlider>("SliderTime")->setValue(25);
    control<QCheckBox>("ckAudio")->click();
    control<QPushButton>("bcmdCancel")->click();
    EXPECT_FALSE(dialog_.isVisible());
    EXPECT_EQ(Settings.FTP.USER, stored_.USER);
    EXPECT_EQ(Settings.FTP.TIME, 3);

    dialog_.show();
    control<QLineEdit>("txtUser")->setText(QStringLiteral("  watcher  "));
    control<QSlider>("SliderTime")->setValue(25);
    control<QCheckBox>("ckAudio")->click();
    EXPECT_EQ(clickOk(), QString());
    EXPECT_FALSE(dialog_.isVisible());
    const SettingsRecord::Ftp& ftp = Settings.FTP;
    EXPECT_EQ(ftp.MOVE, QStringLiteral("False"));  // as shown: only a click couples the boxes
    EXPECT_EQ(ftp.FTP, QStringLiteral("True"));
    EXPECT_EQ(ftp.HOST, QStringLiteral("ftp.example.net"));
    EXPECT_EQ(ftp.USER, QStringLiteral("watcher"));
    EXPECT_EQ(ftp.PASS, QStringLiteral("bark twice"));
    EXPECT_EQ(ftp.HOLDER, QStringLiteral("clips"));
    EXPECT_EQ(ftp.FILENAME, QStringLiteral("True"));
    EXPECT_EQ(ftp.TIME, 25);
    EXPECT_EQ(ftp.AUDIO, QStringLiteral("False"));
    EXPECT_TRUE(QFile::exists(home_.filePath(QStringLiteral("houndly.ini"))));
}

}  // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
