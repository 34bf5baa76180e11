// NxGradFrame: a frame with a two-colour gradient background, an optional flat or etched border
// and a caption in a tab with a slanted side in one of the four corners. It forwards the mouse
// events of its surface and a Resize event to the host.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/control/control.h"
#include "widgets/gradframe/grad_frame_model.h"

namespace nx {

class NxGradFrame : public Control<NxGradFrame> {
 public:
  explicit NxGradFrame(ControlSite& site);

  // _NxGradFrame and __NxGradFrame: `Enabled` is the default property, `Click` the default
  // event.
  static const ClassTable<NxGradFrame>& classTable();

  std::int32_t hWnd() const;
  FontRef font() const;
  void setFont(FontRef font);
  const std::string& caption() const { return s_.caption; }
  void setCaption(std::string caption);
  std::int32_t captionAlignment() const { return s_.captionAlignment; }
  void setCaptionAlignment(std::int32_t v);
  bool captionTextCentered() const { return s_.captionTextCentered; }
  void setCaptionTextCentered(bool v);
  std::int32_t captionWidth() const { return s_.captionWidth; }
  void setCaptionWidth(std::int32_t twips);
  std::int32_t captionHeight() const { return s_.captionHeight; }
  void setCaptionHeight(std::int32_t twips);
  bool enabled() const;
  void setEnabled(bool on);
  std::int32_t appearance() const { return s_.appearance; }
  void setAppearance(std::int32_t v);
  std::int32_t borderStyle() const { return s_.borderStyle; }
  void setBorderStyle(std::int32_t v);
  OleColor borderColor() const { return s_.borderColor.value(); }
  void setBorderColor(OleColor c);
  OleColor foreColor() const { return s_.foreColor.value(); }
  void setForeColor(OleColor c);
  OleColor colorA() const { return s_.colorA.value(); }
  void setColorA(OleColor c);
  OleColor colorB() const { return s_.colorB.value(); }
  void setColorB(OleColor c);
  std::int32_t orientation() const { return s_.orientation; }
  void setOrientation(std::int32_t v);
  const nx::Value& xtrVar() const { return s_.xtrVar; }
  void setXtrVar(const nx::Value& v);

  // Transient state, for tests.
  const gradframe::GradFrameState& state() const { return s_; }
  float drawWidthPx() const { return drawWidthPx_; }
  float drawHeightPx() const { return drawHeightPx_; }

 protected:
  void onInitProperties() override;
  void onLoaded() override;
  void onWriteProperties(PropertyBag& bag) const override;
  void onResize() override;
  void onClick() override;
  void onDblClick() override;
  void onMouseDown(std::int16_t button, std::int16_t shift, double x, double y) override;
  void onMouseMove(std::int16_t button, std::int16_t shift, double x, double y) override;
  void onMouseUp(std::int16_t button, std::int16_t shift, double x, double y) override;

 private:
  void changed(std::string_view key);
  void putColor(ColorProperty& color, OleColor value, std::string_view key);
  void forwardMouse(std::string_view event, std::int16_t button, std::int16_t shift, double x,
                    double y);
  void recordSizes();
  void redraw();

  gradframe::GradFrameState s_;
  float drawWidthPx_ = 0;
  float drawHeightPx_ = 0;
};

}  // namespace nx
