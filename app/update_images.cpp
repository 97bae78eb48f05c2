#include "app/update_images.h"

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
    images.diskImage.assign(store.diskImage.get(), store.diskImage.get() + store.diskLength);
  }
  out = std::move(images);
  return true;
}

}  // namespace vx
