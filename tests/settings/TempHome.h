#pragma once

#include "settings/Settings.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// A fresh application folder (HOUNDLY_HOME) and a Settings record at its start values.
class TempHome : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        qputenv("HOUNDLY_HOME", QFile::encodeName(m_dir.path()));
        Settings = SettingsRecord{};
    }
    void TearDown() override
    {
        qunsetenv("HOUNDLY_HOME");
        Settings = SettingsRecord{};
    }

    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString iniPath() const { return path(QStringLiteral("houndly.ini")); }
    void writeIni(const QByteArray& bytes) const { writeBytes(iniPath(), bytes); }
    QByteArray readIni() const
    {
        QFile in(iniPath());
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }
    static void writeBytes(const QString& file, const QByteArray& bytes)
    {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(bytes) == bytes.size());
    }
    static QByteArray toShiftJis(const QString& text)
    {
        QStringEncoder encoder("windows-31j");
        const QByteArray bytes = encoder.encode(text);
        EXPECT_FALSE(encoder.hasError());
        return bytes;
    }

private:
    QTemporaryDir m_dir;
};
