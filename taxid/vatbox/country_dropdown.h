// The drop-down of NxVATNumber: a pop-up list of the member states under the control, one row
// per state with its flag and code, a highlight that follows the mouse and the arrow keys, a
// vertical scroll bar, and the highlighted state's name as the list's tooltip. Shown modally;
// it answers the chosen code, or "" when it was closed without a choice.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/runtime/accessible.h"
#include "core/runtime/color.h"
#include "core/runtime/parts.h"
#include "core/runtime/picture.h"
#include "core/runtime/popup.h"
#include "core/support/area_tooltip.h"
#include "taxid/vatbox/country_list.h"

namespace nx {

class SystemServices;

namespace vatbox {

struct DropDownOptions {
  WindowHandle owner = 0;
  Rect bounds;  // screen pixels
  double twipsPerPixelX = 15;
  double twipsPerPixelY = 15;
  int language = 0;  // NX_LANG of the tooltip names
  Rgb frameColor = 0;
  FontRef font;                   // of the codes; nullptr: the surface's
  std::vector<PictureRef> flags;  // one per row; empty entries draw nothing
};

// Colours of the list.
inline constexpr Rgb kListBack = 0xFFFFFF;
inline constexpr Rgb kHighlight = 0xFFE8CC;  // a light blue, as list hover colours go
inline constexpr Rgb kCodeColor = 0x000000;

class CountryDropDown {
 public:
  // Creates the hidden window and lays out the rows; raises HostError when the platform
  // refuses the window.
  CountryDropDown(SystemServices& services, DropDownOptions options);
  ~CountryDropDown();
  CountryDropDown(const CountryDropDown&) = delete;
  CountryDropDown& operator=(const CountryDropDown&) = delete;

  // Shows the list and returns when it is hidden again: the chosen code or "".
  std::string showModal();
  // Hides the list without touching its result (the mouse hook's close).
  void hide();
  // Clears the result and hides the list.
  void cancel();

  bool visible() const;
  const std::string& result() const { return result_; }
  Rect bounds() const;
  WindowHandle handle() const;
  const CountryList& list() const { return list_; }
  // The tooltip of the list: the highlighted state's name.
  const std::string& toolTip() const { return tipText_; }
  const AreaTooltip* tooltip() const { return tip_.get(); }
  PopupWindow& window() { return *popup_; }
  // The list and its rows as accessibility clients see them (twips of the pop-up).
  AccessibleNode accessible() const;
  // Chooses a row as a click on it does: the result is its code and the list closes.
  void choose(int row);
  ScrollBarPart& scrollBar() { return *bar_; }

 private:
  void load();
  void onMouse(const PopupMouseEvent& e);
  void onKey(std::uint16_t key);
  void accept();
  void placeRows();
  void showHighlight();
  void updateToolTip();
  void redraw();
  void flush();

  SystemServices& services_;
  DropDownOptions o_;
  CountryList list_;
  std::unique_ptr<PopupWindow> popup_;
  std::unique_ptr<AreaTooltip> tip_;
  std::vector<PicturePart*> flags_;
  std::vector<LabelPart*> codes_;
  LabelPart* highlight_ = nullptr;
  LabelPart* capture_ = nullptr;
  ShapePart* frame_ = nullptr;
  ScrollBarPart* bar_ = nullptr;
  std::string result_;
  std::string tipText_;
  bool pressed_ = false;
  bool dragging_ = false;
  bool dirty_ = false;
  bool batch_ = false;
};

}  // namespace vatbox
}  // namespace nx
