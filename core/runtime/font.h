// Font object: the host platform's font, shared by reference between the control, its window and
// the host.
#pragma once

#include <memory>
#include <string>

namespace nx {

struct FontDesc {
  std::string name = "MS Sans Serif";
  double size = 8.25;  // points
  bool bold = false;
  bool italic = false;
  bool underline = false;
  friend bool operator==(const FontDesc&, const FontDesc&) = default;
};

class Font {
 public:
  virtual ~Font() = default;
  virtual std::string name() const = 0;
  virtual void setName(const std::string& name) = 0;
  virtual double size() const = 0;
  virtual void setSize(double points) = 0;
  virtual bool bold() const = 0;
  virtual void setBold(bool on) = 0;
  virtual bool italic() const = 0;
  virtual void setItalic(bool on) = 0;
  virtual bool underline() const = 0;
  virtual void setUnderline(bool on) = 0;

  FontDesc describe() const { return FontDesc{name(), size(), bold(), italic(), underline()}; }
};

using FontRef = std::shared_ptr<Font>;

}  // namespace nx
