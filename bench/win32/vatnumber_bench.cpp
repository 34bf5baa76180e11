// Cost of NxVATNumber's work on the real surface, two figures:
//   1. a typed character with TypeCheck on, end to end: WM_CHAR sent to the focused number box
//      (the EDIT inside a 220x20 NxVATNumber: key filter, validation of the whole text by the
//      engine, the text's colour, the Change event and, once the number is valid, ValidNumber,
//      repaint), side by side with the same message to the platform's EDIT of the same size;
//   2. the country list opened and closed again: F4 in the number box opens it, and it is closed
//      with Escape as soon as it has painted itself for the first time; (a) the first open on
//      the thread, which loads the 27 flag pictures (they stay loaded until the last control of
//      the thread goes), against (b) a later open on a control whose list was opened before.
//   vatnumber_bench <nxtaxid.ocx>
//
// Typing: a round types the Austrian number "U13585627" one character per operation; the number
// turns valid with its 9th character. Before each round the box is given the focus and emptied,
// outside the timing. After each character the host paints what it invalidated synchronously
// (RedrawWindow with RDW_UPDATENOW | RDW_ALLCHILDREN), so both sides go from the message to the
// finished pixels. The control's events go to a connected sink, as in a running form.
// The list: WM_KEYDOWN VK_F4 is sent to the number box; the call returns when the list's modal
// loop ends. A hook on the messages the thread takes from its queue (WH_GETMESSAGE) sees the
// list's modal loop take the list's first WM_PAINT and posts Escape to the list, which the loop
// takes once that paint is done; so an operation is the list's creation, its showing and first
// paint, and its closing. (The paint is dispatched, not sent: a hook on window procedures,
// WH_CALLWNDPROCRET, never sees it.) For (a) every round starts, outside the timing, by
// destroying the form of the round before (with it the thread's last control, which releases
// the flags) and making a new form and control; a round is one open. A watchdog timer closes a
// list that is still open after 5 s (the bench then fails instead of hanging).
// Each figure is the median over rounds of the time per operation of a round; the rounds of the
// two sides of a comparison alternate, so that drift and load of the machine hit both alike.
// After the timing the bench checks that the measured operations did what they measure: the
// typed text arrived in both boxes, the control's number turned valid with the 9th character
// (Valid True, one ValidNumber, a Change per character), every open showed and painted a list,
// and every list closed without changing the country.
// Exit status: 0 measured, 1 the library, a form or a control could not be made (or a
// measurement did not do what it measures), 2 usage.
#include <windows.h>
// GUIDs of the generated header are defined in this file.
#include <initguid.h>

#include <commctrl.h>
#include <ocidl.h>
#include <olectl.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <type_traits>

#include "alternating_rounds.h"
#include "bench_windows.h"
#include "nxtaxid_h.h"
#include "platform/win32/formhost/form.h"
#include "platform/win32/formhost/form_host.h"

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
using nx::formhost::EventSink;
using nx::formhost::Form;
using nx::formhost::FormControl;
using nx::formhost::Library;
using nx::formhost::Placement;
using nx::formhost::Variant;

