// The simulated areas keep their handles in the shared handle table.
#pragma once

#include "platform/handle_table.h"

namespace vx::platform::sim {

template <typename Handle, typename Target>
using SimHandleTable = HandleTable<Handle, Target>;

}  // namespace vx::platform::sim
