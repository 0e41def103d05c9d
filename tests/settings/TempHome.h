#pragma once

#include "settings/Settings.h"
#include "tests/support/TempAppFolder.h"

#include <QStringEncoder>

#include <gtest/gtest.h>

// A fresh application folder and a Settings record at its start values.
class TempHome : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_home.isValid());
        Settings = SettingsRecord{};
    }
    void TearDown() override { Settings = SettingsRecord{}; }

    QString path(const QString& name) const { return m_home.filePath(name); }
    QString iniPath() const { return path(QStringLiteral("houndly.ini")); }
    void writeIni(const QByteArray& bytes) const { writeFileBytes(iniPath(), bytes); }
    QByteArray readIni() const { return readFileBytes(iniPath()); }
    static QByteArray toShiftJis(const QString& text)
    {
        QStringEncoder encoder("windows-31j");
        const QByteArray bytes = encoder.encode(text);
        EXPECT_FALSE(encoder.hasError());
        return bytes;
    }

private:
    TempAppFolder m_home;
};
