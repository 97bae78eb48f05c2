// Loading the store from the two firmware file kinds: ".bin", a bare code
// image, and ".eep", a configuration image with code and an optional disk
// image.
#include <cstring>
#include <utility>

#include "image/details_text.h"
#include "image/firmware_file.h"
#include "image/image_buffer.h"
#include "image/image_store.h"

namespace vx {

namespace {

// Fields of the ".eep" header (little-endian).
constexpr std::uint32_t kEepCodeLengthOffset = 524;
constexpr std::uint32_t kEepChecksumOffset = 528;

std::uint32_t ReadLe32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

std::uint16_t ReadLe16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

// A copy of length bytes from source; null when memory is short.
ImageBuffer CopyOf(const std::uint8_t* source, std::uint32_t length) {
  ImageBuffer copy = AllocateImageBuffer(length);
  if (copy) std::memcpy(copy.get(), source, length);
  return copy;
}

}  // namespace

bool ImageStore::LoadBinFile(std::u16string_view path, std::u16string& details) {
  // The previous code image is gone from here on, also when the load fails.
  ClearCodeImage();
  FileBuffer file = ReadFirmwareFile(path, &details);
  if (!file.bytes) {
    AppendDetails(details, u"Firmware transformation error.\r\n");
    return false;
  }
  const std::uint16_t checksum = CodeChecksum(file.bytes.get(), file.length);
  InstallCode(std::move(file.bytes), file.length, checksum);
  return true;
}

bool ImageStore::LoadEepFile(std::u16string_view path) {
  FileBuffer file = ReadFirmwareFile(path, nullptr);
  if (!file.bytes) return false;
  const std::uint8_t* data = file.bytes.get();
  const std::uint32_t size = file.length;
  // Everything is checked and copied before the store changes, so that a
  // refused file leaves all three images as they were.
  if (size < EepHeaderSize) return false;  // incomplete header

  ImageBuffer code;
  std::uint32_t codeBytes = 0;
  std::uint16_t checksum = 0;
  if (size > EepHeaderSize) {
    codeBytes = ReadLe32(data + kEepCodeLengthOffset);
    checksum = ReadLe16(data + kEepChecksumOffset);  // taken as written, not recomputed
    if (codeBytes > size - EepHeaderSize) return false;  // code runs past the end of the file
    code = CopyOf(data + EepHeaderSize, codeBytes);
    if (!code) return false;
  }

  ImageBuffer disk;
  std::uint32_t diskBytes = 0;
  if (size > DiskImageFileOffset) {
    diskBytes = size - DiskImageFileOffset;
    disk = CopyOf(data + DiskImageFileOffset, diskBytes);
    if (!disk) return false;
  }

  std::memcpy(configImage, data, ConfigImageSize);
  InstallCode(std::move(code), codeBytes, checksum);
  InstallDisk(std::move(disk), diskBytes);
  return true;
}

}  // namespace vx
