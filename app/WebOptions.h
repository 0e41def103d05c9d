#pragma once

#include "settings/Settings.h"

#include <QString>
#include <QWidget>

class QLineEdit;
class QSpinBox;

// The options dialog's page for the web view: where it listens, its
// certificate and its account. The password is never shown or kept here: a
// new one typed replaces the stored hash, an empty box keeps it.
class WebOptions : public QWidget {
    Q_OBJECT
public:
    explicit WebOptions(QWidget* parent = nullptr);

    void load(const SettingsRecord::Ext& ext);
    // Why the page cannot be stored as it stands ("" when it can), checked
    // before anything is written.
    QString problem() const;
    void store(SettingsRecord::Ext& ext) const;

private:
    bool accountChanged() const;

    QSpinBox* spinWebPort;
    QLineEdit* txtWebBind;
    QLineEdit* txtWebCert;
    QLineEdit* txtWebKey;
    QLineEdit* txtWebUser;
    QLineEdit* txtWebPassword;
    QString loadedUser_;
};
