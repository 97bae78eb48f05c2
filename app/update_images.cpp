#include "app/update_images.h"

#include <algorithm>

namespace vx {

bool CodeFitsCodeArea(const ImageStore& store) { return store.codeLength <= CodeAreaSize; }

bool TakeUpdateImages(const ImageStore& store, UpdateImages& out) {
  if (!CodeFitsCodeArea(store)) return false;
  UpdateImages images;
  images.writeBlock.assign(store.configImage, store.configImage + ConfigImageSize);
  if (store.codeImage && store.codeLength > 0) {
    images.writeBlock.insert(images.writeBlock.end(), store.codeImage.get(), store.codeImage.get() + store.codeLength);
  }
  if (store.diskImage && store.diskLength > 0) {
    const std::size_t blocks = (std::size_t{store.diskLength} + kDiskImageBlockSize - 1) / kDiskImageBlockSize;
    images.diskImage.assign(blocks * kDiskImageBlockSize, 0xFF);
    std::copy_n(store.diskImage.get(), store.diskLength, images.diskImage.begin());
  }
  out = std::move(images);
  return true;
}

}  // namespace vx
