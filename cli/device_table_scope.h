// The device table for one command: refreshed when made, released on every
// way out.
#pragma once

#include <cstdint>

#include "bridge/device_record.h"
#include "discovery/device_table.h"

namespace vx::cli {

class DeviceTableScope {
 public:
  DeviceTableScope() { found_ = RefreshDevices(table_, count_) && count_ >= 1 && table_ != nullptr; }
  ~DeviceTableScope() { ReleaseDevices(table_, count_); }
  DeviceTableScope(const DeviceTableScope&) = delete;
  DeviceTableScope& operator=(const DeviceTableScope&) = delete;

  bool Found() const { return found_; }
  std::int32_t Count() const { return found_ ? count_ : 0; }
  const DeviceRecord& Record(std::int32_t index) const { return table_[index]; }

 private:
  DeviceRecord* table_ = nullptr;
  std::int32_t count_ = 0;
  bool found_ = false;
};

// True when the installed platform can search for bridges; otherwise says
// why not on standard error.
bool CanSearchForBridges();

}  // namespace vx::cli
