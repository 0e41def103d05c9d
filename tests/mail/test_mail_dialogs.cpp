// The mail dialogs with real widgets: loading, enabling rules, checks, storing, sending.
#include "MailFixture.h"
#include "capture/CaptureWindow.h"
#include "capture/DriverRegistry.h"
#include "mail/MailMessageBox.h"
#include "mail/ThumbnailView.h"
#include "mail/frmMail.h"
#include "mail/frmMailSend.h"
#include "mail/frmMailSend_Set.h"
#include "tests/support/NamedWidgets.h"
#include "tests/support/TestApplication.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTextEdit>

class MailDialogTest : public MailTest {
protected:
    void SetUp() override
    {
        testApplication<QApplication>();
        MailTest::SetUp();
        setMailMessageHandler(
            [this](QWidget*, QMessageBox::Icon, const QString&, const QString& text) { messages << text; });
    }
    void TearDown() override
    {
        setMailMessageHandler({});
        MailTest::TearDown();
    }
    QString lastMessage() const { return messages.value(messages.size() - 1); }

    QStringList messages;
};

TEST_F(MailDialogTest, AccountDialogLoadsAndFollowsTheEnablingRules)
{
    Settings.MAIL = {"", "smtp.example.org\t587", "pop.example.org", "", "", "1", "1", "1", "", ""};
    frmMail dialog;
    dialog.show();
    EXPECT_EQ(namedChild<QLineEdit>(dialog, "txtSmtpPort")->text(), "587");
    EXPECT_EQ(namedChild<QLineEdit>(dialog, "txtPop")->text(), "pop.example.org");
    EXPECT_TRUE(namedChild<QLineEdit>(dialog, "txtPopPort")->text().isEmpty());
    EXPECT_TRUE(namedChild<QRadioButton>(dialog, "optAt1")->isChecked());
    struct Step {
        const char* click;
        bool cram, smtpUser, pop;
    };
    const Step steps[] = {
        {nullptr, true, true, false},
        {"optAt0", false, false, true},
        {"chkAttestation", false, false, false},  // now unchecked
        {"chkAttestation", false, false, true},   // checked again, POP before SMTP chosen
        {"optAt1", true, true, false},
    };
    for (const Step& step : steps) {
        if (step.click)
            clickNamed(dialog, step.click);
        const char* at = step.click ? step.click : "load";
        EXPECT_EQ(namedChild<QCheckBox>(dialog, "chkAtCram")->isEnabled(), step.cram) << at;
        EXPECT_EQ(namedChild<QLineEdit>(dialog, "txtSmtpUser")->isEnabled(), step.smtpUser) << at;
        EXPECT_EQ(namedChild<QLineEdit>(dialog, "txtPop")->isEnabled(), step.pop) << at;
        EXPECT_EQ(namedChild<QLineEdit>(dialog, "txtPass")->isEnabled(), step.pop) << at;
    }
    EXPECT_TRUE(namedChild<QCheckBox>(dialog, "chkAtCram")->isChecked()) << "kept while disabled";
}

TEST_F(MailDialogTest, AccountDialogChecksBeforeStoring)
{
    Settings.MAIL = {};
    struct Case {
        const char* what;
        std::vector<std::pair<const char*, QString>> entries;
        std::vector<const char*> clicks;
        QString message;
        const char* focus;
    };
    const Case cases[] = {
        {"no address", {}, {}, "ﾒｰﾙｱﾄﾞﾚｽを入力して下さい。", "txtMail"},
        {"no server", {{"txtMail", "me@example.org"}}, {}, "SMTPｻｰﾊﾞｰ名を入力して下さい。", "txtSmtp"},
        {"POP without server", {{"txtMail", "m@x"}, {"txtSmtp", "s"}}, {"chkAttestation", "optAt0"},
         "POPｻｰﾊﾞｰ名を入力して下さい。", "txtPop"},
        {"POP without user", {{"txtMail", "m@x"}, {"txtSmtp", "s"}, {"txtPop", "p"}}, {"chkAttestation", "optAt0"},
         "ﾕｰｻﾞｰ名を入力して下さい。", "txtUser"},
        {"AUTH without password", {{"txtMail", "m@x"}, {"txtSmtp", "s"}, {"txtSmtpUser", "u"}},
         {"chkAttestation", "optAt1"}, "ﾊﾟｽﾜｰﾄﾞを入力して下さい。", "txtSmtpPass"},
        {"line break in the address", {{"txtMail", "m@x\r\nBcc: t@y"}, {"txtSmtp", "s"}}, {},
         "改行やﾀﾌﾞは入力できません。", "txtMail"},
    };
    for (const Case& c : cases) {
        frmMail dialog;
        dialog.show();
        for (const auto& [name, text] : c.entries)
            typeInto(dialog, name, text);
        for (const char* name : c.clicks)
            clickNamed(dialog, name);
        clickNamed(dialog, "bcmdOK");
        EXPECT_EQ(lastMessage(), c.message) << c.what;
        EXPECT_EQ(dialog.focusWidget(), namedChild<QWidget>(dialog, c.focus)) << c.what;
        EXPECT_TRUE(dialog.isVisible()) << c.what;
        EXPECT_TRUE(Settings.MAIL.MAIL.isEmpty()) << c.what;
    }
}

