// The vendor-command operations over the builders and the sender.
#include "transport/vendor_commands.h"

#include <cstring>
#include <memory>
#include <new>

#include "bridge/bridge_lock.h"
#include "transport/pass_through.h"
#include "transport/vendor_builders.h"

namespace vx {

namespace {

constexpr std::uint32_t kChipInfoLength = 16;

// Sends an in request, built without its buffer, into a zeroed scratch
// buffer of its transfer length and copies the first `deliver` bytes to out
// on success only.
bool ReadThroughScratch(const DeviceRecord& device, VendorRequest request, std::uint8_t* out,
                        std::uint32_t deliver) {
  if (out == nullptr) return false;
  if (request.cdbLength == 0) return false;  // the arguments could not be encoded; allocate nothing for them
  std::unique_ptr<std::uint8_t[]> scratch(new (std::nothrow) std::uint8_t[request.transferLength]());
  if (!scratch) return false;
  if (request.transferLength != 0) request.data = scratch.get();
  if (!SendPassThrough(device, request)) return false;
  std::memcpy(out, scratch.get(), deliver);
  return true;
}

}  // namespace

bool ReadChipInfo(const DeviceRecord& device, std::uint8_t* out16) {
  if (IsEmpty(device.diskPath) || out16 == nullptr) return false;
  BridgeLock lock(device.mutex);
  if (!lock.Held()) return false;
  return ReadThroughScratch(device, BuildReadChipInfo(nullptr), out16, kChipInfoLength);
}

bool SpiCommandOut(const DeviceRecord& device, const std::uint8_t* commandBytes, std::uint8_t n,
                   const std::uint8_t* data, std::uint32_t length) {
  VendorRequest request = BuildSpiCommandOut(commandBytes, n, data, length);
  return SendPassThrough(device, request);
}

bool SpiCommandIn(const DeviceRecord& device, const std::uint8_t* commandBytes, std::uint8_t n, std::uint8_t* out,
                  std::uint32_t length) {
  // A one-byte read (a status register) travels as a two-byte data phase;
  // only the first byte is handed back.
  const std::uint32_t transfer = length == 1 ? 2 : length;
  return ReadThroughScratch(device, BuildSpiCommandIn(commandBytes, n, nullptr, transfer), out, length);
}

bool WriteImageSectors(const DeviceRecord& device, std::uint32_t bytePosition, const std::uint8_t* data,
                       std::uint32_t length) {
  VendorRequest request = BuildWriteImageSectors(bytePosition, data, length);
  return SendPassThrough(device, request);
}

bool ReadImageSectors(const DeviceRecord& device, std::uint32_t bytePosition, std::uint8_t* out,
                      std::uint32_t length) {
  return ReadThroughScratch(device, BuildReadImageSectors(bytePosition, nullptr, length), out, length);
}

}  // namespace vx
