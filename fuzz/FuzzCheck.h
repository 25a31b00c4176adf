// What every fuzz target shares: a property check that aborts (a crash libFuzzer keeps) with
// the property named, and a folder private to the run for targets that write files.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QString>

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

// A new folder of mode 0700 under TMPDIR (or /tmp), made once per process.
inline QString PrivateFolder() {
    static const QString folder = [] {
        QByteArray pattern = QDir::tempPath().toLocal8Bit() + "/orla-fuzz-XXXXXX";
        FUZZ_CHECK(mkdtemp(pattern.data()) != nullptr);
        return QString::fromLocal8Bit(pattern);
    }();
    return folder;
}

}  // namespace orla::fuzz
