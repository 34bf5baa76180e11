#include "button_gallery.h"

// GUIDs of the generated header are defined in this file.
#include <initguid.h>

#include <cstdio>
#include <string>

#include "nxpress_h.h"

using nx::formhost::Dispatch;
using nx::formhost::Form;
using nx::formhost::FormControl;
using nx::formhost::Placement;
using nx::formhost::textVariant;

namespace {

FormControl* place(Form& form, const nx::formhost::Library& library, const std::wstring& name,
                   RECT where, const wchar_t* caption) {
  Placement p;
  p.name = name;
  p.position = where;
  FormControl* site = nullptr;
  if (FAILED(form.add(library, CLSID_NxButton, p, &site)) || !site) {
    std::fprintf(stderr, "nxshowcase: cannot place %ls\n", name.c_str());
    return nullptr;
  }
  site->dispatch().put(L"Caption", textVariant(caption));
  return site;
}

}  // namespace

bool placeButtonGallery(Form& form, const nx::formhost::Library& library) {
  // One row per theme: the plain button, one with an access key (the first is the form's
  // default button), a disabled one, and one with a gel face.
  const wchar_t* themes[] = {L"Sky 3D", L"Sky flat", L"Silver 3D", L"Candy", L"Office bar"};
  for (int t = 1; t <= 5; ++t) {
    const int top = 10 + (t - 1) * 42;
    for (int column = 0; column < 4; ++column) {
      const std::wstring name = L"Button" + std::to_wstring(t) + L"_" + std::to_wstring(column);
      const wchar_t* captions[] = {themes[t - 1], t == 1 ? L"&Default" : L"&Open", L"Disabled",
                                   L"&Gel face"};
      FormControl* b =
          place(form, library, name, RECT{10 + column * 130, top, 130 + column * 130, top + 32},
                captions[column]);
      if (!b) return false;
      Dispatch d = b->dispatch();
      d.put(L"Theme", t);
      if (column == 1 && t == 1) form.setDefaultButton(b);
      if (column == 2) d.put(L"Enabled", 0);
      if (column == 3) d.put(L"GradientStyle", 1);
    }
  }
  // Looks beside the rows: round flat corners with cuts, a light band with a shadowed caption,
  // the caption at the bottom right.
  FormControl* round = place(form, library, L"Round", RECT{540, 10, 700, 42}, L"&Round corners");
  if (!round) return false;
  Dispatch r = round->dispatch();
  r.put(L"Theme", 2);
  r.put(L"CornerStyle", 1);
  r.put(L"CutStyle", 3);
  FormControl* light = place(form, library, L"Light", RECT{540, 52, 700, 84}, L"Shadowed");
  if (!light) return false;
  Dispatch l = light->dispatch();
  l.put(L"Theme", 1);
  l.put(L"LightEffect", -1);
  l.put(L"Outline", 2);
  FormControl* corner = place(form, library, L"Corner", RECT{540, 94, 700, 160}, L"Bottom right");
  if (!corner) return false;
  Dispatch c = corner->dispatch();
  c.put(L"Theme", 3);
  c.put(L"Alignment", 7);
  c.put(L"BottomLine", -1);
  return true;
}
