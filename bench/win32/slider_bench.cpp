// Cost of one tick of NxTracker on the real surface, two figures:
//   1. a 1000x120 tracker in each graph style (Style 0..3): one tick, a Value put that adds a
//      sample and redraws along the control's incremental path (the image scrolls one column and
//      only the columns that differ from their right neighbour are drawn again), side by side
//      with a full redraw of the same control and samples;
//   2. the sample buffers alone for 1000 samples: adding a sample to the ring buffers with a
//      64-bit window sum, against rebuilding both buffers per sample (two fresh arrays of N + 1
//      ints, the samples and the averages copied over shifted by one, a 32-bit running sum).
//   slider_bench <nxslider.ocx>
//
// The tracker runs with RefreshInterval 0, so that every accepted Value put adds one sample and
// draws it at once. The full redraw is a put of GridStyle with the value it already has: every
// put of a drawing property redraws the whole image (background, grid, marker, both series and
// the caption) whether or not the value changed. After either put the host paints the window
// synchronously (UpdateWindow: the control copies its retained image), so both sides take the
// control from the call to the finished pixels on the screen. Before the timing each style is
// checked: a Value put must change the pixels on the screen, and the image the incremental
// path left must equal the one a full redraw of the same samples gives.
// Each figure is the median over rounds of the time per operation of a round of operations;
// the rounds of the two sides of a comparison alternate, so that drift and load of the machine
// hit both alike.
// Exit status: 0 measured, 1 the library, the form or the control could not be made (or a
// measurement did not do what it measures), 2 usage.
#include <windows.h>
// GUIDs of the generated header are defined in this file.
#include <initguid.h>

#include <ocidl.h>
#include <olectl.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "alternating_rounds.h"
#include "bench_windows.h"
#include "nxslider_h.h"
#include "platform/win32/formhost/form.h"
#include "slider/tracker/sample_buffer.h"

using nx::bench::alternatingMedians;
using nx::bench::Timings;
using nx::formhost::ComPtr;
using nx::formhost::Dispatch;
using nx::formhost::Form;
using nx::formhost::FormControl;
using nx::formhost::Library;
using nx::formhost::Placement;

namespace {

constexpr int kRounds = nx::bench::kDefaultRounds;
constexpr int kTicksPerRound = 15;
constexpr int kAddsPerRound = 1000;

// The tracker in the form's client area: 1000 pixel columns, so 1000 samples.
constexpr RECT kTrackerRect = {4, 10, 1004, 130};
constexpr int kSamples = 1000;

// Members of _NxTracker.
constexpr DISPID kStyle = 7, kRefreshInterval = 15, kGridStyle = 18;
constexpr long kGridNone = 0;
const char* const kStyleNames[] = {"gsLine", "gsPoint", "gsTopBar", "gsBottomBar"};

struct DcDeleter {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
using MemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter>;

struct GdiDeleter {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using GdiObject = std::unique_ptr<std::remove_pointer_t<HGDIOBJ>, GdiDeleter>;

// The second side's time over the first's: how many ticks a full redraw (or a rebuild) costs.
double secondPerFirst(const Timings& t) {
  return t.first > 0 ? t.second / t.first : 0.0;
}

// A slowly wandering signal in 0..100: the kind of values a tracker is fed.
class Signal {
 public:
  std::int32_t next() {
    ++k_;
    const double v = 50.0 + 35.0 * std::sin(k_ / 17.0) + 10.0 * std::sin(k_ / 3.1);
    return std::clamp(static_cast<std::int32_t>(std::lround(v)), 0, 100);
  }

