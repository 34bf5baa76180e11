// NxMeter: a segmented level meter. As many segments are lit as the value's share of the range,
// coloured by their position in three zones; the control snaps its length so that the segments
// fit exactly, and redraws on a value change only when the lit count changes.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "core/control/control.h"
#include "widgets/meter/meter_model.h"

namespace nx {

class NxMeter : public Control<NxMeter> {
 public:
  explicit NxMeter(ControlSite& site);

  // _NxMeter and __NxMeter: `Value` is the default property, `Change` the default event.
  static const ClassTable<NxMeter>& classTable();

  std::int32_t hWnd() const;
  OleColor colorOff() const { return s_.colorOff.value(); }
  void setColorOff(OleColor c);
  OleColor colorL0() const { return s_.colorL0.value(); }
  void setColorL0(OleColor c);
  OleColor colorL1() const { return s_.colorL1.value(); }
  void setColorL1(OleColor c);
  OleColor colorL2() const { return s_.colorL2.value(); }
  void setColorL2(OleColor c);
  OleColor backColor() const { return s_.backColor.value(); }
  void setBackColor(OleColor c);
  PictureRef image() const;
  std::int32_t appearance() const { return s_.appearance; }
  void setAppearance(std::int32_t v);
  std::int32_t borderStyle() const { return s_.borderStyle; }
  void setBorderStyle(std::int32_t v);
  std::int32_t orientation() const { return s_.orientation; }
  void setOrientation(std::int32_t v);
  std::int32_t steps() const { return s_.steps; }
  // Raises ConversionError (overflow) for an accepted count beyond the 16-bit range.
  void setSteps(std::int32_t v);
  std::int16_t level1StartPc() const { return s_.level1StartPc; }
  void setLevel1StartPc(std::int16_t v);
  std::int16_t level2StartPc() const { return s_.level2StartPc; }
  void setLevel2StartPc(std::int16_t v);
  std::int32_t minValue() const { return s_.minValue; }
  void setMinValue(std::int32_t v);
  std::int32_t maxValue() const { return s_.maxValue; }
  void setMaxValue(std::int32_t v);
  std::int32_t value() const { return s_.value; }
  void setValue(std::int32_t v);
  const nx::Value& xtrVar() const { return s_.xtrVar; }
  void setXtrVar(const nx::Value& v);
  float percentage() const { return s_.percentage; }

  // drawApiRect: a rectangle on the client's device context `dcHandle`. Colours are OLE
  // colours; -1 leaves that part unpainted (the fill's default). Raises HostError when the
  // handle names no device context.
  void drawApiRect(std::intptr_t dcHandle, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                   std::int32_t y2, OleColor outline, OleColor fill);

  // Transient state, for the host glue and tests.
  const meter::MeterState& state() const { return s_; }
  std::int32_t segmentSizePx() const { return segment_; }
  const std::vector<Rect>& segments() const { return segments_; }
  std::int32_t drawnLit() const { return drawnLit_; }

 protected:
  void describeAccessible(AccessibleNode& node) const override;
  void onInitProperties() override;
  void onReadProperties(PropertyBag& bag) override;
  void onResize() override;
  void onClick() override;
  void onDblClick() override;

 private:
  void putColor(ColorProperty& color, OleColor value, std::string_view key);
  void layout();
  void redraw();
  std::optional<Rgb> drawingColor(OleColor c) const;

  meter::MeterState s_;
  std::int32_t segment_ = 0;
  std::vector<Rect> segments_;
  std::int32_t drawnLit_ = 0;
};

}  // namespace nx
