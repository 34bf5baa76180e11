// The amount boxes of the second form of nxshowcase.
#include <windows.h>
// GUIDs of the generated header are defined in this file.
#include <initguid.h>

#include "button_gallery.h"

#include "nxcurrency_h.h"

using nx::formhost::Dispatch;
using nx::formhost::Form;
using nx::formhost::FormControl;
using nx::formhost::Placement;
using nx::formhost::textVariant;

bool placeAmounts(Form& form, const nx::formhost::Library& currency) {
  // Two amounts and their total.
  const wchar_t* names[] = {L"Net", L"Tax", L"Total"};
  const double amounts[] = {1234.5, 234.56, 0};
  FormControl* boxes[3] = {};
  for (int i = 0; i < 3; ++i) {
    Placement a;
    a.name = names[i];
    a.position = {820, 140 + i * 32, 980, 164 + i * 32};
    if (FAILED(form.add(currency, CLSID_NxEuroBox, a, &boxes[i])) || !boxes[i]) return false;
    Dispatch d = boxes[i]->dispatch();
    d.put(L"Group", textVariant(L"invoice"));
    d.put(L"GroupRole", i < 2 ? 1 : 2);
    if (i == 2) d.put(L"BorderStyle", 1);
  }
  // The amounts once the total is on the form: each one updates it.
  for (int i = 0; i < 2; ++i) {
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = VT_R8;
    V_R8(&v) = amounts[i];
    boxes[i]->dispatch().put(L"Value", v);
  }
  return true;
}
