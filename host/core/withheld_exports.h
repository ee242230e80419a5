// Withheld ordinals on Windows: GetProcAddress reads the host module's export
// table, so an ordinal the host is set up to lack has its entry emptied there
// (the loader reports an empty entry as not exported) until it is given back.
#pragma once

#include <set>

namespace standin {

// Makes exactly the ordinals in withheld unreachable through GetProcAddress;
// every other ordinal of the module gets its address back.
void syncWithheldExports(const std::set<unsigned>& withheld);

}  // namespace standin
