// NxProgressBar: a value between a minimum and a maximum shown as a gradient bar, horizontal or
// vertical, soft or tube lit, with five built-in colour themes. Host notifications are sent only
// at design time.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/control/control.h"
#include "widgets/progressbar/progress_bar_model.h"

namespace nx {

class NxProgressBar : public Control<NxProgressBar> {
 public:
  // Smallest drawing width and height, in twips.
  static constexpr double kMinimumSize = 60.0;

  explicit NxProgressBar(ControlSite& site);

  // _NxProgressBar and __NxProgressBar: `Value` is the default property, `Change` the default
  // event.
  static const ClassTable<NxProgressBar>& classTable();

  std::int32_t hWnd() const;
  std::int32_t theme() const { return s_.theme; }
  void setTheme(std::int32_t theme);
  PictureRef image() const;
  std::int32_t appearance() const { return s_.appearance; }
  void setAppearance(std::int32_t value);
  std::int32_t borderStyle() const { return s_.borderStyle; }
  void setBorderStyle(std::int32_t value);
  OleColor borderColor() const { return s_.borderColor.value(); }
  void setBorderColor(OleColor color);
  OleColor barColor() const { return s_.barColor.value(); }
  void setBarColor(OleColor color);
  OleColor backColor() const { return s_.backColor.value(); }
  void setBackColor(OleColor color);
  OleColor lightColor() const { return s_.lightColor.value(); }
  void setLightColor(OleColor color);
  std::int32_t lightStyle() const { return s_.lightStyle; }
  void setLightStyle(std::int32_t value);
  std::int32_t orientation() const { return s_.orientation; }
  void setOrientation(std::int32_t value);
  std::int32_t minValue() const { return s_.minValue; }
  void setMinValue(std::int32_t v);
  std::int32_t maxValue() const { return s_.maxValue; }
  void setMaxValue(std::int32_t v);
  std::int32_t value() const { return s_.value; }
  void setValue(std::int32_t v);
  float percentage() const { return s_.percentage; }
  const nx::Value& xtrVar() const { return s_.xtrVar; }
  void setXtrVar(const nx::Value& v);

  // Transient state, for the host glue and tests.
  bool designMode() const { return design_; }
  std::int32_t drawWidthPx() const { return drawWidthPx_; }
  std::int32_t drawHeightPx() const { return drawHeightPx_; }
  const ProgressBarState& state() const { return s_; }

 protected:
  void describeAccessible(AccessibleNode& node) const override;
  void onInitProperties() override;
  void onLoaded() override;
  void onResize() override;
  void onClick() override;
  void onDblClick() override;
  bool notificationsEnabled() const override { return design_; }

 private:
  void putColor(ColorProperty& color, OleColor value, std::string_view key);
  void applyTheme(std::int32_t theme, bool redraw);
  void resetTheme();
  void recordSizes();
  void redraw();

  ProgressBarState s_;
  bool design_ = false;
  double drawWidthTw_ = 0;
  double drawHeightTw_ = 0;
  std::int32_t drawWidthPx_ = 0;
  std::int32_t drawHeightPx_ = 0;
};

}  // namespace nx
