#include "image/image_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "image/default_config_image.h"

namespace vx {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The store keeps its own copies and their byte sum; a missing image is
// refused with the store unchanged; a reset brings back the built-in
// configuration and nothing else.
TEST(ImageStore, CopiesImagesAndResets) {
  Bytes code(CodeAreaSize, 0xFF);
  code[0] = 0x01;
  const Bytes config(ConfigImageSize, 0x42);
  ImageStore store;
  ASSERT_TRUE(store.SetCodeImage(code.data()));
  ASSERT_TRUE(store.SetConfigImage(config.data()));
  EXPECT_FALSE(store.SetCodeImage(nullptr));
  EXPECT_FALSE(store.SetConfigImage(nullptr));
  code[1] = 0x00;
  EXPECT_EQ(Bytes(store.configImage, store.configImage + ConfigImageSize), config);
  EXPECT_EQ(store.codeLength, CodeAreaSize);
  EXPECT_EQ(store.codeImage[1], 0xFF);
  EXPECT_EQ(store.codeChecksum, 0xE000 - 0xFF + 0x01);

  store.ResetImages();
  EXPECT_EQ(Bytes(store.configImage, store.configImage + ConfigImageSize),
            Bytes(kDefaultConfigImage, kDefaultConfigImage + ConfigImageSize));
  EXPECT_EQ(store.codeImage, nullptr);
  EXPECT_EQ(store.codeLength, 0u);
  EXPECT_EQ(store.codeChecksum, 0);
  EXPECT_EQ(store.diskImage, nullptr);
  EXPECT_EQ(store.diskLength, 0u);
}

// From 0x010: the language list (one entry, 0x0409), then manufacturer,
// product and serial number, each a length byte, type 3 and UTF-16LE text.
TEST(DefaultConfigImage, StringDescriptorsChainFromLanguageListToSerialNumber) {
  const std::uint8_t* image = kDefaultConfigImage;
  std::vector<std::u16string> texts;
  std::size_t offset = 0x010;
  for (int index = 0; index < 4; ++index, offset += image[offset]) {
    EXPECT_EQ(image[offset + 1], 3) << "descriptor " << index << " type";
    std::u16string text;
    for (std::size_t i = offset + 2; i + 1 < offset + image[offset]; i += 2) {
      text += static_cast<char16_t>(image[i] | image[i + 1] << 8);
    }
    texts.push_back(text);
  }
  EXPECT_EQ(offset, 0x09Eu);
  EXPECT_EQ(texts, (std::vector<std::u16string>{u"\u0409", u"Tarvenix Technology Inc.", u"USB-To-USB Cable Bridge",
                                                 u"TARVENIXMP000000001"}));
}

// The settings block, a count of 18 and 18 byte pairs, is stored at 0x100
// and again at 0x180, with zeros in between.
TEST(DefaultConfigImage, SettingsBlockIsStoredTwice) {
  const std::uint8_t* block = kDefaultConfigImage + 0x100;
  const std::uint8_t* copy = kDefaultConfigImage + 0x180;
  EXPECT_EQ(block[0], 18);
  EXPECT_TRUE(std::equal(block, block + 37, copy));
  EXPECT_TRUE(std::all_of(block + 37, copy, [](std::uint8_t b) { return b == 0; }));
  EXPECT_TRUE(std::all_of(copy + 37, kDefaultConfigImage + ConfigImageSize, [](std::uint8_t b) { return b == 0; }));
}

}  // namespace
}  // namespace vx
