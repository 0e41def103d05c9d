// The mail dialogs with real widgets: loading, enabling rules, checks, storing, sending.
#include "MailFixture.h"
#include "capture/CaptureWindow.h"
#include "capture/DriverRegistry.h"
#include "mail/MailMessageBox.h"
#include "mail/ThumbnailView.h"
#include "mail/frmMail.h"
#include "mail/frmMailSend.h"
#include "mail/frmMailSend_Set.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QJsonArray>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTextEdit>

namespace {

struct Message {
    QMessageBox::Icon icon;
    QString title;
    QString text;
};

}  // namespace

class MailDialogTest : public MailTest {
protected:
    void SetUp() override
    {
        MailTest::SetUp();
        setMailMessageHandler([this](QWidget*, QMessageBox::Icon icon, const QString& title, const QString& text) {
            messages.push_back({icon, title, text});
        });
    }
    void TearDown() override
    {
        setMailMessageHandler({});
        MailTest::TearDown();
    }
    template <typename T>
    static T* control(QWidget& dialog, const char* name)
    {
        T* found = dialog.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    static void click(QWidget& dialog, const char* name) { control<QAbstractButton>(dialog, name)->click(); }
    static void type(QWidget& dialog, const char* name, const QString& text)
    {
        control<QLineEdit>(dialog, name)->setText(text);
    }
    QString lastMessage() const { return messages.empty() ? QString() : messages.back().text; }

    std::vector<Message> messages;
};

TEST_F(MailDialogTest, AccountDialogLoadsAndFollowsTheEnablingRules)
{
    Settings.MAIL.SMTP = "smtp.example.org\t587";
    Settings.MAIL.POP = "pop.example.org";
    Settings.MAIL.ATT = "1";
    Settings.MAIL.OPTATT = "1";
    Settings.MAIL.AtCRAM = "1";
    frmMail dialog;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "ﾒｰﾙｱｶｳﾝﾄ設定");
    EXPECT_EQ(control<QLineEdit>(dialog, "txtSmtpPort")->text(), "587");
    EXPECT_EQ(control<QLineEdit>(dialog, "txtPop")->text(), "pop.example.org");
    EXPECT_TRUE(control<QLineEdit>(dialog, "txtPopPort")->text().isEmpty());
    EXPECT_TRUE(control<QRadioButton>(dialog, "optAt1")->isChecked());
    EXPECT_EQ(control<QLineEdit>(dialog, "txtSmtpPass")->echoMode(), QLineEdit::Password);

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
            click(dialog, step.click);
        const char* at = step.click ? step.click : "load";
        EXPECT_EQ(control<QCheckBox>(dialog, "chkAtCram")->isEnabled(), step.cram) << at;
        EXPECT_EQ(control<QLineEdit>(dialog, "txtSmtpUser")->isEnabled(), step.smtpUser) << at;
        EXPECT_EQ(control<QLineEdit>(dialog, "txtPop")->isEnabled(), step.pop) << at;
        EXPECT_EQ(control<QLineEdit>(dialog, "txtPass")->isEnabled(), step.pop) << at;
    }
    EXPECT_TRUE(control<QCheckBox>(dialog, "chkAtCram")->isChecked()) << "kept while disabled";
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
            type(dialog, name, text);
        for (const char* name : c.clicks)
            click(dialog, name);
        click(dialog, "bcmdOK");
        ASSERT_FALSE(messages.empty()) << c.what;
        EXPECT_EQ(messages.back().text, c.message) << c.what;
        EXPECT_EQ(messages.back().title, "ﾒｰﾙｱｶｳﾝﾄ設定");
        EXPECT_EQ(messages.back().icon, QMessageBox::Critical);
        EXPECT_EQ(dialog.focusWidget(), control<QWidget>(dialog, c.focus)) << c.what;
        EXPECT_TRUE(dialog.isVisible()) << c.what;
        EXPECT_TRUE(Settings.MAIL.MAIL.isEmpty()) << c.what;
    }
}

