// Qt's own notes about the platform it runs on, which say nothing to the user
// of a headless run.
#pragma once

namespace orla {

// Installs a message handler that drops the known platform notes (no
// XDG_RUNTIME_DIR, a plugin without propagateSizeHints) and hands every other
// message to the handler that was there.
void FilterPlatformChatter();

}  // namespace orla
