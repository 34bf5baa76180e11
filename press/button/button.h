// NxButton: an owner-drawn push button with a plain or gel gradient face, a 3D or flat border
// with square or chamfered corners, an outlined or shadowed caption with its access key, an
// optional icon, separate hover, pressed, focused and default looks, five colour themes, a
// tooltip and an optional hand pointer.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "core/control/control.h"
#include "core/control/thread_shared.h"
#include "core/support/tooltip.h"
#include "press/button/button_model.h"
#include "press/button/button_paint.h"

namespace nx {

// The hand pointer all buttons of a thread share, loaded when a button first needs it.
struct ButtonCursors {
  CursorRef hand;  // "HAND"
};

// Sizes the last layout recorded, in twips and in pixels.
struct ButtonLayout {
  double width = 0;
  double height = 0;
  double scaleWidth = 0;
  double scaleHeight = 0;
  std::int32_t widthPx = 0;
  std::int32_t heightPx = 0;
  std::int32_t scaleWidthPx = 0;
  std::int32_t scaleHeightPx = 0;
  IconSize icon;
  AlignmentClasses captionClasses;
  AlignmentClasses iconClasses;
};

class NxButton : public Control<NxButton> {
 public:
  struct SharedTag {};
  using Shared = ThreadShared<SharedTag, ButtonCursors>;

  // The host's mouse pointer numbers: its default arrow and the control's own icon.
  static constexpr std::int16_t kDefaultPointer = 0;
  static constexpr std::int16_t kCustomPointer = 99;
  // Chamfer of round corners, in pixels.
  static constexpr std::int32_t kCornerSize = 2;

  explicit NxButton(ControlSite& site);
  ~NxButton() override;

  // _NxButton and __NxButton: `Caption` is the default property.
  static const ClassTable<NxButton>& classTable();

  std::int32_t hWnd() const;
  std::string exProp() const { return s_.exProp; }
  void setExProp(std::string text);
  PictureRef retObj() const { return s_.retObj; }
  std::int32_t gradientStyle() const { return s_.gradientStyle; }
  void setGradientStyle(std::int32_t style);
  std::int32_t borderAppearance() const { return s_.borderAppearance; }
  void setBorderAppearance(std::int32_t appearance);
  std::int32_t borderStyle() const { return s_.borderStyle; }
  void setBorderStyle(std::int32_t style);
  std::int32_t cornerStyle() const { return s_.cornerStyle; }
  void setCornerStyle(std::int32_t style);
  OleColor borderColor() const { return s_.borderColor.value(); }
  void setBorderColor(OleColor color);
  std::string caption() const { return s_.caption; }
  void setCaption(std::string caption);
  FontRef font() const;
  void setFont(FontRef font);
  std::int32_t alignment() const { return s_.alignment; }
  void setAlignment(std::int32_t alignment);
  bool enabled() const;
  void setEnabled(bool on);
  bool autoSize() const { return s_.autoSize; }
  void setAutoSize(bool on);
  bool lightEffect() const { return s_.lightEffect; }
  void setLightEffect(bool on);
  bool bottomLine() const { return s_.bottomLine; }
  void setBottomLine(bool on);
  bool handPointer() const { return s_.handPointer; }
  void setHandPointer(bool on);
  std::int32_t cutStyle() const { return s_.cutStyle; }
  void setCutStyle(std::int32_t style);
  std::int32_t cutStrength() const { return s_.cutStrength; }
  void setCutStrength(std::int32_t strength);
  OleColor colorA() const { return s_.colorA.value(); }
  void setColorA(OleColor color);
  OleColor colorB() const { return s_.colorB.value(); }
  void setColorB(OleColor color);
  std::int32_t outline() const { return s_.outline; }
  void setOutline(std::int32_t style);
  OleColor outlineColor() const { return s_.outlineColor.value(); }
  void setOutlineColor(OleColor color);
  OleColor foreColor() const { return s_.foreColor.value(); }
  void setForeColor(OleColor color);
  OleColor hoverColorA() const { return s_.hoverColorA.value(); }
  void setHoverColorA(OleColor color);
  OleColor hoverColorB() const { return s_.hoverColorB.value(); }
  void setHoverColorB(OleColor color);
  OleColor hoverForeColor() const { return s_.hoverForeColor.value(); }
  void setHoverForeColor(OleColor color);
  OleColor hoverOutline() const { return s_.hoverOutline.value(); }
  void setHoverOutline(OleColor color);
  PictureRef icon() const { return s_.icon; }
  void setIcon(PictureRef picture);
  std::int32_t iconAlignment() const { return s_.iconAlignment; }
  void setIconAlignment(std::int32_t alignment);
  std::int16_t iconAdjustX() const { return s_.iconAdjustX; }
  void setIconAdjustX(std::int16_t pixels);
  std::int16_t iconAdjustY() const { return s_.iconAdjustY; }
  void setIconAdjustY(std::int16_t pixels);
  std::int32_t theme() const { return s_.theme; }
  void setTheme(std::int32_t theme);
  const nx::Value& xtrVar() const { return s_.xtrVar; }
  void setXtrVar(const nx::Value& v);

  char accessKey() const override { return accessKey_; }

  // Transient state, for the host glue and tests.
  const ButtonState& state() const { return s_; }
  const ButtonLayout& layout() const { return layout_; }
  const CTooltip* buttonTooltip() const { return tooltip_.get(); }
  // What the next drawing is given.
  ButtonLook look() const;

 protected:
  void describeAccessible(AccessibleNode& node) const override;
  void onInitialize() override;
  void onInitProperties() override;
  void onReadProperties(PropertyBag& bag) override;
  void onResize() override { layOut(); }
  void onFocusChanged() override;
  void onTerminate() override;
  void onMnemonic() override;
  void onAmbientChanged(std::string_view name) override;
  void onClick() override;
  void onDblClick() override;
  void onKeyDown(std::int16_t& keyCode, std::int16_t shift) override;
  void onKeyUp(std::int16_t& keyCode, std::int16_t shift) override;
  void onMouseDown(std::int16_t button, std::int16_t shift, double x, double y) override;
  void onMouseMove(std::int16_t button, std::int16_t shift, double x, double y) override;
  void onMouseUp(std::int16_t button, std::int16_t shift, double x, double y) override;

 private:
  void changed(std::string_view key, bool layOutAfter);
  void applyThemePreset(std::int32_t theme);
  void applyPointer();
  CursorRef handCursor();
  void trackPointer();
  void showTooltip();
  void raiseMouseButton(std::string_view event, std::int16_t button, std::int16_t shift, double x,
                        double y);
  void raiseIfEnabled(std::string_view event);
  void recordSizes();
  void layOut();
  void redraw();

  ButtonState s_;
  ButtonLayout layout_;
  char accessKey_ = 0;
  bool loading_ = false;
  std::unique_ptr<CTooltip> tooltip_;
  std::optional<ThreadSharedLease<SharedTag, ButtonCursors>> shared_;
};

}  // namespace nx
