// Keyboard routing of a control object between its child parts, the control itself and the
// container (see key_routing.cpp for the rules).
#pragma once

#include <windows.h>

#include <cstdint>

#include "core/runtime/parts.h"

namespace nx::win32 {

// Modifier flags of IOleControlSite::TranslateAccelerator.
inline constexpr DWORD kKeyModShift = 0x1;
inline constexpr DWORD kKeyModControl = 0x2;
inline constexpr DWORD kKeyModAlt = 0x4;

// What the routing needs of a control object.
class KeyRouteTarget {
 public:
  virtual ~KeyRouteTarget() = default;
  // The control window (null before in-place activation).
  virtual HWND keyWindow() const = 0;
  // The text part that holds the focus, or null.
  virtual TextBoxPart* keyTextPart() = 0;
  // The control's own key-down handler; it sets `code` to 0 when it swallows the key.
  virtual void keyDownToControl(std::int16_t& code, std::int16_t shift) = 0;
  // Offers the key to the container; S_OK when the container handled it.
  virtual HRESULT keyToContainer(MSG& msg, DWORD modifiers) = 0;
};

enum class KeyRoute {
  NotOurs,              // the container processes the message as usual
  TextPart,             // the focused text part gets the message
  Container,            // the container (focus movement between the controls of the form)
  ControlThenContainer  // the key-down handler, then the container unless it was swallowed
};

// Where a key message goes, given the focus state and the shift bits (shiftkeys::).
KeyRoute keyRoute(const MSG& msg, bool textPartFocused, std::int16_t shift);

// IOleInPlaceActiveObject::TranslateAccelerator of a control object: S_OK when the message was
// handled here (the container must not process it further), S_FALSE otherwise.
HRESULT routeAccelerator(MSG& msg, KeyRouteTarget& target);

// WM_GETDLGCODE of a control window: characters and arrows, and the key-down messages of Enter
// and Escape, which the control sees before the form.
LRESULT controlDialogCode(const MSG* msg);

// Enter or Escape that a control did not swallow, given to a dialog that hosts the control
// directly (the dialog manager's default and cancel buttons). False when there is no dialog.
bool keyToDialog(HWND control, const MSG& msg);

// The shift bits of the keyboard state now, and the container's modifier flags for them.
std::int16_t currentShift();
DWORD keyModifiers(std::int16_t shift);

}  // namespace nx::win32
