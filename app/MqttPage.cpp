#include "app/MqttPage.h"

#include "settings/NamedObject.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

MqttPage::MqttPage(QWidget* parent)
    : QWidget(parent),
      txtMqtt(named(new QLineEdit, "txtMqtt")),
      txtMqttUser(named(new QLineEdit, "txtMqttUser")),
      txtMqttPassword(named(new QLineEdit, "txtMqttPassword")),
      ckMqttTls(named(new QCheckBox(tr("TLS で接続する (証明書を確認します)")), "ckMqttTls")),
      txtMqttTopic(named(new QLineEdit, "txtMqttTopic"))
{
    txtMqtt->setPlaceholderText(tr("使わない (例: 192.168.1.10 または broker.local:1883)"));
    txtMqttPassword->setEchoMode(QLineEdit::Password);
    txtMqttTopic->setPlaceholderText(QStringLiteral("houndly/<%1>").arg(tr("フォルダー名")));

    auto* layout = new QFormLayout(this);
    layout->addRow(tr("ブローカー"), txtMqtt);
    layout->addRow(tr("ユーザー名"), txtMqttUser);
    layout->addRow(tr("パスワード"), txtMqttPassword);
    layout->addRow(ckMqttTls);
    layout->addRow(tr("トピック"), txtMqttTopic);
    auto* hint = new QLabel(tr("状態、警報 (JSON) と画像を送り、set/watch の ON と OFF で監視を切り替えます。"
                               "Home Assistant は自動検出で見つけます。次回の起動から有効になります。"));
    hint->setWordWrap(true);
    layout->addRow(hint);
}

void MqttPage::load(const SettingsRecord::Ext& ext)
{
    txtMqtt->setText(ext.MQTT);
    txtMqttUser->setText(ext.MQTTUSER);
    txtMqttPassword->setText(ext.MQTTPASS);
    ckMqttTls->setChecked(ext.MQTTTLS);
    txtMqttTopic->setText(ext.MQTTTOPIC);
}

void MqttPage::store(SettingsRecord::Ext& ext) const
{
    ext.MQTT = txtMqtt->text().trimmed();
    ext.MQTTUSER = txtMqttUser->text();
    ext.MQTTPASS = txtMqttPassword->text();
    ext.MQTTTLS = ckMqttTls->isChecked();
    ext.MQTTTOPIC = txtMqttTopic->text().trimmed();
}
