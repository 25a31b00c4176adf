// The host's stand-in for the suite's other components: a read-only window
// that lists the fields of the record a component is asked to open.
#pragma once

#include <orla_contas/Components.h>

namespace orla {

using RegisterComponentEntry = void (*)(const char*, RecordComponent* (*)());
using RegisterObjectEntry = void (*)(const char*, LateBoundObject* (*)());

// Registers the viewer for every class identifier that opens a record and
// for the patient receipts object.
void RegisterRecordViewers(RegisterComponentEntry registerComponent,
                           RegisterObjectEntry registerObject);

}  // namespace orla
