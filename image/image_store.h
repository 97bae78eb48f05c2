// The store of the three images an update writes: the configuration image
// (flash address 0), the code image (512) and the disk image (0x2800). One
// process-wide instance, Images(); only the UI thread writes it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vx {

inline constexpr std::uint32_t ConfigImageSize = 512;
inline constexpr std::uint32_t CodeAreaSize = 8192;
inline constexpr std::uint32_t EepHeaderSize = 536;
inline constexpr std::uint32_t DiskImageFileOffset = 10240;

// Room of the caller-owned failure text the loaders append to, terminator included.
inline constexpr std::size_t kDetailsChars = 2048;

class ImageStore {
 public:
  ImageStore();

  std::uint8_t configImage[ConfigImageSize];
  std::unique_ptr<std::uint8_t[]> codeImage;  // null when absent
  std::uint32_t codeLength = 0;
  std::unique_ptr<std::uint8_t[]> diskImage;  // null when absent
  std::uint32_t diskLength = 0;
  std::uint16_t codeChecksum = 0;

  void ResetImages();
  bool SetConfigImage(const std::uint8_t* image512);
  void ClearCodeImage();
  bool SetCodeImage(const std::uint8_t* code8192);
  // Appends its failure lines to details (each ending in "\r\n").
  bool LoadBinFile(std::u16string_view path, std::u16string& details);
  bool LoadEepFile(std::u16string_view path);
  void ReleaseImages();

 private:
  // Replace the code or disk image; a length of 0 leaves the image absent.
  void InstallCode(std::unique_ptr<std::uint8_t[]> code, std::uint32_t length, std::uint16_t checksum);
  void InstallDisk(std::unique_ptr<std::uint8_t[]> disk, std::uint32_t length);
};

// The process-wide store.
ImageStore& Images();

// 16-bit additive checksum: the sum of all bytes modulo 65536.
std::uint16_t CodeChecksum(const std::uint8_t* bytes, std::uint32_t length);

}  // namespace vx
