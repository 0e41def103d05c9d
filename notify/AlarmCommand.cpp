#include "notify/AlarmCommand.h"

#include <QProcess>
#include <QTimer>

#include <csignal>

#include <unistd.h>

namespace {

// A first error line is kept up to this many bytes.
constexpr qsizetype kLongestErrorLine = 500;
// After SIGTERM at the limit, the group has this long before SIGKILL.
constexpr int kGraceMs = 2000;

}  // namespace

AlarmCommand::AlarmCommand(const QStringList& words, const QProcessEnvironment& environment, const QString& folder,
                           std::chrono::milliseconds limit, Done done, QObject* parent)
    : QObject(parent), process_(new QProcess(this)), limit_(new QTimer(this)), done_(std::move(done))
{
    process_->setProgram(words.first());
    process_->setArguments(words.mid(1));
    process_->setProcessEnvironment(environment);
    process_->setWorkingDirectory(folder);
    process_->setStandardInputFile(QProcess::nullDevice());
    process_->setStandardOutputFile(QProcess::nullDevice());
    // A group of its own: the limit ends what it started too, and a terminal's Ctrl+C is not its.
    process_->setChildProcessModifier([] { ::setsid(); });
    connect(process_, &QProcess::readyReadStandardError, this, &AlarmCommand::keepErrorLine);
    connect(process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            finish(false, QStringLiteral("cannot start %1: %2").arg(process_->program(), process_->errorString()));
    });
    connect(process_, &QProcess::finished, this, [this](int exitCode, QProcess::ExitStatus status) {
        keepErrorLine();
        // A line the command did not end (killed mid-line, or no newline) is still its line.
        const qsizetype lineEnd = errorLine_.indexOf('\n');
        const QByteArray errorLine = (lineEnd < 0 ? errorLine_ : errorLine_.left(lineEnd)).left(kLongestErrorLine).trimmed();
        QString detail = !endedBy_.isEmpty()                ? endedBy_
                         : status == QProcess::NormalExit ? QStringLiteral("exit %1").arg(exitCode)
                                                          : QStringLiteral("ended by a signal");
        if (!errorLine.isEmpty())
            detail += QStringLiteral(": ") + QString::fromUtf8(errorLine);
        finish(endedBy_.isEmpty() && status == QProcess::NormalExit && exitCode == 0, detail);
    });

    limit_->setSingleShot(true);
    connect(limit_, &QTimer::timeout, this, [this, limit] {
        endedBy_ = QStringLiteral("ended after %1 s").arg(std::chrono::duration<double>(limit).count());
        signalGroup(SIGTERM);
        // One that stays past its grace is killed.
        QTimer::singleShot(kGraceMs, this, [this] { signalGroup(SIGKILL); });
    });
    limit_->start(limit);
    process_->start();
}

void AlarmCommand::end(const QString& why)
{
    if (!finished_) {
        endedBy_ = why;
        signalGroup(SIGKILL);
        process_->waitForFinished(1000);
        // A leader that cannot be reaped in time is told ended all the same.
        finish(false, why);
    }
    tell();
}

void AlarmCommand::signalGroup(int signal)
{
    const qint64 pid = process_->processId();
    if (pid <= 0)
        return;
    // Before its setsid() the child has no group yet: then the leader alone.
    if (::kill(-pid_t(pid), signal) != 0)
        ::kill(pid_t(pid), signal);
}

void AlarmCommand::keepErrorLine()
{
    // Read always, so that a talkative command never fills its pipe; kept only until its first line.
    const QByteArray said = process_->readAllStandardError();
    if (errorLine_.contains('\n') || errorLine_.size() >= kLongestErrorLine)
        return;
    errorLine_ += said.left(kLongestErrorLine);
}

void AlarmCommand::finish(bool ok, QString detail)
{
    if (finished_)
        return;
    finished_ = true;
    ok_ = ok;
    detail_ = std::move(detail);
    limit_->stop();
    // From the event loop, so a command that cannot start is heard after what started it.
    QTimer::singleShot(0, this, &AlarmCommand::tell);
}

void AlarmCommand::tell()
{
    if (told_)
        return;
    told_ = true;
    done_(ok_, detail_);
    deleteLater();
}
