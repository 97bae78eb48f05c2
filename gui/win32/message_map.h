// A dialog's message map: a table that routes window messages, and control
// notifications by control id and code, to member functions, each called
// with the message's parameters unpacked.
#pragma once

#include <windows.h>

#include <span>
#include <type_traits>

namespace vx::gui {

template <class Dialog>
struct MessageMapEntry {
  UINT message;
  UINT controlId;     // WM_COMMAND only
  UINT notification;  // WM_COMMAND only
  LRESULT (*call)(Dialog& dialog, WPARAM wParam, LPARAM lParam);
};

template <class Dialog>
using MessageMap = std::span<const MessageMapEntry<Dialog>>;

namespace detail {

template <class Handler>
struct HandlerClass;
template <class Class, class Result, class... Args>
struct HandlerClass<Result (Class::*)(Args...)> {
  using type = Class;
};

template <auto Handler>
using DialogOf = typename HandlerClass<decltype(Handler)>::type;

}  // namespace detail

// WM_COMMAND from control id with the given notification: void Handler().
template <auto Handler>
constexpr MessageMapEntry<detail::DialogOf<Handler>> OnCommand(UINT controlId, UINT notification) {
  using Dialog = detail::DialogOf<Handler>;
  return {WM_COMMAND, controlId, notification, [](Dialog& dialog, WPARAM, LPARAM) -> LRESULT {
            (dialog.*Handler)();
            return 0;
          }};
}

// WM_SYSCOMMAND: void Handler(UINT id, LPARAM lParam).
template <auto Handler>
constexpr MessageMapEntry<detail::DialogOf<Handler>> OnWmSysCommand() {
  using Dialog = detail::DialogOf<Handler>;
  return {WM_SYSCOMMAND, 0, 0, [](Dialog& dialog, WPARAM wParam, LPARAM lParam) -> LRESULT {
            (dialog.*Handler)(static_cast<UINT>(wParam), lParam);
            return 0;
          }};
}

// WM_PAINT: void Handler().
template <auto Handler>
constexpr MessageMapEntry<detail::DialogOf<Handler>> OnWmPaint() {
  using Dialog = detail::DialogOf<Handler>;
  return {WM_PAINT, 0, 0, [](Dialog& dialog, WPARAM, LPARAM) -> LRESULT {
            (dialog.*Handler)();
            return 0;
          }};
}

// WM_QUERYDRAGICON: HCURSOR Handler().
template <auto Handler>
constexpr MessageMapEntry<detail::DialogOf<Handler>> OnWmQueryDragIcon() {
  using Dialog = detail::DialogOf<Handler>;
  return {WM_QUERYDRAGICON, 0, 0, [](Dialog& dialog, WPARAM, LPARAM) -> LRESULT {
            return reinterpret_cast<LRESULT>((dialog.*Handler)());
          }};
}

// WM_TIMER: void Handler(UINT_PTR id).
template <auto Handler>
constexpr MessageMapEntry<detail::DialogOf<Handler>> OnWmTimer() {
  using Dialog = detail::DialogOf<Handler>;
  return {WM_TIMER, 0, 0, [](Dialog& dialog, WPARAM wParam, LPARAM) -> LRESULT {
            (dialog.*Handler)(static_cast<UINT_PTR>(wParam));
            return 0;
          }};
}

// The entry for a message, or null when the map has none.
template <class Dialog>
const MessageMapEntry<Dialog>* FindEntry(MessageMap<Dialog> map, UINT message, WPARAM wParam) {
  for (const MessageMapEntry<Dialog>& entry : map) {
    if (entry.message != message) continue;
    if (message != WM_COMMAND) return &entry;
    if (entry.controlId == LOWORD(wParam) && entry.notification == HIWORD(wParam)) return &entry;
  }
  return nullptr;
}

}  // namespace vx::gui
