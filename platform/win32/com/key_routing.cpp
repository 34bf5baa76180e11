// Keyboard routing of a control object.
//
// The container hands every key message to the UI-active object's
// IOleInPlaceActiveObject::TranslateAccelerator before it processes the message itself; the
// routing below decides there, with the focus inside the control (its window or a child part):
//
// - A text part that holds the focus keeps the keys a text box needs: the arrow keys, Home,
//   End, Delete and Backspace (with or without Shift and Ctrl), the clipboard keys Ctrl+C, V, X,
//   Z, A (and Ctrl+Insert, Shift+Insert, Shift+Delete), and the control characters that those
//   produce. The message is translated and dispatched to the part here and the container is
//   told it was handled, so that no accelerator of the form takes them away.
// - Tab and Shift+Tab (without Ctrl or Alt) go to the container through
//   IOleControlSite::TranslateAccelerator with the KEYMOD flags, so that the form moves the
//   focus to the next or previous control.
// - Enter and Escape first go to the control's key-down handler: the focused text part's
//   key-down notification, else the control's KeyDown. A handler that sets the key code to 0
//   swallowed the key and nothing else happens. Otherwise the container gets the key (default
//   and cancel buttons); if it does not take it, the key is translated so that its character
//   still reaches the focused window (the text part's key filter or the control's KeyPress).
//   The key-down message itself is not dispatched again.
// - Everything else (letters, digits, Alt combinations, keys of a control without a focused
//   text part) is not ours: S_FALSE, and the container processes it as usual.
//
// Containers that dispatch key messages without asking (a dialog or a plain window) reach the
// control window's WM_GETDLGCODE, which asks for characters, arrows and the key-down messages of
// Enter and Escape; the control object then runs the same Enter/Escape rule from its input
// handler, with a hosting dialog standing in for the container.
#include "platform/win32/com/key_routing.h"

#include "platform/win32/runtime/win32_parts.h"

namespace nx::win32 {

namespace {

bool isEditingKey(WPARAM vk, std::int16_t shift) {
  const bool ctrl = shift & shiftkeys::kCtrl;
  const bool shifted = shift & shiftkeys::kShift;
  switch (vk) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_HOME:
    case VK_END:
    case VK_DELETE:
    case VK_BACK:
      return true;
    case VK_INSERT:
      return ctrl || shifted;
    case 'C':
    case 'V':
    case 'X':
    case 'Z':
    case 'A':
      return ctrl;
    default:
      return false;
  }
}

// Characters that the editing keys produce: Backspace and Ctrl+A, C, V, X, Z.
bool isEditingChar(WPARAM ch) {
  return ch == 0x08 || ch == 0x01 || ch == 0x03 || ch == 0x16 || ch == 0x18 || ch == 0x1A;
}

HWND partWindow(TextBoxPart& part) {
  auto* child = dynamic_cast<ChildPart*>(&part);
  return child ? child->hwnd() : nullptr;
}

}  // namespace

std::int16_t currentShift() {
  return static_cast<std::int16_t>((GetKeyState(VK_SHIFT) < 0 ? shiftkeys::kShift : 0) |
                                   (GetKeyState(VK_CONTROL) < 0 ? shiftkeys::kCtrl : 0) |
                                   (GetKeyState(VK_MENU) < 0 ? shiftkeys::kAlt : 0));
}

DWORD keyModifiers(std::int16_t shift) {
  return ((shift & shiftkeys::kShift) ? kKeyModShift : 0) |
         ((shift & shiftkeys::kCtrl) ? kKeyModControl : 0) |
         ((shift & shiftkeys::kAlt) ? kKeyModAlt : 0);
}

KeyRoute keyRoute(const MSG& msg, bool textPartFocused, std::int16_t shift) {
  const bool alt = shift & shiftkeys::kAlt;
  const bool ctrl = shift & shiftkeys::kCtrl;
  switch (msg.message) {
    case WM_KEYDOWN:
      if (msg.wParam == VK_TAB) return ctrl || alt ? KeyRoute::NotOurs : KeyRoute::Container;
      if (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE)
        return ctrl || alt ? KeyRoute::NotOurs : KeyRoute::ControlThenContainer;
      [[fallthrough]];
    case WM_KEYUP:
      return textPartFocused && !alt && isEditingKey(msg.wParam, shift) ? KeyRoute::TextPart
                                                                        : KeyRoute::NotOurs;
    case WM_CHAR:
      return textPartFocused && isEditingChar(msg.wParam) ? KeyRoute::TextPart : KeyRoute::NotOurs;
    default:
      return KeyRoute::NotOurs;
  }
}

HRESULT routeAccelerator(MSG& msg, KeyRouteTarget& target) {
  HWND control = target.keyWindow();
  if (!control) return S_FALSE;
  // Only messages for the control window or one of its children.
  if (msg.hwnd != control && !IsChild(control, msg.hwnd)) return S_FALSE;
  TextBoxPart* part = target.keyTextPart();
  const std::int16_t shift = currentShift();
  switch (keyRoute(msg, part != nullptr, shift)) {
    case KeyRoute::NotOurs:
      return S_FALSE;
    case KeyRoute::TextPart: {
      MSG toPart = msg;
      if (HWND hwnd = partWindow(*part)) toPart.hwnd = hwnd;
      TranslateMessage(&toPart);
      DispatchMessageW(&toPart);
      return S_OK;
    }
    case KeyRoute::Container:
      return target.keyToContainer(msg, keyModifiers(shift)) == S_OK ? S_OK : S_FALSE;
    case KeyRoute::ControlThenContainer: {
      auto code = static_cast<std::int16_t>(msg.wParam);
      if (part) {
        if (part->events().keyDown) part->events().keyDown(code, shift);
      } else {
        target.keyDownToControl(code, shift);
      }
      if (code == 0) return S_OK;  // swallowed
      if (target.keyToContainer(msg, keyModifiers(shift)) == S_OK) return S_OK;
      MSG character = msg;
      if (part) {
        if (HWND hwnd = partWindow(*part)) character.hwnd = hwnd;
      }
      TranslateMessage(&character);
      return S_OK;
    }
  }
  return S_FALSE;
}

LRESULT controlDialogCode(const MSG* msg) {
  LRESULT code = DLGC_WANTCHARS | DLGC_WANTARROWS;
  if (msg && msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE))
    code |= DLGC_WANTMESSAGE;
  return code;
}

bool keyToDialog(HWND control, const MSG& msg) {
  if (!control || msg.message != WM_KEYDOWN) return false;
  HWND dialog = GetAncestor(control, GA_ROOT);
  // The dialog manager's own window class.
  if (!dialog || dialog == control || GetClassLongPtrW(dialog, GCW_ATOM) != 32770) return false;
  int id = 0;
  if (msg.wParam == VK_ESCAPE) {
    id = IDCANCEL;
  } else if (msg.wParam == VK_RETURN) {
    const LRESULT def = SendMessageW(dialog, DM_GETDEFID, 0, 0);
    id = HIWORD(def) == DC_HASDEFID ? LOWORD(def) : IDOK;
  } else {
    return false;
  }
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
  return true;
}

}  // namespace nx::win32
