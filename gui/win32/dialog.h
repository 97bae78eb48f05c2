// A modal dialog on a resource template: the window procedure, the message
// map dispatch, OnInitDialog / OnOK / OnCancel, and synchronous calls from
// other threads onto the dialog's own thread.
#pragma once

#include <windows.h>

#include <atomic>

#include "gui/win32/message_map.h"

namespace vx::gui {

class CDialog {
 public:
  explicit CDialog(UINT templateId, HWND parent = nullptr);
  virtual ~CDialog() = default;
  CDialog(const CDialog&) = delete;
  CDialog& operator=(const CDialog&) = delete;

  // Runs the dialog modally; its EndDialog result, or -1 when it could not
  // be created.
  INT_PTR DoModal();
  // The dialog window; null before it is created and once it is destroyed.
  HWND GetSafeHwnd() const { return hwnd_.load(); }
  void EndDialog(int result);

  // Runs work on the dialog's thread and returns when it is done: directly
  // on that thread, through a sent message from any other. Once the window
  // is gone nothing runs, so a caller never waits for a dialog that has
  // ended.
  template <class Work>
  void RunOnDialogThread(Work&& work) {
    CallOnDialogThread([](void* context) { (*static_cast<Work*>(context))(); }, &work);
  }

 protected:
  virtual BOOL OnInitDialog() { return TRUE; }
  virtual void OnOK() { EndDialog(IDOK); }
  virtual void OnCancel() { EndDialog(IDCANCEL); }
  // Routes one message; true when it was handled, with its answer in result.
  // A derived dialog dispatches its own map first, then calls this one.
  virtual bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // Called by a handler: the message also gets the default dialog
  // processing after the handler returns.
  void Default();

  // Control notifications that arrive while a lock exists are not acted on
  // (data exchange sets the boxes without reacting to their changes).
  class NotificationLock {
   public:
    explicit NotificationLock(CDialog& dialog) : dialog_(dialog) { ++dialog_.notificationLocks_; }
    ~NotificationLock() { --dialog_.notificationLocks_; }
    NotificationLock(const NotificationLock&) = delete;
    NotificationLock& operator=(const NotificationLock&) = delete;

   private:
    CDialog& dialog_;
  };

  template <class Dialog>
  static bool Dispatch(Dialog& dialog, MessageMap<Dialog> map, UINT message, WPARAM wParam, LPARAM lParam,
                       LRESULT& result) {
    const MessageMapEntry<Dialog>* entry = FindEntry(map, message, wParam);
    if (entry == nullptr) return false;
    result = entry->call(dialog, wParam, lParam);
    return true;
  }

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void CallOnDialogThread(void (*call)(void*), void* context);

  UINT templateId_;
  HWND parent_;
  std::atomic<HWND> hwnd_{nullptr};
  int notificationLocks_ = 0;
  bool* wantDefault_ = nullptr;  // of the message being handled
};

}  // namespace vx::gui