TEST_F(MailDialogTest, AccountDialogStoresWithDefaultPortsAndCancelKeeps)
{
    Settings.MAIL = {};
    frmMail dialog;
    dialog.show();
    const std::pair<const char*, QString> entries[] = {{"txtMail", " me@example.org "}, {"txtSmtp", "smtp.example.org"},
                                                       {"txtPop", "pop.example.org"}, {"txtUser", "me"}, {"txtPass", " pw "}};
    for (const auto& [name, text] : entries)
        typeInto(dialog, name, text);
    clickNamed(dialog, "chkAttestation");
    clickNamed(dialog, "optAt0");
    clickNamed(dialog, "bcmdOK");
    EXPECT_TRUE(messages.empty()) << lastMessage().toStdString();
    EXPECT_FALSE(dialog.isVisible());
    const SettingsRecord::Mail& m = Settings.MAIL;
    EXPECT_EQ(QStringList({m.MAIL, m.SMTP, m.POP, m.USER, m.PASS, m.ATT, m.OPTATT, m.AtCRAM}),
              QStringList({"me@example.org", "smtp.example.org\t25", "pop.example.org\t110", "me", "pw", "1", "0", "0"}));
    EXPECT_TRUE(Settings.COM.MailReady);

    dialog.show();  // shown again: filled from Settings, Cancel keeps them
    typeInto(dialog, "txtMail", "other@example.org");
    clickNamed(dialog, "bcmdCancel");
    EXPECT_EQ(Settings.MAIL.MAIL, "me@example.org");
}

TEST_F(MailDialogTest, AutomaticMailSettingsStoreTheShownDestination)
{
    Settings.TRG[0] = {"True", "a@example.net", "A", "body A", 1, 5, "x", 0};
    Settings.TRG[1] = {"False", "", "", "", 0, 1, "x", 30};
    frmMailSend_Set dialog;
    dialog.show();
    EXPECT_TRUE(namedChild<QRadioButton>(dialog, "optTRG0")->isChecked());
    EXPECT_TRUE(namedChild<QRadioButton>(dialog, "optSize0")->isChecked()) << "MINSIZE 5 shows 640x480";
    EXPECT_EQ(namedChild<QSlider>(dialog, "SliderArc")->value(), 1) << "ARC 0 shows at the slider's end";

    typeInto(dialog, "txtMail", "changed@example.net");  // lost: B is chosen without update
    clickNamed(dialog, "optTRG1");
    EXPECT_TRUE(namedChild<QRadioButton>(dialog, "optSize1")->isChecked());
    clickNamed(dialog, "ckEnabled");
    typeInto(dialog, "txtMail", "   ");
    clickNamed(dialog, "bcmdOK");
    EXPECT_EQ(lastMessage(), "宛先を入力して下さい。");
    typeInto(dialog, "txtMail", " b@example.net ");
    typeInto(dialog, "txtSubject", "alarm\r\nBcc: thief@example.com");
    clickNamed(dialog, "bcmdOK");
    EXPECT_EQ(lastMessage(), "宛先と件名に改行は使えません。");
    EXPECT_EQ(Settings.TRG[1].ENABLED, "False");

    typeInto(dialog, "txtSubject", "alarm");
    namedChild<QTextEdit>(dialog, "txtBody")->setPlainText("  line one\nline two  ");
    clickNamed(dialog, "optSize2");
    clickNamed(dialog, "bcmdReF");
    EXPECT_TRUE(dialog.isVisible());
    clickNamed(dialog, "optTRG2");
    clickNamed(dialog, "bcmdCancel");
    EXPECT_EQ(Settings.TRG[0].MAILTO, "a@example.net");
    const MailTrigger& b = Settings.TRG[1];
    EXPECT_EQ(QStringList({b.ENABLED, b.MAILTO, b.SUBJECT, b.BODY, QString::number(b.MINSIZE), QString::number(b.ARC), b.FILES}),
              QStringList({"True", "b@example.net", "alarm", "line one\nline two", "2", "30", "x"}))
        << "only OK clears FILES";

    dialog.show();
    clickNamed(dialog, "optTRG1");
    clickNamed(dialog, "bcmdOK");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(Settings.TRG[1].FILES, "");
}

