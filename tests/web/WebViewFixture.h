#pragma once

#include "tests/support/TempAppFolder.h"
#include "tests/web/WebClient.h"
#include "watch/Watcher.h"
#include "web/WebView.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

// The web view of a watcher on the demo camera, its scene time in the test's
// hand, in a fresh application folder, with the account owner / s3cret.
class WebViewFixture : public ::testing::Test {
protected:
    static constexpr int64_t kCalm = 1000, kIntruder = 28000;
    static inline const QByteArray kUser = "owner";
    static inline const QByteArray kPassword = "s3cret";

    void SetUp() override;
    void TearDown() override;
    // A new watcher (and web view, not started) on `camera`.
    void watch(const QString& camera);

    QByteArray url(const QByteArray& path) const;
    // A request with the account, by Digest unless told otherwise.
    WebReply get(const QByteArray& path, long auth = 0x02 /* CURLAUTH_DIGEST */) const;
    // Reads a stream with the account until it has `parts` parts.
    WebReply readStream(const QByteArray& path, size_t parts) const;
    // A tick at scene time `ms`, on a frame of that time, and the alarm it raised to its end.
    void tickAt(int64_t ms);
    // Runs the watcher's event loop for a moment.
    static void pump(int milliseconds = 50);

    TempAppFolder home;
    std::atomic<int64_t> sceneMs{kCalm};
    std::unique_ptr<Watcher> watcher;
    std::unique_ptr<WebView> web;
    QStringList told;
    QList<bool> watchRequests;
    QByteArray scheme = "http";
};
