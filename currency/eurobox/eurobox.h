// NxEuroBox: an entry box for money amounts. A single-line digits box filters the typed keys,
// shows negative amounts in red, groups thousands when the focus leaves and ungroups them when
// it comes back; a symbol label follows it and a flat border may frame both. Boxes on one form
// with the same Group add their members up into their result boxes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/control/control.h"
#include "core/runtime/parts.h"
#include "core/support/color_funcs.h"
#include "core/support/tooltip.h"
#include "core/support/tooltip_settings.h"
#include "currency/eurobox/amount.h"
#include "currency/eurobox/eurobox_types.h"

namespace nx {

struct EuroBoxState {
  Currency amount;
  std::int16_t decimalPlaces = 2;
  std::int16_t maxLeftDigits = 9;
  std::string symbol = eurobox::kDefaultSymbol;
  bool redNegatives = true;
  std::string group;
  std::int32_t groupRole = grNone;
  std::int32_t borderStyle = bs3D;
  ColorProperty borderColor{0};
  ColorProperty backColor{0xFFFFFF};
  ColorProperty foreColor{0};
  ColorProperty symbolColor{0};
  bool enabled = true;
  Value xtrVar;
  std::string exProp;
  TooltipSettings tooltip;
};

class NxEuroBox : public Control<NxEuroBox> {
 public:
  // Part names on the control window.
  static constexpr const char* kDigitsPart = "txtDigits";
  static constexpr const char* kSymbolPart = "lblSymbol";
  static constexpr const char* kBorderPart = "shpBorder";

  explicit NxEuroBox(ControlSite& site);
  ~NxEuroBox() override;

  // _NxEuroBox and __NxEuroBox: `Value` is the default property, `Change` the default event.
  static const ClassTable<NxEuroBox>& classTable();

  std::int32_t hWnd() const;
  std::string exProp() const { return s_.exProp; }
  void setExProp(std::string text);
  FontRef font() const;
  void setFont(FontRef font);
  std::int32_t borderStyle() const { return s_.borderStyle; }
  void setBorderStyle(std::int32_t style);
  OleColor borderColor() const { return s_.borderColor.value(); }
  void setBorderColor(OleColor color);
  OleColor backColor() const { return s_.backColor.value(); }
  void setBackColor(OleColor color);
  OleColor foreColor() const { return s_.foreColor.value(); }
  void setForeColor(OleColor color);
  OleColor symbolColor() const { return s_.symbolColor.value(); }
  void setSymbolColor(OleColor color);
  // The amount as a double; the box keeps it as an exact currency value.
  double value() const;
  Currency amount() const { return s_.amount; }
  // A double from the interface or a currency value from the store. Outside the currency
  // range, NaN and infinity raise OverflowError and change nothing.
  void setValue(const Value& v);
  bool redNegatives() const { return s_.redNegatives; }
  void setRedNegatives(bool on);
  const Value& xtrVar() const { return s_.xtrVar; }
  void setXtrVar(const Value& v);
  std::string symbol() const { return s_.symbol; }
  void setSymbol(std::string symbol);
  std::int16_t maxLeftDigits() const { return s_.maxLeftDigits; }
  void setMaxLeftDigits(std::int16_t digits);
  std::string group() const { return s_.group; }
  void setGroup(std::string group);
  std::int32_t groupRole() const { return s_.groupRole; }
  void setGroupRole(std::int32_t role);
  std::int16_t decimalPlaces() const { return s_.decimalPlaces; }
  void setDecimalPlaces(std::int16_t decimals);
  std::string text() const;
  bool enabled() const { return s_.enabled; }
  void setEnabled(bool on);

  // For the host glue and tests.
  const EuroBoxState& state() const { return s_; }
  TextBoxPart& digits() const { return *digits_; }
  LabelPart& symbolLabel() const { return *symbol_; }
  ShapePart& flatBorder() const { return *border_; }
  const CTooltip* boxTooltip() const { return tooltip_.get(); }
  // The host's tooltip text as the digits box shows it as its own plain tip.
  const std::string& digitsToolTip() const { return digitsTip_; }

 protected:
  void describeAccessible(AccessibleNode& node) const override;
  void onInitProperties() override;
  void onReadProperties(PropertyBag& bag) override;
  void onResize() override { layOut(); }
  void onFocusChanged() override;
  void onTerminate() override;
  void onClick() override;
  void onDblClick() override;
  void onMouseDown(std::int16_t button, std::int16_t shift, double x, double y) override;
  bool notificationsEnabled() const override { return !loading_; }

 private:
  void makeParts();
  void onKey(char32_t& ch);
  void onTextChanged();
  void onDigitsGotFocus();
  void reformat();
  void raiseChange();
  void updateGroup();
  std::vector<NxEuroBox*> formBoxes();
  void raiseMouse(std::string_view event, const PartMouse& m);
  void applyColors();
  void layOut();
  void redraw();
  void updateTooltip();

  EuroBoxState s_;
  TextBoxPart* digits_ = nullptr;
  LabelPart* symbol_ = nullptr;
  ShapePart* border_ = nullptr;
  eurobox::Rounder rounder_;
  bool layoutGuard_ = false;
  bool reformatGuard_ = false;
  bool loading_ = false;
  bool drawing_ = false;
  bool downOnSymbol_ = false;
  bool digitsPressed_ = false;
  std::string digitsTip_;
  std::unique_ptr<CTooltip> tooltip_;
};

}  // namespace nx
