#include "platform/db/Error.h"

namespace orla::err {

OrlaError ConnectionClosed() {
    return {kConnectionClosed,
            QStringLiteral("The connection cannot be used to perform this operation. It is either "
                           "closed or invalid in this context.")};
}

OrlaError ObjectOpen() {
    return {kObjectOpen, QStringLiteral("Operation is not allowed when the object is open.")};
}

OrlaError ObjectClosed() {
    return {kObjectClosed, QStringLiteral("Operation is not allowed when the object is closed.")};
}

}  // namespace orla::err
