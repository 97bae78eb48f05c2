#include "discovery/bridge_probe.h"

#include "discovery/chip_info_rules.h"
#include "discovery/device_enum.h"
#include "discovery/drive_letters.h"
#include "discovery/read_location.h"
#include "platform/mutex_api.h"
#include "platform/platform.h"
#include "transport/usb_requests.h"
#include "transport/vendor_commands.h"

namespace vx {

namespace {

using Text = char16_t[kTextChars];

// The record's fields of one side, and how that side tells a bridge.
struct Side {
  const platform::Guid& interfaceClass;
  Text& path;
  Text& instanceId;
  Text& name;
  bool (*check)(DeviceRecord&);
};

// Chip information over SCSI pass-through; stores it, selects the mode and
// maps the drive letters. Passes whenever the chip information was read.
bool CheckDiskSide(DeviceRecord& record) {
  std::uint8_t block[kChipInfoBytes] = {};
  if (!ReadChipInfo(record, block)) return false;
  StoreDiskChipInfo(record, block);
  SelectChipMode(record, block[kChipInfoModeByte]);
  MapDriveLetters(record);
  return true;
}

// Chip information over a control transfer, or at least the status request.
bool CheckUsbSide(DeviceRecord& record) {
  std::uint8_t block[kChipInfoBytes] = {};
  if (ReadChipInfoUsb(record, block)) {
    StoreUsbChipInfo(record, block);
    return true;
  }
  std::uint8_t status[2] = {};
  return ReadStatusUsb(record, status);
}

void FillDisplayName(Text& name, std::u16string_view instanceId) {
  if (!IsEmpty(name)) return;
  std::uint32_t length = kTextBytes;
  GetDisplayName(instanceId, name, length);
}

bool ProbeSide(const Side& side, platform::DeviceInfoSet set, std::uint32_t index, DeviceRecord& record,
               const HubList& hubs, std::u16string_view nodeId) {
  if (!IsEmpty(side.path)) return true;
  std::uint32_t length = kTextBytes;
  if (!FindInterfacePath(side.interfaceClass, nodeId, side.path, length)) {
    SetText(side.path, u"");
    return false;
  }
  SetText(side.instanceId, nodeId);
  if (!side.check(record)) {
    SetText(side.path, u"");
    SetText(side.instanceId, u"");
    return false;
  }
  ReadLocation(set, index, record, hubs);
  FillDisplayName(side.name, nodeId);
  FillDisplayName(record.usbName, TextOf(record.usbInstanceId));
  return true;
}

platform::MutexHandle OpenProbeMutex() {
  auto& mutexes = platform::Mutexes();
  const platform::MutexHandle opened = mutexes.Open(kProbeMutexName);
  return opened != platform::MutexHandle::None ? opened : mutexes.Create(kProbeMutexName);
}

}  // namespace

bool ProbeNode(platform::DeviceInfoSet set, std::uint32_t index, DeviceRecord& record, const HubList& hubs,
               std::u16string_view nodeId) {
  record.mutex = OpenProbeMutex();
  if (record.mutex == platform::MutexHandle::None) return false;

  const Side disk{platform::GUID_DEVINTERFACE_DISK, record.diskPath, record.diskInstanceId, record.diskName,
                  CheckDiskSide};
  const Side winusb{platform::BridgeInterfaceGuid, record.winusbPath, record.winusbInstanceId, record.winusbName,
                    CheckUsbSide};
  ProbeSide(disk, set, index, record, hubs, nodeId);
  ProbeSide(winusb, set, index, record, hubs, nodeId);

  platform::Mutexes().Close(record.mutex);
  record.mutex = platform::MutexHandle::None;
  return !IsEmpty(record.diskPath) && !IsEmpty(record.winusbPath);
}

bool SearchSubtree(platform::DeviceInfoSet set, std::uint32_t index, DeviceRecord& record, const HubList& hubs,
                   std::u16string_view usbId) {
  Text node = {};
  std::uint32_t chars = 0;
  if (!GetChildId(usbId, node, chars)) return false;
  if (ProbeNode(set, index, record, hubs, TextOf(node))) return true;
  for (int pass = 0; pass < kSiblingChainNodes; ++pass) {
    if (ProbeNode(set, index, record, hubs, TextOf(node))) return true;
    Text child = {};
    if (GetChildId(TextOf(node), child, chars) && ProbeNode(set, index, record, hubs, TextOf(child))) return true;
    Text sibling = {};
    if (!GetSiblingId(TextOf(node), sibling, chars)) return false;
    SetText(node, TextOf(sibling));
  }
  return false;
}

}  // namespace vx
