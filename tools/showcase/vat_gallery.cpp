// The third form of nxshowcase: VAT number boxes, one of them with its country list open.
#include <windows.h>
// GUIDs of the generated header are defined in this file.
#include <initguid.h>

#include "button_gallery.h"

#include "nxtaxid_h.h"

using nx::formhost::Dispatch;
using nx::formhost::Form;
using nx::formhost::FormControl;
using nx::formhost::Placement;
using nx::formhost::textVariant;

namespace {

// The list's steps while it is open: the pointer over the fourth row, a pause, then Escape.
int listStep = 0;

void sendKey(WORD vk) {
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = vk;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof(INPUT));
}

void moveTo(POINT p) {
  SetCursorPos(p.x, p.y);
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = MOUSEEVENTF_MOVE;
  SendInput(1, &in, sizeof(INPUT));
}

void CALLBACK listTimer(HWND, UINT, UINT_PTR id, DWORD) {
  HWND list = GetActiveWindow();
  RECT r = {};
  if (list) GetWindowRect(list, &r);
  switch (listStep++) {
    case 0:
      moveTo(POINT{r.left + 12, r.top + 3 * 17 + 8});
      break;
    case 1:
      moveTo(POINT{r.left + 14, r.top + 3 * 17 + 9});
      break;
    case 2:
    case 3:
    case 4:
    case 5:
      break;  // open for a while, to be looked at
    default:
      KillTimer(nullptr, id);
      sendKey(VK_ESCAPE);
      break;
  }
}

}  // namespace

FormControl* placeVatNumbers(Form& form, const nx::formhost::Library& taxid) {
  struct Box {
    const wchar_t* name;
    const wchar_t* country;
    const wchar_t* number;
    bool typeCheck;
    bool enabled;
  };
  const Box boxes[] = {{L"Customer", L"DE", L"136695976", true, true},
                       {L"Supplier", L"AT", L"U13585626", true, true},
                       {L"Carrier", L"ES", L"12345678?", false, true},
                       {L"Archived", L"FR", L"K7399859412", false, false}};
  FormControl* first = nullptr;
  for (int i = 0; i < 4; ++i) {
    Placement p;
    p.name = boxes[i].name;
    const int left = 120 + (i % 2) * 300, top = 20 + (i / 2) * 40;
    p.position = {left, top, left + 220, top + 20};
    FormControl* c = nullptr;
    if (FAILED(form.add(taxid, CLSID_NxVATNumber, p, &c)) || !c) return nullptr;
    Dispatch d = c->dispatch();
    d.put(L"TypeCheck", boxes[i].typeCheck ? -1 : 0);
    d.put(L"VatCountry", textVariant(boxes[i].country));
    d.put(L"vatNr", textVariant(boxes[i].number));
    if (!boxes[i].enabled) d.put(L"Enabled", 0);
    if (!first) first = c;
  }
  return first;
}

void openVatListLater(FormControl* box) {
  // A click on the box's drop-down button; the list's modal loop runs the timer.
  POINT p = {23, 10};
  ClientToScreen(box->hwnd(), &p);
  SetCursorPos(p.x, p.y);
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  listStep = 0;
  SetTimer(nullptr, 0, 700, &listTimer);
  SendInput(2, in, sizeof(INPUT));
}
