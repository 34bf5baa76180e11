// NxTracker: a scrolling value graph. The host feeds it a value; the control keeps one sample
// per pixel column of its width with a moving average and draws them, the newest at the right,
// over a two-colour background with an optional grid, a marker line and a caption. Samples come
// with every accepted Value or, with a positive RefreshInterval, from the library's timer.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/control/control.h"
#include "core/support/color_funcs.h"
#include "slider/tracker/sample_buffer.h"
#include "slider/tracker/tracker_paint.h"
#include "slider/tracker/tracker_timer.h"
#include "slider/tracker/tracker_types.h"

namespace nx {

struct TrackerState {
  std::int32_t alignment = aaTopLeft;
  std::int32_t appearance = ap3D;
  std::int32_t borderStyle = bsFixedSingle;
  std::string caption;
  std::int32_t style = gsLine;
  ColorProperty averageColor{0x008080};
  ColorProperty backColorBottom{0x003300};
  ColorProperty backColorTop{0};
  ColorProperty foreColor{0xFFFFFF};
  ColorProperty gridColor{0x003300};
  ColorProperty lineColor{0x00FF00};
  ColorProperty markerColor{0x000080};
  std::int16_t refreshInterval = 0;
  bool enabled = true;
  bool average = false;
  std::int32_t gridStyle = gdsNone;
  std::int16_t gridBlockSize = 20;
  std::int32_t value = 0;
  std::int32_t initValue = 0;
  std::int32_t max = 100;
  std::int32_t min = 0;
  std::int32_t markerStyle = msNone;
  std::int32_t markerValue = 50;
  std::string markerLabel;
  FontRef markerFont;
  Value xtrVar;
};

class NxTracker : public Control<NxTracker> {
 public:
  // Smallest size a layout leaves, in twips.
  static constexpr double kMinimumWidth = 300;
  static constexpr double kMinimumHeight = 195;

  explicit NxTracker(ControlSite& site);
  ~NxTracker() override;

  // _NxTracker and __NxTracker (no events): `Value` is the default property.
  static const ClassTable<NxTracker>& classTable();

  std::int32_t hwnd() const;
  std::int32_t alignment() const { return s_.alignment; }
  void setAlignment(std::int32_t alignment);
  std::int32_t appearance() const { return s_.appearance; }
  void setAppearance(std::int32_t appearance);
  std::int32_t borderStyle() const { return s_.borderStyle; }
  void setBorderStyle(std::int32_t style);
  std::string caption() const { return s_.caption; }
  void setCaption(std::string caption);
  FontRef font() const;
  void setFont(FontRef font);
  std::int32_t style() const { return s_.style; }
  void setStyle(std::int32_t style);
  OleColor averageColor() const { return s_.averageColor.value(); }
  void setAverageColor(OleColor color);
  OleColor backColorBottom() const { return s_.backColorBottom.value(); }
  void setBackColorBottom(OleColor color);
  OleColor backColorTop() const { return s_.backColorTop.value(); }
  void setBackColorTop(OleColor color);
  OleColor foreColor() const { return s_.foreColor.value(); }
  void setForeColor(OleColor color);
  OleColor gridColor() const { return s_.gridColor.value(); }
  void setGridColor(OleColor color);
  OleColor lineColor() const { return s_.lineColor.value(); }
  void setLineColor(OleColor color);
  OleColor markerColor() const { return s_.markerColor.value(); }
  void setMarkerColor(OleColor color);
  std::int16_t refreshInterval() const { return s_.refreshInterval; }
  void setRefreshInterval(std::int16_t ms);
  bool enabled() const { return s_.enabled; }
  void setEnabled(bool on);
  bool average() const { return s_.average; }
  void setAverage(bool on);
  std::int32_t gridStyle() const { return s_.gridStyle; }
  void setGridStyle(std::int32_t style);
  std::int16_t gridBlockSize() const { return s_.gridBlockSize; }
  void setGridBlockSize(std::int16_t percent);
  std::int32_t value() const { return s_.value; }
  void setValue(std::int32_t v);
  std::int32_t initValue() const { return s_.initValue; }
  void setInitValue(std::int32_t v);
  std::int32_t max() const { return s_.max; }
  void setMax(std::int32_t v);
  std::int32_t min() const { return s_.min; }
  void setMin(std::int32_t v);
  std::int32_t markerStyle() const { return s_.markerStyle; }
  void setMarkerStyle(std::int32_t style);
  std::int32_t markerValue() const { return s_.markerValue; }
  void setMarkerValue(std::int32_t v);
  std::string markerLabel() const { return s_.markerLabel; }
  void setMarkerLabel(std::string label);
  FontRef markerFont() const { return s_.markerFont; }
  void setMarkerFont(FontRef font);
  const Value& xtrVar() const { return s_.xtrVar; }
  void setXtrVar(const Value& v);

  // Transient state, for the host glue and tests.
  const SampleBuffer& samples() const { return samples_; }
  std::int32_t bufferLength() const { return samples_.size(); }
  double captionWidth() const { return captionWidth_; }
  double captionHeight() const { return captionHeight_; }
  // Whether the library's running timer is this control's.
  bool ownsRunningTimer() const;
  const TrackerCanvas& canvas() const { return canvas_; }
  // What the next drawing is given.
  TrackerLook look() const;

 protected:
  void describeAccessible(AccessibleNode& node) const override;
  void onInitialize() override;
  void onInitProperties() override;
  void onReadProperties(PropertyBag& bag) override;
  void onResize() override { layOut(); }
  void onTerminate() override;

 private:
  bool runMode() const;
  // After a put: redraw (when the put redraws) and notify, both unless loading.
  void changed(std::string_view key, bool redrawAfter);
  void measureCaption();
  void layOut();
  void redraw();
  void redrawAfterSample();
  void onTimer();

  TrackerState s_;
  SampleBuffer samples_;
  TrackerCanvas canvas_;
  std::shared_ptr<TrackerTimer> timer_;
  double captionWidth_ = 0;
  double captionHeight_ = 0;
  bool loading_ = false;      // ReadProperties is reading the store
  bool layoutGuard_ = false;  // the layout enforces the minimum size
  bool firstLayout_ = true;   // no layout in run mode yet
};

}  // namespace nx
