#include "tests/support/TempAppFolder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

TempAppFolder::TempAppFolder(const QString& name)
    : dir_(name.isEmpty() ? QTemporaryDir() : QTemporaryDir(QDir::tempPath() + u'/' + name + QStringLiteral("-XXXXXX"))),
      previousHome_(qgetenv("HOUNDLY_HOME")), hadHome_(qEnvironmentVariableIsSet("HOUNDLY_HOME"))
{
    EXPECT_TRUE(dir_.isValid());
    qputenv("HOUNDLY_HOME", dir_.path().toUtf8());
}

TempAppFolder::~TempAppFolder()
{
    if (hadHome_)
        qputenv("HOUNDLY_HOME", previousHome_);
    else
        qunsetenv("HOUNDLY_HOME");
}

QByteArray readFileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString writeFileBytes(const QString& path, const QByteArray& content)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(content) == content.size()) << path.toStdString();
    return path;
}
