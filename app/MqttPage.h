#pragma once

#include "settings/Settings.h"

#include <QWidget>

class QCheckBox;
class QLineEdit;

// The options dialog's page for MQTT: the broker, its account, TLS and the
// topics' prefix. The password shows as dots and is stored shifted.
class MqttPage : public QWidget {
    Q_OBJECT
public:
    explicit MqttPage(QWidget* parent = nullptr);

    void load(const SettingsRecord::Ext& ext);
    void store(SettingsRecord::Ext& ext) const;

private:
    QLineEdit* txtMqtt;
    QLineEdit* txtMqttUser;
    QLineEdit* txtMqttPassword;
    QCheckBox* ckMqttTls;
    QLineEdit* txtMqttTopic;
};
