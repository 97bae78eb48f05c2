// The text the list command shows for one bridge.
#pragma once

#include <string>

#include "bridge/device_record.h"

namespace vx::cli {

std::string DescribeBridge(const DeviceRecord& device);

}  // namespace vx::cli
