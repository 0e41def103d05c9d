// The FTP and recording settings dialog, driven as a user would.
#include "settings/Settings.h"
#include "tests/support/NamedWidgets.h"
#include "tests/support/TempAppFolder.h"
#include "tests/support/TestApplication.h"
#include "tests/support/TestLanguage.h"
#include "upload/frmFtp.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace {

class FrmFtpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        useTestLanguage("ja");
        Settings.FTP = {"False", "True", "  ftp.example.net ", " hound", "bark twice ", " clips ", "True", 3, "True"};
        dialog_.show();
    }
    void TearDown() override { Settings.FTP = {}; }

    bool ticked(const char* name) { return namedChild<QCheckBox>(dialog_, name)->isChecked(); }
    QString text(const char* name) { return namedChild<QLineEdit>(dialog_, name)->text(); }
    // Clicks OK and returns the text of the error box it shows ("" for none).
    QString clickOk()
    {
        QString message;
        QTimer::singleShot(0, [&message] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                message = box->text();
                box->close();
            }
        });
        clickNamed(dialog_, "bcmdOK");
        return message;
    }
    bool saved() const { return QFile::exists(home_.filePath("houndly.ini")); }
    void reopen()  // showing reloads every box
    {
        dialog_.hide();
        dialog_.show();
    }

    QApplication& application_ = testApplication<QApplication>();
    TempAppFolder home_;
    frmFtp dialog_;
};

// Anonymous fills the user and clears the password, shown as stars; uploading
// keeps recording ticked. OK stores trimmed values and saves; Cancel discards.
TEST_F(FrmFtpTest, AnonymousAndTheUploadBoxesFollowTheClicksAndOkStoresTrimmedValuesAndSavesCancelDiscards)
{
    EXPECT_EQ(namedChild<QLineEdit>(dialog_, "txtPass")->echoMode(), QLineEdit::Password);
    EXPECT_EQ(passwordCharacter(dialog_, "txtPass"), QLatin1Char('*'));
    QList<int> longest;
    for (const char* box : {"txtHost", "txtUser", "txtPass", "txtHolder"})
        longest << namedChild<QLineEdit>(dialog_, box)->maxLength();
    EXPECT_EQ(longest, QList<int>({80, 80, 80, 220}));
    for (const auto& [nowTicked, user] : {std::pair{true, "anonymous"}, std::pair{false, ""}}) {
        typeInto(dialog_, "txtPass", "secret");
        clickNamed(dialog_, "ckanonymous");
        EXPECT_EQ(ticked("ckanonymous"), nowTicked);
        EXPECT_EQ(text("txtUser"), user);
        EXPECT_TRUE(text("txtPass").isEmpty());
    }

    // Upload off (recording stays), on (recording follows), recording cannot be
    // unticked while uploading, upload off again, and then it can.
    const std::pair<const char*, bool> steps[] = {
        {"ckFtpExe", false}, {"ckFtpExe", true}, {"ckMakeAvi", true}, {"ckFtpExe", true}, {"ckMakeAvi", false}};
    for (const auto& [click, recording] : steps) {
        clickNamed(dialog_, click);
        EXPECT_EQ(ticked("ckMakeAvi"), recording) << click;
    }

    for (const char* button : {"bcmdCancel", "bcmdOK"}) {
        reopen();
        typeInto(dialog_, "txtUser", "  watcher  ");
        clickNamed(dialog_, "ckAudio");
        clickNamed(dialog_, button);
        const bool ok = button == std::string("bcmdOK");
        EXPECT_FALSE(dialog_.isVisible()) << button;
        EXPECT_EQ(Settings.FTP.TIME, ok ? 5 : 3) << "shown and stored at least 5";
        EXPECT_EQ(saved(), ok) << button;
    }
    const SettingsRecord::Ftp& ftp = Settings.FTP;
    // MOVE as shown: only a click couples the boxes.
    EXPECT_EQ(QStringList({ftp.MOVE, ftp.FTP, ftp.HOST, ftp.USER, ftp.PASS, ftp.HOLDER, ftp.FILENAME, ftp.AUDIO}),
              QStringList({"False", "True", "ftp.example.net", "watcher", "bark twice", "clips", "True", "False"}));
}

TEST_F(FrmFtpTest, RefusedEntriesStayInTheDialogAndAnEmptyHostPassesWithoutUploading)
{
    const QString lineBreak = "改行を含む文字は使えません。";
    const std::tuple<const char*, QString, QString> rows[] = {
        {"txtHost", "   ", "ﾎｽﾄ名を入力して下さい。"},
        {"txtUser", "hound\r\nDELETE x", lineBreak},
        {"txtPass", "a\nb", lineBreak},
        {"txtHolder", "clips\rquit", lineBreak},
    };
    for (const auto& [box, entered, message] : rows) {
        reopen();
        typeInto(dialog_, box, entered);
        ASSERT_EQ(text(box), entered);  // pasted text may hold line breaks
        EXPECT_EQ(clickOk(), message) << box;
        EXPECT_TRUE(dialog_.isVisible() && !saved() && Settings.FTP.USER == " hound") << box;
    }
    // Without uploading, an empty host is accepted.
    reopen();
    clickNamed(dialog_, "ckFtpExe");
    typeInto(dialog_, "txtHost", "  ");
    EXPECT_EQ(clickOk(), QString());
    EXPECT_EQ(Settings.FTP.FTP + Settings.FTP.HOST, "False");
}

}  // namespace
