#include "gui/win32/open_file_dialog.h"

#include <shobjidl.h>

namespace vx::gui {

namespace {

// Releases a COM interface when it goes out of scope.
template <class Interface>
class ComRef {
 public:
  ComRef() = default;
  ~ComRef() {
    if (pointer_ != nullptr) pointer_->Release();
  }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  Interface* operator->() const { return pointer_; }
  Interface** operator&() { return &pointer_; }

 private:
  Interface* pointer_ = nullptr;
};

// COM for the calling thread, for as long as the object lives.
class ComScope {
 public:
  ComScope() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComScope() {
    if (initialised_) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  bool initialised_;
};

bool ShowOpenDialog(HWND owner, std::u16string& path) {
  ComRef<IFileOpenDialog> dialog;
  if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                              reinterpret_cast<void**>(&dialog)))) {
    return false;
  }
  // "Eeprom file(*.eep)|*.eep|Firmware Binary file(*.bin)|*.bin|", the first
  // entry selected.
  static const COMDLG_FILTERSPEC kFilter[] = {
      {L"Eeprom file(*.eep)", L"*.eep"},
      {L"Firmware Binary file(*.bin)", L"*.bin"},
  };
  FILEOPENDIALOGOPTIONS options = 0;
  if (FAILED(dialog->SetFileTypes(2, kFilter)) || FAILED(dialog->SetFileTypeIndex(1)) ||
      FAILED(dialog->SetDefaultExtension(L"Firmware/Eep")) || FAILED(dialog->GetOptions(&options)) ||
      FAILED(dialog->SetOptions(options | FOS_FILEMUSTEXIST))) {
    return false;
  }
  if (FAILED(dialog->Show(owner))) return false;  // cancelled
  ComRef<IShellItem> item;
  PWSTR name = nullptr;
  if (FAILED(dialog->GetResult(&item)) || FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &name))) return false;
  path.assign(reinterpret_cast<const char16_t*>(name));
  CoTaskMemFree(name);
  return true;
}

}  // namespace

bool ChooseFirmwareFile(HWND owner, std::u16string& path) {
  const ComScope com;
  return ShowOpenDialog(owner, path);
}

}  // namespace vx::gui
