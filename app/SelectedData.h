// The lookup of the company data that the current user has selected in the host.
#pragma once

#include "hostbinding/HostBinding.h"

namespace velnor {

// Fills `record` with the data-set record whose data number is the user's selected one.
// False when the host has no such record or its data-set list cannot be walked; the
// record is then all zero. The list's cursor is released on every path.
bool FindSelectedDataSet(StDATAINFO* record);

}  // namespace velnor
