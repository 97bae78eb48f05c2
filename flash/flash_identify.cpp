// IdentifyFlash: tries the read-ID command of every table row in order until
// an answer carries a known manufacturer code.
#include "flash/flash_identify.h"

#include "bridge/bridge_lock.h"
#include "flash/flash_lookup.h"
#include "flash/flash_primitives.h"
#include "flash/flash_table.h"

namespace vx {

bool IdentifyFlash(DeviceRecord& device, std::uint32_t& id, std::uint32_t& index) {
  if (IsEmpty(device.diskPath)) return false;
  BridgeLock lock(device.mutex);
  if (!lock.Held()) return false;
  for (const FlashDescriptor& candidate : FlashDescriptorTable) {
    device.flashChip = &candidate;
    // A failed exchange counts like a missing answer: try the next method.
    if (!FlashReadId(device, id)) continue;
    const FlashLookup found = LookupFlash(id, static_cast<std::uint8_t>(candidate.readId.opcode));
    if (found.index < 0) {
      id = 0;
      index = 0;
      device.flashChip = nullptr;
      continue;
    }
    device.flashChip = found.descriptor;
    device.flashMatch = found.index;
    device.flashId = id;
    index = static_cast<std::uint32_t>(found.index);
    return true;
  }
  device.flashChip = nullptr;
  return false;
}

}  // namespace vx
