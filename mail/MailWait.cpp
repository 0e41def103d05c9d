#include "mail/MailWait.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>

#include <atomic>
#include <thread>

namespace {

class UserInputFilter : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* event) override { return event->spontaneous() && event->isInputEvent(); }
};

}  // namespace

bool sendWhileTheWindowLives(const std::function<bool()>& send)
{
    QEventLoop loop;
    std::atomic<bool> sent{false};
    std::thread worker([&] {
        sent = send();
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    UserInputFilter dropInput;
    QCoreApplication::instance()->installEventFilter(&dropInput);
    loop.exec();
    QCoreApplication::instance()->removeEventFilter(&dropInput);
    worker.join();
    return sent;
}
