#include "discovery/device_table.h"

#include <cstdio>
#include <mutex>
#include <new>
#include <string>

#include "base/ascii_text.h"
#include "discovery/bridge_probe.h"
#include "discovery/device_enum.h"
#include "discovery/hub_list.h"
#include "discovery/scoped_handles.h"

namespace vx {

namespace {

// Guards the table pointer and count between the dialog thread and the
// update thread.
std::mutex g_tableLock;

std::u16string SlotMutexName(std::int32_t slot) {
  char name[32];
  std::snprintf(name, sizeof name, "[Device%04d]", static_cast<int>(slot));
  return std::u16string(name, name + std::char_traits<char>::length(name));
}

platform::MutexHandle OpenSlotMutex(std::int32_t slot) {
  auto& mutexes = platform::Mutexes();
  const std::u16string name = SlotMutexName(slot);
  const platform::MutexHandle opened = mutexes.Open(name);
  return opened != platform::MutexHandle::None ? opened : mutexes.Create(name);
}

// Closes the slot mutexes and frees the array; the caller holds the lock.
void EmptyTable(DeviceRecord*& table, std::int32_t& count) {
  if (table != nullptr) {
    for (std::int32_t k = 0; k < count; ++k) {
      if (table[k].mutex == platform::MutexHandle::None) continue;
      platform::Mutexes().Close(table[k].mutex);
      table[k].mutex = platform::MutexHandle::None;
    }
    delete[] table;
  }
  table = nullptr;
  count = 0;
}

// A hub is never a bridge, and every device behind it is a candidate of its
// own: searching below a hub would file the bridge behind it under the hub's
// instance ID, name and port, or mix two bridges' sides in one record.
bool IsHub(std::u16string_view instanceId, const HubList& hubs) {
  for (const HubEntry& hub : hubs.hubs) {
    if (EqualsIgnoreCase(TextOf(hub.instanceId), instanceId)) return true;
  }
  char16_t path[kTextChars] = {};
  std::uint32_t length = kTextBytes;
  return FindInterfacePath(platform::GUID_DEVINTERFACE_USB_HUB, instanceId, path, length);
}

// A bridge interface that a kept record already holds: the same bridge seen
// again from another USB device (a hub that could not be told as one).
bool AlreadyKept(const DeviceRecord* table, std::int32_t count, const DeviceRecord& record) {
  for (std::int32_t k = 0; k < count; ++k) {
    const bool sameDisk = !IsEmpty(record.diskPath) && EqualsIgnoreCase(TextOf(table[k].diskPath), TextOf(record.diskPath));
    const bool sameUsb =
        !IsEmpty(record.winusbPath) && EqualsIgnoreCase(TextOf(table[k].winusbPath), TextOf(record.winusbPath));
    if (sameDisk || sameUsb) return true;
  }
  return false;
}

// Keeps the record in the next slot with its slot mutex; false (and the
// table emptied) when the mutex can be neither opened nor created.
bool Keep(DeviceRecord*& table, std::int32_t& count, const DeviceRecord& record) {
  std::lock_guard guard(g_tableLock);
  if (AlreadyKept(table, count, record)) return true;
  DeviceRecord& slot = table[count];
  slot = record;
  slot.slot = count;
  slot.mutex = OpenSlotMutex(count);
  if (slot.mutex == platform::MutexHandle::None) {
    EmptyTable(table, count);
    return false;
  }
  ++count;
  return true;
}

}  // namespace

bool RefreshDevices(DeviceRecord*& table, std::int32_t& count) {
  // A refresh never merges with an earlier table; one left open is released
  // rather than leaked with its mutexes.
  ReleaseDevices(table, count);

  const std::uint32_t candidates = CountInterfaces(platform::GUID_DEVINTERFACE_USB_DEVICE);
  if (candidates == 0) return false;
  {
    std::lock_guard guard(g_tableLock);
    table = new (std::nothrow) DeviceRecord[candidates]();
    count = 0;
    if (table == nullptr) return false;
  }

  HubList hubs;
  BuildHubList(hubs);
  ScopedInfoSet set(
      platform::DeviceTree().GetClassDevs(platform::GUID_DEVINTERFACE_USB_DEVICE, kPresentProfileInterfaces));
  if (!set) {
    ReleaseDevices(table, count);
    return false;
  }

  for (std::uint32_t i = 0; i < candidates; ++i) {
    DeviceRecord record{};
    std::uint32_t length = kTextBytes;
    if (!GetInstanceId(set.Get(), i, record.usbInstanceId, length)) continue;
    if (IsHub(TextOf(record.usbInstanceId), hubs)) continue;
    GetParentId(TextOf(record.usbInstanceId), record.parentId);
    if (!ProbeNode(set.Get(), i, record, hubs, TextOf(record.usbInstanceId)))
      SearchSubtree(set.Get(), i, record, hubs, TextOf(record.usbInstanceId));
    if (IsEmpty(record.diskPath) && IsEmpty(record.winusbPath)) continue;
    if (!Keep(table, count, record)) return false;
  }

  if (count > 0) return true;
  ReleaseDevices(table, count);
  return false;
}

bool ReleaseDevices(DeviceRecord*& table, std::int32_t& count) {
  std::lock_guard guard(g_tableLock);
  const bool hadTable = table != nullptr;
  EmptyTable(table, count);
  return hadTable;
}

}  // namespace vx
