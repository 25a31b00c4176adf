#include "platform/db/Error.h"

namespace orla::err {

OrlaError ConnectionClosed() {
    return {kConnectionClosed,
            QStringLiteral("The connection cannot be used to perform this operation. It is either "
                           "closed or invalid in this context.")};
}

}  // namespace orla::err
