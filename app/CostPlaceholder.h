// The host's stand-in for the suite's cost component, which is not part of
// this program: a window that says so instead of a cost form.
#pragma once

#include <orla_contas/Components.h>

namespace orla {

using RegisterCostComponentEntry = void (*)(const char*, CostComponent* (*)());

void RegisterCostPlaceholder(RegisterCostComponentEntry registerCostComponent);

}  // namespace orla
