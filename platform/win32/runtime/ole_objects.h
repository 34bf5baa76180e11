// The platform's font and picture objects behind the runtime's Font and Picture.
#pragma once

#include <windows.h>

#include <ocidl.h>
#include <olectl.h>

#include "core/runtime/font.h"
#include "core/runtime/picture.h"
#include "platform/win32/com/com_ptr.h"

namespace nx::win32 {

// A standard OLE font object. Changes made through either side are seen by both.
class OleFont final : public Font {
 public:
  explicit OleFont(ComPtr<IFont> font) : font_(std::move(font)) {}
  static std::shared_ptr<OleFont> create(const FontDesc& desc);

  std::string name() const override;
  void setName(const std::string& name) override;
  double size() const override;
  void setSize(double points) override;
  bool bold() const override;
  void setBold(bool on) override;
  bool italic() const override;
  void setItalic(bool on) override;
  bool underline() const override;
  void setUnderline(bool on) override;

  IFont* font() const { return font_.get(); }
  ComPtr<IFontDisp> dispatch() const;
  // A GDI font handle owned by the font object (valid while it lives).
  HFONT handle() const;

 private:
  ComPtr<IFont> font_;
};

// A standard OLE picture object.
class OlePicture final : public Picture {
 public:
  explicit OlePicture(ComPtr<IPicture> picture) : picture_(std::move(picture)) {}
  // Takes ownership of a bitmap handle.
  static std::shared_ptr<OlePicture> fromBitmap(HBITMAP bitmap);

  std::int32_t widthHimetric() const override;
  std::int32_t heightHimetric() const override;
  std::int32_t widthPixels() const override;
  std::int32_t heightPixels() const override;

  IPicture* picture() const { return picture_.get(); }
  ComPtr<IPictureDisp> dispatch() const;

 private:
  ComPtr<IPicture> picture_;
};

// The OLE font for a runtime font: the same object when it is one, else a new one with the
// same description.
std::shared_ptr<OleFont> asOleFont(const FontRef& font);

}  // namespace nx::win32