TEST_F(MailDialogTest, AccountDialogStoresWithDefaultPorts)
{
    Settings.MAIL = {};
    frmMail dialog;
    dialog.show();
    type(dialog, "txtMail", " me@example.org ");
    type(dialog, "txtSmtp", "smtp.example.org");
    type(dialog, "txtPop", "pop.example.org");
    type(dialog, "txtUser", "me");
    type(dialog, "txtPass", " pw ");
    click(dialog, "chkAttestation");
    click(dialog, "optAt0");
    click(dialog, "bcmdOK");
    EXPECT_TRUE(messages.empty()) << lastMessage().toStdString();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(Settings.MAIL.MAIL, "me@example.org");
    EXPECT_EQ(Settings.MAIL.SMTP, "smtp.example.org\t25");
    EXPECT_EQ(Settings.MAIL.POP, "pop.example.org\t110");
    EXPECT_EQ(Settings.MAIL.PASS, "pw");
    EXPECT_EQ(Settings.MAIL.ATT, "1");
    EXPECT_EQ(Settings.MAIL.OPTATT, "0");
    EXPECT_EQ(Settings.MAIL.AtCRAM, "0");
    EXPECT_TRUE(Settings.COM.MailReady);

    dialog.show();  // shown again: filled from Settings, Cancel keeps them
    type(dialog, "txtMail", "other@example.org");
    click(dialog, "bcmdCancel");
    EXPECT_EQ(Settings.MAIL.MAIL, "me@example.org");
}

TEST_F(MailDialogTest, AutomaticMailSettingsStoreOnlyTheDestinationOnShow)
{
    Settings.TRG[0] = {"True", "a@example.net", "A", "body A", 1, 5, "x", 0};
    Settings.TRG[1] = {"False", "", "", "", 0, 1, "x", 30};
    frmMailSend_Set dialog;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "自動ﾒｰﾙ設定");
    EXPECT_TRUE(control<QRadioButton>(dialog, "optTRG0")->isChecked());
    EXPECT_TRUE(control<QRadioButton>(dialog, "optSize0")->isChecked()) << "MINSIZE 5 shows 640x480";
    EXPECT_EQ(control<QSlider>(dialog, "SliderArc")->value(), 1) << "ARC 0 shows at the slider's end";

    type(dialog, "txtMail", "changed@example.net");  // lost: B is chosen without update
    click(dialog, "optTRG1");
    EXPECT_TRUE(control<QRadioButton>(dialog, "optSize1")->isChecked());
    click(dialog, "ckEnabled");
    type(dialog, "txtMail", "   ");
    click(dialog, "bcmdOK");
    EXPECT_EQ(lastMessage(), "宛先を入力して下さい。");
    EXPECT_EQ(Settings.TRG[1].ENABLED, "False");

    type(dialog, "txtMail", " b@example.net ");
    control<QTextEdit>(dialog, "txtBody")->setPlainText("  line one\nline two  ");
    click(dialog, "optSize2");
    click(dialog, "bcmdReF");
    EXPECT_TRUE(dialog.isVisible());
    click(dialog, "optTRG2");
    click(dialog, "bcmdCancel");

    EXPECT_EQ(Settings.TRG[0].MAILTO, "a@example.net");
    EXPECT_EQ(Settings.TRG[1].ENABLED, "True");
    EXPECT_EQ(Settings.TRG[1].MAILTO, "b@example.net");
    EXPECT_EQ(Settings.TRG[1].BODY, "line one\nline two");
    EXPECT_EQ(Settings.TRG[1].MINSIZE, 2);
    EXPECT_EQ(Settings.TRG[1].ARC, 30);
    EXPECT_EQ(Settings.TRG[1].FILES, "x") << "only OK clears FILES";
}

