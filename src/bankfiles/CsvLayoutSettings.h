// The CSV layout of each account's bank files, remembered in the program's settings.
#pragma once

#include "bankfiles/CsvLayout.h"

namespace orla {

// The layout saved for the account; nothing when none is saved or it does not read back whole.
std::optional<CsvLayout> LoadCsvLayout(int account);
// True when the next load gives it.
bool SaveCsvLayout(int account, const CsvLayout& layout);

}  // namespace orla
