#include "PlatformChatter.h"

#include <QString>
#include <QtGlobal>

namespace orla {
namespace {

QtMessageHandler previous = nullptr;

// Parts of the warnings Qt writes about the platform, not about the program.
constexpr const char* kChatter[] = {
    "XDG_RUNTIME_DIR not set",
    "does not support propagateSizeHints",
};

void Filter(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtDebugMsg || type == QtInfoMsg || type == QtWarningMsg)
        for (const char* chatter : kChatter)
            if (message.contains(QLatin1String(chatter)))
                return;
    previous(type, context, message);
}

}  // namespace

void FilterPlatformChatter() {
    previous = qInstallMessageHandler(Filter);
}

}  // namespace orla
