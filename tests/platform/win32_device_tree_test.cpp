// The device information sets through SetupAPI itself, on a device that the
// test registers with an interface of a class of its own (Wine keeps such a
// device in its registry without a driver, so it is listed only when absent
// devices are asked for). The configuration-manager walks need device nodes
// that only real devices have.
#include <gtest/gtest.h>

#include <windows.h>
#include <setupapi.h>

#include <algorithm>
#include <string>

#include "platform/win32/win32_device_tree.h"
#include "tests/platform/win32_handle_count.h"

namespace vx::platform::win32_backend {
namespace {

// {9C3E4B2A-7D61-4F08-B5A9-2E6C8D1F0A37}
constexpr GUID kTestClass = {0x9C3E4B2A, 0x7D61, 0x4F08, {0xB5, 0xA9, 0x2E, 0x6C, 0x8D, 0x1F, 0x0A, 0x37}};
constexpr Guid kTestInterfaces = {0x9C3E4B2A, 0x7D61, 0x4F08, {0xB5, 0xA9, 0x2E, 0x6C, 0x8D, 0x1F, 0x0A, 0x37}};
constexpr wchar_t kInstanceId[] = L"ROOT\\VXTEST\\0001";
const std::u16string kInterfacePath = u"\\\\?\\root#vxtest#0001#{9c3e4b2a-7d61-4f08-b5a9-2e6c8d1f0a37}";

// Sets a text property as a driver might leave it: `counted` characters of
// `text`, with or without the terminator in the count.
bool SetText(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property, const wchar_t* text, DWORD counted) {
  return ::SetupDiSetDeviceRegistryPropertyW(set, &device, property, reinterpret_cast<const BYTE*>(text),
                                             counted * sizeof(wchar_t)) != FALSE;
}

// The device, registered for the test's lifetime. One left behind by an
// interrupted run is removed first.
class RegisteredDevice {
 public:
  RegisteredDevice() : set_(::SetupDiCreateDeviceInfoList(&kTestClass, nullptr)) {
    SP_DEVINFO_DATA old{sizeof old, {}, 0, 0};
    if (::SetupDiOpenDeviceInfoW(set_, kInstanceId, nullptr, 0, &old)) ::SetupDiRemoveDevice(set_, &old);
    registered_ = ::SetupDiCreateDeviceInfoW(set_, kInstanceId, &kTestClass, nullptr, nullptr, 0, &device_) &&
                  ::SetupDiRegisterDeviceInfo(set_, &device_, 0, nullptr, nullptr, nullptr) &&
                  ::SetupDiCreateDeviceInterfaceW(set_, &device_, &kTestClass, nullptr, 0, &interface_);
  }
  ~RegisteredDevice() {
    ::SetupDiRemoveDeviceInterface(set_, &interface_);
    ::SetupDiRemoveDevice(set_, &device_);
    ::SetupDiDestroyDeviceInfoList(set_);
  }

  bool Registered() const { return registered_; }
  HDEVINFO Set() const { return set_; }
  SP_DEVINFO_DATA& Device() { return device_; }