TEST_F(MailDialogTest, AutomaticMailSettingsOkClearsFilesAndRefusesLineBreaks)
{
    Settings.TRG[3] = {"True", "d@example.net", "D", "", 0, 0, "x", 40};
    frmMailSend_Set dialog;
    dialog.show();
    click(dialog, "optTRG3");
    type(dialog, "txtSubject", "alarm\r\nBcc: thief@example.com");
    click(dialog, "bcmdOK");
    EXPECT_EQ(lastMessage(), "宛先と件名に改行は使えません。");
    EXPECT_EQ(Settings.TRG[3].SUBJECT, "D");

    type(dialog, "txtSubject", "alarm");
    click(dialog, "bcmdOK");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(Settings.TRG[3].SUBJECT, "alarm");
    EXPECT_EQ(Settings.TRG[3].FILES, "");
    EXPECT_EQ(Settings.TRG[3].MINSIZE, 0);
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
    ASSERT_TRUE(window.waitForFrameAfter(0, std::chrono::seconds(10), nullptr, nullptr));
    frmMailSend dialog;
    dialog.DrawImage();
    hCapWnd = nullptr;
    EXPECT_EQ(dialog.picture().size(), QSize(640, 480));
    EXPECT_FALSE(frameBufferHasFrame()) << "the frame buffer is emptied";
    auto* thumbnail = control<ThumbnailView>(dialog, "pic_clip");
    EXPECT_EQ(thumbnail->size(), QSize(110, 82));

    click(dialog, "chkGrp");
    EXPECT_TRUE(thumbnail->isCrossed());
    EXPECT_FALSE(control<QSlider>(dialog, "SliderArc")->isEnabled());
    EXPECT_FALSE(control<QRadioButton>(dialog, "optSize1")->isEnabled());
    click(dialog, "chkGrp");
    EXPECT_FALSE(thumbnail->isCrossed());
    EXPECT_TRUE(control<QSlider>(dialog, "SliderArc")->isEnabled());
    setPreferredCamera("");
}

TEST_F(MailDialogTest, ManualMailSends)
{
    ServerProcess smtp("smtp_server.py", {"--record", records()});
    struct Case {
        const char* what;
        QString recipient;
        bool account;
        bool attach;
        int port;
        QString message;  // the last message shown
        bool closes;
        QSize picture;  // attached picture, or none
    };
    const Case cases[] = {
        {"blank recipient", "  ", true, true, smtp.port(), "ﾒｰﾙｱﾄﾞﾚｽを入力して下さい。", false, {}},
        {"no account", "to@example.net", false, true, smtp.port(), "ﾒｰﾙｱｶｳﾝﾄ設定のﾒｰﾙｱﾄﾞﾚｽを入力して下さい。", false, {}},
        {"line break", "to@example.net\nBcc: t@x", true, true, smtp.port(), "宛先と件名に改行は使えません。", false, {}},
        {"with picture", "a@example.net", true, true, smtp.port(), "送信しました。", true, {110, 82}},
        {"without picture", "b@example.net", true, false, smtp.port(), "送信しました。", true, {}},
        {"server down", "c@example.net", true, true, closedLoopbackPort(), "", true, {}},
    };
    for (const Case& c : cases) {
        messages.clear();
        Settings.MAIL.MAIL = c.account ? "owner@example.org" : "";
        Settings.MAIL.SMTP = QString("127.0.0.1\t%1").arg(c.port);
        frmMailSend dialog;
        dialog.DrawImage();
        dialog.show();
        type(dialog, "txtMail", c.recipient);
        type(dialog, "txtSubject", "手動");
        if (!c.attach)
            click(dialog, "chkGrp");
        click(dialog, "optSize2");
        const qsizetype before = readRecords(records(), "message").size();
        click(dialog, "bcmdOK");
        EXPECT_EQ(lastMessage(), c.message) << c.what;
        EXPECT_EQ(!dialog.isVisible(), c.closes) << c.what;
        const QList<QJsonObject> mails = readRecords(records(), "message");
        const bool delivered = mails.size() > before;
        EXPECT_EQ(delivered, c.message == "送信しました。") << c.what;
        if (delivered) {
            const QJsonArray attachments = mails.back()["attachments"].toArray();
            EXPECT_EQ(attachments.isEmpty(), c.picture.isEmpty()) << c.what;
            if (!attachments.isEmpty()) {
                const QByteArray jpeg = QByteArray::fromBase64(attachments[0]["data"].toString().toLatin1());
                EXPECT_EQ(QImage::fromData(jpeg, "JPEG").size(), c.picture) << c.what;
            }
        }
    }
    EXPECT_EQ(readRecords(records(), "message").size(), 2);
    // Written for the sends with a picture (two may share a second); unticking writes none.
    const qsizetype written = QDir(home.filePath("img")).entryList({"*_TEST.jpg"}).size();
    EXPECT_GE(written, 1);
    EXPECT_LE(written, 2);
}

int main(int argc, char** argv)
{
    // Test discovery runs without the test environment.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
