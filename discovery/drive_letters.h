// Drive letters of a bridge's medium: the present letters whose entry under
// "SYSTEM\MountedDevices" names the bridge's disk, by its MBR signature, by
// its instance ID or interface path, or (for removable media) by its
// "ParentIdPrefix".
#pragma once

#include <cstdint>

#include "bridge/device_record.h"

namespace vx {

// The little-endian 32-bit MBR disk signature at offset 440 of sector 0 of
// the disk at diskPath; 0 when the disk cannot be read.
std::uint32_t ReadDiskSignature(const DeviceRecord& record);

// Sets driveLetters and driveLetterCount from diskPath and diskInstanceId;
// true when at least one letter was found. When the disk does not answer
// the drive-layout request the letters are left as they were and the result
// is false. A signature of 0 (an unreadable or unset sector 0) names no disk:
// such a bridge is tied to letters by the text tests alone, never to every
// entry that starts with four zero bytes.
bool MapDriveLetters(DeviceRecord& record);

}  // namespace vx
