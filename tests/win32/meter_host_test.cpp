// NxMeter and NxGradFrame as ActiveX objects: drawApiRect early-bound and through dispatch
// drawing into a memory DC whose pixels are read back, and the gradient frame's default
// interface answering to its earlier identifiers.
#include <windows.h>

#include <gtest/gtest.h>
#include <ocidl.h>
#include <olectl.h>

#include <cstdint>

#include "library_under_test.h"
#include "nxwidgets_h.h"
#include "platform/win32/formhost/form_host.h"

using nx::formhost::ComPtr;
using nx::formhost::Dispatch;

namespace {

using nx::test::library;

template <class T>
ComPtr<T> createNew(REFCLSID clsid, REFIID iid) {
  ComPtr<T> object;
  EXPECT_EQ(library().create(clsid, iid, object.putVoid()), S_OK);
  if (object) {
    EXPECT_EQ(nx::formhost::initNew(object.get()), S_OK);
  }
  return object;
}

// A 24 x 16 white memory DC over a DIB section, read back with GetPixel.
class MemoryTarget {
 public:
  MemoryTarget() : dc_(CreateCompatibleDC(nullptr)) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 24;
    info.bmiHeader.biHeight = -16;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
    const RECT all = {0, 0, 24, 16};
    FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  }
  ~MemoryTarget() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  MemoryTarget(const MemoryTarget&) = delete;
  MemoryTarget& operator=(const MemoryTarget&) = delete;
  HDC dc() const { return dc_; }
  long handle() const { return static_cast<long>(reinterpret_cast<std::intptr_t>(dc_)); }
  COLORREF at(int x, int y) const { return GetPixel(dc_, x, y); }
  // Whether the GDI objects selected are the DC's own again (ours were put back and deleted).
  bool stockObjectsSelected() const {
    return GetCurrentObject(dc_, OBJ_PEN) == GetStockObject(BLACK_PEN);
  }

 private:
  HDC dc_;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

}  // namespace

TEST(MeterHost, DrawApiRectEarlyBoundIntoAMemoryDc) {
  auto meter = createNew<_NxMeter>(CLSID_NxMeter, IID__NxMeter);
  ASSERT_TRUE(meter);
  MemoryTarget target;
  LONG x2 = 10, y2 = 8;
  EXPECT_EQ(meter->drawApiRect(target.handle(), 2, 3, &x2, &y2, 0x000000FF, 0x00FF0000), S_OK);
  EXPECT_EQ(x2, 10);
  EXPECT_EQ(y2, 8);
  EXPECT_EQ(target.at(2, 3), 0x000000FFu);
  EXPECT_EQ(target.at(9, 7), 0x000000FFu);
  EXPECT_EQ(target.at(2, 7), 0x000000FFu);
  EXPECT_EQ(target.at(5, 5), 0x00FF0000u);
  EXPECT_EQ(target.at(10, 5), 0x00FFFFFFu);  // right and bottom edges exclusive
  EXPECT_EQ(target.at(5, 8), 0x00FFFFFFu);
  EXPECT_TRUE(target.stockObjectsSelected());
  // Fill -1: the outline only.
  LONG x3 = 22, y3 = 14;
  EXPECT_EQ(meter->drawApiRect(target.handle(), 12, 9, &x3, &y3, 0x0000FF00, -1), S_OK);
  EXPECT_EQ(target.at(12, 9), 0x0000FF00u);
  EXPECT_EQ(target.at(21, 13), 0x0000FF00u);
  EXPECT_EQ(target.at(16, 11), 0x00FFFFFFu);
  // A handle that is no device context fails the call; nothing crashes.
  EXPECT_NE(meter->drawApiRect(0x1234, 0, 0, &x2, &y2, 0, 0), S_OK);
  EXPECT_EQ(meter->drawApiRect(target.handle(), 0, 0, nullptr, &y2, 0, 0), E_POINTER);
}

