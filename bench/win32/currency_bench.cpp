// Cost of NxEuroBox's work on the real surface, two figures:
//   1. a typed digit end to end: WM_CHAR '7' sent to the focused digits box of a 150x22
//      NxEuroBox (key filter, text change, amount, repaint), side by side with the same message
//      to the platform's EDIT of the same size;
//   2. group sums: a form of 200 boxes in 10 groups (each 19 members and one result box) and
//      one ungrouped box; a Value put on a member (the group's members are added up over the
//      form's controls and the result box takes the sum), against the same put on the ungrouped
//      box, which sums nothing.
//   currency_bench <nxcurrency.ocx>
//
// After each operation the host paints what it invalidated synchronously (RedrawWindow with
// RDW_UPDATENOW | RDW_ALLCHILDREN), so both sides go from the call to the finished pixels. The
// digits box takes at most MaxLeftDigits (9) integer digits: before each round of typing the
// box is given the focus and emptied, outside the timing, and a round types 8 digits. Value puts
// alternate between two amounts, so that every put changes the text.
// Each figure is the median over rounds of the time per operation of a round of operations; the
// rounds of the two sides of a comparison alternate, so that drift and load of the machine hit
// both alike. After the timing the bench checks that the typed digits arrived as an amount and
// that the result boxes hold their groups' sums.
// Exit status: 0 measured, 1 the library, a form or a control could not be made (or a
// measurement did not do what it measures), 2 usage.
#include <windows.h>
// GUIDs of the generated header are defined in this file.
#include <initguid.h>

#include <ocidl.h>
#include <olectl.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "alternating_rounds.h"
#include "bench_windows.h"
#include "nxcurrency_h.h"
#include "platform/win32/formhost/form.h"

using nx::bench::alternatingMedians;
using nx::bench::rectAt;
using nx::bench::Side;
using nx::bench::sizeText;
using nx::bench::timeRound;
using nx::bench::Timings;
using nx::bench::WindowHandle;
using nx::bench::windowText;
using nx::formhost::ComPtr;
using nx::formhost::Dispatch;
using nx::formhost::Form;
using nx::formhost::FormControl;
using nx::formhost::Library;
using nx::formhost::Placement;
using nx::formhost::Variant;

