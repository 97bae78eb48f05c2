// The chip information a bridge reports, on both of its sides, as any bytes:
// the device search decodes it, selects the mode and identifies the flash.
// No crash, and the record holds together: a flash chip only in the SPI
// flash mode.
#include <algorithm>

#include "discovery/device_table.h"
#include "emulator/flash_catalogue.h"
#include "fuzz/fuzz_input.h"
#include "platform/platform.h"
#include "platform/sim/sim_machine_builder.h"
#include "platform/sim/sim_platform.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vx::fuzz::FuzzInput input(data, size);
  vx::platform::sim::SimPlatform sim;
  vx::platform::sim::SimMachineBuilder machine(sim);
  const auto& parts = vx::emu::FlashCatalogue();
  const vx::emu::FlashPart& part = parts[input.Byte() % parts.size()];
  vx::emu::Bridge& bridge = *machine.AddBridge(vx::platform::sim::SimBridgeSetup().Part(part)).bridge;
  for (std::uint8_t& b : bridge.Config().chipInfo) b = input.Byte();
  for (std::uint8_t& b : bridge.Config().usbChipInfo) b = input.Byte();
  const vx::platform::ScopedPlatform scoped(sim.Apis());

  vx::DeviceRecord* table = nullptr;
  std::int32_t count = 0;
  if (vx::RefreshDevices(table, count)) {
    FUZZ_CHECK(count == 1 && table != nullptr);
    const vx::DeviceRecord& record = table[0];
    const std::int32_t modes[] = {vx::kChipModeSpiFlash, vx::kChipModeByte0, vx::kChipModeByte2,
                                  vx::kChipModeRejected, vx::kChipModeUnset};
    FUZZ_CHECK(std::ranges::find(modes, record.chipMode) != std::end(modes));
    if (record.flashChip != nullptr) FUZZ_CHECK(record.chipMode == vx::kChipModeSpiFlash && record.flashMatch >= 0);
  }
  vx::ReleaseDevices(table, count);
  FUZZ_CHECK(table == nullptr && count == 0);
  return 0;
}
