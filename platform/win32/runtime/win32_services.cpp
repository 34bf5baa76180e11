#include "platform/win32/runtime/win32_services.h"

#include <commctrl.h>
#include <olectl.h>
#include <shellapi.h>

#include "core/runtime/errors.h"
#include "platform/win32/com/bstr.h"
#include "platform/win32/com/module.h"
#include "platform/win32/runtime/gdi.h"
#include "platform/win32/runtime/ole_objects.h"
#include "platform/win32/runtime/win32_dc.h"
#include "platform/win32/runtime/win32_mouse_hook.h"
#include "platform/win32/runtime/win32_popup.h"

namespace nx::win32 {

namespace {

// A tooltip window of comctl32; destroyed with the object.
class Win32TooltipWindow final : public TooltipWindow {
 public:
  explicit Win32TooltipWindow(HWND window) : window_(window) {}
  ~Win32TooltipWindow() override {
    if (IsWindow(window_)) DestroyWindow(window_);
  }
  Win32TooltipWindow(const Win32TooltipWindow&) = delete;
  Win32TooltipWindow& operator=(const Win32TooltipWindow&) = delete;

  WindowHandle handle() const override { return reinterpret_cast<WindowHandle>(window_); }
  std::uint32_t toolInfoSize() const override { return TTTOOLINFOW_V2_SIZE; }

  bool setWindowPos(WindowHandle insertAfter, std::int32_t x, std::int32_t y, std::int32_t cx,
                    std::int32_t cy, std::uint32_t flags) override {
    return SetWindowPos(window_, reinterpret_cast<HWND>(insertAfter), x, y, cx, cy, flags) != 0;
  }

  // Texts are UTF-8: messages that carry one are sent in their wide form, so that names with
  // accents show as they are whatever the system's code page.
  std::intptr_t sendMessage(std::uint32_t message, std::uintptr_t wParam,
                            const TooltipParam& lParam) override {
    const UINT wide = wideMessage(message);
    LPARAM param = 0;
    std::wstring text;
    TTTOOLINFOW info = {};
    if (const auto* n = std::get_if<std::intptr_t>(&lParam)) {
      param = *n;
    } else if (const auto* s = std::get_if<std::string>(&lParam)) {
      if (!wide)
        return SendMessageA(window_, message, wParam, reinterpret_cast<LPARAM>(s->c_str()));
      text = toWide(*s);
      param = reinterpret_cast<LPARAM>(text.c_str());
    } else if (const auto* tool = std::get_if<ToolInfo>(&lParam)) {
      text = toWide(tool->text);
      info.cbSize = tool->size;
      info.uFlags = tool->flags;
      info.hwnd = reinterpret_cast<HWND>(tool->window);
      info.uId = tool->id;
      info.rect = {tool->rect.left, tool->rect.top, tool->rect.right, tool->rect.bottom};
      info.hinst = reinterpret_cast<HINSTANCE>(tool->instance);
      info.lpszText = text.data();
      param = reinterpret_cast<LPARAM>(&info);
    }
    return SendMessageW(window_, wide ? wide : message, wParam, param);
  }

 private:
  static UINT wideMessage(std::uint32_t message) {
    switch (message) {
      case TTM_ADDTOOLA:
        return TTM_ADDTOOLW;
      case TTM_DELTOOLA:
        return TTM_DELTOOLW;
      case TTM_NEWTOOLRECTA:
        return TTM_NEWTOOLRECTW;
      case TTM_UPDATETIPTEXTA:
        return TTM_UPDATETIPTEXTW;
      case TTM_SETTITLEA:
        return TTM_SETTITLEW;
      default:
        return 0;
    }
  }

