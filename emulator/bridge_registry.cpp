#include "emulator/bridge_registry.h"

#include <algorithm>

#include "base/ascii_text.h"

namespace vx::emu {

void BridgeRegistry::Put(std::vector<Entry>& entries, std::u16string_view path, Bridge& bridge) {
  if (path.empty()) return;
  auto it = std::ranges::find_if(entries, [&](const Entry& e) { return EqualsIgnoreCase(e.path, path); });
  if (it != entries.end()) {
    it->bridge = &bridge;
  } else {
    entries.push_back({std::u16string(path), &bridge});
  }
}

Bridge* BridgeRegistry::Find(const std::vector<Entry>& entries, std::u16string_view path) {
  auto it = std::ranges::find_if(entries, [&](const Entry& e) { return EqualsIgnoreCase(e.path, path); });
  return it == entries.end() ? nullptr : it->bridge;
}

void BridgeRegistry::AttachDisk(std::u16string_view path, Bridge& bridge) {
  std::lock_guard lock(mutex_);
  Put(disks_, path, bridge);
}

void BridgeRegistry::AttachWinUsb(std::u16string_view path, Bridge& bridge) {
  std::lock_guard lock(mutex_);
  Put(winusb_, path, bridge);
}

void BridgeRegistry::Detach(const Bridge& bridge) {
  std::lock_guard lock(mutex_);
  std::erase_if(disks_, [&](const Entry& e) { return e.bridge == &bridge; });
  std::erase_if(winusb_, [&](const Entry& e) { return e.bridge == &bridge; });
}

Bridge* BridgeRegistry::FindDisk(std::u16string_view path) const {
  std::lock_guard lock(mutex_);
  return Find(disks_, path);
}

Bridge* BridgeRegistry::FindWinUsb(std::u16string_view path) const {
  std::lock_guard lock(mutex_);
  return Find(winusb_, path);
}

}  // namespace vx::emu
