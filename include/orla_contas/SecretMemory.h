// Keeping passwords out of core dumps, the environment block and freed memory.
// Header-only, so the host and the component share one routine.
#pragma once

#include <QByteArray>
#include <QString>

#include <sys/prctl.h>
#include <sys/resource.h>

#include <cstdlib>
#include <cstring>

namespace orla {

// The process writes no core file and cannot be attached to by other processes of the user
// from now on: called once a password is held.
inline void DisableCoreDumps() {
    const rlimit none{0, 0};
    setrlimit(RLIMIT_CORE, &none);
    prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
}

// Overwrites the bytes of a text before it is let go. A copy that shares the bytes keeps them
// until it too is wiped, so a secret is wiped where it was made and passed on scrambled.
inline void Wipe(QString& text) {
    if (!text.isEmpty() && text.isDetached())
        std::memset(static_cast<void*>(text.data()), 0, size_t(text.size()) * sizeof(QChar));
    text.clear();
}

inline void Wipe(QByteArray& bytes) {
    if (!bytes.isEmpty() && bytes.isDetached())
        std::memset(bytes.data(), 0, size_t(bytes.size()));
    bytes.clear();
}

// Takes a variable out of the environment with its value overwritten first: unsetenv alone
// leaves the bytes in the environment block, readable in a core dump.
inline void WipeEnvironmentVariable(const char* name) {
    if (char* value = std::getenv(name))
        std::memset(value, 0, std::strlen(value));
    unsetenv(name);
}

}  // namespace orla
