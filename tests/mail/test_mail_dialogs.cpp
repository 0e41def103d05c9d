// The mail dialogs with real widgets: enabling rules, checks, storing, sending.
#include "MailFixture.h"
#include "mail/MailAccount.h"
#include "mail/MailMessageBox.h"
#include "mail/frmMail.h"
#include "mail/frmMailSend.h"
#include "mail/frmMailSend_Set.h"
#include "tests/support/NamedWidgets.h"
#include "tests/support/TestApplication.h"
#include "tests/support/TestLanguage.h"

#include <QApplication>
#include <QCheckBox>
#include <QTextEdit>

namespace {

using Entries = std::vector<std::pair<const char*, QString>>;

void fill(QWidget& dialog, const Entries& entries, const std::vector<const char*>& clicks = {})
{
    for (const auto& [name, text] : entries)
        typeInto(dialog, name, text);
    for (const char* name : clicks)
        clickNamed(dialog, name);
}

}  // namespace

class MailDialogTest : public MailTest {
protected:
    void SetUp() override
    {
        testApplication<QApplication>();
        useTestLanguage("ja");
        MailTest::SetUp();
        setMailMessageHandler([this](QWidget*, QMessageBox::Icon, const QString&, const QString& text) { messages << text; });
    }
    void TearDown() override
    {
        setMailMessageHandler({});
        MailTest::TearDown();
    }
    QString lastMessage() const { return messages.value(messages.size() - 1); }

    QStringList messages;
};

// The account dialog enables its boxes by the chosen login, and checks each box
// in use before it stores anything.
TEST_F(MailDialogTest, AccountDialogFollowsTheEnablingRulesAndChecksBeforeStoring)
{
    Settings.MAIL = {"", "smtp.example.org\t587", "pop.example.org", "", "", "1", "1", "1", "", ""};
    frmMail dialog;
    dialog.show();
    // After each click: CRAM box, SMTP user, POP server and password enabled.
    const std::pair<const char*, std::array<bool, 3>> steps[] = {
        {nullptr, {true, true, false}},          {"optAt0", {false, false, true}},
        {"chkAttestation", {false, false, false}}, {"chkAttestation", {false, false, true}},
        {"optAt1", {true, true, false}},
    };
    for (const auto& [click, enabled] : steps) {
        if (click)
            clickNamed(dialog, click);
        std::array<bool, 4> shown{}, expected = {enabled[0], enabled[1], enabled[2], enabled[2]};
        for (size_t i = 0; const char* name : {"chkAtCram", "txtSmtpUser", "txtPop", "txtPass"})
            shown[i++] = namedChild(dialog, name)->isEnabled();
        EXPECT_EQ(shown, expected) << (click ? click : "load");
    }
    EXPECT_TRUE(namedChild<QCheckBox>(dialog, "chkAtCram")->isChecked()) << "kept while disabled";

    Settings.MAIL = {};
    const std::vector<const char*> pop = {"chkAttestation", "optAt0"};
    struct Case {
        Entries entries;
        std::vector<const char*> clicks;
        QString message;
        const char* focus;
    };
    const Case cases[] = {
        {{}, {}, "ﾒｰﾙｱﾄﾞﾚｽを入力して下さい。", "txtMail"},
        {{{"txtMail", "m@x"}}, {}, "SMTPｻｰﾊﾞｰ名を入力して下さい。", "txtSmtp"},
        {{{"txtMail", "m@x"}, {"txtSmtp", "s"}}, pop, "POPｻｰﾊﾞｰ名を入力して下さい。", "txtPop"},
        {{{"txtMail", "m@x"}, {"txtSmtp", "s"}, {"txtPop", "p"}}, pop, "ﾕｰｻﾞｰ名を入力して下さい。", "txtUser"},
        {{{"txtMail", "m@x"}, {"txtSmtp", "s"}, {"txtSmtpUser", "u"}}, {"chkAttestation", "optAt1"},
         "ﾊﾟｽﾜｰﾄﾞを入力して下さい。", "txtSmtpPass"},
        {{{"txtMail", "m@x\r\nBcc: t@y"}, {"txtSmtp", "s"}}, {}, "改行やﾀﾌﾞは入力できません。", "txtMail"},
    };
    for (const Case& c : cases) {
        frmMail checked;
        checked.show();
        fill(checked, c.entries, c.clicks);
        clickNamed(checked, "bcmdOK");
        EXPECT_EQ(lastMessage(), c.message);
        EXPECT_EQ(checked.focusWidget(), namedChild(checked, c.focus)) << c.focus;
        EXPECT_TRUE(checked.isVisible() && Settings.MAIL.MAIL.isEmpty()) << c.focus;
    }
}

