#include "platform/services/RunProgram.h"

#include <QElapsedTimer>

#include <csignal>
#include <optional>

#include <unistd.h>

namespace orla {

namespace {

constexpr int kPollMs = 100;  // how often a cancellation is looked for

}  // namespace

RunEnd RunToEnd(QProcess& process, const QString& program, const QStringList& arguments,
                int timeoutMs, const std::function<bool()>& cancelled) {
    process.setStandardInputFile(QProcess::nullDevice());
    // Its own session, so its own process group: the group's number is its process id.
    process.setChildProcessModifier([] { ::setsid(); });
    process.start(program, arguments);
    if (!process.waitForStarted())
        return RunEnd::NotStarted;
    QElapsedTimer waited;
    waited.start();
    std::optional<RunEnd> stopped;
    while (!stopped && !process.waitForFinished(kPollMs) &&
           process.state() != QProcess::NotRunning) {
        if (cancelled && cancelled())
            stopped = RunEnd::Cancelled;
        else if (waited.elapsed() >= timeoutMs)
            stopped = RunEnd::TimedOut;
    }
    if (stopped) {
        // The leader is not yet reaped, so the group's number is still its own.
        if (const qint64 group = process.processId(); group > 0)
            ::kill(-pid_t(group), SIGKILL);
        process.waitForFinished();
        return *stopped;
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0 ? RunEnd::Done
                                                                                   : RunEnd::Failed;
}

}  // namespace orla
