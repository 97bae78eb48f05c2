#include "image/image_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
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

// Every byte of the built-in configuration image: IDs and settings, the
// string descriptors from 0x010 (languages, manufacturer, product, serial
// number: a length byte, type 3, UTF-16LE text), the settings block at 0x100
// and again at 0x180, zeros everywhere else.
TEST(DefaultConfigImage, HoldsEveryByteOfTheBuiltInImage) {
  const auto hex = [](std::string_view text, Bytes& out) {
    for (std::size_t i = 0; i < text.size(); i += 3) out.push_back(std::stoi(std::string(text.substr(i, 2)), nullptr, 16));
  };
  Bytes expected;
  hex("7E 1B 7E 1B C6 94 00 01 80 32 00 00 40 00 00 00 04 03 09 04", expected);
  for (const std::string_view text : {"Tarvenix Technology Inc.", "USB-To-USB Cable Bridge", "TARVENIXMP000000001"}) {
    expected.insert(expected.end(), {static_cast<std::uint8_t>(2 + 2 * text.size()), 0x03});
    for (const char c : text) expected.insert(expected.end(), {static_cast<std::uint8_t>(c), 0x00});
  }
  expected.resize(0x0F9, 0x00);
  hex("80 0C 0F 02 FF 00 00", expected);
  for (const std::size_t at : {0x100, 0x180}) {
    expected.resize(at, 0x00);
    hex("12 05 8C 12 D5 16 03 1C 2A 21 A5 22 AE 40 06 80 40 82 09 83 10 84 02 8F 0A 90 0A 91 0A 92 0A 93 0A 94 0A 23 83",
        expected);
  }
  expected.resize(512, 0x00);
  EXPECT_EQ(Bytes(kDefaultConfigImage, kDefaultConfigImage + ConfigImageSize), expected);
}

}  // namespace
}  // namespace vx
