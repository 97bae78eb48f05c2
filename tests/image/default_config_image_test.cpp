#include "image/default_config_image.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vx {
namespace {

// Walks the USB string descriptor chain from 0x010 and returns the offset
// where it ends; texts receives the decoded strings after the language list.
std::size_t WalkStringDescriptors(const std::uint8_t* image, std::vector<std::u16string>& texts) {
  std::size_t offset = 0x010;
  for (int index = 0; index < 4; ++index) {
    const std::uint8_t length = image[offset];
    EXPECT_EQ(image[offset + 1], 3) << "descriptor " << index << " type";
    EXPECT_EQ(length % 2, 0) << "descriptor " << index << " length";
    if (index > 0) {
      std::u16string text;
      for (std::size_t i = offset + 2; i + 1 < offset + length; i += 2)
        text += static_cast<char16_t>(image[i] | image[i + 1] << 8);
      texts.push_back(text);
    }
    offset += length;
  }
  return offset;
}

TEST(DefaultConfigImage, StringDescriptorsChainFromLanguageListToSerialNumber) {
  std::vector<std::u16string> texts;
  const std::size_t end = WalkStringDescriptors(kDefaultConfigImage, texts);

  EXPECT_EQ(end, 0x09Eu);
  // Language list: one entry, 0x0409.
  EXPECT_EQ(kDefaultConfigImage[0x010], 4);
  EXPECT_EQ(kDefaultConfigImage[0x012] | kDefaultConfigImage[0x013] << 8, 0x0409);
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0], u"Tarvenix Technology Inc.");
  EXPECT_EQ(texts[1], u"USB-To-USB Cable Bridge");
  EXPECT_EQ(texts[2], u"TARVENIXMP000000001");
}

TEST(DefaultConfigImage, SettingsBlockIsStoredTwiceWithEighteenPairs) {
  const std::vector<std::uint8_t> expected{0x12, 0x05, 0x8C, 0x12, 0xD5, 0x16, 0x03, 0x1C, 0x2A, 0x21,
                                           0xA5, 0x22, 0xAE, 0x40, 0x06, 0x80, 0x40, 0x82, 0x09, 0x83,
                                           0x10, 0x84, 0x02, 0x8F, 0x0A, 0x90, 0x0A, 0x91, 0x0A, 0x92,
                                           0x0A, 0x93, 0x0A, 0x94, 0x0A, 0x23, 0x83};
  EXPECT_EQ(std::vector<std::uint8_t>(kDefaultConfigImage + 0x100, kDefaultConfigImage + 0x125), expected);
  EXPECT_EQ(std::vector<std::uint8_t>(kDefaultConfigImage + 0x180, kDefaultConfigImage + 0x1A5), expected);
}

}  // namespace
}  // namespace vx
