// The firmware loaders on any file content: no crash, no read past the file,
// and a store whose lengths always match its images.
#include <cstring>

#include "fuzz/fuzz_input.h"
#include "image/image_store.h"
#include "platform/platform.h"
#include "platform/sim/sim_platform.h"

namespace {

void CheckStore(const vx::ImageStore& store) {
  FUZZ_CHECK((store.codeImage == nullptr) == (store.codeLength == 0));
  FUZZ_CHECK((store.diskImage == nullptr) == (store.diskLength == 0));
  if (store.codeLength == 0) FUZZ_CHECK(store.codeChecksum == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vx::platform::sim::SimPlatform sim;
  const vx::platform::ScopedPlatform scoped(sim.Apis());
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  sim.Files().Write(u"C:\\fw.bin", bytes);
  sim.Files().Write(u"C:\\fw.eep", bytes);

  vx::ImageStore store;
  std::u16string details;
  if (store.LoadBinFile(u"C:\\fw.bin", details)) {
    FUZZ_CHECK(store.codeLength == size);
    FUZZ_CHECK(size == 0 || std::memcmp(store.codeImage.get(), data, size) == 0);
    FUZZ_CHECK(store.codeChecksum == vx::CodeChecksum(data, static_cast<std::uint32_t>(size)));
  }
  CheckStore(store);
  std::uint8_t config[vx::ConfigImageSize];
  std::memcpy(config, store.configImage, sizeof config);
  if (store.LoadEepFile(u"C:\\fw.eep")) {
    FUZZ_CHECK(size >= vx::EepHeaderSize);
    FUZZ_CHECK(std::memcmp(store.configImage, data, vx::ConfigImageSize) == 0);
    FUZZ_CHECK(vx::EepHeaderSize + std::uint64_t{store.codeLength} <= size);
    FUZZ_CHECK(store.diskLength == (size > vx::DiskImageFileOffset ? size - vx::DiskImageFileOffset : 0));
  } else {
    FUZZ_CHECK(std::memcmp(store.configImage, config, sizeof config) == 0);  // a refused file changes nothing
  }
  CheckStore(store);
  return 0;
}
