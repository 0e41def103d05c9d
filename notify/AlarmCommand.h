#pragma once

#include <QByteArray>
#include <QObject>
#include <QProcessEnvironment>
#include <QStringList>

#include <chrono>
#include <functional>

class QProcess;
class QTimer;

// One run of a program with its arguments, never through a shell, in a
// process group of its own: its input and output go nowhere, the first line
// of its error output is kept. It is ended (the whole group) once `limit` has
// passed. `done` hears once whether it exited 0 and a one-line account
// ("exit 3: the first error line", "ended after 60 s", "cannot start ...");
// from the event loop, never from inside the constructor, but before end()
// returns. The object then deletes itself.
class AlarmCommand : public QObject {
    Q_OBJECT
public:
    using Done = std::function<void(bool ok, const QString& detail)>;

    AlarmCommand(const QStringList& words, const QProcessEnvironment& environment, const QString& folder,
                 std::chrono::milliseconds limit, Done done, QObject* parent = nullptr);
    // Ends the process group at once, waiting for its leader at most a second.
    void end(const QString& why);

private:
    void signalGroup(int signal);
    void keepErrorLine();
    void finish(bool ok, QString detail);
    void tell();

    QProcess* process_;
    QTimer* limit_;
    Done done_;
    QByteArray errorLine_;
    QString endedBy_;  // why it was ended, when it was
    bool finished_ = false;
    bool told_ = false;
    bool ok_ = false;
    QString detail_;
};
