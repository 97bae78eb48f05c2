#include "discovery/drive_letters.h"

#include <string>

#include "base/ascii_text.h"
#include "discovery/scoped_handles.h"

namespace vx {

namespace {

constexpr std::uint32_t kSectorBytes = 512;
constexpr std::uint32_t kSignatureOffset = 440;
constexpr std::uint32_t kValueBytes = 512;
// Characters of a native device path's prefix ("\??\", "\\?\").
constexpr std::size_t kDevicePrefixChars = 4;
constexpr char16_t kMountedDevices[] = u"SYSTEM\\MountedDevices";
constexpr char16_t kEnumKey[] = u"SYSTEM\\CurrentControlSet\\Enum\\";

std::uint32_t LittleEndian32(const std::uint8_t* bytes) {
  return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
}

// UTF-16 text from little-endian bytes, up to the first terminator.
std::u16string TextFromBytes(const std::uint8_t* bytes, std::uint32_t length) {
  std::u16string text;
  for (std::uint32_t i = 0; i + 1 < length; i += 2) {
    const auto c = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
    if (c == u'\0') break;
    text += c;
  }
  return text;
}

bool ReadValue(std::u16string_view key, std::u16string_view name, std::uint8_t (&data)[kValueBytes],
               std::uint32_t& length) {
  auto& registry = platform::Registry();
  ScopedRegistryKey opened(registry.OpenLocalMachineKey(key));
  if (!opened) return false;
  length = kValueBytes;
  return registry.QueryValue(opened.Get(), name, data, length);
}

bool AnswersDriveLayout(const DeviceRecord& record) {
  ScopedDisk disk(platform::Disks().Open(TextOf(record.diskPath)));
  return disk && platform::Disks().GetDriveLayout(disk.Get());
}

// The text tests for a volume entry that does not carry the disk signature.
bool NamesDisk(const DeviceRecord& record, std::u16string_view entry) {
  if (entry.size() < kDevicePrefixChars) return false;
  const auto tail = entry.substr(kDevicePrefixChars);
  const auto diskPath = TextOf(record.diskPath);
  if (EqualsIgnoreCase(tail, TextOf(record.diskInstanceId)) ||
      (diskPath.size() >= kDevicePrefixChars && EqualsIgnoreCase(tail, diskPath.substr(kDevicePrefixChars))))
    return true;
  // A removable-media volume names the storage node that carries the prefix
  // recorded for the disk's device instance.
  if (!ContainsIgnoreCase(tail, u"ven_tarvenix") && !ContainsIgnoreCase(tail, u"Ven_AUTO-RUN") &&
      !ContainsIgnoreCase(tail, u"RemovableMedia"))
    return false;
  std::uint8_t data[kValueBytes] = {};
  std::uint32_t length = 0;
  if (!ReadValue(kEnumKey + std::u16string(TextOf(record.diskInstanceId)), u"ParentIdPrefix", data, length))
    return false;
  const std::u16string prefix = TextFromBytes(data, length);
  return !prefix.empty() && ContainsIgnoreCase(tail, prefix);
}

}  // namespace

std::uint32_t ReadDiskSignature(const DeviceRecord& record) {
  auto& disks = platform::Disks();
  ScopedDisk disk(disks.Open(TextOf(record.diskPath)));
  if (!disk) return 0;
  std::uint64_t position = 1;
  if (!disks.Seek(disk.Get(), 0, position) || position != 0) return 0;
  std::uint8_t sector[kSectorBytes] = {};
  std::uint32_t bytesRead = 0;
  if (!disks.Read(disk.Get(), sector, kSectorBytes, bytesRead)) return 0;
  return LittleEndian32(sector + kSignatureOffset);
}

bool MapDriveLetters(DeviceRecord& record) {
  const std::uint32_t signature = ReadDiskSignature(record);
  if (!AnswersDriveLayout(record)) return false;
  record.driveLetterCount = 0;
  const std::uint32_t mask = platform::Disks().GetLogicalDrives();
  for (int bit = 0; bit < 26; ++bit) {
    if ((mask & (1u << bit)) == 0) continue;
    const char16_t letter = static_cast<char16_t>(u'A' + bit);
    const std::u16string valueName = std::u16string(u"\\DosDevices\\") + letter + u":";
    std::uint8_t data[kValueBytes] = {};
    std::uint32_t length = 0;
    if (!ReadValue(kMountedDevices, valueName, data, length)) continue;
    const bool sameSignature = signature != 0 && length >= sizeof signature && LittleEndian32(data) == signature;
    if (sameSignature || NamesDisk(record, TextFromBytes(data, length)))
      record.driveLetters[record.driveLetterCount++] = letter;
  }
  return record.driveLetterCount > 0;
}

}  // namespace vx