TEST_F(MailDialogTest, ManualMailTakesTheCameraPicture)
{
    frmMailSend withoutCamera;
    hCapWnd = nullptr;
    withoutCamera.DrawImage();
    EXPECT_EQ(withoutCamera.picture().size(), QSize(320, 240)) << "placeholder";

    setPreferredCamera("demo");
    CaptureWindow window;
    hCapWnd = &window;
    ASSERT_TRUE(capDriverConnect(hCapWnd, 0));
    ASSERT_TRUE(window.waitForFrameAfter(0, std::chrono::seconds(30), nullptr, nullptr));
    frmMailSend dialog;
    dialog.DrawImage();
    hCapWnd = nullptr;
    setPreferredCamera("");
    EXPECT_EQ(dialog.picture().size(), QSize(640, 480));
    EXPECT_FALSE(frameBufferHasFrame()) << "the frame buffer is emptied";
    for (const bool crossed : {true, false}) {
        clickNamed(dialog, "chkGrp");
        EXPECT_EQ(namedChild<ThumbnailView>(dialog, "pic_clip")->isCrossed(), crossed);
        EXPECT_EQ(namedChild<QSlider>(dialog, "SliderArc")->isEnabled(), !crossed);
        EXPECT_EQ(namedChild<QRadioButton>(dialog, "optSize1")->isEnabled(), !crossed);
    }
}

TEST_F(MailDialogTest, ManualMailSends)
{
    ServerProcess smtp("smtp_server.py", {"--record", records()});
    const QString sent = "送信しました。";
    struct Case {
        const char* what;
        QString recipient;
        bool account, attach, serverUp;
        QString message;  // the last message shown; "" when the dialog closes without one
        QSize picture;    // attached picture, or none
    };
    const Case cases[] = {
        {"blank recipient", "  ", true, true, true, "ﾒｰﾙｱﾄﾞﾚｽを入力して下さい。", {}},
        {"no account", "to@example.net", false, true, true, "ﾒｰﾙｱｶｳﾝﾄ設定のﾒｰﾙｱﾄﾞﾚｽを入力して下さい。", {}},
        {"line break", "to@example.net\nBcc: t@x", true, true, true, "宛先と件名に改行は使えません。", {}},
        {"with picture", "a@example.net", true, true, true, sent, {110, 82}},
        {"without picture", "b@example.net", true, false, true, sent, {}},
        {"server down", "c@example.net", true, true, false, "", {}},
    };
    for (const Case& c : cases) {
        messages.clear();
        Settings.MAIL.MAIL = c.account ? "owner@example.org" : "";
        Settings.MAIL.SMTP = loopback(c.serverUp ? smtp.port() : closedLoopbackPort());
        frmMailSend dialog;
        dialog.DrawImage();
        dialog.show();
        typeInto(dialog, "txtMail", c.recipient);
        typeInto(dialog, "txtSubject", "手動");
        if (!c.attach)
            clickNamed(dialog, "chkGrp");
        clickNamed(dialog, "optSize2");
        const qsizetype before = mails().size();
        clickNamed(dialog, "bcmdOK");
        EXPECT_EQ(lastMessage(), c.message) << c.what;
        EXPECT_EQ(dialog.isVisible(), c.message != sent && !c.message.isEmpty()) << c.what;
        ASSERT_EQ(mails().size(), before + (c.message == sent)) << c.what;
        EXPECT_EQ(c.message == sent ? attachedPictureSize(mails().back()) : QSize(), c.picture) << c.what;
    }
    // Written for the sends with a picture (two may share a second); unticking writes none.
    const qsizetype written = QDir(home.filePath("img")).entryList({"*_TEST.jpg"}).size();
    EXPECT_GE(written, 1);
    EXPECT_LE(written, 2);
}
