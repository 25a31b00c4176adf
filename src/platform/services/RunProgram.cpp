#include "platform/services/RunProgram.h"

#include <csignal>

#include <unistd.h>

namespace orla {

RunEnd RunToEnd(QProcess& process, const QString& program, const QStringList& arguments,
                int timeoutMs) {
    process.setStandardInputFile(QProcess::nullDevice());
    // Its own session, so its own process group: the group's number is its process id.
    process.setChildProcessModifier([] { ::setsid(); });
    process.start(program, arguments);
    if (!process.waitForStarted())
        return RunEnd::NotStarted;
    if (!process.waitForFinished(timeoutMs)) {
        // The leader is not yet reaped, so the group's number is still its own.
        if (const qint64 group = process.processId(); group > 0)
            ::kill(-pid_t(group), SIGKILL);
        process.waitForFinished();
        return RunEnd::TimedOut;
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0 ? RunEnd::Done
                                                                                   : RunEnd::Failed;
}

}  // namespace orla
