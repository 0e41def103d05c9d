#include "mail/BackgroundTransfer.h"

#include <condition_variable>
#include <csignal>
#include <functional>
#include <mutex>
#include <pthread.h>
#include <thread>

namespace {

struct Progress {
    std::mutex mutex;
    std::condition_variable changed;
    bool finished = false;
    TransferResult result;
    QDeadlineTimer goodbyeEnds = QDeadlineTimer::Forever;  // runs once the transfer is done
};

// Termination signals belong to the window's thread; a write to a socket the
// server or a cancel closed must fail, not kill the program.
void leaveSignalsToTheWindow()
{
    sigset_t blocked;
    sigemptyset(&blocked);
    for (const int number : {SIGPIPE, SIGTERM, SIGINT})
        sigaddset(&blocked, number);
    pthread_sigmask(SIG_BLOCK, &blocked, nullptr);
}

}  // namespace

TransferResult runTransfer(CURL* easy, TransferControl& control, const QDeadlineTimer& deadline,
                           const QString& lateReason, std::chrono::milliseconds goodbye)
{
    Progress progress;
    // With progress.mutex held: cancels what is over its time; the next moment to look again.
    const auto enforceBounds = [&]() -> QDeadlineTimer {
        if (progress.finished || control.cancelled())
            return QDeadlineTimer::Forever;
        if (deadline.hasExpired()) {
            control.cancel(lateReason);
            return QDeadlineTimer::Forever;
        }
        if (progress.goodbyeEnds.hasExpired()) {
            control.cancel(QStringLiteral("the server did not answer QUIT within %1 s").arg(goodbye.count() / 1000.0));
            return QDeadlineTimer::Forever;
        }
        return std::min(deadline, progress.goodbyeEnds);
    };

    const auto update = [&](const std::function<void()>& change) {
        {
            const std::lock_guard lock(progress.mutex);
            change();
        }
        progress.changed.notify_all();
    };

    std::thread worker([&] {
        leaveSignalsToTheWindow();
        const CURLcode result = curl_easy_perform(easy);
        update([&] {
            progress.result = {result, control.cancelled()};
            progress.goodbyeEnds = QDeadlineTimer(goodbye, Qt::PreciseTimer);
        });
        curl_easy_cleanup(easy);
        update([&] { progress.finished = true; });
    });

    std::unique_lock lock(progress.mutex);
    while (!progress.finished) {
        const QDeadlineTimer next = enforceBounds();
        if (next.isForever())
            progress.changed.wait(lock);
        else
            progress.changed.wait_for(lock, next.remainingTimeAsDuration());
    }
    lock.unlock();
    worker.join();
    return progress.result;
}
