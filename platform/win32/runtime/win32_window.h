// The control window on the real platform: a child window of the container that shows the
// control's persistent surface. Before the host gives it a parent (or for a control that is
// never placed, as with a scripting client) it keeps its size and styles without a window.
#pragma once

#include <windows.h>

#include <memory>

#include "core/runtime/window.h"
#include "platform/win32/runtime/win32_accessible.h"
#include "platform/win32/runtime/win32_parts.h"
#include "platform/win32/runtime/win32_surface.h"

namespace nx::win32 {

// Input and size requests the window passes to its control object.
class WindowOwner {
 public:
  virtual ~WindowOwner() = default;
  virtual void windowInput(UINT message, WPARAM wParam, LPARAM lParam) = 0;
  // The focus entered the control (its window or one of its child parts) or left the control
  // window and all its children. Moves of the focus within the control are not reported.
  virtual void windowFocus(bool gained) = 0;
  // The answer to WM_GETDLGCODE of the control window for `msg` (may be null).
  virtual LRESULT windowDialogCode(const MSG* /*msg*/) { return DLGC_WANTCHARS | DLGC_WANTARROWS; }
  // The control changed its own size (pixels, outer).
  virtual void windowResizedItself(int width, int height) = 0;
  // The window's resolution changed (moved to a monitor with another DPI in a host that is
  // aware of each monitor's DPI): twips per pixel are new, the control lays itself out again.
  virtual void windowDpiChanged() {}
};

class Win32Window final : public ControlWindow {
 public:
  explicit Win32Window(WindowOwner& owner);
  ~Win32Window() override;
  Win32Window(const Win32Window&) = delete;
  Win32Window& operator=(const Win32Window&) = delete;

  // Creates the child window in `parent` at `position` (container pixels).
  bool create(HWND parent, const RECT& position);
  void destroy();
  HWND hwnd() const { return hwnd_; }
  // Outer size and position in container pixels, as the host sets them.
  void setPosition(const RECT& position);
  int widthPx() const { return width_; }
  int heightPx() const { return height_; }
  // Shows what the control drew.
  void refresh();
  // Paints the control as its window looks (border and drawn image) into `bounds` of `dc`.
  void paintFramed(HDC dc, const RECT& bounds) const;
  Win32Surface& win32Surface() { return surface_; }

  WindowHandle handle() const override { return reinterpret_cast<WindowHandle>(hwnd_); }
  bool enabled() const override { return enabled_; }
  void setEnabled(bool on) override;
  double left() const override { return left_ * tppX_; }
  double top() const override { return top_ * tppY_; }
  double width() const override { return width_ * tppX_; }
  double height() const override { return height_ * tppY_; }
  void setWidth(double twips) override;
  void setHeight(double twips) override;
  double scaleWidth() const override { return clientWidth() * tppX_; }
  double scaleHeight() const override { return clientHeight() * tppY_; }
  double twipsPerPixelX() const override { return tppX_; }
  double twipsPerPixelY() const override { return tppY_; }
  std::int16_t appearance() const override { return appearance_; }
  void setAppearance(std::int16_t value) override;
  std::int16_t borderStyle() const override { return borderStyle_; }
  void setBorderStyle(std::int16_t value) override;
  OleColor backColor() const override { return backColor_; }
  void setBackColor(OleColor color) override;
  OleColor foreColor() const override { return foreColor_; }
  void setForeColor(OleColor color) override;
  FontRef font() const override { return surface_.font(); }
  void setFont(FontRef font) override { surface_.setFont(std::move(font)); }
  std::int16_t mousePointer() const override { return mousePointer_; }
  void setMousePointer(std::int16_t pointer) override { mousePointer_ = pointer; }
  CursorRef mouseIcon() const override { return mouseIcon_; }
  void setMouseIcon(CursorRef icon) override { mouseIcon_ = std::move(icon); }
  WindowHandle captureHolder() const override;
  void setCapture() override;
  void releaseCapture() override;
  Point cursorScreenPosition() const override;
  Point screenToClient(Point screen) const override;
  bool setRegion(std::unique_ptr<Region> region, bool redraw) override;
  Surface& surface() override { return surface_; }
  PartFactory& parts() override { return parts_; }
  Win32PartFactory& win32Parts() { return parts_; }
  void announce(AccessEvent event, int child) override { access_.announce(event, child); }
  // Whether a WinEvent hook that may hear the announcements is installed (cheap to ask; a
  // control without listeners then works out nothing).
  bool accessibilityListening() const override;
  // What the window answers accessibility clients: the control's element tree.
  void setAccessibleTree(AccessibleServer::TreeSource tree);
  // The resolution the window is shown at (dots per inch).
  int dpi() const;
  // True while the focus is in the control window or one of its child parts.
  bool focusWithin() const { return focusWithin_; }
  // The text part that holds the focus, or null.
  TextBoxPart* focusedTextPart();

 private:
  static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK childProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR id, DWORD_PTR self);
  void focusEntered();
  void focusLeft(HWND next);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  DWORD style() const;
  DWORD exStyle() const;
  int borderPixels() const;
  int clientWidth() const;
  int clientHeight() const;
  void applyStyles();
  void resizeSurface();
  void resizeItself(int width, int height);
  bool setCursor();
  bool overChildPart() const;
  void applyDpi(int dotsPerInch);
  LRESULT answerPartObject(HWND part, WPARAM wParam, LPARAM lParam);

  WindowOwner& owner_;
  double tppX_;
  double tppY_;
  Win32Surface surface_;
  Win32PartFactory parts_{surface_};
  HWND hwnd_ = nullptr;
  int left_ = 0;
  int top_ = 0;
  int width_ = 100;
  int height_ = 20;
  bool enabled_ = true;
  bool focusWithin_ = false;
  std::int16_t appearance_ = windowdefaults::kAppearance;
  std::int16_t borderStyle_ = windowdefaults::kBorderStyle;
  OleColor backColor_ = windowdefaults::kBackColor;
  OleColor foreColor_ = windowdefaults::kForeColor;
  std::int16_t mousePointer_ = 0;
  CursorRef mouseIcon_;
  AccessibleServer::TreeSource tree_;
  AccessibleServer access_;
};

// The resolution of a window (dots per inch): its own where the system tells it (a host aware
// of each monitor's DPI), else the screen's.
int windowDpi(HWND hwnd);

// Screen twips per pixel (1440 / dots per inch) in X and Y.
double screenTwipsPerPixelX();
double screenTwipsPerPixelY();

}  // namespace nx::win32