namespace {

constexpr int kRounds = nx::bench::kDefaultRounds;
constexpr int kDigitsPerRound = 8;
constexpr int kPutsPerRound = 15;
constexpr UINT kPaintPending = RDW_UPDATENOW | RDW_ALLCHILDREN;

// Members of _NxEuroBox.
constexpr DISPID kGroup = 14, kGroupRole = 15;
constexpr long kSumMember = 1, kSumResult = 2;

// The group form: 10 columns of 20 boxes, the result box at the bottom of each.
constexpr int kGroups = 10, kMembers = 19;
constexpr int kBoxW = 96, kBoxH = 22, kColumnStep = 100, kRowStep = 26;

HRESULT putLong(const Dispatch& dispatch, DISPID id, long value) {
  VARIANT args[] = {nx::formhost::longVariant(value)};
  return dispatch.invoke(id, DISPATCH_PROPERTYPUT, args, nullptr);
}

HRESULT putAmount(const Dispatch& dispatch, double value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_R8;
  v.dblVal = value;
  VARIANT args[] = {v};
  return dispatch.invoke(DISPID_VALUE, DISPATCH_PROPERTYPUT, args, nullptr);
}

// The box's Value, NaN when it cannot be read.
double amountOf(const Dispatch& dispatch) {
  Variant result;
  const HRESULT hr = dispatch.invoke(DISPID_VALUE, DISPATCH_PROPERTYGET, {}, &result.ref());
  if (FAILED(hr) || FAILED(VariantChangeType(&result.ref(), &result.ref(), 0, VT_R8)))
    return std::nan("");
  return result.ref().dblVal;
}

// Places a box; null (after saying why) when it cannot be created.
FormControl* placeBox(Form& form, const Library& library, const std::wstring& name, RECT where) {
  Placement placement;
  placement.name = name;
  placement.position = where;
  FormControl* control = nullptr;
  const HRESULT hr = form.add(library, CLSID_NxEuroBox, placement, &control);
  if (FAILED(hr) || !control || !control->hwnd()) {
    std::fprintf(stderr, "currency_bench: cannot create an NxEuroBox (hr 0x%08lx)\n",
                 static_cast<unsigned long>(hr));
    return nullptr;
  }
  return control;
}

// ---- Figure 1: a typed digit ----

int typedDigit(const Library& library, Timings& out, std::string& size) {
  Form form(L"currency bench: typing", 420, 120);
  if (!form.hwnd()) {
    std::fprintf(stderr, "currency_bench: cannot create the form\n");
    return 1;
  }
  SetWindowPos(form.hwnd(), HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  FormControl* box = placeBox(form, library, L"Typed", rectAt(10, 10, 150, kBoxH));
  if (!box) return 1;
  HWND boxWindow = box->hwnd();
  form.pumpMessages();
  if (!form.focus(box)) {
    std::fprintf(stderr, "currency_bench: the box does not take the focus\n");
    return 1;
  }
  HWND digits = GetFocus();
  wchar_t className[16] = {};
  GetClassNameW(digits, className, 16);
  if (!IsChild(boxWindow, digits) || lstrcmpiW(className, L"Edit") != 0) {
    std::fprintf(stderr, "currency_bench: the focus is not in the box's digits box\n");
    return 1;
  }
  RECT digitsRect;
  GetWindowRect(digits, &digitsRect);
  MapWindowPoints(nullptr, form.hwnd(), reinterpret_cast<POINT*>(&digitsRect), 2);
  WindowHandle edit(CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                    WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_RIGHT | ES_AUTOHSCROLL,
                                    200, 10, 150, kBoxH, form.hwnd(), nullptr,
                                    GetModuleHandleW(nullptr), nullptr));
  if (!edit) {
    std::fprintf(stderr, "currency_bench: cannot create the platform's EDIT (error %lu)\n",
                 GetLastError());
    return 1;
  }
  HFONT font = nullptr;
  if (IFontDisp* ambient = form.font()) {
    ComPtr<IFont> f;
    ambient->QueryInterface(IID_IFont, f.putVoid());
    if (f) f->get_hFont(&font);
  }
  if (font) SendMessageW(edit.get(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  form.pumpMessages();
  if (!IsWindowVisible(boxWindow) || !IsWindowVisible(edit.get())) {
    std::fprintf(stderr, "currency_bench: the box or the EDIT is not visible\n");
    return 1;
  }

  HWND platform = edit.get();
  const Side ours{[&] {
                    SendMessageW(digits, WM_CHAR, L'7', 1);
                    RedrawWindow(boxWindow, nullptr, nullptr, kPaintPending);
                  },
                  [&] {
                    form.focus(box);
                    SetWindowTextW(digits, L"");
                    SendMessageW(digits, EM_SETSEL, 0, 0);
                    form.pumpMessages();
                  }};
  const Side theirs{[&] {
                      SendMessageW(platform, WM_CHAR, L'7', 1);
                      RedrawWindow(platform, nullptr, nullptr, kPaintPending);
                    },
                    [&] {
                      SetFocus(platform);
                      SetWindowTextW(platform, L"");
                      SendMessageW(platform, EM_SETSEL, 0, 0);
                      form.pumpMessages();
                    }};
  out = alternatingMedians(ours, theirs, kDigitsPerRound);
  size = sizeText(boxWindow);

  // One more round each: the digits must have gone in, and the box must hold them as its amount
  // (read before the EDIT takes the focus, when the box groups its thousands).
  const std::wstring typed(kDigitsPerRound, L'7');
  const double expected = std::stod(std::string(kDigitsPerRound, '7'));
  timeRound(ours, kDigitsPerRound);
  const std::wstring shown = windowText(digits);
  const double amount = amountOf(box->dispatch());
  timeRound(theirs, kDigitsPerRound);
  const std::wstring platformShown = windowText(platform);
  if (shown != typed || amount != expected || platformShown != typed) {
    std::fprintf(stderr,
                 "currency_bench: typing measured nothing: the box shows \"%ls\" (Value %.2f), "
                 "the EDIT \"%ls\", after %d digits\n",
                 shown.c_str(), amount, platformShown.c_str(), kDigitsPerRound);
    return 1;
  }
  return 0;
}

// ---- Figure 2: group sums ----

int groupSums(const Library& library, Timings& out) {
  Form form(L"currency bench: groups", 1024, 640);
  if (!form.hwnd()) {
    std::fprintf(stderr, "currency_bench: cannot create the form\n");
    return 1;
  }
  SetWindowPos(form.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  // boxes[g][r]: member r of group g, the result box last.
  std::vector<std::vector<FormControl*>> boxes(kGroups);
  for (int g = 0; g < kGroups; ++g) {
    Variant group;
    group.ref() = nx::formhost::textVariant((L"G" + std::to_wstring(g)).c_str());
    for (int r = 0; r <= kMembers; ++r) {
      const std::wstring name = L"G" + std::to_wstring(g) + L"R" + std::to_wstring(r);
      FormControl* box = placeBox(form, library, name,
                                  rectAt(8 + g * kColumnStep, 8 + r * kRowStep, kBoxW, kBoxH));
      if (!box) return 1;
      const Dispatch dispatch = box->dispatch();
      VARIANT args[] = {group.ref()};
      HRESULT hr = dispatch.invoke(kGroup, DISPATCH_PROPERTYPUT, args, nullptr);
      if (SUCCEEDED(hr)) hr = putLong(dispatch, kGroupRole, r < kMembers ? kSumMember : kSumResult);
      if (FAILED(hr)) {
        std::fprintf(stderr, "currency_bench: the group of %ls cannot be set (hr 0x%08lx)\n",
                     name.c_str(), static_cast<unsigned long>(hr));
        return 1;
      }
      boxes[g].push_back(box);
    }
  }
  FormControl* loose = placeBox(form, library, L"Ungrouped",
                                rectAt(8, 8 + (kMembers + 1) * kRowStep + 8, kBoxW, kBoxH));
  if (!loose) return 1;
  // Every member gets an amount of its own (each put sums its group once).
  for (int g = 0; g < kGroups; ++g) {
    for (int r = 0; r < kMembers; ++r) {
      const HRESULT hr = putAmount(boxes[g][r]->dispatch(), 10.0 * g + r + 0.25);
      if (FAILED(hr)) {
        std::fprintf(stderr, "currency_bench: a member's Value cannot be set (hr 0x%08lx)\n",
                     static_cast<unsigned long>(hr));
        return 1;
      }
    }
  }
  form.pumpMessages();
  for (const auto& column : boxes)
    for (FormControl* box : column)
      if (!IsWindowVisible(box->hwnd())) {
        std::fprintf(stderr, "currency_bench: %ls is not visible\n", box->name().c_str());
        return 1;
      }

  // The measured member: the middle one of the middle group.
  const Dispatch member = boxes[kGroups / 2][kMembers / 2]->dispatch();
  const Dispatch ungrouped = loose->dispatch();
  HRESULT failed = S_OK;
  auto alternating = [&failed, &form](const Dispatch& dispatch, bool& flip) {
    flip = !flip;
    const HRESULT hr = putAmount(dispatch, flip ? 1234.5 : 67.25);
    if (FAILED(hr)) failed = hr;
    RedrawWindow(form.hwnd(), nullptr, nullptr, kPaintPending);
  };
  bool memberFlip = false;
  bool looseFlip = false;
  out = alternatingMedians({[&] { alternating(member, memberFlip); }, {}},
                           {[&] { alternating(ungrouped, looseFlip); }, {}}, kPutsPerRound);
  if (FAILED(failed)) {
    std::fprintf(stderr, "currency_bench: a Value put failed during the measurement (hr 0x%08lx)\n",
                 static_cast<unsigned long>(failed));
    return 1;
  }

  // Every result box holds its group's sum, the measured group's with the last amount put.
  for (int g = 0; g < kGroups; ++g) {
    double expected = 0;
    for (int r = 0; r < kMembers; ++r) expected += amountOf(boxes[g][r]->dispatch());
    const double shown = amountOf(boxes[g][kMembers]->dispatch());
    if (!(std::fabs(shown - expected) < 0.005)) {
      std::fprintf(stderr,
                   "currency_bench: group %d's result shows %.4f, its members add up to %.4f\n", g,
                   shown, expected);
      return 1;
    }
  }
  const double last = amountOf(member);
  if (last != (memberFlip ? 1234.5 : 67.25)) {
    std::fprintf(stderr, "currency_bench: the measured member holds %.4f\n", last);
    return 1;
  }
  return 0;
}

int run(const char* path) {
  Library library(path);
  if (!library.loaded()) {
    std::fprintf(stderr, "currency_bench: cannot load %s\n", path);
    return 1;
  }
  Timings typing{};
  std::string typingSize;
  if (const int rc = typedDigit(library, typing, typingSize)) return rc;
  Timings sums{};
  if (const int rc = groupSums(library, sums)) return rc;

  std::printf("nxcurrency NxEuroBox, %d-bit, median of %d rounds (per operation)\n",
              static_cast<int>(sizeof(void*) * 8), kRounds);
  std::printf(
      "typed digit %s (WM_CHAR '7' + paint, %d per round): NxEuroBox %8.1f us  EDIT %8.1f us  "
      "ratio %5.2f\n",
      typingSize.c_str(), kDigitsPerRound, typing.first, typing.second, typing.ratio());
  std::printf(
      "Value put + paint, form of %d boxes in %d groups of %d + 1 (%d per round): on a member "
      "(group sum) %8.1f us  on an ungrouped box %8.1f us  ratio %5.2f\n",
      kGroups * (kMembers + 1), kGroups, kMembers, kPutsPerRound, sums.first, sums.second,
      sums.ratio());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  return nx::bench::benchMain(argc, argv, "currency_bench", "nxcurrency.ocx", &run);
}
