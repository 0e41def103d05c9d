#include "app/WebOptions.h"

#include "settings/NamedObject.h"
#include "settings/StoredKeys.h"
#include "web/WebAccount.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

WebOptions::WebOptions(QWidget* parent)
    : QWidget(parent),
      spinWebPort(named(new QSpinBox, "spinWebPort")),
      txtWebBind(named(new QLineEdit, "txtWebBind")),
      txtWebCert(named(new QLineEdit, "txtWebCert")),
      txtWebKey(named(new QLineEdit, "txtWebKey")),
      txtWebUser(named(new QLineEdit, "txtWebUser")),
      txtWebPassword(named(new QLineEdit, "txtWebPassword"))
{
    const KeyRange ports = storedRange("EXT", "WEBPORT");
    spinWebPort->setRange(ports.lowest, ports.highest);
    spinWebPort->setSpecialValueText(tr("しない"));
    txtWebBind->setPlaceholderText(QStringLiteral("127.0.0.1"));
    txtWebPassword->setEchoMode(QLineEdit::Password);
    txtWebPassword->setPlaceholderText(tr("変更しないときは空欄"));

    auto* layout = new QFormLayout(this);
    layout->addRow(tr("ポート"), spinWebPort);
    layout->addRow(tr("アドレス"), txtWebBind);
    layout->addRow(tr("証明書 (PEM)"), txtWebCert);
    layout->addRow(tr("秘密鍵 (PEM)"), txtWebKey);
    layout->addRow(tr("ユーザー名"), txtWebUser);
    layout->addRow(tr("パスワード"), txtWebPassword);
    auto* hint = new QLabel(tr("ループバック以外のアドレスで証明書がないときは、自己署名の証明書を作ります。"
                               "次回の起動から有効になります。"));
    hint->setWordWrap(true);
    layout->addRow(hint);
}

void WebOptions::load(const SettingsRecord::Ext& ext)
{
    spinWebPort->setValue(ext.WEBPORT);
    txtWebBind->setText(ext.WEBBIND);
    txtWebCert->setText(ext.WEBCERT);
    txtWebKey->setText(ext.WEBKEY);
    txtWebUser->setText(ext.WEBUSER);
    txtWebPassword->clear();
    loadedUser_ = ext.WEBUSER;
}

bool WebOptions::accountChanged() const
{
    return txtWebUser->text() != loadedUser_ || !txtWebPassword->text().isEmpty();
}

QString WebOptions::problem() const
{
    const QString user = txtWebUser->text();
    if (!accountChanged() || user.isEmpty())
        return {};
    if (!webUserProblem(user).isEmpty())
        return tr("Web表示のユーザー名には、コロン、引用符、バックスラッシュ、制御文字を使えません。長すぎる名前も使えません。");
    // The stored hash is made for one user name; a new name needs the password again.
    if (txtWebPassword->text().isEmpty())
        return tr("Web表示のユーザー名を変えるときはパスワードも入力してください。");
    return {};
}

void WebOptions::store(SettingsRecord::Ext& ext) const
{
    ext.WEBPORT = spinWebPort->value();
    ext.WEBBIND = txtWebBind->text().trimmed();
    ext.WEBCERT = txtWebCert->text().trimmed();
    ext.WEBKEY = txtWebKey->text().trimmed();
    if (!accountChanged())
        return;
    const QString user = txtWebUser->text();
    ext.WEBUSER = user;
    ext.WEBHASH = user.isEmpty() ? QString() : makeWebHash(user, txtWebPassword->text().toUtf8());
}
