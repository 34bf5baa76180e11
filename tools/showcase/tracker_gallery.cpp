// The tracker of the second form of nxshowcase.
#include <windows.h>
// GUIDs of the generated header are defined in this file.
#include <initguid.h>

#include "button_gallery.h"

#include "nxslider_h.h"

using nx::formhost::Dispatch;
using nx::formhost::Form;
using nx::formhost::FormControl;
using nx::formhost::Placement;
using nx::formhost::textVariant;

bool placeTracker(Form& form, const nx::formhost::Library& slider) {
  Placement p;
  p.name = L"Load";
  p.position = {720, 10, 980, 120};
  FormControl* tracker = nullptr;
  if (FAILED(form.add(slider, CLSID_NxTracker, p, &tracker)) || !tracker) return false;
  Dispatch t = tracker->dispatch();
  t.put(L"Caption", textVariant(L"Orders per minute"));
  t.put(L"GridStyle", 3);
  t.put(L"Average", -1);
  t.put(L"MarkerStyle", 2);
  t.put(L"MarkerLabel", textVariant(L"target"));
  // A day's worth of orders, as a host feeds them.
  unsigned seed = 11;
  long level = 50;
  for (int i = 0; i < 400; ++i) {
    seed = seed * 1103515245u + 12345u;
    level += static_cast<long>((seed >> 16) % 11) - 5 + (level < 30 ? 3 : 0) - (level > 85 ? 3 : 0);
    level = level < 0 ? 0 : level > 100 ? 100 : level;
    t.put(L"Value", level);
  }
  return true;
}
