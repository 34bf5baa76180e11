#include "platform/win32/runtime/ole_objects.h"

#include <cmath>

#include "platform/win32/com/bstr.h"

namespace nx::win32 {

namespace {

int screenDpiX() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

int screenDpiY() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

}  // namespace

std::shared_ptr<OleFont> OleFont::create(const FontDesc& desc) {
  const std::wstring name = toWide(desc.name);
  FONTDESC fd = {};
  fd.cbSizeofstruct = sizeof(FONTDESC);
  fd.lpstrName = const_cast<LPOLESTR>(name.c_str());
  fd.cySize.int64 = static_cast<LONGLONG>(std::llround(desc.size * 10000.0));
  fd.sWeight = static_cast<SHORT>(desc.bold ? FW_BOLD : FW_NORMAL);
  fd.sCharset = DEFAULT_CHARSET;
  fd.fItalic = desc.italic;
  fd.fUnderline = desc.underline;
  ComPtr<IFont> font;
  if (FAILED(OleCreateFontIndirect(&fd, IID_IFont, font.putVoid())) || !font) return nullptr;
  return std::make_shared<OleFont>(std::move(font));
}

std::string OleFont::name() const {
  BSTR b = nullptr;
  if (FAILED(font_->get_Name(&b))) return {};
  std::string s = toUtf8(b);
  SysFreeString(b);
  return s;
}

void OleFont::setName(const std::string& name) {
  Bstr b = Bstr::fromUtf8(name);
  font_->put_Name(b.get());
}

double OleFont::size() const {
  CY cy = {};
  font_->get_Size(&cy);
  return static_cast<double>(cy.int64) / 10000.0;
}

void OleFont::setSize(double points) {
  CY cy = {};
  cy.int64 = static_cast<LONGLONG>(std::llround(points * 10000.0));
  font_->put_Size(cy);
}

bool OleFont::bold() const {
  BOOL b = FALSE;
  font_->get_Bold(&b);
  return b != FALSE;
}
void OleFont::setBold(bool on) {
  font_->put_Bold(on);
}

bool OleFont::italic() const {
  BOOL b = FALSE;
  font_->get_Italic(&b);
  return b != FALSE;
}
void OleFont::setItalic(bool on) {
  font_->put_Italic(on);
}

bool OleFont::underline() const {
  BOOL b = FALSE;
  font_->get_Underline(&b);
  return b != FALSE;
}
void OleFont::setUnderline(bool on) {
  font_->put_Underline(on);
}

ComPtr<IFontDisp> OleFont::dispatch() const {
  return font_.as<IFontDisp>(IID_IFontDisp);
}

HFONT OleFont::handle() const {
  HFONT h = nullptr;
  font_->get_hFont(&h);
  return h;
}

std::shared_ptr<OlePicture> OlePicture::fromBitmap(HBITMAP bitmap) {
  PICTDESC pd = {};
  pd.cbSizeofstruct = sizeof(PICTDESC);
  pd.picType = PICTYPE_BITMAP;
  pd.bmp.hbitmap = bitmap;
  ComPtr<IPicture> picture;
  if (FAILED(OleCreatePictureIndirect(&pd, IID_IPicture, TRUE, picture.putVoid())) || !picture) {
    DeleteObject(bitmap);
    return nullptr;
  }
  return std::make_shared<OlePicture>(std::move(picture));
}

std::int32_t OlePicture::widthHimetric() const {
  OLE_XSIZE_HIMETRIC w = 0;
  picture_->get_Width(&w);
  return w;
}

std::int32_t OlePicture::heightHimetric() const {
  OLE_YSIZE_HIMETRIC h = 0;
  picture_->get_Height(&h);
  return h;
}

std::int32_t OlePicture::widthPixels() const {
  return static_cast<std::int32_t>(
      std::lround(static_cast<double>(widthHimetric()) * screenDpiX() / kHimetricPerInch));
}

std::int32_t OlePicture::heightPixels() const {
  return static_cast<std::int32_t>(
      std::lround(static_cast<double>(heightHimetric()) * screenDpiY() / kHimetricPerInch));
}

ComPtr<IPictureDisp> OlePicture::dispatch() const {
  return picture_.as<IPictureDisp>(IID_IPictureDisp);
}

std::shared_ptr<OleFont> asOleFont(const FontRef& font) {
  if (!font) return nullptr;
  if (auto ole = std::dynamic_pointer_cast<OleFont>(font)) return ole;
  return OleFont::create(font->describe());
}

}  // namespace nx::win32
