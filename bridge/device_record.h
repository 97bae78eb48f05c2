// One bridge: where its interfaces are, what it reported about itself, which
// flash chip sits behind it, and the named mutex that serialises all traffic
// to it. A plain, trivially copyable record: it starts zero-filled, discovery
// fills it, and every other layer reads copies of it.
#pragma once

#include <cstdint>
#include <type_traits>

#include "base/text.h"
#include "platform/handles.h"

namespace vx {

struct FlashDescriptor;

// Values of DeviceRecord::chipMode, selected from the chip information's mode byte.
inline constexpr std::int32_t kChipModeUnset = 0;
inline constexpr std::int32_t kChipModeSpiFlash = 3;  // flash reached by SPI commands
inline constexpr std::int32_t kChipModeByte0 = 4;
inline constexpr std::int32_t kChipModeByte2 = 5;
inline constexpr std::int32_t kChipModeRejected = 7;

inline constexpr std::size_t kMaxDriveLetters = 32;

struct DeviceRecord {
  platform::MutexHandle mutex;
  char16_t parentId[kTextChars];
  char16_t usbInstanceId[kTextChars];
  char16_t diskInstanceId[kTextChars];
  char16_t winusbInstanceId[kTextChars];
  char16_t diskPath[kTextChars];
  char16_t winusbPath[kTextChars];
  char16_t usbName[kTextChars];
  char16_t diskName[kTextChars];
  char16_t winusbName[kTextChars];
  const FlashDescriptor* flashChip;
  std::int32_t flashMatch;
  std::int32_t chipMode;
  std::int32_t hubNumber;
  std::int32_t portNumber;
  std::uint32_t firmwareVersion;
  std::uint32_t flashId;
  std::uint16_t infoWord8;
  std::uint16_t infoWord12;
  std::uint16_t vendorId;
  std::uint16_t productId;
  char16_t driveLetters[kMaxDriveLetters];  // one letter each, not terminated
  std::int32_t driveLetterCount;
  std::int32_t slot;
  std::uint8_t usbSpeed;
};

static_assert(std::is_trivially_copyable_v<DeviceRecord>);

// DeviceRecord{} value-initialises every field to zero: texts empty, pointers
// and handles null, numbers 0.

}  // namespace vx
