// NxHyperLink: a text label that opens its address through the system shell when clicked. It
// word-wraps its caption in one of three alignments, switches to a second font and colour while
// the pointer is over it, always shows a hand cursor, can size itself to its words, can cut its
// window shape by a mask colour and shows a styled tooltip.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/control/control.h"
#include "core/control/thread_shared.h"
#include "core/support/mask_shaper.h"
#include "widgets/hyperlink/hyper_link_model.h"

namespace nx {

// The hand cursor all hyperlinks of a thread show.
struct HyperLinkCursors {
  CursorRef hand;  // "HAND"
};

class NxHyperLink : public Control<NxHyperLink> {
 public:
  struct SharedTag {};
  using Shared = ThreadShared<SharedTag, HyperLinkCursors>;

  static constexpr std::int16_t kCustomPointer = 99;

  explicit NxHyperLink(ControlSite& site);
  ~NxHyperLink() override;

  // _NxHyperLink and __NxHyperLink: `Caption` is the default property, `Click` the default
  // event.
  static const ClassTable<NxHyperLink>& classTable();

  std::int32_t hWnd() const;
  std::string exProp() const { return s_.exProp; }
  void setExProp(std::string text);
  std::string caption() const { return s_.caption; }
  void setCaption(std::string caption);
  std::int32_t alignment() const { return s_.alignment; }
  void setAlignment(std::int32_t alignment);
  FontRef font() const { return s_.font; }
  void setFont(FontRef font);
  FontRef mouseOverFont() const { return s_.mouseOverFont; }
  void setMouseOverFont(FontRef font);
  OleColor backColor() const { return s_.backColor.value(); }
  void setBackColor(OleColor color);
  OleColor foreColor() const { return s_.foreColor.value(); }
  void setForeColor(OleColor color);
  OleColor maskColor() const { return s_.maskColor.value(); }
  void setMaskColor(OleColor color);
  bool useMaskColor() const { return s_.useMaskColor; }
  void setUseMaskColor(bool on);
  bool autoSize() const { return s_.autoSize; }
  void setAutoSize(bool on);
  OleColor mouseOverColor() const { return s_.mouseOverColor.value(); }
  void setMouseOverColor(OleColor color);
  std::string url() const { return s_.url; }
  void setUrl(std::string url);
  bool enabled() const;
  void setEnabled(bool on);
  const nx::Value& xtrVar() const { return s_.xtrVar; }
  void setXtrVar(const nx::Value& v);

  // Transient state, for the host glue and tests.
  const HyperLinkState& state() const { return s_; }
  bool loading() const { return loading_; }
  bool maskApplied() const { return mask_.applied(); }

 protected:
  void describeAccessible(AccessibleNode& node) const override;
  void onInitialize() override;
  void onInitProperties() override;
  void onReadProperties(PropertyBag& bag) override;
  void onResize() override;
  void onFocusChanged() override { redraw(); }
  void onTerminate() override;
  void onClick() override;
  void onDblClick() override;
  void onMouseMove(std::int16_t button, std::int16_t shift, double x, double y) override;

  void redrawForHover() override { redraw(); }
  void raiseMouseIn() override { raiseEvent("MouseIn"); }
  void raiseMouseOut() override { raiseEvent("MouseOut"); }
  TooltipSettings hoverTooltipSettings() const override { return s_.tooltip; }

 private:
  // Sets the loading flag for a scope and restores it, also when a stored key fails.
  class LoadingScope {
   public:
    explicit LoadingScope(NxHyperLink& c) : flag_(c.loading_), previous_(c.loading_) {
      flag_ = true;
    }
    ~LoadingScope() { flag_ = previous_; }
    LoadingScope(const LoadingScope&) = delete;
    LoadingScope& operator=(const LoadingScope&) = delete;

   private:
    bool& flag_;
    bool previous_;
  };

  FontRef ambientFontCopy() const;
  void redraw();

  HyperLinkState s_;
  bool loading_ = false;
  MaskShaper mask_;
  std::optional<ThreadSharedLease<SharedTag, HyperLinkCursors>> shared_;
};

}  // namespace nx