namespace {

constexpr int kTypingRounds = nx::bench::kDefaultRounds;
constexpr int kListRounds = nx::bench::kDefaultRounds;
constexpr UINT kPaintPending = RDW_UPDATENOW | RDW_ALLCHILDREN;

// Valid for Austria from its last character on, and not before.
constexpr wchar_t kNumber[] = L"U13585627";
constexpr int kNumberLength = static_cast<int>(sizeof(kNumber) / sizeof(kNumber[0])) - 1;

// Members of _NxVATNumber and its events.
constexpr DISPID kValid = 5, kVatCountry = 6, kTypeCheck = 15;
constexpr DISPID kChange = 1, kValidNumber = 2;

// The control's size: its height is fixed at 300 twips.
constexpr int kControlW = 220, kControlH = 20;

// A list still open after this time is closed by the watchdog.
constexpr auto kListTimeout = std::chrono::seconds(5);

HRESULT putBool(const Dispatch& dispatch, DISPID id, bool value) {
  VARIANT args[] = {nx::formhost::boolVariant(value)};
  return dispatch.invoke(id, DISPATCH_PROPERTYPUT, args, nullptr);
}

HRESULT putText(const Dispatch& dispatch, DISPID id, const wchar_t* text) {
  Variant value;
  value.ref() = nx::formhost::textVariant(text);
  VARIANT args[] = {value.ref()};
  return dispatch.invoke(id, DISPATCH_PROPERTYPUT, args, nullptr);
}

// The property as text; "?" when it cannot be read.
std::wstring getText(const Dispatch& dispatch, DISPID id) {
  Variant result;
  const HRESULT hr = dispatch.invoke(id, DISPATCH_PROPERTYGET, {}, &result.ref());
  if (FAILED(hr) || FAILED(VariantChangeType(&result.ref(), &result.ref(), 0, VT_BSTR)))
    return L"?";
  return result.ref().bstrVal ? result.ref().bstrVal : L"";
}

// The property as a truth value; -1 when it cannot be read.
int getBool(const Dispatch& dispatch, DISPID id) {
  Variant result;
  const HRESULT hr = dispatch.invoke(id, DISPATCH_PROPERTYGET, {}, &result.ref());
  if (FAILED(hr) || FAILED(VariantChangeType(&result.ref(), &result.ref(), 0, VT_BOOL))) return -1;
  return result.ref().boolVal != VARIANT_FALSE ? 1 : 0;
}

// Runs the thread's pending messages (for when no form is left to do it).
void pumpThread() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// Places an NxVATNumber set to Austria; null (after saying why) when it cannot be made.
FormControl* placeVatNumber(Form& form, const Library& library, RECT where) {
  Placement placement;
  placement.name = L"VatNumber";
  placement.position = where;
  FormControl* control = nullptr;
  HRESULT hr = form.add(library, CLSID_NxVATNumber, placement, &control);
  if (FAILED(hr) || !control || !control->hwnd()) {
    std::fprintf(stderr, "vatnumber_bench: cannot create an NxVATNumber (hr 0x%08lx)\n",
                 static_cast<unsigned long>(hr));
    return nullptr;
  }
  hr = putText(control->dispatch(), kVatCountry, L"AT");
  if (FAILED(hr)) {
    std::fprintf(stderr, "vatnumber_bench: VatCountry cannot be set (hr 0x%08lx)\n",
                 static_cast<unsigned long>(hr));
    return nullptr;
  }
  return control;
}

// Gives the control the focus; its number box, which then has it (null, after saying why, when
// the focus went elsewhere).
HWND focusNumberBox(Form& form, FormControl* control) {
  if (!form.focus(control)) {
    std::fprintf(stderr, "vatnumber_bench: the control does not take the focus\n");
    return nullptr;
  }
  HWND box = GetFocus();
  wchar_t className[16] = {};
  GetClassNameW(box, className, 16);
  if (!IsChild(control->hwnd(), box) || lstrcmpiW(className, L"Edit") != 0) {
    std::fprintf(stderr, "vatnumber_bench: the focus is not in the control's number box\n");
    return nullptr;
  }
  return box;
}

// The control's events, connected for as long as this lives.
class Connection {
 public:
  explicit Connection(IUnknown* object) : object_(object), sink_(new EventSink) {
    hr_ = nx::formhost::advise(object_, DIID___NxVATNumber, sink_, &cookie_);
  }
  ~Connection() {
    if (SUCCEEDED(hr_)) nx::formhost::unadvise(object_, DIID___NxVATNumber, cookie_);
    sink_->Release();
  }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  HRESULT status() const { return hr_; }
  EventSink& sink() { return *sink_; }

