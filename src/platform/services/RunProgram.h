// A helper program (LibreOffice, lp, pdftotext) run to its end, in a process
// group of its own so that whatever it starts goes with it when it hangs.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>

namespace orla {

enum class RunEnd {
    Done,        // exited with status 0
    NotStarted,  // could not be started
    TimedOut,    // did not end in time: it and every process of its group were killed
    Cancelled,   // stopped, with its group, because `cancelled` answered true
    Failed       // ended by a signal or with another status
};

// Starts `program` through `process` (its environment and folder set by the
// caller) in a new session, standard input empty, and waits up to timeoutMs
// for it to end, asking `cancelled` (when given) a few times a second. What it
// wrote stays readable in `process`.
RunEnd RunToEnd(QProcess& process, const QString& program, const QStringList& arguments,
                int timeoutMs, const std::function<bool()>& cancelled = {});

}  // namespace orla
