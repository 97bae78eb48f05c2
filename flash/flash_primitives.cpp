#include "flash/flash_primitives.h"

#include <algorithm>
#include <array>

#include "transport/vendor_commands.h"

namespace vx {
namespace {

// Command bytes of one SPI command: the opcode, then address or register
// bytes; what a primitive does not fill is sent as 0.
constexpr std::size_t kCommandBufferBytes = 5;

struct SpiBytes {
  std::array<std::uint8_t, kCommandBufferBytes> bytes{};
  std::uint8_t count = 0;
};

SpiBytes OpcodeOf(const FlashCommand& command) {
  SpiBytes spi;
  spi.bytes[0] = static_cast<std::uint8_t>(command.opcode);
  spi.count = static_cast<std::uint8_t>(command.commandLength);
  return spi;
}

// The opcode followed by a 24-bit address, high byte first.
SpiBytes AddressedOpcodeOf(const FlashCommand& command, std::uint32_t address) {
  SpiBytes spi = OpcodeOf(command);
  spi.bytes[1] = static_cast<std::uint8_t>(address >> 16);
  spi.bytes[2] = static_cast<std::uint8_t>(address >> 8);
  spi.bytes[3] = static_cast<std::uint8_t>(address);
  return spi;
}

// The chip has the command, its command phase fits the buffer, and the
// bridge routes SPI commands to the flash.
bool CanSend(const DeviceRecord& device, const FlashCommand& command) {
  return command.opcode != 0 && command.commandLength >= 1 && command.commandLength <= kCommandBufferBytes &&
         device.chipMode == kChipModeSpiFlash;
}

bool SendOut(const DeviceRecord& device, const SpiBytes& spi, const std::uint8_t* data, std::uint32_t length) {
  return SpiCommandOut(device, spi.bytes.data(), spi.count, data, length);
}

bool SendIn(const DeviceRecord& device, const SpiBytes& spi, std::uint8_t* out, std::uint32_t length) {
  return SpiCommandIn(device, spi.bytes.data(), spi.count, out, length);
}

}  // namespace

bool FlashReadId(const DeviceRecord& device, std::uint32_t& idWord) {
  if (device.flashChip == nullptr) return false;
  const FlashCommand& command = device.flashChip->readId;
  std::array<std::uint8_t, sizeof(std::uint32_t)> answer{};
  if (!CanSend(device, command) || command.dataLength > answer.size()) return false;
  if (!SendIn(device, OpcodeOf(command), answer.data(), command.dataLength)) return false;
  idWord = 0;
  for (std::uint32_t i = 0; i < command.dataLength; ++i) idWord |= std::uint32_t{answer[i]} << (8 * i);
  return true;
}

bool FlashWriteEnable(const DeviceRecord& device, bool enable) {
  if (device.flashChip == nullptr) return false;
  const FlashDescriptor& chip = *device.flashChip;
  if (chip.writeEnable.opcode == 0 || chip.writeDisable.opcode == 0) return false;
  const FlashCommand& command = enable ? chip.writeEnable : chip.writeDisable;
  if (!CanSend(device, command)) return false;
  return SendOut(device, OpcodeOf(command), nullptr, command.dataLength);
}

bool FlashReadStatus(const DeviceRecord& device, std::span<std::uint8_t> out) {
  if (device.flashChip == nullptr) return false;
  const FlashCommand& command = device.flashChip->readStatus;
  if (!CanSend(device, command) || command.dataLength > out.size()) return false;
  return SendIn(device, OpcodeOf(command), out.data(), command.dataLength);
}

bool FlashWriteStatus(const DeviceRecord& device, std::span<const std::uint8_t> statusBytes) {
  if (device.flashChip == nullptr) return false;
  const FlashDescriptor& chip = *device.flashChip;
  const FlashCommand& command = chip.writeStatus;
  if (command.opcode == 0) return true;  // no status register to write
  if (!CanSend(device, command)) return false;
  const FlashCommand& preCommand = chip.enableWriteStatus;
  if (preCommand.opcode != 0) {
    if (!CanSend(device, preCommand)) return false;
    if (!SendOut(device, OpcodeOf(preCommand), nullptr, preCommand.dataLength)) return false;
  }
  SpiBytes spi = OpcodeOf(command);
  const std::size_t count = std::min<std::size_t>(statusBytes.size(), command.commandLength - 1);
  std::copy_n(statusBytes.begin(), count, spi.bytes.begin() + 1);
  return SendOut(device, spi, nullptr, command.dataLength);
}

bool FlashChipErase(const DeviceRecord& device) {
  if (device.flashChip == nullptr) return false;
  const FlashCommand& command = device.flashChip->chipErase;
  if (!CanSend(device, command)) return false;
  return SendOut(device, OpcodeOf(command), nullptr, 0);
}

bool FlashPageProgram(const DeviceRecord& device, std::uint32_t address, const std::uint8_t* data,
                      std::uint32_t length) {
  if (device.flashChip == nullptr) return false;
  const FlashCommand& command = device.flashChip->pageProgram;
  if (!CanSend(device, command)) return false;
  return SendOut(device, AddressedOpcodeOf(command, address), data, length);
}

bool FlashRead(const DeviceRecord& device, std::uint32_t address, std::uint8_t* out, std::uint32_t length) {
  if (device.flashChip == nullptr) return false;
  const FlashCommand& command = device.flashChip->read;
  if (!CanSend(device, command)) return false;
  return SendIn(device, AddressedOpcodeOf(command, address), out, length);
}

}  // namespace vx