 private:
  IUnknown* object_;
  EventSink* sink_;
  DWORD cookie_ = 0;
  HRESULT hr_ = E_FAIL;
};

// ---- Figure 1: a typed character ----

int typedCharacter(const Library& library, Timings& out, std::string& size) {
  Form form(L"vatnumber bench: typing", 480, 120);
  if (!form.hwnd()) {
    std::fprintf(stderr, "vatnumber_bench: cannot create the form\n");
    return 1;
  }
  SetWindowPos(form.hwnd(), HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  FormControl* control = placeVatNumber(form, library, rectAt(10, 10, kControlW, kControlH));
  if (!control) return 1;
  const Dispatch dispatch = control->dispatch();
  const HRESULT checked = putBool(dispatch, kTypeCheck, true);
  if (FAILED(checked)) {
    std::fprintf(stderr, "vatnumber_bench: TypeCheck cannot be set (hr 0x%08lx)\n",
                 static_cast<unsigned long>(checked));
    return 1;
  }
  Connection events(control->object());
  if (FAILED(events.status())) {
    std::fprintf(stderr, "vatnumber_bench: cannot connect to the control's events (hr 0x%08lx)\n",
                 static_cast<unsigned long>(events.status()));
    return 1;
  }
  HWND controlWindow = control->hwnd();
  form.pumpMessages();
  HWND box = focusNumberBox(form, control);
  if (!box) return 1;
  RECT controlRect;
  GetWindowRect(controlWindow, &controlRect);
  WindowHandle edit(CreateWindowExW(
      WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 250, 10,
      controlRect.right - controlRect.left, controlRect.bottom - controlRect.top, form.hwnd(),
      nullptr, GetModuleHandleW(nullptr), nullptr));
  if (!edit) {
    std::fprintf(stderr, "vatnumber_bench: cannot create the platform's EDIT (error %lu)\n",
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
  if (!IsWindowVisible(controlWindow) || !IsWindowVisible(box) || !IsWindowVisible(edit.get())) {
    std::fprintf(stderr, "vatnumber_bench: the control or the EDIT is not visible\n");
    return 1;
  }

  HWND platform = edit.get();
  int oursAt = 0;
  int theirsAt = 0;
  const Side ours{[&] {
                    SendMessageW(box, WM_CHAR, kNumber[oursAt++ % kNumberLength], 1);
                    RedrawWindow(controlWindow, nullptr, nullptr, kPaintPending);
                  },
                  [&] {
                    form.focus(control);
                    SetWindowTextW(box, L"");
                    SendMessageW(box, EM_SETSEL, 0, 0);
                    form.pumpMessages();
                    oursAt = 0;
                  }};
  const Side theirs{[&] {
                      SendMessageW(platform, WM_CHAR, kNumber[theirsAt++ % kNumberLength], 1);
                      RedrawWindow(platform, nullptr, nullptr, kPaintPending);
                    },
                    [&] {
                      SetFocus(platform);
                      SetWindowTextW(platform, L"");
                      SendMessageW(platform, EM_SETSEL, 0, 0);
                      form.pumpMessages();
                      theirsAt = 0;
                    }};
  out = alternatingMedians(ours, theirs, kNumberLength, kTypingRounds);
  size = sizeText(controlWindow);

  // One more round of ours, watched: invalid up to the last character, valid with it, one Change
  // per character and one ValidNumber. The number is read before the EDIT takes the focus.
  ours.prepare();
  events.sink().clear();
  timeRound(Side{ours.op, {}}, kNumberLength - 1);
  const int validBefore = getBool(dispatch, kValid);
  const int validEventsBefore = events.sink().count(kValidNumber);
  ours.op();
  const int validAfter = getBool(dispatch, kValid);
  const int changes = events.sink().count(kChange);
  const int validEvents = events.sink().count(kValidNumber);
  const std::wstring shown = windowText(box);
  timeRound(theirs, kNumberLength);
  const std::wstring platformShown = windowText(platform);
  if (shown != kNumber || platformShown != kNumber) {
    std::fprintf(stderr,
                 "vatnumber_bench: typing measured nothing: the control shows \"%ls\", the EDIT "
                 "\"%ls\", after typing \"%ls\"\n",
                 shown.c_str(), platformShown.c_str(), kNumber);
    return 1;
  }
  if (validBefore != 0 || validEventsBefore != 0 || validAfter != 1 || validEvents != 1 ||
      changes != kNumberLength) {
    std::fprintf(stderr,
                 "vatnumber_bench: the typed number was not checked as typed: Valid %d before "
                 "the last character, %d after it; %d ValidNumber (%d before the last), %d Change "
                 "for %d characters\n",
                 validBefore, validAfter, validEvents, validEventsBefore, changes, kNumberLength);
    return 1;
  }
  return 0;
}

// ---- Figure 2: the country list ----

// What the window procedure hook has seen of the lists; one at a time on the thread.
struct ListWatch {
  HWND owner = nullptr;    // the form the control sits on: the list's owner
  bool opening = false;    // F4 was sent and has not returned yet
  bool armed = false;      // a list was asked for and has not painted yet
  HWND closing = nullptr;  // the list Escape was posted to
  int paints = 0;          // lists that had painted all of themselves when Escape came
  HWND lastList = nullptr;
  std::chrono::steady_clock::time_point askedAt;
  int timeouts = 0;
};
ListWatch* watch = nullptr;

// The country list of the control on `owner`: a pop-up tool window of the form.
bool isList(HWND hwnd, HWND owner) {
  const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
  const LONG exStyle = GetWindowLongW(hwnd, GWL_EXSTYLE);
  if (!(style & WS_POPUP) || !(exStyle & WS_EX_TOOLWINDOW)) return false;
  HWND ownedBy = GetWindow(hwnd, GW_OWNER);
  return ownedBy && (ownedBy == owner || GetAncestor(ownedBy, GA_ROOT) == owner);
}

// Messages the thread takes from its queue. The list's paint is dispatched by the list's own
// modal loop right after it is taken: Escape posted then is taken after the paint returned.
// When Escape is taken, the paint must have left nothing to paint.
LRESULT CALLBACK takenMessage(int code, WPARAM removal, LPARAM lParam) {
  if (code == HC_ACTION && removal == PM_REMOVE && watch) {
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    if (msg->message == WM_PAINT && watch->armed && isList(msg->hwnd, watch->owner)) {
      watch->armed = false;
      watch->closing = msg->hwnd;
      watch->lastList = msg->hwnd;
      PostMessageW(msg->hwnd, WM_KEYDOWN, VK_ESCAPE, 1);
    } else if (msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE &&
               msg->hwnd == watch->closing && watch->closing) {
      watch->closing = nullptr;
      if (!GetUpdateRect(msg->hwnd, nullptr, FALSE)) ++watch->paints;
    }
  }
  return CallNextHookEx(nullptr, code, removal, lParam);
}

BOOL CALLBACK escapeList(HWND hwnd, LPARAM owner) {
  if (isList(hwnd, reinterpret_cast<HWND>(owner))) PostMessageW(hwnd, WM_KEYDOWN, VK_ESCAPE, 1);
  return TRUE;
}

// Closes a list that is still open after the timeout, so that the bench fails instead of hanging.
void CALLBACK watchdog(HWND, UINT, UINT_PTR, DWORD) {
  if (!watch || !watch->opening || std::chrono::steady_clock::now() - watch->askedAt < kListTimeout)
    return;
  watch->armed = false;
  watch->opening = false;
  watch->closing = nullptr;  // this Escape is no sign of a paint
  ++watch->timeouts;
  EnumThreadWindows(GetCurrentThreadId(), &escapeList, reinterpret_cast<LPARAM>(watch->owner));
}

BOOL CALLBACK findVisibleToolWindow(HWND hwnd, LPARAM found) {
  if (!IsWindowVisible(hwnd) || !(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW))
    return TRUE;
  wchar_t className[32] = {};
  GetClassNameW(hwnd, className, 32);
  if (lstrcmpiW(className, TOOLTIPS_CLASSW) == 0) return TRUE;  // a tip is no list
  *reinterpret_cast<HWND*>(found) = hwnd;
  return FALSE;
}

struct HookDeleter {
  void operator()(HHOOK hook) const { UnhookWindowsHookEx(hook); }
};
using Hook = std::unique_ptr<std::remove_pointer_t<HHOOK>, HookDeleter>;

struct TimerDeleter {
  void operator()(void* id) const { KillTimer(nullptr, reinterpret_cast<UINT_PTR>(id)); }
};
using ThreadTimer = std::unique_ptr<void, TimerDeleter>;

// A form with one control, made anew on demand; the lists it opens.
class ListBench {
 public:
  explicit ListBench(const Library& library) : library_(library) {}
  ~ListBench() {
    if (watch == &watch_) watch = nullptr;
  }
  ListBench(const ListBench&) = delete;
  ListBench& operator=(const ListBench&) = delete;

  bool start() {
    hook_.reset(SetWindowsHookExW(WH_GETMESSAGE, &takenMessage, nullptr, GetCurrentThreadId()));
    const UINT_PTR timer = SetTimer(nullptr, 0, 500, &watchdog);
    timer_.reset(reinterpret_cast<void*>(timer));
    if (!hook_ || !timer) {
      std::fprintf(stderr, "vatnumber_bench: cannot install the hook or the timer (error %lu)\n",
                   GetLastError());
      return false;
    }
    watch = &watch_;
    return true;
  }

  // Destroys the form and its control (the thread's last one), then makes new ones.
  bool fresh() {
    control_ = nullptr;
    box_ = nullptr;
    form_.reset();
    pumpThread();
    form_ = std::make_unique<Form>(L"vatnumber bench: list", 480, 200);
    if (!form_->hwnd()) {
      std::fprintf(stderr, "vatnumber_bench: cannot create the form\n");
      return false;
    }
    SetWindowPos(form_->hwnd(), HWND_TOP, 40, 200, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    control_ = placeVatNumber(*form_, library_, rectAt(10, 10, kControlW, kControlH));
    if (!control_) return false;
    form_->pumpMessages();
    box_ = focusNumberBox(*form_, control_);
    if (!box_) return false;
    form_->pumpMessages();
    watch_.owner = form_->hwnd();
    opensOnControl_ = 0;
    return true;
  }

  // F4 in the number box: returns when the list closed again.
  void open() {
    watch_.armed = true;
    watch_.askedAt = std::chrono::steady_clock::now();
    ++opens_;
    ++opensOnControl_;
    watch_.opening = true;
    SendMessageW(box_, WM_KEYDOWN, VK_F4, 1);
    watch_.opening = false;
  }

  // Makes sure the control's list was opened before (outside any timing).
  void openedBefore() {
    if (opensOnControl_ == 0) open();
    form_->pumpMessages();
  }

  bool ready() const { return box_ != nullptr; }
  int opens() const { return opens_; }
  const ListWatch& seen() const { return watch_; }
  Dispatch dispatch() const { return control_->dispatch(); }
  Form& form() { return *form_; }

 private:
  const Library& library_;
  std::unique_ptr<Form> form_;
  FormControl* control_ = nullptr;
  HWND box_ = nullptr;
  int opens_ = 0;
  int opensOnControl_ = 0;
  ListWatch watch_;
  Hook hook_;
  ThreadTimer timer_;
};

int countryList(const Library& library, Timings& out, int& opens) {
  ListBench bench(library);
  if (!bench.start() || !bench.fresh()) return 1;
  bool made = true;
  const Side first{[&] {
                     if (bench.ready()) bench.open();
                   },
                   [&] {
                     if (made) made = bench.fresh();
                   }};
  const Side later{[&] {
                     if (bench.ready()) bench.open();
                   },
                   [&] {
                     if (bench.ready()) bench.openedBefore();
                   }};
  out = alternatingMedians(first, later, 1, kListRounds);
  if (!made || !bench.ready()) return 1;
  bench.form().pumpMessages();

  // Every open showed a list that painted and closed again, and no list chose a country.
  opens = bench.opens();
  const ListWatch& seen = bench.seen();
  HWND toolWindow = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), &findVisibleToolWindow,
                    reinterpret_cast<LPARAM>(&toolWindow));
  const std::wstring country = getText(bench.dispatch(), kVatCountry);
  if (seen.timeouts != 0 || seen.paints != opens) {
    std::fprintf(stderr,
                 "vatnumber_bench: the list did not open each time: %d lists painted for %d "
                 "opens (%d closed by the watchdog)\n",
                 seen.paints, opens, seen.timeouts);
    return 1;
  }
  if (toolWindow || (seen.lastList && IsWindow(seen.lastList) && IsWindowVisible(seen.lastList))) {
    std::fprintf(stderr, "vatnumber_bench: a list is still shown after Escape\n");
    return 1;
  }
  if (country != L"AT") {
    std::fprintf(stderr, "vatnumber_bench: closing the list changed the country to %ls\n",
                 country.c_str());
    return 1;
  }
  return 0;
}

int run(const char* path) {
  Library library(path);
  if (!library.loaded()) {
    std::fprintf(stderr, "vatnumber_bench: cannot load %s\n", path);
    return 1;
  }
  Timings typing{};
  std::string typingSize;
  if (const int rc = typedCharacter(library, typing, typingSize)) return rc;
  Timings list{};
  int opens = 0;
  if (const int rc = countryList(library, list, opens)) return rc;

  std::printf("nxtaxid NxVATNumber, %d-bit (per operation)\n", static_cast<int>(sizeof(void*) * 8));
  std::printf(
      "typed character %s, TypeCheck on (WM_CHAR \"%ls\" + paint, %d per round, median of %d "
      "rounds): NxVATNumber %8.1f us  EDIT %8.1f us  ratio %5.2f\n",
      typingSize.c_str(), kNumber, kNumberLength, kTypingRounds, typing.first, typing.second,
      typing.ratio());
  std::printf(
      "country list open + first paint + close (F4, Escape; median of %d rounds, %d lists "
      "painted): first on the thread (27 flags loaded) %8.1f us  later %8.1f us  ratio %5.2f\n",
      kListRounds, opens, list.first, list.second, list.ratio());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  return nx::bench::benchMain(argc, argv, "vatnumber_bench", "nxtaxid.ocx", &run);
}
