// A save killed at any moment leaves the old file or the new one, whole; the
// temporaries killed saves leave behind go at the next start, and only they.
#include "TempHome.h"

#include "settings/AppFolderTidy.h"
#include "settings/AtomicFile.h"
#include "settings/ProfileFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using KilledSaveTest = TempHome;

QStringList temporariesIn(const QString& folder)
{
    return QDir(folder).entryList({QStringLiteral("houndly.ini.??????")}, QDir::Files | QDir::Hidden | QDir::System);
}

// A whole file ends with the FTP section and holds the whole body.
bool isWhole(const QByteArray& bytes)
{
    const ProfileFile file(bytes);
    const std::optional<QString> body = file.value(QStringLiteral("0TRG"), QStringLiteral("BODY"));
    return body && body->endsWith(QString(20000, u'x')) && file.value(QStringLiteral("FTP"), QStringLiteral("AUDIO"));
}

// HOUNDLY_KILL_ROUNDS sets the number of kills (a measurement: 240).
TEST_F(KilledSaveTest, KilledSavesLeaveAWholeFileAndTheNextStartRemovesTheirTemporaries)
{
    const int rounds = qEnvironmentVariableIsSet("HOUNDLY_KILL_ROUNDS") ? qEnvironmentVariableIntValue("HOUNDLY_KILL_ROUNDS") : 60;
    const QString folder = QFileInfo(iniPath()).absolutePath();
    int broken = 0;
    int leftAfterStart = 0;
    for (int round = 0; round < rounds; ++round) {
        QProcess saver;
        saver.start(QStringLiteral(HOUNDLY_SAVE_LOOP), {});
        ASSERT_TRUE(saver.waitForStarted(30000));
        while (!saver.canReadLine() && saver.waitForReadyRead(30000)) {
        }
        ASSERT_EQ(saver.readLine().trimmed(), "saving");
        // A start meanwhile (another instance) leaves the running saves alone.
        QElapsedTimer waited;
        waited.start();
        const int waitUs = QRandomGenerator::global()->bounded(20000);
        while (waited.nsecsElapsed() < waitUs * 1000LL)
            removeLeftOverTemporaries(iniPath());
        ASSERT_FALSE(saver.waitForFinished(0)) << "a save failed";
        saver.kill();
        saver.waitForFinished(30000);
        broken += isWhole(readIni()) ? 0 : 1;
        tidyAppFolder();
        leftAfterStart += int(temporariesIn(folder).size());
    }
    EXPECT_EQ(broken, 0) << "partial or missing files after " << rounds << " kills";
    EXPECT_EQ(leftAfterStart, 0) << "temporaries left after the next start";
}

// The start removes what killed runs left, and only that: the abandoned
// temporaries of the program's files, snapshots and clips, and the FTP script
// with its password; never another file, a temporary still being written, a
// folder or a link.
TEST_F(KilledSaveTest, TheStartRemovesWhatKilledRunsLeftAndNothingElse)
{
    const QStringList abandoned = {"houndly.ini.Ab3dE9", "houndly.ini.000000", "timeline.json.q1W2e3",
                                   "pending-uploads.json.Zz0Zz0", "avi/260101120000_ALERT.AVI.aB3dE9",
                                   "avi/ALERT.AVI.x0x0x0", "img/260101120000_ALERT.jpg.Ab3dE9", "FTP_PUT.txt"};
    const QStringList others = {"houndly.ini.bak", "houndly.ini.Ab3dE", "houndly.ini.Ab3dE9x", "houndly.ini.Ab_dE9",
                                "houndly.ini.", "houndly.ini~Ab3dE9", "mail.log.txt.Ab3dE9", "houndly.ini",
                                "avi/260101120000_ALERT.AVI", "avi/notes.txt.Ab3dE9", "img/FTP_PUT.txt"};
    // Older versions left img/ and avi/ open to everyone.
    const auto open = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
    for (const char* folder : {"img", "avi"})
        ASSERT_TRUE(QDir().mkpath(path(folder)) && QFile::setPermissions(path(folder), open));
    for (const QString& name : abandoned + others)
        writeFileBytes(path(name), "x");
    // A clip still being recorded is locked by its recorder.
    const QString running = "avi/260101120001_ALERT.AVI.Run123";
    writeFileBytes(path(running), "x");
    const int lockFd = ::open(QFile::encodeName(path(running)).constData(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(lockFd, 0);
    ASSERT_EQ(::flock(lockFd, LOCK_EX), 0);
    // Another user's, as root may find in a folder it shares: not ours to remove.
    const QString foreign = "houndly.ini.Oth123";
    writeFileBytes(path(foreign), "x");
    const bool chowned = ::chown(QFile::encodeName(path(foreign)).constData(), 65534, 65534) == 0;
    // Not a file: neither a folder nor a link is ever removed.
    ASSERT_TRUE(QDir().mkdir(path("houndly.ini.Dir123")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("houndly.ini.Fif123")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(path("houndly.ini.bak"), path("houndly.ini.Lnk123")));

    tidyAppFolder();
    for (const QString& name : abandoned)
        EXPECT_FALSE(QFileInfo::exists(path(name))) << name.toStdString();
    for (const QString& name : others + QStringList{running, "houndly.ini.Dir123", "houndly.ini.Fif123"})
        EXPECT_TRUE(QFileInfo::exists(path(name))) << name.toStdString();
    EXPECT_TRUE(QFileInfo(path("houndly.ini.Lnk123")).isSymLink());
    EXPECT_EQ(QFileInfo::exists(path(foreign)), chowned);
    for (const char* folder : {"img", "avi"})
        EXPECT_EQ(QFileInfo(path(folder)).permissions() & 0x0077, 0) << folder;
    // Once its writer has gone, the lock goes too.
    ::close(lockFd);
    // Neither a folder someone else owns nor one a link in a folder's place points to is ours to close.
    ASSERT_TRUE(QFile::setPermissions(path("avi"), open) && QFile::setPermissions(path("houndly.ini.Dir123"), open));
    ASSERT_TRUE(QDir(path("img")).removeRecursively() && QFile::link(path("houndly.ini.Dir123"), path("img")));
    ASSERT_EQ(::chown(QFile::encodeName(path("avi")).constData(), 65534, 65534) == 0, chowned);
    tidyAppFolder();
    EXPECT_FALSE(QFileInfo::exists(path(running)));
    EXPECT_EQ(QFileInfo(path("avi")).permissions() & 0x0077, chowned ? open & 0x0077 : 0);
    EXPECT_EQ(QFileInfo(path("houndly.ini.Dir123")).permissions() & 0x0077, open & 0x0077);
}

}  // namespace
