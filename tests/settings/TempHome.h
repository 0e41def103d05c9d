#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// A fresh application folder (HOUNDLY_HOME) and a Settings record at its start values.
class TempHome : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString iniPath() const { return path(QStringLiteral("houndly.ini")); }
    void writeIni(const QByteArray& bytes) const { writeBytes(iniPath(), bytes); }
    QByteArray readIni() const { return readBytes(iniPath()); }

    static void writeBytes(const QString& file, const QByteArray& bytes);
    static QByteArray readBytes(const QString& file);
    static QByteArray toShiftJis(const QString& text);

private:
    QTemporaryDir m_dir;
};
