#include "TempHome.h"

#include "settings/Settings.h"

#include <QFile>
#include <QStringEncoder>

void TempHome::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
    qputenv("HOUNDLY_HOME", QFile::encodeName(m_dir.path()));
    Settings = SettingsRecord{};
}

void TempHome::TearDown()
{
    qunsetenv("HOUNDLY_HOME");
    Settings = SettingsRecord{};
}

void TempHome::writeBytes(const QString& file, const QByteArray& bytes)
{
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(out.write(bytes), bytes.size());
}

QByteArray TempHome::readBytes(const QString& file)
{
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

QByteArray TempHome::toShiftJis(const QString& text)
{
    QStringEncoder encoder("windows-31j");
    QByteArray bytes = encoder.encode(text);
    EXPECT_FALSE(encoder.hasError());
    return bytes;
}
