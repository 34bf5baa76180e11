// Input parts on the real platform: child windows of the control window.
//
// Text box: an EDIT control (ES_AUTOHSCROLL, no border: the control draws its frames) with the
// system's caret, selection, clipboard and input method, subclassed so that every WM_CHAR goes
// through the part's key filter before the edit control sees it, and every WM_KEYDOWN through
// the key-down notification. An input method's result string is turned into WM_CHAR messages
// (the default window procedure's handling) so that it passes the filter too; text pasted from
// the clipboard does not pass the filter (as with the platform's text boxes) but raises
// `changed`. Characters outside the 16-bit range arrive as surrogate pairs and reach the filter
// as one character. After the filter, Enter, Escape, Tab and line feed are dropped: a
// single-line edit control would only beep at them.
//
// WM_GETDLGCODE of the text box answers DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL, and
// adds DLGC_WANTMESSAGE for the key-down message of Enter. So in a form that runs the dialog
// manager the box gets characters, the arrow keys and Enter (the owning control acts on it),
// while Tab and Shift+Tab still move between the controls of the form and Escape still reaches
// the form's cancel button; tabbing into the box selects its text.
//
// Colours: the control window answers WM_CTLCOLOREDIT (and WM_CTLCOLORSTATIC, which a disabled
// edit sends) for the box with its text and back colour and a solid brush of the back colour
// that the part owns and replaces when the colour changes.
//
// Scroll bar: a SCROLLBAR control with SBS_VERT; the WM_VSCROLL that it sends to the control
// window is routed to the part (arrows and track clicks step, the thumb reports every tracked
// position and its release). Positions of the platform's bar run from 0 to the part's position
// count, so reversed and negative ranges work the same way.
//
// Both keep their state while the control window has no platform window and create their child
// window when it gets one; when it goes, they keep what the user left in them.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "core/runtime/parts.h"
#include "platform/win32/runtime/gdi.h"

namespace nx::win32 {

class OleFont;
class Win32PartFactory;

// What the factory needs of an input part's child window.
class ChildPart {
 public:
  virtual ~ChildPart() = default;
  virtual void createWindow(HWND parent) = 0;
  virtual void destroyWindow() = 0;
  virtual HWND hwnd() const = 0;
  // A message the control window got about this child; true when answered.
  virtual bool parentMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;
};

class Win32TextBox final : public TextBoxPart, public ChildPart {
 public:
  Win32TextBox(Win32PartFactory& owner, std::string name);
  ~Win32TextBox() override;

  std::string text() const override;
  void setText(std::string_view utf8) override;
  FontRef font() const override { return font_; }
  void setFont(FontRef font) override;
  Rgb foreColor() const override { return fore_; }
  void setForeColor(Rgb color) override;
  Rgb backColor() const override { return back_; }
  void setBackColor(Rgb color) override;
  PartAlign alignment() const override { return align_; }
  void setAlignment(PartAlign align) override;
  int selStart() const override;
  int selLength() const override;
  void setSelection(int start, int length) override;
  bool enabled() const override { return enabled_; }
  void setEnabled(bool on) override;
  bool setFocus() override;
  bool hasFocus() const override;

  void createWindow(HWND parent) override;
  void destroyWindow() override;
  HWND hwnd() const override { return hwnd_; }
  bool parentMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 protected:
  void boundsChanged() override;
  void visibleChanged() override;

 private:
  static LRESULT CALLBACK subclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR self);
  LRESULT handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT character(HWND hwnd, WPARAM wParam, LPARAM lParam);
  void mouse(UINT message, WPARAM wParam, LPARAM lParam);
  void saveState();
  void applyFont();
  void recreate();

  Win32PartFactory& win_;
  HWND hwnd_ = nullptr;
  std::wstring text_;  // while there is no window
  int selStart_ = 0;   // characters, while there is no window
  int selLength_ = 0;
  FontRef font_;
  std::shared_ptr<OleFont> oleFont_;
  Rgb fore_ = 0;
  Rgb back_ = 0xFFFFFF;
  Brush brush_;
  PartAlign align_ = PartAlign::Left;
  bool enabled_ = true;
  bool settingText_ = false;
  wchar_t highSurrogate_ = 0;
};

class Win32ScrollBar final : public ScrollBarPart, public ChildPart {
 public:
  Win32ScrollBar(Win32PartFactory& owner, std::string name);
  ~Win32ScrollBar() override;

  bool enabled() const override { return enabled_; }
  void setEnabled(bool on) override;
  bool setFocus() override;
  bool hasFocus() const override;

  void createWindow(HWND parent) override;
  void destroyWindow() override;
  HWND hwnd() const override { return hwnd_; }
  bool parentMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 protected:
  void stateChanged() override;
  void boundsChanged() override;
  void visibleChanged() override;

 private:
  static LRESULT CALLBACK subclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR self);
  std::int32_t thumbPosition(WPARAM wParam) const;

  Win32PartFactory& win_;
  HWND hwnd_ = nullptr;
  bool enabled_ = true;
};

class Win32PartFactory final : public PartFactory {
 public:
  using PartFactory::PartFactory;

  // The control window got its platform window: the input parts create theirs in it.
  void attach(HWND parent);
  // The control window lets its platform window go: the input parts keep their state and
  // destroy their windows.
  void detach();
  HWND parent() const { return parent_; }
  // Messages of the control window about its child parts; true when a part answered.
  bool parentMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // Pixel rectangle of a part within the control window.
  RECT pixelRect(const PartRect& r) const;
  // The text box whose child window is `child`, or null.
  Win32TextBox* textBoxOf(HWND child) const;

 protected:
  std::unique_ptr<TextBoxPart> makeTextBox(std::string name) override;
  std::unique_ptr<ScrollBarPart> makeScrollBar(std::string name) override;

 private:
  std::vector<ChildPart*> children() const;

  HWND parent_ = nullptr;
};

}  // namespace nx::win32
