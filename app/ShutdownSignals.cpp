#include "app/ShutdownSignals.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void writeSignalByte(int)
{
    const char byte = 1;
    // Only async-signal-safe calls here; a full pipe already has a wake-up queued.
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

void installHandler(int signalNumber, void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(signalNumber, &action, nullptr);
}

}  // namespace

ShutdownSignals::ShutdownSignals(std::function<void()> onSignal, QObject* parent)
    : QObject(parent), onSignal_(std::move(onSignal))
{
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;  // without a pipe the signals keep their default action
    notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &ShutdownSignals::readSignal);
    installHandler(SIGTERM, writeSignalByte);
    installHandler(SIGINT, writeSignalByte);
}

ShutdownSignals::~ShutdownSignals()
{
    installHandler(SIGTERM, SIG_DFL);
    installHandler(SIGINT, SIG_DFL);
    if (notifier_ == nullptr)
        return;
    delete notifier_;
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}

void ShutdownSignals::readSignal()
{
    char bytes[16];
    while (::read(signalPipe[0], bytes, sizeof bytes) > 0) {
    }
    onSignal_();
}