 private:
  long k_ = 0;
};

HRESULT putLong(const Dispatch& dispatch, DISPID id, long value) {
  VARIANT args[] = {nx::formhost::longVariant(value)};
  return dispatch.invoke(id, DISPATCH_PROPERTYPUT, args, nullptr);
}

// The window's pixels as the screen shows them.
std::vector<std::uint32_t> capture(HWND hwnd) {
  RECT r;
  GetClientRect(hwnd, &r);
  const int w = r.right - r.left;
  const int h = r.bottom - r.top;
  std::vector<std::uint32_t> pixels;
  MemoryDc memory(CreateCompatibleDC(nullptr));
  if (!memory || w <= 0 || h <= 0) return pixels;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  GdiObject bitmap(CreateDIBSection(memory.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || !bits) return pixels;
  const HGDIOBJ original = SelectObject(memory.get(), bitmap.get());
  HDC screen = GetDC(hwnd);
  const bool copied = screen && BitBlt(memory.get(), 0, 0, w, h, screen, 0, 0, SRCCOPY);
  if (screen) ReleaseDC(hwnd, screen);
  GdiFlush();
  if (copied) {
    const auto* p = static_cast<const std::uint32_t*>(bits);
    pixels.assign(p, p + static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    for (std::uint32_t& px : pixels) px &= 0xFFFFFFu;
  }
  SelectObject(memory.get(), original);
  return pixels;
}

// ---- The sample buffers on their own ----

// The buffers rebuilt per sample: samples and averages in 1-based arrays of N + 1 ints, each
// sample allocating both anew and copying the kept N - 1 entries over shifted by one; the
// window's sum is a 32-bit running sum.
class RebuiltBuffers {
 public:
  RebuiltBuffers(std::int32_t n, std::int32_t initValue)
      : n_(n),
        samples_(fresh(n, initValue)),
        averages_(fresh(n, initValue)),
        sum_(static_cast<std::int32_t>(static_cast<std::uint32_t>(initValue) *
                                       static_cast<std::uint32_t>(n))) {}

  void add(std::int32_t v) {
    const std::size_t n = static_cast<std::size_t>(n_);
    std::unique_ptr<std::int32_t[]> samples = std::make_unique<std::int32_t[]>(n + 1);
    std::unique_ptr<std::int32_t[]> averages = std::make_unique<std::int32_t[]>(n + 1);
    // Wrapping 32-bit arithmetic, as the running sum had it.
    sum_ = static_cast<std::int32_t>(static_cast<std::uint32_t>(sum_) -
                                     static_cast<std::uint32_t>(samples_[1]) +
                                     static_cast<std::uint32_t>(v));
    std::memcpy(samples.get() + 1, samples_.get() + 2, (n - 1) * sizeof(std::int32_t));
    std::memcpy(averages.get() + 1, averages_.get() + 2, (n - 1) * sizeof(std::int32_t));
    samples[n] = v;
    averages[n] = static_cast<std::int32_t>(nx::roundedQuotient(sum_, n_));
    samples_ = std::move(samples);
    averages_ = std::move(averages);
  }

  // 0 the oldest, N - 1 the newest, as SampleBuffer counts.
  std::int32_t sample(std::int32_t i) const { return samples_[static_cast<std::size_t>(i) + 1]; }
  std::int32_t average(std::int32_t i) const { return averages_[static_cast<std::size_t>(i) + 1]; }

 private:
  static std::unique_ptr<std::int32_t[]> fresh(std::int32_t n, std::int32_t initValue) {
    auto a = std::make_unique<std::int32_t[]>(static_cast<std::size_t>(n) + 1);
    std::fill_n(a.get() + 1, n, initValue);
    return a;
  }

  std::int32_t n_;
  std::unique_ptr<std::int32_t[]> samples_;
  std::unique_ptr<std::int32_t[]> averages_;
  std::int32_t sum_;
};

// Whether both ways hold the same samples and averages after the same input (values small
// enough that the 32-bit sum cannot wrap), and the averages moved at all.
bool bufferWaysAgree() {
  nx::SampleBuffer ring;
  ring.reallocate(kSamples, 0);
  RebuiltBuffers rebuilt(kSamples, 0);
  Signal signal;
  for (int i = 0; i < 2 * kSamples + 123; ++i) {
    const std::int32_t v = signal.next();
    ring.add(v);
    rebuilt.add(v);
  }
  bool moved = false;
  for (std::int32_t i = 0; i < kSamples; ++i) {
    if (ring.sample(i) != rebuilt.sample(i) || ring.average(i) != rebuilt.average(i)) {
      std::fprintf(stderr, "slider_bench: the two buffer ways differ at sample %d\n", i);
      return false;
    }
    moved = moved || ring.average(i) != 0;
  }
  if (!moved) std::fprintf(stderr, "slider_bench: the buffers' averages stayed 0\n");
  return moved;
}

// ---- The figures ----

int run(const char* path) {
  Library library(path);
  if (!library.loaded()) {
    std::fprintf(stderr, "slider_bench: cannot load %s\n", path);
    return 1;
  }
  Form form(L"slider bench", 1024, 200);
  if (!form.hwnd()) {
    std::fprintf(stderr, "slider_bench: cannot create the form\n");
    return 1;
  }
  SetWindowPos(form.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);

  Placement placement;
  placement.name = L"Tracker";
  placement.position = kTrackerRect;
  FormControl* control = nullptr;
  const HRESULT hr = form.add(library, CLSID_NxTracker, placement, &control);
  HWND hwnd = control ? control->hwnd() : nullptr;
  if (FAILED(hr) || !hwnd) {
    std::fprintf(stderr, "slider_bench: cannot create an NxTracker (hr 0x%08lx)\n",
                 static_cast<unsigned long>(hr));
    return 1;
  }
  const Dispatch dispatch = control->dispatch();
  HRESULT put = putLong(dispatch, kRefreshInterval, 0);
  if (SUCCEEDED(put)) put = putLong(dispatch, kGridStyle, kGridNone);
  if (FAILED(put)) {
    std::fprintf(stderr, "slider_bench: the tracker's properties cannot be set (hr 0x%08lx)\n",
                 static_cast<unsigned long>(put));
    return 1;
  }
  control->move(kTrackerRect);
  form.pumpMessages();
  if (!IsWindowVisible(hwnd)) {
    std::fprintf(stderr, "slider_bench: the tracker is not visible\n");
    return 1;
  }
  RECT settled;
  GetWindowRect(hwnd, &settled);
  const std::string size = std::to_string(settled.right - settled.left) + "x" +
                           std::to_string(settled.bottom - settled.top);

  Signal signal;
  HRESULT failed = S_OK;
  auto tick = [&] {
    const HRESULT h = putLong(dispatch, DISPID_VALUE, signal.next());
    if (FAILED(h)) failed = h;
    UpdateWindow(hwnd);
  };
  auto full = [&] {
    const HRESULT h = putLong(dispatch, kGridStyle, kGridNone);
    if (FAILED(h)) failed = h;
    UpdateWindow(hwnd);
  };
  // Fill the window with samples before the first look at it.
  for (int i = 0; i < kSamples; ++i) tick();

  constexpr int kStyles = 4;
  std::vector<Timings> styles;
  for (int style = 0; style < kStyles; ++style) {
    put = putLong(dispatch, kStyle, style);
    if (FAILED(put)) {
      std::fprintf(stderr, "slider_bench: Style %d cannot be set (hr 0x%08lx)\n", style,
                   static_cast<unsigned long>(put));
      return 1;
    }
    full();
    const std::vector<std::uint32_t> before = capture(hwnd);
    tick();
    tick();
    const std::vector<std::uint32_t> incremental = capture(hwnd);
    full();
    const std::vector<std::uint32_t> complete = capture(hwnd);
    if (before.empty() || incremental.empty() || complete.empty()) {
      std::fprintf(stderr, "slider_bench: cannot read the tracker's pixels\n");
      return 1;
    }
    if (incremental == before) {
      std::fprintf(stderr, "slider_bench: style %d: a Value put left the pixels as they were\n",
                   style);
      return 1;
    }
    if (incremental != complete) {
      std::size_t differ = 0;
      for (std::size_t i = 0; i < complete.size(); ++i) differ += incremental[i] != complete[i];
      std::fprintf(stderr,
                   "slider_bench: style %d: the incremental image differs from a full redraw in "
                   "%zu pixels\n",
                   style, differ);
      return 1;
    }
    styles.push_back(alternatingMedians(tick, full, kTicksPerRound));
  }
  if (FAILED(failed)) {
    std::fprintf(stderr, "slider_bench: a put failed during the measurement (hr 0x%08lx)\n",
                 static_cast<unsigned long>(failed));
    return 1;
  }

  if (!bufferWaysAgree()) return 1;
  // The values come from a table, so that making them costs next to nothing on either side.
  constexpr std::size_t kValues = 4096;
  std::vector<std::int32_t> values(kValues);
  for (std::int32_t& v : values) v = signal.next();
  nx::SampleBuffer ring;
  ring.reallocate(kSamples, 0);
  RebuiltBuffers rebuilt(kSamples, 0);
  std::size_t ringAt = 0;
  std::size_t rebuiltAt = 0;
  const Timings buffers =
      alternatingMedians([&] { ring.add(values[ringAt++ % kValues]); },
                         [&] { rebuilt.add(values[rebuiltAt++ % kValues]); }, kAddsPerRound);
  // Both saw the same values: their newest entries agree (and the work was used).
  if (ring.average(kSamples - 1) != rebuilt.average(kSamples - 1)) {
    std::fprintf(stderr, "slider_bench: the timed buffers disagree\n");
    return 1;
  }

  std::printf("nxslider NxTracker, %d-bit, median of %d rounds x %d ticks (per operation)\n",
              static_cast<int>(sizeof(void*) * 8), kRounds, kTicksPerRound);
  for (int style = 0; style < kStyles; ++style) {
    std::printf(
        "tick %s style %d %-11s: Value put (incremental) %8.1f us  full redraw (GridStyle put) "
        "%8.1f us  full/tick %5.2f\n",
        size.c_str(), style, kStyleNames[style], styles[style].first, styles[style].second,
        secondPerFirst(styles[style]));
  }
  std::printf(
      "sample buffers N=%d, per sample (median of %d rounds x %d): ring add %8.3f us  rebuild "
      "(2 x new N+1 ints, 2 copies, 32-bit sum) %8.3f us  rebuild/ring %6.1f\n",
      kSamples, kRounds, kAddsPerRound, buffers.first, buffers.second, secondPerFirst(buffers));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  return nx::bench::benchMain(argc, argv, "slider_bench", "nxslider.ocx", &run);
}
