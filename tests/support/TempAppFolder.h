#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A fresh application folder: HOUNDLY_HOME points at it while the object
// lives, so appFolder() makes img/ and avi/ there; removed afterwards. Its
// name begins with `name` when one is given.
class TempAppFolder {
public:
    explicit TempAppFolder(const QString& name = {});
    ~TempAppFolder();
    TempAppFolder(const TempAppFolder&) = delete;
    TempAppFolder& operator=(const TempAppFolder&) = delete;

    bool isValid() const { return dir_.isValid(); }
    QString path() const { return dir_.path(); }
    QString filePath(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
    QByteArray previousHome_;
    bool hadHome_ = false;
};

// The whole content of a file, empty when it cannot be read.
QByteArray readFileBytes(const QString& path);
// Writes `content` to `path` and returns `path`; a test failure when it cannot.
QString writeFileBytes(const QString& path, const QByteArray& content);
