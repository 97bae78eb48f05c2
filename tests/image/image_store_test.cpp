#include "image/image_store.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "image/default_config_image.h"

namespace vx {
namespace {

TEST(CodeChecksum, SumsBytesModulo65536) {
  const std::uint8_t abc[] = {'a', 'b', 'c'};
  EXPECT_EQ(CodeChecksum(abc, 3), 0x0126);
  const std::vector<std::uint8_t> ff(8192, 0xFF);
  EXPECT_EQ(CodeChecksum(ff.data(), 8192), 0xE000);
  EXPECT_EQ(CodeChecksum(ff.data(), 258), 0x00FE);  // 258 * 255 = 0x100FE
}

TEST(ImageStore, CodeFromTheDeviceIsCopiedSummedAndCleared) {
  std::vector<std::uint8_t> code(CodeAreaSize, 0xFF);
  code[0] = 0x01;
  ImageStore store;
  EXPECT_FALSE(store.SetCodeImage(nullptr));
  ASSERT_TRUE(store.SetCodeImage(code.data()));
  EXPECT_FALSE(store.SetCodeImage(nullptr));  // refused with the store unchanged
  code[1] = 0x00;                              // the store keeps its own copy
  EXPECT_EQ(store.codeLength, CodeAreaSize);
  EXPECT_EQ(store.codeImage[1], 0xFF);
  EXPECT_EQ(store.codeChecksum, 0xE000 - 0xFF + 0x01);

  store.ClearCodeImage();
  EXPECT_EQ(store.codeImage, nullptr);
  EXPECT_EQ(store.codeLength, 0u);
  EXPECT_EQ(store.codeChecksum, 0);
}

TEST(ImageStore, ResetImagesRestoresTheDefaultConfigurationAlone) {
  ImageStore store;
  const std::uint8_t config[ConfigImageSize] = {0x42};
  ASSERT_TRUE(store.SetConfigImage(config));
  EXPECT_FALSE(store.SetConfigImage(nullptr));
  EXPECT_EQ(std::memcmp(store.configImage, config, ConfigImageSize), 0);
  const std::vector<std::uint8_t> code(CodeAreaSize, 0x22);
  store.SetCodeImage(code.data());

  store.ResetImages();
  EXPECT_EQ(std::memcmp(store.configImage, kDefaultConfigImage, ConfigImageSize), 0);
  EXPECT_EQ(store.codeImage, nullptr);
  EXPECT_EQ(store.codeLength, 0u);
  EXPECT_EQ(store.codeChecksum, 0);
  EXPECT_EQ(store.diskImage, nullptr);
  EXPECT_EQ(store.diskLength, 0u);
}

}  // namespace
}  // namespace vx
