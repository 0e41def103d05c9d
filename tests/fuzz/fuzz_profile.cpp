// Fuzzes the profile-file parser and writer, and the settings load and save on
// whatever file the fuzzer makes.

#include "settings/AppPaths.h"
#include "settings/ProfileFile.h"
#include "settings/Settings.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdlib>

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A written key reads back as written, and the lines before it stay.
void checkWriteReadsBack(const QByteArray& data)
{
    ProfileFile profile(data);
    const qsizetype split = data.size() / 2;
    const QString section = QString::fromLatin1(data.left(std::min<qsizetype>(split, 8)).toHex());
    const QString key = QStringLiteral("k") + QString::number(data.size());
    const QString value = QStringLiteral("value ") + QString::number(split);
    if (!profile.setValue(section, key, value)) {
        std::abort();
    }
    if (profile.value(section, key) != value) {
        std::abort();
    }
}

// Loading then saving is stable: a second round gives the same file.
void checkLoadSaveIsStable(const QByteArray& data)
{
    const QString path = appFilePath(QStringLiteral("houndly.ini"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(data) != data.size()) {
        std::abort();
    }
    file.close();
    Settings = SettingsRecord{};
    if (!sLoadSettings() || !sSaveSettings()) {
        return;
    }
    const QByteArray once = readFile(path);
    Settings = SettingsRecord{};
    if (!sLoadSettings() || !sSaveSettings() || readFile(path) != once) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // The sound folder lies beside the executable, which only an application knows.
    static QCoreApplication application(*argc, *argv);
    // In memory where possible: every save is flushed to disk.
    static char folder[] = "/dev/shm/houndly-fuzz-XXXXXX";
    static char fallback[] = "/tmp/houndly-fuzz-XXXXXX";
    static const char* home = ::mkdtemp(folder) != nullptr ? folder : ::mkdtemp(fallback);
    if (home == nullptr) {
        std::abort();
    }
    qputenv("HOUNDLY_HOME", home);
    std::atexit([] { QDir(QString::fromLocal8Bit(home)).removeRecursively(); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    const QByteArray data(reinterpret_cast<const char*>(bytes), qsizetype(size));
    checkWriteReadsBack(data);
    checkLoadSaveIsStable(data);
    return 0;
}