// The dialog lives for the whole run: each opening shows the stored account and
// text typed before a Cancel never comes back. OK stores trimmed values, with
// the default port of each server in use.
TEST_F(MailDialogTest, AccountDialogShowsTheStoredAccountAndOkStoresIt)
{
    Settings.MAIL = {"me@example.org", "", "pop.example.org", "", "", "0", "0", "0", "", ""};
    frmMail dialog;
    dialog.show();
    fill(dialog, {{"txtSmtp", "typed.example.org"}, {"txtSmtpPort", "2525"}, {"txtPopPort", "1100"}}, {"bcmdCancel"});
    EXPECT_EQ(Settings.MAIL.SMTP, "");
    dialog.show();
    QStringList shown;
    for (const char* name : {"txtSmtp", "txtSmtpPort", "txtPop", "txtPopPort"})
        shown << namedChild<QLineEdit>(dialog, name)->text();
    EXPECT_EQ(shown, QStringList({"", "", "pop.example.org", ""}));
    fill(dialog, {{"txtSmtp", "smtp.example.org"}}, {"bcmdOK"});
    EXPECT_EQ(QStringList({Settings.MAIL.SMTP, Settings.MAIL.POP}), QStringList({"smtp.example.org\t25", "pop.example.org\t"}));
    EXPECT_EQ(QStringList({passwordCharacter(dialog, "txtPass"), passwordCharacter(dialog, "txtSmtpPass")}),
              QStringList({"*", "*"}));

    dialog.show();
    fill(dialog, {{"txtMail", " me@example.org "}, {"txtUser", "me"}, {"txtPass", " pw "}}, {"chkAttestation", "optAt0", "bcmdOK"});
    EXPECT_TRUE(messages.empty()) << lastMessage().toStdString();
    const SettingsRecord::Mail& m = Settings.MAIL;
    EXPECT_EQ(QStringList({m.MAIL, m.SMTP, m.POP, m.USER, m.PASS, m.ATT, m.OPTATT, m.AtCRAM}),
              QStringList({"me@example.org", "smtp.example.org\t25", "pop.example.org\t110", "me", "pw", "1", "0", "0"}));
    EXPECT_TRUE(MailReady());
}

TEST_F(MailDialogTest, AutomaticMailSettingsStoreTheShownDestination)
{
    Settings.TRG[0] = {"True", "a@example.net", "A", "body A", 1, 5, "x", 0};
    Settings.TRG[1] = {"False", "", "", "", 0, 1, "x", 30};
    frmMailSend_Set dialog;
    dialog.show();
    fill(dialog, {{"txtMail", "changed@example.net"}}, {"optTRG1", "ckEnabled"});  // lost: B chosen without update
    fill(dialog, {{"txtMail", "   "}}, {"bcmdOK"});
    EXPECT_EQ(lastMessage(), "宛先を入力して下さい。");
    fill(dialog, {{"txtMail", " b@example.net "}, {"txtSubject", "alarm\r\nBcc: thief@example.com"}}, {"bcmdOK"});
    EXPECT_EQ(lastMessage(), "宛先と件名に改行は使えません。");
    EXPECT_EQ(Settings.TRG[1].ENABLED, "False");

    typeInto(dialog, "txtSubject", "alarm");
    namedChild<QTextEdit>(dialog, "txtBody")->setPlainText("  line one\nline two  ");
    fill(dialog, {}, {"optSize2", "bcmdReF", "optTRG2", "bcmdCancel"});
    EXPECT_EQ(Settings.TRG[0].MAILTO, "a@example.net");
    const MailTrigger& b = Settings.TRG[1];
    EXPECT_EQ(QStringList({b.ENABLED, b.MAILTO, b.SUBJECT, b.BODY, QString::number(b.MINSIZE), QString::number(b.ARC), b.FILES}),
              QStringList({"True", "b@example.net", "alarm", "line one\nline two", "2", "30", "x"}))
        << "only OK clears FILES";
    dialog.show();
    fill(dialog, {}, {"optTRG1", "bcmdOK"});
    EXPECT_EQ(Settings.TRG[1].FILES, "");
}

TEST_F(MailDialogTest, ManualMailSends)
{
    ServerProcess smtp("smtp_server.py", {"--record", records()});
    const QString sent = "送信しました。";
    struct Case {
        QString recipient;
        bool account, attach, serverUp;
        QString message;  // the last message shown; "" when the dialog closes without one
        QSize picture;    // attached picture, or none
    };
    const Case cases[] = {
        {"  ", true, true, true, "ﾒｰﾙｱﾄﾞﾚｽを入力して下さい。", {}},
        {"to@example.net", false, true, true, "ﾒｰﾙｱｶｳﾝﾄ設定のﾒｰﾙｱﾄﾞﾚｽを入力して下さい。", {}},
        {"to@example.net\nBcc: t@x", true, true, true, "宛先と件名に改行は使えません。", {}},
        {"a@example.net", true, true, true, sent, {110, 82}},
        {"b@example.net", true, false, true, sent, {}},
        {"c@example.net", true, true, false, "", {}},
    };
    for (const Case& c : cases) {
        messages.clear();
        Settings.MAIL.MAIL = c.account ? "owner@example.org" : "";
        Settings.MAIL.SMTP = loopback(c.serverUp ? smtp.port() : closedLoopbackPort());
        frmMailSend dialog;
        dialog.DrawImage();  // no camera: the placeholder
        dialog.show();
        fill(dialog, {{"txtMail", c.recipient}, {"txtSubject", "手動"}}, c.attach ? std::vector{"optSize2"} : std::vector{"chkGrp"});
        const qsizetype before = mails().size();
        clickNamed(dialog, "bcmdOK");
        const std::string what = c.recipient.toStdString();
        EXPECT_EQ(lastMessage(), c.message) << what;
        EXPECT_EQ(dialog.isVisible(), c.message != sent && !c.message.isEmpty()) << what;
        ASSERT_EQ(mails().size(), before + (c.message == sent)) << what;
        EXPECT_EQ(c.message == sent ? attachedPictureSize(mails().back()) : QSize(), c.picture) << what;
        EXPECT_TRUE(c.picture.isEmpty() || firstQuantValue(attachedBytes(mails().back())[0]) == 16) << "the rate starts at 50";
    }
}