TEST(MeterHost, DrawApiRectThroughDispatchWithTheFillLeftOut) {
  auto object = createNew<IDispatch>(CLSID_NxMeter, IID_IDispatch);
  ASSERT_TRUE(object);
  Dispatch d(object.get());
  MemoryTarget target;
  VARIANT x2 = nx::formhost::longVariant(8), y2 = nx::formhost::longVariant(6);
  VARIANT args[] = {nx::formhost::longVariant(target.handle()),
                    nx::formhost::longVariant(1),
                    nx::formhost::longVariant(1),
                    nx::formhost::byRef(x2),
                    nx::formhost::byRef(y2),
                    nx::formhost::longVariant(0x00123456)};
  EXPECT_EQ(d.call(L"drawApiRect", args), S_OK);
  EXPECT_EQ(V_I4(&x2), 8);
  EXPECT_EQ(target.at(1, 1), 0x00123456u);
  EXPECT_EQ(target.at(7, 5), 0x00123456u);
  EXPECT_EQ(target.at(4, 3), 0x00FFFFFFu);  // default fill -1 leaves the inside
  // Meter rules through dispatch: Steps beyond the range ignored, beyond 16 bits an overflow.
  EXPECT_EQ(d.put(L"Steps", 60), S_OK);
  EXPECT_EQ(d.getLong(L"Steps"), 12);
  EXPECT_EQ(d.put(L"Max", 200000), S_OK);
  EXCEPINFO excep = {};
  EXPECT_EQ(d.put(L"Steps", nx::formhost::longVariant(40000), &excep), DISP_E_EXCEPTION);
  EXPECT_EQ(excep.scode, DISP_E_OVERFLOW);  // scripting clients report "Overflow"
  SysFreeString(excep.bstrSource);
  SysFreeString(excep.bstrDescription);
  SysFreeString(excep.bstrHelpFile);
  EXPECT_EQ(d.getLong(L"Steps"), 12);
  EXPECT_EQ(d.put(L"Value", 100000), S_OK);
  EXPECT_EQ(d.getLong(L"Value"), 100000);  // Value is the default property too
}

TEST(GradFrameHost, DefaultInterfaceAnswersToItsEarlierIdentifiers) {
  auto frame = createNew<_NxGradFrame>(CLSID_NxGradFrame, IID__NxGradFrame);
  ASSERT_TRUE(frame);
  const IID earlier[] = {
      {0x8151BB49, 0xD81C, 0x4F21, {0x9A, 0xED, 0xCF, 0x05, 0xD5, 0x18, 0x32, 0x27}},
      {0x089F61A4, 0xDBBE, 0x4AB4, {0xB9, 0x56, 0xA8, 0xF0, 0x1C, 0x8D, 0xF8, 0xCA}},
      {0xC73210C3, 0x77E9, 0x44B0, {0xBB, 0x8D, 0xEC, 0xA7, 0xDE, 0xC0, 0x91, 0xF4}}};
  for (const IID& iid : earlier) {
    ComPtr<IUnknown> alias;
    ASSERT_EQ(frame->QueryInterface(iid, alias.putVoid()), S_OK);
    EXPECT_EQ(static_cast<void*>(alias.get()), static_cast<void*>(frame.get()));
  }
  VARIANT_BOOL centred = VARIANT_TRUE;
  EXPECT_EQ(frame->get_CaptionTextCentered(&centred), S_OK);
  EXPECT_EQ(centred, VARIANT_FALSE);
  EXPECT_EQ(frame->put_CaptionWidth(-5), S_OK);
  LONG width = 1;
  EXPECT_EQ(frame->get_CaptionWidth(&width), S_OK);
  EXPECT_EQ(width, 0);
  BSTR caption = nullptr;
  EXPECT_EQ(frame->get_Caption(&caption), S_OK);
  EXPECT_STREQ(caption, L"Caption");  // no host name
  SysFreeString(caption);
}