 private:
  HDEVINFO set_;
  SP_DEVINFO_DATA device_{sizeof device_, {}, 0, 0};
  SP_DEVICE_INTERFACE_DATA interface_{sizeof interface_, {}, 0, 0};
  bool registered_ = false;
};

// Sizes are learnt first and a buffer one character short is refused with
// nothing written, as discovery relies on; texts come back whole.
TEST(Win32DeviceTree, ReadsARegisteredDeviceAndItsInterface) {
  const long handlesBefore = test::OpenHandleCount();
  {
    RegisteredDevice registered;
    ASSERT_TRUE(registered.Registered());
    // The location as a driver may leave it, its terminator not counted and
    // not even there.
    const wchar_t location[] = L"Port_#0002.Hub_#0004X";
    ASSERT_TRUE(SetText(registered.Set(), registered.Device(), SPDRP_LOCATION_INFORMATION, location, 20));
    ASSERT_TRUE(SetText(registered.Set(), registered.Device(), SPDRP_FRIENDLYNAME, L"VX94C6 bridge", 14));

    Win32DeviceTree tree;
    const DeviceInfoSet set = tree.GetClassDevs(kTestInterfaces, kDigcfDeviceInterface);
    ASSERT_NE(set, DeviceInfoSet::None);
    DeviceInfoData device;
    DeviceInterfaceData interfaceData;
    ASSERT_TRUE(tree.EnumDeviceInfo(set, 0, device));
    EXPECT_FALSE(tree.EnumDeviceInfo(set, 1, device));
    ASSERT_TRUE(tree.EnumDeviceInterfaces(set, kTestInterfaces, 0, interfaceData));
    EXPECT_FALSE(tree.EnumDeviceInterfaces(set, kTestInterfaces, 1, interfaceData));
    EXPECT_EQ(interfaceData.interfaceClass, kTestInterfaces);

    char16_t text[129] = {};  // the last stays 0, whatever a call leaves unterminated
    std::uint32_t required = 0;
    EXPECT_EQ(tree.GetDeviceInstanceId(set, device, nullptr, 0, required), QueryResult::InsufficientBuffer);
    EXPECT_EQ(required, 17u);
    std::fill_n(text, 128, u'#');
    EXPECT_EQ(tree.GetDeviceInstanceId(set, device, text, 16, required), QueryResult::InsufficientBuffer);
    ASSERT_EQ(tree.GetDeviceInstanceId(set, device, text, 17, required), QueryResult::Ok);
    EXPECT_EQ(std::u16string(text), u"ROOT\\VXTEST\\0001");

    const auto pathChars = static_cast<std::uint32_t>(kInterfacePath.size() + 1);
    EXPECT_EQ(tree.GetDeviceInterfaceDetail(set, interfaceData, nullptr, 0, required, nullptr),
              QueryResult::InsufficientBuffer);
    EXPECT_EQ(required, pathChars);
    std::fill_n(text, 128, u'#');
    EXPECT_EQ(tree.GetDeviceInterfaceDetail(set, interfaceData, text, pathChars - 1, required, nullptr),
              QueryResult::InsufficientBuffer);
    EXPECT_EQ(text[0], u'#');
    DeviceInfoData owner;
    ASSERT_EQ(tree.GetDeviceInterfaceDetail(set, interfaceData, text, pathChars, required, &owner), QueryResult::Ok);
    EXPECT_EQ(std::u16string(text), kInterfacePath);
    EXPECT_EQ(owner.reserved, device.reserved);

    // (SCOPED_TRACE would open a handle of its own.)
    const struct {
      const char* what;
      DeviceProperty property;
      std::u16string expected;
    } properties[] = {
        {"unterminated location", DeviceProperty::LocationInformation, u"Port_#0002.Hub_#0004"},
        {"friendly name", DeviceProperty::FriendlyName, u"VX94C6 bridge"},
    };
    for (const auto& p : properties) {
      const auto bytes = static_cast<std::uint32_t>((p.expected.size() + 1) * 2);
      std::uint32_t length = 0;
      EXPECT_EQ(tree.GetDeviceRegistryProperty(set, device, p.property, nullptr, length),
                QueryResult::InsufficientBuffer) << p.what;
      EXPECT_EQ(length, bytes) << p.what;
      std::fill_n(text, 128, u'#');
      length = bytes - 2;
      EXPECT_EQ(tree.GetDeviceRegistryProperty(set, device, p.property, text, length), QueryResult::InsufficientBuffer)
          << p.what;
      EXPECT_EQ(text[0], u'#') << p.what;
      length = bytes;
      ASSERT_EQ(tree.GetDeviceRegistryProperty(set, device, p.property, text, length), QueryResult::Ok) << p.what;
      EXPECT_EQ(length, bytes) << p.what;
      EXPECT_TRUE(std::u16string(text) == p.expected) << p.what;
    }
    std::uint32_t length = 256;
    EXPECT_EQ(tree.GetDeviceRegistryProperty(set, device, DeviceProperty::Service, text, length),
              QueryResult::Failed);
    tree.DestroyDeviceInfoList(set);
  }
  EXPECT_EQ(test::OpenHandleCount(), handlesBefore);
}

}  // namespace
}  // namespace vx::platform::win32_backend