 private:
  HWND window_;
};

std::wstring resourceName(std::string_view name) {
  return toWide(name);
}

}  // namespace

std::optional<Rgb> Win32Services::translateOleColor(OleColor color) const {
  COLORREF rgb = 0;
  if (FAILED(OleTranslateColor(static_cast<OLE_COLOR>(color), nullptr, &rgb))) return std::nullopt;
  return static_cast<Rgb>(rgb);
}

FontRef Win32Services::createFont(const FontDesc& desc) {
  return OleFont::create(desc);
}

std::vector<std::wstring> resourceCandidates(std::string_view name) {
  std::vector<std::wstring> out;
  WindowDc screen(nullptr);
  const int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 96;
  const wchar_t* suffix = dpi >= 192   ? L"_200"
                          : dpi >= 144 ? L"_150"
                          : dpi >= 120 ? L"_125"
                                       : nullptr;
  if (suffix) out.push_back(resourceName(name) + suffix);
  out.push_back(resourceName(name));
  return out;
}

PictureRef Win32Services::loadResourcePicture(std::string_view name) {
  for (const std::wstring& id : resourceCandidates(name))
    if (PictureRef picture = loadPictureResource(id)) return picture;
  return nullptr;
}

PictureRef Win32Services::loadPictureResource(const std::wstring& id) {
  HANDLE bitmap =
      LoadImageW(Module::instance(), id.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
  if (bitmap) return OlePicture::fromBitmap(static_cast<HBITMAP>(bitmap));
  // An icon resource of that name, at its own size, as an icon picture (drawn with its mask).
  HICON icon = static_cast<HICON>(LoadImageW(Module::instance(), id.c_str(), IMAGE_ICON, 0, 0, 0));
  if (!icon) return nullptr;
  PICTDESC pd = {};
  pd.cbSizeofstruct = sizeof(PICTDESC);
  pd.picType = PICTYPE_ICON;
  pd.icon.hicon = icon;
  ComPtr<IPicture> picture;
  if (FAILED(OleCreatePictureIndirect(&pd, IID_IPicture, TRUE, picture.putVoid())) || !picture) {
    DestroyIcon(icon);
    return nullptr;
  }
  return std::make_shared<OlePicture>(std::move(picture));
}

CursorRef Win32Services::loadResourceCursor(std::string_view name) {
  const std::wstring id = resourceName(name);
  HCURSOR cursor = LoadCursorW(Module::instance(), id.c_str());
  if (!cursor) return nullptr;
  return std::make_shared<Win32Cursor>(cursor);
}

CursorRef Win32Services::systemHandCursor() {
  HCURSOR cursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND));
  if (!cursor) return nullptr;
  return std::make_shared<Win32Cursor>(cursor);
}

std::uintptr_t Win32Services::moduleInstance() const {
  return reinterpret_cast<std::uintptr_t>(Module::instance());
}

void Win32Services::initCommonControls() {
  INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
}

std::unique_ptr<TooltipWindow> Win32Services::createTooltipWindow(const TooltipWindowParams& desc) {
  HWND window = CreateWindowExA(
      desc.exStyle, desc.className.c_str(), desc.windowText.c_str(), desc.style, desc.x, desc.y,
      desc.width, desc.height, reinterpret_cast<HWND>(desc.owner),
      reinterpret_cast<HMENU>(desc.menu), reinterpret_cast<HINSTANCE>(desc.instance), nullptr);
  if (!window) throw HostError("cannot create the tooltip window");
  return std::make_unique<Win32TooltipWindow>(window);
}

std::optional<Rect> Win32Services::clientRect(WindowHandle window) const {
  RECT rc;
  if (!GetClientRect(reinterpret_cast<HWND>(window), &rc)) return std::nullopt;
  return Rect{rc.left, rc.top, rc.right, rc.bottom};
}

std::optional<Rect> Win32Services::workArea(Point screen) const {
  HMONITOR monitor = MonitorFromPoint(POINT{screen.x, screen.y}, MONITOR_DEFAULTTONEAREST);
  MONITORINFO info = {};
  info.cbSize = sizeof(info);
  if (!monitor || !GetMonitorInfoW(monitor, &info)) return std::nullopt;
  const RECT& r = info.rcWork;
  return Rect{r.left, r.top, r.right, r.bottom};
}

bool Win32Services::shellOpen(std::string_view target, WindowHandle owner,
                              std::string_view workingFolder) {
  const std::wstring wide = toWide(target);
  const std::wstring folder = toWide(workingFolder);
  // The default action of the address (no verb), as a click on it in the shell does.
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(reinterpret_cast<HWND>(owner), nullptr, wide.c_str(), nullptr,
                    folder.empty() ? nullptr : folder.c_str(), SW_SHOWNORMAL));
  return result > 32;
}

std::unique_ptr<PopupWindow> Win32Services::createPopupWindow(const PopupParams& params,
                                                              PopupCallbacks callbacks) {
  return win32::createPopupWindow(params, std::move(callbacks));
}

std::unique_ptr<MouseHook> Win32Services::installMouseHook(MouseHookCallback callback) {
  return installThreadMouseHook(std::move(callback));
}

std::unique_ptr<DeviceContext> Win32Services::deviceContextFor(std::intptr_t handle) {
  return ClientDc::borrow(reinterpret_cast<HDC>(handle));
}

}  // namespace nx::win32
