// The program's own process: the account stored from standard input, the web
// view of a headless watch, and its end with viewers still connected.
#include "tests/support/TempAppFolder.h"
#include "tests/support/TestApplication.h"
#include "tests/web/WebClient.h"

#include <QElapsedTimer>
#include <QProcess>

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <csignal>
#include <future>

namespace {

QProcessEnvironment headlessEnvironment(const QString& home)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "HOUNDLY_CAMERA"})
        environment.remove(QString::fromLatin1(variable));
    environment.insert(QStringLiteral("HOUNDLY_HOME"), home);
    return environment;
}

// Runs --set-web-password with `input` on standard input; the exit code.
int setPassword(const QString& home, const QString& user, const QByteArray& input)
{
    QProcess houndly;
    houndly.setProcessEnvironment(headlessEnvironment(home));
    houndly.start(QStringLiteral(HOUNDLY_EXECUTABLE), {QStringLiteral("--set-web-password"), user});
    houndly.write(input);
    houndly.closeWriteChannel();
    return houndly.waitForFinished(30000) ? houndly.exitCode() : -1;
}

TEST(WebProcessTest, TheAccountComesFromStandardInputAndTheHeadlessViewEndsInTimeWithViewers)
{
    testApplication();
    TempAppFolder home;
    EXPECT_EQ(setPassword(home.path(), QStringLiteral("a:b"), "s3cret\n"), 2);
    EXPECT_EQ(setPassword(home.path(), QStringLiteral("owner"), "\n"), 2);
    ASSERT_EQ(setPassword(home.path(), QStringLiteral("owner"), "s3cret\n"), 0);
    QByteArray ini = readFileBytes(home.filePath(QStringLiteral("houndly.ini")));
    EXPECT_TRUE(ini.contains("WEBUSER=owner\n"));
    EXPECT_TRUE(ini.contains("WEBHASH=v1:"));
    EXPECT_FALSE(ini.contains("s3cret") || ini.contains("t4dsfu"));  // nor the password shifted

    const uint16_t port = freeLoopbackPort();
    writeFileBytes(home.filePath(QStringLiteral("houndly.ini")),
                   ini.replace("WEBPORT=0", "WEBPORT=" + QByteArray::number(port)));
    QProcess houndly;
    houndly.setProcessEnvironment(headlessEnvironment(home.path()));
    houndly.setProcessChannelMode(QProcess::MergedChannels);
    houndly.start(QStringLiteral(HOUNDLY_EXECUTABLE), {QStringLiteral("--camera"), QStringLiteral("demo")});
    QByteArray output;
    const QByteArray listening = "web view on http://127.0.0.1:" + QByteArray::number(port) + "/";
    ASSERT_TRUE(waitUntil([&] { return houndly.waitForReadyRead(100), (output += houndly.readAll()).contains(listening); },
                          std::chrono::seconds(30)))
        << output.toStdString();

    std::atomic<int> streaming{0};
    std::vector<std::future<WebReply>> viewers;
    for (int viewer = 0; viewer < 3; ++viewer)
        viewers.push_back(std::async(std::launch::async, [&] {
            WebCall call{.url = "http://127.0.0.1:" + QByteArray::number(port) + "/stream.mjpg?fps=1",
                         .user = "owner", .password = "s3cret", .auth = CURLAUTH_DIGEST};
            bool counted = false;
            call.keepReading = [&](const QByteArray& body) {
                if (!counted && !multipartParts(body).empty())
                    counted = (++streaming, true);
                return true;
            };
            call.timeoutMs = 60000;
            return webCall(call);
        }));
    ASSERT_TRUE(waitUntil([&] { return streaming == 3; }, std::chrono::seconds(20)));
    QElapsedTimer clock;
    clock.start();
    ::kill(pid_t(houndly.processId()), SIGTERM);
    ASSERT_TRUE(houndly.waitForFinished(10000));
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_EQ(houndly.exitCode(), 0);
    for (auto& viewer : viewers)
        EXPECT_EQ(viewer.get().status, 200);  // each stream ended, none hangs
}

}  // namespace
