// nxshowcase: places the controls of nxwidgets on a form, as a host application does (ten
// progress bars in every theme, a gradient frame with check boxes, a link and a meter), and keeps
// the form open for a while (or until closed) so that it can be looked at or captured; with
// nxpress.ocx also a second form with its buttons in every theme, and with nxslider.ocx and
// nxcurrency.ocx a tracker and amount boxes beside them; with nxtaxid.ocx a third form of VAT
// number boxes whose first opens its country list after `listAfter` seconds.
//   nxshowcase <nxwidgets.ocx> [seconds] [nxpress.ocx [nxslider.ocx nxcurrency.ocx
//              [nxtaxid.ocx listAfter]]]
#include <windows.h>
// GUIDs of the generated header are defined in this file.
#include <initguid.h>

#include <ocidl.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>

#include "button_gallery.h"
#include "nxwidgets_h.h"
#include "platform/win32/formhost/form_host.h"

using nx::formhost::Form;
using nx::formhost::FormControl;
using nx::formhost::Placement;

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr,
                 "usage: nxshowcase <nxwidgets.ocx> [seconds] [nxpress.ocx [nxslider.ocx "
                 "nxcurrency.ocx [nxtaxid.ocx listAfter]]]\n");
    return 2;
  }
  const int seconds = argc > 2 ? std::atoi(argv[2]) : 5;
  OleInitialize(nullptr);
  int status = 0;
  {
    nx::formhost::Library library(argv[1]);
    if (!library.loaded()) {
      std::fprintf(stderr, "nxshowcase: cannot load %s\n", argv[1]);
      OleUninitialize();
      return 1;
    }
    Form form(L"nx widgets", 990, 330);
    // Places one control on the form or in a frame; null (and status 1) when the library refuses.
    const auto place = [&](REFCLSID clsid, const wchar_t* name, RECT where,
                           FormControl* container = nullptr) -> FormControl* {
      Placement p;
      p.name = name;
      p.position = where;
      p.container = container;
      FormControl* site = nullptr;
      const HRESULT hr = form.add(library, clsid, p, &site);
      if (FAILED(hr)) {
        std::fprintf(stderr, "nxshowcase: cannot place %ls (0x%08lx)\n", name,
                     static_cast<unsigned long>(hr));
        status = 1;
        return nullptr;
      }
      return site;
    };
    const long values[] = {25, 40, 55, 70, 85};
    for (int theme = 1; theme <= 5 && status == 0; ++theme) {
      for (int vertical = 0; vertical <= 1 && status == 0; ++vertical) {
        const RECT where = vertical ? RECT{250 + 40 * (theme - 1), 10, 270 + 40 * (theme - 1), 210}
                                    : RECT{10, 10 + 40 * (theme - 1), 210, 30 + 40 * (theme - 1)};
        const std::wstring name = L"Progress" + std::to_wstring(form.count() + 1);
        FormControl* site = place(CLSID_NxProgressBar, name.c_str(), where);
        if (!site) break;
        nx::formhost::Dispatch bar = site->dispatch();
        bar.put(L"Theme", theme);
        if (vertical) {
          // Turning the bar swaps its width and height: the form puts it back in its place.
          bar.put(L"Orientation", 1);  // orVertical
          site->move(where);
        }
        bar.put(L"Value", values[theme - 1]);
      }
    }
    // The other classes of the library, beside the bars, held by a frame (positions inside it).
    if (status == 0) {
      FormControl* frame = place(CLSID_NxGradFrame, L"Frame1", RECT{460, 10, 710, 290});
      if (frame) frame->dispatch().put(L"Caption", nx::formhost::textVariant(L"Order options"));
      const wchar_t* boxes[] = {L"Express delivery", L"Gift wrapping", L"Invoice by e-mail"};
      const long states[] = {1, 0, -1};  // ticked, empty, crossed
      for (int i = 0; i < 3 && status == 0; ++i) {
        const std::wstring name = L"Check" + std::to_wstring(i + 1);
        FormControl* box =
            place(CLSID_NxCheckBox, name.c_str(), RECT{15, 40 + 30 * i, 200, 62 + 30 * i}, frame);
        if (!box) break;
        box->dispatch().put(L"Caption", nx::formhost::textVariant(boxes[i]));
        if (i == 2) box->dispatch().put(L"Style", 2);  // three states
        box->dispatch().put(L"Value", states[i]);
      }
      FormControl* link =
          frame ? place(CLSID_NxHyperLink, L"Link1", RECT{15, 140, 230, 162}, frame) : nullptr;
      if (link) {
        link->dispatch().put(L"Caption", nx::formhost::textVariant(L"Terms of delivery"));
        link->dispatch().put(L"URL", nx::formhost::textVariant(L"https://example.org/terms"));
      }
      FormControl* meter =
          frame ? place(CLSID_NxMeter, L"Meter1", RECT{15, 175, 230, 195}, frame) : nullptr;
      if (meter) {
        meter->dispatch().put(L"Orientation", 0);  // horizontal
        meter->move(RECT{15, 175, 230, 195});
        meter->dispatch().put(L"Value", 80);
      }
    }
    // The other looks: a flat frame with a horizontal gradient and its caption at the bottom
    // right, a check box on the right of its caption, a centred link under the pointer (hovered)
    // and an upright meter.
    if (status == 0) {
      FormControl* frame = place(CLSID_NxGradFrame, L"Frame2", RECT{720, 10, 970, 290});
      if (frame) {
        nx::formhost::Dispatch d = frame->dispatch();
        d.put(L"Caption", nx::formhost::textVariant(L"Payment"));
        d.put(L"Orientation", 0);       // left to right
        d.put(L"Appearance", 0);        // flat
        d.put(L"CaptionAlignment", 3);  // bottom right
        d.put(L"CaptionTextCentered", -1);
        d.put(L"ColorA", 0x00F0E8E0);
        d.put(L"ColorB", 0x00C08050);
      }
      FormControl* box =
          frame ? place(CLSID_NxCheckBox, L"Check4", RECT{15, 20, 200, 42}, frame) : nullptr;
      if (box) {
        nx::formhost::Dispatch d = box->dispatch();
        d.put(L"Caption", nx::formhost::textVariant(L"Pay on account"));
        d.put(L"Alignment", 1);  // box on the right
        d.put(L"Style", 1);      // yes or no
        d.put(L"Value", 1);
      }
      FormControl* off =
          frame ? place(CLSID_NxCheckBox, L"Check5", RECT{15, 50, 200, 72}, frame) : nullptr;
      if (off) {
        off->dispatch().put(L"Caption", nx::formhost::textVariant(L"Not available"));
        off->dispatch().put(L"Value", 1);
        off->dispatch().put(L"Enabled", 0);
      }
      FormControl* link =
          frame ? place(CLSID_NxHyperLink, L"Link2", RECT{15, 90, 200, 110}, frame) : nullptr;
      if (link) {
        link->dispatch().put(L"Caption", nx::formhost::textVariant(L"Payment terms"));
        link->dispatch().put(L"Alignment", 2);  // centred
        link->dispatch().put(L"MouseOverColor", 0x000000C0);
        // The pointer rests on the link: it shows its hover look.
        RECT r;
        GetWindowRect(link->hwnd(), &r);
        SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        INPUT in = {};
        in.type = INPUT_MOUSE;
        in.mi.dwFlags = MOUSEEVENTF_MOVE;
        SendInput(1, &in, sizeof(INPUT));
      }
      FormControl* meter =
          frame ? place(CLSID_NxMeter, L"Meter2", RECT{200, 20, 220, 220}, frame) : nullptr;
      if (meter) {
        meter->dispatch().put(L"Value", 95);
        meter->move(RECT{200, 20, 220, 220});
      }
    }
    // The buttons on a form of their own, below the first.
    std::unique_ptr<nx::formhost::Library> press, slider, currency, taxid;
    std::unique_ptr<Form> buttons, vat;
    FormControl* listBox = nullptr;
    if (status == 0 && argc > 3) {
      press = std::make_unique<nx::formhost::Library>(argv[3]);
      buttons = std::make_unique<Form>(L"nx buttons, tracker and amounts", 1000, 260);
      SetWindowPos(buttons->hwnd(), nullptr, 0, 345, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
      if (!press->loaded() || !placeButtonGallery(*buttons, *press)) {
        std::fprintf(stderr, "nxshowcase: cannot show the buttons of %s\n", argv[3]);
        status = 1;
      } else {
        std::printf("nxshowcase: %zu buttons placed on a second form\n", buttons->count());
      }
      if (status == 0 && argc > 5) {
        slider = std::make_unique<nx::formhost::Library>(argv[4]);
        currency = std::make_unique<nx::formhost::Library>(argv[5]);
        if (!slider->loaded() || !currency->loaded() || !placeTracker(*buttons, *slider) ||
            !placeAmounts(*buttons, *currency)) {
          std::fprintf(stderr, "nxshowcase: cannot show the tracker and the amounts\n");
          status = 1;
        }
      }
      if (status == 0 && argc > 7) {
        taxid = std::make_unique<nx::formhost::Library>(argv[6]);
        vat = std::make_unique<Form>(L"nx VAT numbers", 1000, 130);
        SetWindowPos(vat->hwnd(), nullptr, 0, 610, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        listBox = taxid->loaded() ? placeVatNumbers(*vat, *taxid) : nullptr;
        if (!listBox) {
          std::fprintf(stderr, "nxshowcase: cannot show the VAT numbers of %s\n", argv[6]);
          status = 1;
        }
      }
    }
    if (status == 0) {
      std::printf("nxshowcase: %zu controls placed on a form\n", form.count());
      std::fflush(stdout);
      const DWORD start = GetTickCount();
      const DWORD end = start + static_cast<DWORD>(seconds) * 1000;
      const DWORD listAt = argc > 7 ? start + static_cast<DWORD>(std::atoi(argv[7])) * 1000 : 0;
      while (GetTickCount() < end && form.open()) {
        form.pumpMessages();
        if (buttons) buttons->pumpMessages();
        if (vat) vat->pumpMessages();
        if (listBox && GetTickCount() >= listAt) {
          SetForegroundWindow(vat->hwnd());
          openVatListLater(std::exchange(listBox, nullptr));
        }
        Sleep(20);
      }
    }
    vat.reset();
    buttons.reset();
  }
  OleUninitialize();
  return status;
}
