// The setup's wizard and licence windows under Wine with real input through the input queue.
// With NX_WINDOW_SHOTS set to a folder, each page and the licence window are saved there as
// BMP files of what the screen shows.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "eula_window.h"
#include "platform/win32/statichost/static_control_host.h"
#include "widgets/progressbar/progress_bar.h"
#include "wizard.h"

namespace nx::setup::stub {
namespace {

// ---- message loop and input ----------------------------------------------------------------

void pumpOnce() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    HWND top = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (top && IsDialogMessageW(top, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

bool pumpUntil(const std::function<bool()>& done, DWORD ms = 3000) {
  const DWORD start = GetTickCount();
  for (;;) {
    pumpOnce();
    if (done && done()) return true;
    if (GetTickCount() - start > ms) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

void pumpFor(DWORD ms) {
  pumpUntil(nullptr, ms);
}

void sendMouse(DWORD flags, DWORD data = 0) {
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  in.mi.mouseData = data;
  SendInput(1, &in, sizeof(INPUT));
}

void clickAt(POINT screen) {
  SetCursorPos(screen.x, screen.y);
  sendMouse(MOUSEEVENTF_MOVE);
  sendMouse(MOUSEEVENTF_LEFTDOWN);
  sendMouse(MOUSEEVENTF_LEFTUP);
}

void clickCentre(HWND w) {
  RECT r;
  GetWindowRect(w, &r);
  clickAt(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

void press(WORD vk) {
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = vk;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof(INPUT));
}

std::wstring textOf(HWND w) {
  wchar_t buffer[512] = {};
  GetWindowTextW(w, buffer, 512);
  return buffer;
}

bool visible(HWND w) {
  return IsWindowVisible(w) != FALSE;
}

bool checked(HWND w) {
  return SendMessageW(w, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// What the screen shows of a window (its whole frame), saved as a 24-bit BMP.
void saveShot(HWND w, const char* name) {
  const char* folder = std::getenv("NX_WINDOW_SHOTS");
  if (!folder || !*folder || !w) return;
  pumpFor(150);
  RECT r;
  GetWindowRect(w, &r);
  const int width = r.right - r.left, height = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  BitBlt(dc, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  const DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) & ~3u);
  const DWORD imageBytes = stride * static_cast<DWORD>(height);
  BITMAPFILEHEADER fh = {};
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  fh.bfSize = fh.bfOffBits + imageBytes;
  std::ofstream out(std::string(folder) + "\\" + name + ".bmp", std::ios::binary);
  out.write(reinterpret_cast<const char*>(&fh), sizeof fh);
  out.write(reinterpret_cast<const char*>(&bi.bmiHeader), sizeof(BITMAPINFOHEADER));
  out.write(static_cast<const char*>(bits), imageBytes);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
}

// One screen pixel of a window's client area.
COLORREF pixelAt(HWND w, int x, int y) {
  POINT p{x, y};
  ClientToScreen(w, &p);
  HDC screen = GetDC(nullptr);
  const COLORREF c = GetPixel(screen, p.x, p.y);
  ReleaseDC(nullptr, screen);
  return c;
}

int systemMenuCount(HWND w) {
  return GetMenuItemCount(GetSystemMenu(w, FALSE));
}

// A licence text of `lines` numbered lines.
std::string longText(int lines) {
  std::string text;
  for (int i = 1; i <= lines; ++i)
    text += "Clause " + std::to_string(i) + ": the licensee keeps this line in mind.\r\n";
  return text;
}

HINSTANCE self() {
  return GetModuleHandleW(nullptr);
}

// ---- the wizard ----------------------------------------------------------------------------

class WizardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(wizard.show());
    pumpFor(100);
  }
  HWND part(Wizard::Part p) const { return wizard.part(p); }
  Wizard wizard{self(), "1.2.3"};
};

TEST_F(WizardTest, FirstPageShowsItsTextsWithOnlyInstallAvailable) {
  EXPECT_EQ(textOf(wizard.hwnd()), L"nx-Dev Setup v1.2.3");
  EXPECT_EQ(textOf(part(Wizard::Part::Title)), L"ActiveX Binaries Installation");
  EXPECT_EQ(textOf(part(Wizard::Part::Prompt)), L"Please select the action to preform");
  EXPECT_EQ(textOf(part(Wizard::Part::OptInstall)), L"Install or Update");
  EXPECT_EQ(textOf(part(Wizard::Part::OptRepair)), L"Repair");
  EXPECT_EQ(textOf(part(Wizard::Part::OptRemove)), L"Remove");
  EXPECT_EQ(textOf(part(Wizard::Part::Next)), L"&Next");
  EXPECT_EQ(wizard.page(), 0);
  EXPECT_TRUE(visible(part(Wizard::Part::Page0)));
  EXPECT_FALSE(visible(part(Wizard::Part::Page1)));
  EXPECT_FALSE(visible(part(Wizard::Part::Page2)));
  EXPECT_EQ(wizard.selectedOption(), Wizard::kInstallOrUpdate);
  EXPECT_TRUE(IsWindowEnabled(part(Wizard::Part::OptInstall)));
  EXPECT_FALSE(IsWindowEnabled(part(Wizard::Part::OptRepair)));
  EXPECT_FALSE(IsWindowEnabled(part(Wizard::Part::OptRemove)));

  // A click on a disabled option changes nothing.
  clickCentre(part(Wizard::Part::OptRemove));
  pumpFor(150);
  EXPECT_EQ(wizard.selectedOption(), Wizard::kInstallOrUpdate);

  wizard.setTitle("nx-Dev Controls 2.0");
  EXPECT_EQ(textOf(part(Wizard::Part::Title)), L"nx-Dev Controls 2.0");
  saveShot(wizard.hwnd(), "wizard_page0_fresh");
}

TEST_F(WizardTest, PreviousInstallationEnablesRepairAndRemoveForTheUser) {
  wizard.setPreviousInstall(true);
  wizard.setTitle("ActiveX Binaries Installation");
  EXPECT_TRUE(IsWindowEnabled(part(Wizard::Part::OptRepair)));
  EXPECT_TRUE(IsWindowEnabled(part(Wizard::Part::OptRemove)));
  clickCentre(part(Wizard::Part::OptRemove));
  EXPECT_TRUE(pumpUntil([&] { return wizard.selectedOption() == Wizard::kRemove; }));
  EXPECT_FALSE(checked(part(Wizard::Part::OptInstall)));
  clickCentre(part(Wizard::Part::OptRepair));
  EXPECT_TRUE(pumpUntil([&] { return wizard.selectedOption() == Wizard::kRepair; }));
  saveShot(wizard.hwnd(), "wizard_page0");

  // Without the previous installation again, a disabled option cannot stay selected.
  wizard.setPreviousInstall(false);
  EXPECT_EQ(wizard.selectedOption(), Wizard::kInstallOrUpdate);
  EXPECT_FALSE(IsWindowEnabled(part(Wizard::Part::OptRepair)));
  wizard.selectOption(7);  // not an option: nothing changes
  EXPECT_EQ(wizard.selectedOption(), Wizard::kInstallOrUpdate);
}

TEST_F(WizardTest, ProgressPageShowsStatusAndTheStoredBar) {
  wizard.setPage(1);
  EXPECT_EQ(wizard.page(), 1);
  EXPECT_FALSE(visible(part(Wizard::Part::Page0)));
  EXPECT_TRUE(visible(part(Wizard::Part::Page1)));
  EXPECT_EQ(textOf(part(Wizard::Part::Status)), L"Starting up...");
  wizard.setPage(3);
  wizard.setPage(-1);
  EXPECT_EQ(wizard.page(), 1);

  // The bar was read back as a stored control: the lower-case keys reach its colour reads.
  const NxProgressBar* bar = wizard.progressBar();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->barColor(), 0x000080);
  EXPECT_EQ(bar->backColor(), 0xE0DFD7);
  EXPECT_EQ(bar->orientation(), 0);
  EXPECT_EQ(bar->lightStyle(), 1);
  EXPECT_EQ(bar->appearance(), 1);
  EXPECT_EQ(bar->borderStyle(), 1);
  EXPECT_FALSE(bar->designMode());
  HWND barWindow = part(Wizard::Part::Bar);
  ASSERT_NE(barWindow, nullptr);
  EXPECT_EQ(GetParent(barWindow), part(Wizard::Part::Page1));
  EXPECT_TRUE(GetWindowLongW(barWindow, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);  // 3D border

  wizard.setStatus("Copying NXWIDGETS.OCX");
  wizard.setBar(40);
  wizard.pump();
  pumpFor(100);
  EXPECT_EQ(textOf(part(Wizard::Part::Status)), L"Copying NXWIDGETS.OCX");
  EXPECT_EQ(wizard.bar(), 40);
  // The filled part shows the dark red bar colour, the rest the light back colour.
  RECT client;
  GetClientRect(barWindow, &client);
  const COLORREF filled = pixelAt(barWindow, client.right / 5, client.bottom / 2);
  const COLORREF empty = pixelAt(barWindow, client.right * 4 / 5, client.bottom / 2);
  EXPECT_GT(GetRValue(filled), GetGValue(filled) + 40) << std::hex << filled;
  EXPECT_GT(GetGValue(empty), 0xB0) << std::hex << empty;
  EXPECT_LE(GetRValue(empty), GetBValue(empty)) << std::hex << empty;
  saveShot(wizard.hwnd(), "wizard_page1");

  wizard.setBar(150);
  EXPECT_EQ(wizard.bar(), 100);
  wizard.setBar(-3);
  EXPECT_EQ(wizard.bar(), 0);
  wizard.setBarRange(0, 8);
  wizard.setBar(2);
  EXPECT_FLOAT_EQ(bar->percentage(), 25.0f);
  wizard.setBarRange(5, 5);  // refused
  EXPECT_EQ(bar->minValue(), 0);
  EXPECT_EQ(bar->maxValue(), 8);
  wizard.setBarRange(20, 30);  // above the old range: Min stays below Max on the way
  EXPECT_EQ(bar->minValue(), 20);
  EXPECT_EQ(bar->maxValue(), 30);
  EXPECT_EQ(wizard.bar(), 20);
}

TEST_F(WizardTest, LastPageShowsTheRestartBoxOnlyWhenAsked) {
  wizard.setPage(2);
  EXPECT_EQ(textOf(part(Wizard::Part::FinalMsg)), L"Installation completed successfully.");
  EXPECT_EQ(textOf(part(Wizard::Part::RebootMsg)),
            L"Your computer needs to be restarted for changes to take effect. If you want to "
            L"restart it yourself, uncheck the box below.");
  EXPECT_EQ(textOf(part(Wizard::Part::NeedReboot)), L"Restart computer (recommended)");
  EXPECT_FALSE(visible(part(Wizard::Part::RebootMsg)));
  EXPECT_FALSE(visible(part(Wizard::Part::NeedReboot)));
  EXPECT_FALSE(wizard.rebootTicked());
  EXPECT_FALSE(wizard.rebootShown());

  wizard.tickReboot();  // the process needs a restart: ticked, still hidden
  EXPECT_TRUE(wizard.rebootTicked());
  EXPECT_FALSE(wizard.rebootShown());

  wizard.setFinalText("Install/Update process completed successfully.");
  wizard.showReboot();
  wizard.setNextCaption("&Close");
  EXPECT_EQ(textOf(part(Wizard::Part::FinalMsg)),
            L"Install/Update process completed successfully.");
  EXPECT_EQ(textOf(part(Wizard::Part::Next)), L"&Close");
  EXPECT_TRUE(wizard.rebootShown());
  EXPECT_TRUE(visible(part(Wizard::Part::RebootMsg)));
  EXPECT_TRUE(wizard.rebootTicked());
  saveShot(wizard.hwnd(), "wizard_page2");

  // The user unticks the box.
  clickCentre(part(Wizard::Part::NeedReboot));
  EXPECT_TRUE(pumpUntil([&] { return !wizard.rebootTicked(); }));
  wizard.showReboot(false);
  EXPECT_FALSE(wizard.rebootShown());
}

TEST_F(WizardTest, NextRunsTheHandlerOnceEvenWhenClickedDuringIt) {
  int calls = 0;
  int nested = 0;
  wizard.onNext([&] {
    ++calls;
    wizard.setPage(1);
    // A second click while the process runs (the process lets messages run).
    clickCentre(wizard.part(Wizard::Part::Next));
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 300) {
      wizard.pump();
      Sleep(10);
    }
    nested = calls;
  });
  clickCentre(part(Wizard::Part::Next));
  EXPECT_TRUE(pumpUntil([&] { return calls > 0; }));
  pumpFor(200);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(nested, 1);
  EXPECT_EQ(wizard.page(), 1);

  // Disabled, the button does not run it; Enter runs it again once enabled.
  wizard.enableNext(false);
  clickCentre(part(Wizard::Part::Next));
  pumpFor(200);
  EXPECT_EQ(calls, 1);
  wizard.enableNext(true);
  wizard.onNext([&] { ++calls; });
  SetForegroundWindow(wizard.hwnd());
  SetFocus(part(Wizard::Part::Next));
  press(VK_RETURN);
  EXPECT_TRUE(pumpUntil([&] { return calls == 2; }));
}

TEST_F(WizardTest, WithoutHandlerNextWalksThePagesAndCloses) {
  bool closing = false;
  wizard.onClosing([&] { closing = true; });
  clickCentre(part(Wizard::Part::Next));
  EXPECT_TRUE(pumpUntil([&] { return wizard.page() == 1; }));
  clickCentre(part(Wizard::Part::Next));
  EXPECT_TRUE(pumpUntil([&] { return wizard.page() == 2; }));
  clickCentre(part(Wizard::Part::Next));
  EXPECT_TRUE(pumpUntil([&] { return !wizard.isOpen(); }));
  EXPECT_TRUE(closing);
  wizard.runUntilClosed();  // returns at once: the window is gone
  EXPECT_EQ(wizard.page(), -1);
  EXPECT_EQ(wizard.progressBar(), nullptr);
}

TEST_F(WizardTest, CloseCommandIsRemovedAndRestored) {
  const int before = systemMenuCount(wizard.hwnd());
  ASSERT_GE(before, 2);
  wizard.setCloseCommand(false);
  EXPECT_EQ(systemMenuCount(wizard.hwnd()), before - 2);
  EXPECT_FALSE(wizard.closeCommandEnabled());
  // It is the Close command that went, wherever the system put it in the menu.
  HMENU menu = GetSystemMenu(wizard.hwnd(), FALSE);
  for (int k = 0; k < GetMenuItemCount(menu); ++k)
    EXPECT_NE(GetMenuItemID(menu, static_cast<UINT>(k)), static_cast<UINT>(SC_CLOSE));
  wizard.setCloseCommand(false);  // already removed: no other entry goes
  EXPECT_EQ(systemMenuCount(wizard.hwnd()), before - 2);

  // While the process runs the window refuses to close.
  bool closing = false;
  wizard.onClosing([&] { closing = true; });
  PostMessageW(wizard.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
  PostMessageW(wizard.hwnd(), WM_CLOSE, 0, 0);
  pumpFor(200);
  EXPECT_TRUE(wizard.isOpen());
  EXPECT_FALSE(closing);

  wizard.setCloseCommand(true);
  EXPECT_EQ(systemMenuCount(wizard.hwnd()), before);
  EXPECT_TRUE(wizard.closeCommandEnabled());

  // Closed by the user now: the loop ends and the caller's clean-up ran first.
  PostMessageW(wizard.hwnd(), WM_CLOSE, 0, 0);
  wizard.runUntilClosed();
  EXPECT_FALSE(wizard.isOpen());
  EXPECT_TRUE(closing);
}

// ---- the progress bar host on its own --------------------------------------------------------

TEST(StaticControlHost, NewControlWhenTheStoreIsEmptyAndErrorsStayInside) {
  Wizard owner(self(), "1.0.0");
  ASSERT_TRUE(owner.create());
  win32::StaticControlHost host;
  auto* bar = host.place<NxProgressBar>(owner.hwnd(), RECT{10, 10, 210, 30});
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->barColor(), 0x00873A00);  // a new control takes the first theme
  EXPECT_EQ(bar->theme(), 1);
  EXPECT_EQ(GetWindowLongW(host.hwnd(), GWL_STYLE) & WS_TABSTOP, 0);
  EXPECT_FALSE(host.call([](ControlBase&) { throw std::runtime_error("failed"); }));
  EXPECT_TRUE(host.call([](ControlBase& c) { c.putProperty("Value", Value{std::int32_t{30}}); }));
  EXPECT_EQ(bar->value(), 30);
  ASSERT_TRUE(host.setPosition(RECT{10, 10, 110, 30}));
  EXPECT_EQ(bar->drawWidthPx(), 100);  // no border in the new control's flat look
  // A stored value of the wrong kind fails the load as the class says; the host keeps it in.
  win32::StaticControlHost broken;
  broken.store().write("BARCOLOR", Value{std::string("not a colour")}, Value{});
  EXPECT_EQ(broken.place<NxProgressBar>(owner.hwnd(), RECT{0, 0, 50, 20}), nullptr);
  EXPECT_EQ(broken.control(), nullptr);
  EXPECT_EQ(broken.hwnd(), nullptr);
}

// ---- the licence window --------------------------------------------------------------------

class EulaTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(owner.show());
    ASSERT_TRUE(eula.create());
  }
  HWND part(EulaWindow::Part p) const { return eula.part(p); }
  static void CALLBACK closeOnTimer(HWND w, UINT, UINT_PTR id, DWORD) {
    KillTimer(w, id);
    PostMessageW(w, WM_CLOSE, 0, 0);
  }
  // Safety: a window nobody answers is declined after a while, so that a test fails, not hangs.
  void declineLater(UINT ms) { SetTimer(eula.hwnd(), 77, ms, &closeOnTimer); }
  POINT downArrow() const {
    HWND sb = part(EulaWindow::Part::Scroll);
    RECT r;
    GetClientRect(sb, &r);
    POINT p{r.right / 2, r.bottom - GetSystemMetrics(SM_CYVSCROLL) / 2};
    ClientToScreen(sb, &p);
    return p;
  }
  Wizard owner{self(), "1.0.0"};
  EulaWindow eula{self(), nullptr};
};

// Inside the modal loop: notes whether the owner is disabled, then clicks Accept.
BOOL ownerEnabledDuring = TRUE;
HWND modalOwner = nullptr;
HWND modalAccept = nullptr;
void CALLBACK noteOwnerThenAccept(HWND w, UINT, UINT_PTR id, DWORD) {
  KillTimer(w, id);
  ownerEnabledDuring = IsWindowEnabled(modalOwner);
  clickCentre(modalAccept);
}

TEST_F(EulaTest, AcceptWaitsForTheEndOfTheTextThenBecomesTheDefault) {
  EulaWindow window(self(), owner.hwnd());
  ASSERT_TRUE(window.create());
  window.setText(longText(60));
  ASSERT_TRUE(window.show());
  pumpFor(100);
  EXPECT_EQ(textOf(window.hwnd()), L"End User License Agreement");
  EXPECT_EQ(textOf(window.part(EulaWindow::Part::Intro)),
            L"Please read carefully the entire content of the End User License Agreement (EULA) "
            L"below.");
  EXPECT_EQ(textOf(window.part(EulaWindow::Part::Advice)),
            L"If you do not fully agree with the all the terms and conditions stated, please click "
            L"on the Decline button to abort the installation.");
  EXPECT_EQ(textOf(window.part(EulaWindow::Part::Accept)), L"&Accept");
  EXPECT_EQ(textOf(window.part(EulaWindow::Part::Decline)), L"&Decline");
  EXPECT_EQ(textOf(window.part(EulaWindow::Part::Text)).substr(0, 9), L"Clause 1:");
  EXPECT_EQ(GetFocus(), window.part(EulaWindow::Part::Scroll));

  // 60 lines do not fit: the range counts 240-twip steps past the viewport.
  const int max = window.scrollMax();
  ASSERT_GT(max, 3);
  EXPECT_GT(window.textHeightTwips(), window.viewHeightTwips());
  EXPECT_LE(std::abs(max * 240 - (window.textHeightTwips() - window.viewHeightTwips() + 60)), 120);
  EXPECT_EQ(window.scrollValue(), 0);
  HWND accept = window.part(EulaWindow::Part::Accept);
  EXPECT_FALSE(IsWindowEnabled(accept));
  saveShot(window.hwnd(), "eula_start");

  // Clicks on the scroll bar's down arrow: Accept stays disabled until the maximum.
  HWND sb = window.part(EulaWindow::Part::Scroll);
  RECT r;
  GetClientRect(sb, &r);
  POINT arrow{r.right / 2, r.bottom - GetSystemMetrics(SM_CYVSCROLL) / 2};
  ClientToScreen(sb, &arrow);
  for (int i = 1; i <= max; ++i) {
    EXPECT_FALSE(IsWindowEnabled(accept)) << "before click " << i;
    clickAt(arrow);
    ASSERT_TRUE(pumpUntil([&] { return window.scrollValue() == i; })) << "click " << i;
    EXPECT_EQ(window.textTopTwips(), -240 * i);
  }
  EXPECT_TRUE(pumpUntil([&] { return IsWindowEnabled(accept) != FALSE; }));
  const LRESULT def = SendMessageW(window.hwnd(), DM_GETDEFID, 0, 0);
  EXPECT_EQ(HIWORD(def), DC_HASDEFID);
  EXPECT_EQ(LOWORD(def), GetDlgCtrlID(accept));
  EXPECT_EQ(GetWindowLongW(accept, GWL_STYLE) & 0x0F, BS_DEFPUSHBUTTON);
  saveShot(window.hwnd(), "eula_end");

  // A further click leaves the value at the maximum.
  clickAt(arrow);
  pumpFor(150);
  EXPECT_EQ(window.scrollValue(), max);

  // The owner is disabled while the window runs modally; Accept answers true.
  ownerEnabledDuring = TRUE;
  modalOwner = owner.hwnd();
  modalAccept = accept;
  SetTimer(window.hwnd(), 5, 50, &noteOwnerThenAccept);
  EXPECT_TRUE(window.runModal());
  EXPECT_FALSE(ownerEnabledDuring);
  EXPECT_TRUE(window.answer());
  EXPECT_FALSE(IsWindowVisible(window.hwnd()));
  EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
}

TEST_F(EulaTest, KeysAndTheWheelScrollToo) {
  eula.setText(longText(80));
  ASSERT_TRUE(eula.show());
  pumpFor(100);
  ASSERT_EQ(GetFocus(), part(EulaWindow::Part::Scroll));
  press(VK_DOWN);
  EXPECT_TRUE(pumpUntil([&] { return eula.scrollValue() == 1; }));
  press(VK_NEXT);
  EXPECT_TRUE(pumpUntil([&] { return eula.scrollValue() > 2; }));
  const int afterPage = eula.scrollValue();
  SetCursorPos(0, 0);
  POINT inside = downArrow();
  inside.x -= 100;
  SetCursorPos(inside.x, inside.y);
  sendMouse(MOUSEEVENTF_WHEEL, static_cast<DWORD>(-WHEEL_DELTA));
  EXPECT_TRUE(pumpUntil([&] { return eula.scrollValue() == afterPage + 3; })) << eula.scrollValue();
  EXPECT_FALSE(IsWindowEnabled(part(EulaWindow::Part::Accept)));
  press(VK_END);
  EXPECT_TRUE(pumpUntil([&] { return eula.scrollValue() == eula.scrollMax(); }));
  EXPECT_TRUE(IsWindowEnabled(part(EulaWindow::Part::Accept)));
  press(VK_HOME);
  EXPECT_TRUE(pumpUntil([&] { return eula.scrollValue() == 0; }));
  // Once reached, the end stays reached: Accept stays available.
  EXPECT_TRUE(IsWindowEnabled(part(EulaWindow::Part::Accept)));
  // Enter takes the default button.
  declineLater(3000);
  press(VK_RETURN);
  EXPECT_TRUE(eula.runModal());
}

TEST_F(EulaTest, DeclineAndClosingAnswerFalse) {
  eula.setText(longText(60));
  ASSERT_TRUE(eula.show());
  pumpFor(100);
  declineLater(3000);
  clickCentre(part(EulaWindow::Part::Decline));
  EXPECT_FALSE(eula.runModal());
  EXPECT_TRUE(eula.answered());

  // Accept is not taken while disabled; closing the window declines.
  ASSERT_TRUE(eula.show());
  pumpFor(100);
  clickCentre(part(EulaWindow::Part::Accept));
  pumpFor(150);
  EXPECT_FALSE(eula.answered());
  PostMessageW(eula.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(eula.runModal());
  EXPECT_FALSE(eula.answer());

  // Escape declines too.
  ASSERT_TRUE(eula.show());
  pumpFor(100);
  declineLater(3000);
  press(VK_ESCAPE);
  EXPECT_FALSE(eula.runModal());
}

TEST_F(EulaTest, ShortTextEnablesAcceptAtOnce) {
  eula.setText("Use it well.");
  EXPECT_EQ(eula.scrollMax(), 0);
  EXPECT_TRUE(IsWindowEnabled(part(EulaWindow::Part::Accept)));
  EXPECT_EQ(GetWindowLongW(part(EulaWindow::Part::Accept), GWL_STYLE) & 0x0F, BS_DEFPUSHBUTTON);
  ASSERT_TRUE(eula.show());
  pumpFor(100);
  saveShot(eula.hwnd(), "eula_short");
  declineLater(3000);
  clickCentre(part(EulaWindow::Part::Accept));
  EXPECT_TRUE(eula.runModal());

  // A longer text set afterwards disables Accept again.
  eula.setText(longText(60));
  EXPECT_GT(eula.scrollMax(), 0);
  EXPECT_FALSE(IsWindowEnabled(part(EulaWindow::Part::Accept)));
  eula.setText("");
  EXPECT_EQ(eula.scrollMax(), 0);
  EXPECT_TRUE(IsWindowEnabled(part(EulaWindow::Part::Accept)));
}

TEST_F(EulaTest, OddTextsAreShownWithoutHarm) {
  // Bytes of the ANSI code page that are not UTF-8, lone line feeds, ampersands, no spaces.
  eula.setText("Caf\xE9 & co\nline two\n" + std::string(3000, 'x'));
  const std::wstring shown = textOf(part(EulaWindow::Part::Text));
  EXPECT_EQ(shown.substr(0, 21), L"Caf\u00E9 & co\r\nline two\r\n");
  EXPECT_GT(eula.scrollMax(), 0);  // the long word wraps instead of running off the side

  // A very long text: the range grows, the end is reachable and the window keeps working.
  eula.setText(longText(5000));
  EXPECT_GT(eula.scrollMax(), 1000);
  ASSERT_TRUE(eula.show());
  pumpFor(100);
  press(VK_END);
  EXPECT_TRUE(pumpUntil([&] { return eula.scrollValue() == eula.scrollMax(); }));
  EXPECT_TRUE(IsWindowEnabled(part(EulaWindow::Part::Accept)));
  PostMessageW(eula.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(eula.runModal());
}

// Drives the licence window that exists only inside showEulaModal: a timer of the thread finds
// it, scrolls to the end with the End key when asked, and clicks the button named.
struct ModalDriver {
  static inline const wchar_t* button = nullptr;
  static inline bool scrollFirst = false;
  static inline int step = 0;
  static inline bool ownerDisabled = false;
  static inline HWND owner = nullptr;
  static void CALLBACK tick(HWND, UINT, UINT_PTR id, DWORD) {
    HWND w = FindWindowW(L"NxSetupEula", L"End User License Agreement");
    if (!w || !IsWindowVisible(w)) return;
    ownerDisabled = !IsWindowEnabled(owner);
    HWND target = FindWindowExW(w, nullptr, L"BUTTON", button);
    if (step == 0 && scrollFirst) {
      press(VK_END);
    } else if (target && IsWindowEnabled(target)) {
      KillTimer(nullptr, id);
      clickCentre(target);
    }
    ++step;
  }
  static bool run(HWND ownerWindow, const wchar_t* name, bool scroll, const std::string& text) {
    button = name;
    scrollFirst = scroll;
    step = 0;
    owner = ownerWindow;
    ownerDisabled = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 200, &tick);
    const bool answer = showEulaModal(ownerWindow, text);
    KillTimer(nullptr, timer);
    return answer;
  }
};

TEST(EulaModal, ShowEulaModalReturnsTheAnswer) {
  Wizard owner(self(), "1.0.0");
  ASSERT_TRUE(owner.show());
  EXPECT_FALSE(ModalDriver::run(owner.hwnd(), L"&Decline", false, longText(60)));
  EXPECT_GE(ModalDriver::step, 1);
  EXPECT_TRUE(ModalDriver::ownerDisabled);
  EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));

  EXPECT_TRUE(ModalDriver::run(owner.hwnd(), L"&Accept", true, longText(60)));
  EXPECT_GE(ModalDriver::step, 2);  // scrolled, then accepted
  EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
  EXPECT_EQ(FindWindowW(L"NxSetupEula", nullptr), nullptr);  // the window is gone again
}

}  // namespace
}  // namespace nx::setup::stub
