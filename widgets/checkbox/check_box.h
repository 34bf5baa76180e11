// NxCheckBox: an owner-drawn check box with two-state, yes/no and three-state behaviour, a
// word-wrapped caption on either side of the box, an optional focus rectangle, an optional hover
// look (cursor, bold, underline, colour, tooltip), auto-sizing to its caption and an optional
// window shape cut out by a mask colour.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "core/control/control.h"
#include "core/control/thread_shared.h"
#include "core/support/mask_shaper.h"
#include "widgets/checkbox/check_box_model.h"

namespace nx {

// Pictures and the hover cursor that all check boxes of a thread draw with. Image n shows the
// value n - 1: 0 crossed, 1 empty, 2 ticked.
struct CheckBoxPictures {
  std::array<PictureRef, 3> enabled;   // "CHK_IMG1_0" .. "CHK_IMG1_2"
  std::array<PictureRef, 3> disabled;  // "CHK_IMG0_0" .. "CHK_IMG0_2"
  CursorRef hoverCursor;               // "CHECK", loaded on first need
};

class NxCheckBox : public Control<NxCheckBox> {
 public:
  struct SharedTag {};
  using Shared = ThreadShared<SharedTag, CheckBoxPictures>;

  // The host's mouse pointer numbers: its default arrow and the control's own icon.
  static constexpr std::int16_t kDefaultPointer = 0;
  static constexpr std::int16_t kCustomPointer = 99;

  explicit NxCheckBox(ControlSite& site);
  ~NxCheckBox() override;

  // _NxCheckBox and __NxCheckBox: `Value` is the default property, `Change` the default event.
  static const ClassTable<NxCheckBox>& classTable();

  std::int32_t hWnd() const;
  std::string exProp() const { return s_.exProp; }
  void setExProp(std::string text);
  std::int32_t style() const { return s_.style; }
  void setStyle(std::int32_t style);
  std::string caption() const { return s_.caption; }
  void setCaption(std::string caption);
  std::int32_t alignment() const { return s_.alignment; }
  void setAlignment(std::int32_t alignment);
  FontRef font() const;
  void setFont(FontRef font);
  OleColor backColor() const;
  void setBackColor(OleColor color);
  OleColor foreColor() const;
  void setForeColor(OleColor color);
  OleColor maskColor() const { return s_.maskColor.value(); }
  void setMaskColor(OleColor color);
  bool useMaskColor() const { return s_.useMaskColor; }
  void setUseMaskColor(bool on);
  bool autoSize() const { return s_.autoSize; }
  void setAutoSize(bool on);
  bool focusRect() const { return s_.focusRect; }
  void setFocusRect(bool on);
  bool hoverFX() const { return s_.hoverFX; }
  void setHoverFX(bool on);
  bool hoverBold() const { return s_.hoverBold; }
  void setHoverBold(bool on);
  bool hoverUnderline() const { return s_.hoverUnderline; }
  void setHoverUnderline(bool on);
  OleColor hoverColor() const { return s_.hoverColor.value(); }
  void setHoverColor(OleColor color);
  std::int16_t value() const { return s_.value; }
  void setValue(std::int16_t value);
  bool enabled() const;
  void setEnabled(bool on);
  const nx::Value& xtrVar() const { return s_.xtrVar; }
  void setXtrVar(const nx::Value& v);

  // Transient state, for the host glue and tests.
  const CheckBoxState& state() const { return s_; }
  std::int16_t lastReportedValue() const { return lastReported_; }
  bool focusShown() const { return focusShown_; }
  bool maskApplied() const { return mask_.applied(); }

 protected:
  void describeAccessible(AccessibleNode& node) const override;
  void onInitialize() override;
  void onInitProperties() override;
  void onLoaded() override;
  void onResize() override;
  void onFocusChanged() override;
  void onTerminate() override;
  void onClick() override;
  void onDblClick() override;
  void onKeyPress(std::int16_t& keyAscii) override;
  void onMouseMove(std::int16_t button, std::int16_t shift, double x, double y) override;

  void applyHoverLook() override;
  void undoHoverLook() override;
  void redrawForHover() override { redraw(); }
  void raiseMouseIn() override { raiseEvent("MouseIn"); }
  void raiseMouseOut() override { raiseEvent("MouseOut"); }
  TooltipSettings hoverTooltipSettings() const override { return s_.tooltip; }

 private:
  void toggle();
  void applyPointer();
  void redraw() { redraw(s_.autoSize); }
  void redraw(bool autoSize);
  void sizeToCaption(double widest);

  CheckBoxState s_;
  std::int16_t lastReported_ = kEmpty;
  bool focusShown_ = false;
  bool resizeGuard_ = false;
  // The look a hover replaced, restored when the pointer leaves.
  bool savedUnderline_ = false;
  bool savedBold_ = false;
  OleColor savedForeColor_ = 0;
  MaskShaper mask_;
  std::optional<ThreadSharedLease<SharedTag, CheckBoxPictures>> shared_;
};

}  // namespace nx
