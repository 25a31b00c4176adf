// What every fuzz target shares: a property check that aborts (a crash libFuzzer keeps) with
// the property named, and a folder private to the run for targets that write files.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                          \
    do {                                                                               \
        if (!(condition)) {                                                            \
            std::fprintf(stderr, "%s:%d: property violated: %s\n", __FILE__, __LINE__, \
                         #condition);                                                  \
            std::abort();                                                              \
        }                                                                              \
    } while (false)

namespace orla::fuzz {

// A new folder of mode 0700 under TMPDIR (or /tmp), made once per process and removed when
// the process ends.
inline QString PrivateFolder() {
    static char path[4096];
    if (!path[0]) {
        const QByteArray pattern = QDir::tempPath().toLocal8Bit() + "/orla-fuzz-XXXXXX";
        FUZZ_CHECK(size_t(pattern.size()) < sizeof path);
        std::copy(pattern.begin(), pattern.end(), path);
        FUZZ_CHECK(mkdtemp(path) != nullptr);
        std::atexit([] { QDir(QString::fromLocal8Bit(path)).removeRecursively(); });
    }
    return QString::fromLocal8Bit(path);
}

}  // namespace orla::fuzz
