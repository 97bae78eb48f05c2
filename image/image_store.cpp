#include "image/image_store.h"

#include <cstring>
#include <utility>

#include "image/default_config_image.h"
#include "image/image_buffer.h"

namespace vx {

ImageStore::ImageStore() { std::memcpy(configImage, kDefaultConfigImage, ConfigImageSize); }

void ImageStore::ResetImages() {
  std::memcpy(configImage, kDefaultConfigImage, ConfigImageSize);
  ReleaseImages();
}

bool ImageStore::SetConfigImage(const std::uint8_t* image512) {
  if (image512 == nullptr) return false;
  std::memcpy(configImage, image512, ConfigImageSize);
  return true;
}

void ImageStore::ClearCodeImage() { InstallCode(nullptr, 0, 0); }

bool ImageStore::SetCodeImage(const std::uint8_t* code8192) {
  if (code8192 == nullptr) return false;
  ImageBuffer code = AllocateImageBuffer(CodeAreaSize);
  if (!code) return false;
  std::memcpy(code.get(), code8192, CodeAreaSize);
  const std::uint16_t checksum = CodeChecksum(code.get(), CodeAreaSize);
  InstallCode(std::move(code), CodeAreaSize, checksum);
  return true;
}

void ImageStore::ReleaseImages() {
  InstallCode(nullptr, 0, 0);
  InstallDisk(nullptr, 0);
}

void ImageStore::InstallCode(std::unique_ptr<std::uint8_t[]> code, std::uint32_t length, std::uint16_t checksum) {
  // A code image of length 0 is no code image: keep the fields consistent.
  if (length == 0) {
    code.reset();
    checksum = 0;
  }
  codeImage = std::move(code);
  codeLength = length;
  codeChecksum = checksum;
}

void ImageStore::InstallDisk(std::unique_ptr<std::uint8_t[]> disk, std::uint32_t length) {
  if (length == 0) disk.reset();
  diskImage = std::move(disk);
  diskLength = length;
}

ImageStore& Images() {
  static ImageStore store;
  return store;
}

std::uint16_t CodeChecksum(const std::uint8_t* bytes, std::uint32_t length) {
  std::uint16_t sum = 0;
  for (std::uint32_t i = 0; i < length; ++i) sum = static_cast<std::uint16_t>(sum + bytes[i]);
  return sum;
}

}  // namespace vx
