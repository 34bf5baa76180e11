// NxVATNumber: a one-line entry box for a VAT number. At its left a code box shows the member
// state's code with a button that opens the list of states; the number box filters the typed
// keys, checks the number against the state's rule, shows the result by its text colour and
// completes a number in which one character was typed as "?".
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/control/control.h"
#include "core/runtime/mouse_hook.h"
#include "core/runtime/parts.h"
#include "core/support/area_tooltip.h"
#include "core/support/color_funcs.h"
#include "taxid/vatbox/country_dropdown.h"
#include "taxid/vatbox/vat_shared.h"

namespace nx {

struct VatNumberState {
  bool countrySelect = true;
  ColorProperty foreColor{0};
  ColorProperty backColor{0xFFFFFF};
  ColorProperty badVatColor{0x0000FF};
  ColorProperty goodVatColor{0xFF0000};
  ColorProperty focusBorder{0xB7A49E};
  ColorProperty borderColor{0};
  bool valid = false;
  std::int32_t language = 0;
  bool typeCheck = false;
  bool findNumber = true;
  Value xtrVar;
};

class NxVATNumber : public Control<NxVATNumber> {
 public:
  static constexpr const char* kNumberPart = "tvat";
  static constexpr const char* kCodePart = "CTRY";
  static constexpr const char* kCodeBoxPart = "CTBK";
  static constexpr const char* kFramePart = "BKG";
  static constexpr const char* kButtonPart = "dd_but";
  static constexpr double kHeight = 300;
  // Disabled look.
  static constexpr Rgb kDisabledBack = 0xE0E0E0;
  static constexpr Rgb kDisabledLine = 0x808080;

  explicit NxVATNumber(ControlSite& site);
  ~NxVATNumber() override;

  // _NxVATNumber and __NxVATNumber.
  static const ClassTable<NxVATNumber>& classTable();

  bool enabled() const;
  void setEnabled(bool on);
  std::int32_t hWnd() const;
  std::int32_t language() const { return s_.language; }
  void setLanguage(std::int32_t lang);
  std::string vatNr() const;
  void setVatNr(std::string text);
  bool valid() const { return s_.valid; }
  std::string vatCountry() const;
  // Upper-cased; a code the country table does not know is ignored.
  void setVatCountry(std::string code);
  OleColor foreColor() const { return s_.foreColor.value(); }
  void setForeColor(OleColor c);
  OleColor backColor() const { return s_.backColor.value(); }
  void setBackColor(OleColor c);
  OleColor borderColor() const { return s_.borderColor.value(); }
  void setBorderColor(OleColor c);
  OleColor focusBorder() const { return s_.focusBorder.value(); }
  void setFocusBorder(OleColor c);
  OleColor badVatColor() const { return s_.badVatColor.value(); }
  void setBadVatColor(OleColor c);
  OleColor goodVatColor() const { return s_.goodVatColor.value(); }
  void setGoodVatColor(OleColor c);
  std::string euroCountry() const;
  bool countrySelect() const { return s_.countrySelect; }
  void setCountrySelect(bool on);
  bool typeCheck() const { return s_.typeCheck; }
  void setTypeCheck(bool on);
  bool findNumber() const { return s_.findNumber; }
  void setFindNumber(bool on);
  const Value& xtrVar() const { return s_.xtrVar; }
  void setXtrVar(const Value& v);

  // Opens the list of states under the control and waits until it is closed (the drop-down
  // button's click, F4 and Alt+Down in the number box).
  void dropDown();

  // For the host glue and tests.
  const VatNumberState& state() const { return s_; }
  TextBoxPart& numberBox() const { return *number_; }
  LabelPart& codeLabel() const { return *code_; }
  ShapePart& codeBox() const { return *codeBox_; }
  ShapePart& frame() const { return *frame_; }
  PicturePart& button() const { return *button_; }
  // The picture index the button shows (0 normal, 1 number box focused, 2 pressed or open).
  int buttonLook() const { return buttonLook_; }
  bool dropping() const { return dropping_; }
  bool numberHasFocus() const { return hasFocusFlag_; }
  // The open list, nullptr while none is open.
  vatbox::CountryDropDown* openList() const { return list_.get(); }
  bool hookInstalled() const { return hook_ && hook_->installed(); }
  const AreaTooltip* codeTooltip() const { return codeTip_.get(); }

  // The state loads of this thread: flags loaded, instances counted.
  static bool flagsLoaded();
  static std::int32_t instances();

 protected:
  void describeAccessible(AccessibleNode& node) const override;
  void onInitProperties() override;
  void onReadProperties(PropertyBag& bag) override;
  void onResize() override { layOut(); }
  void onFocusChanged() override;
  void onTerminate() override;
  void onMouseDown(std::int16_t button, std::int16_t shift, double x, double y) override;
  void onMouseUp(std::int16_t button, std::int16_t shift, double x, double y) override;
  void onClick() override;
  bool notificationsEnabled() const override { return !loading_; }

 private:
  void makeParts();
  void onKey(char32_t& ch);
  void onKeyDown(std::int16_t& keyCode, std::int16_t shift);
  void onTextChanged();
  void onNumberFocus(bool gained);
  void validate();
  void enter();
  void showCode(const std::string& code);
  void setButtonLook(int look);
  bool onHook(const MouseHookEvent& e);
  void removeHook();
  void raise(std::string_view event);
  void layOut();
  void redraw();
  // Where the code shows, left of the drop-down button.
  PartRect codeRoom() const;

  VatNumberState s_;
  TextBoxPart* number_ = nullptr;
  LabelPart* code_ = nullptr;
  ShapePart* codeBox_ = nullptr;
  ShapePart* frame_ = nullptr;
  PicturePart* button_ = nullptr;
  std::unique_ptr<vatbox::VatLease> lease_;
  int buttonLook_ = 0;
  bool hasFocusFlag_ = false;
  // The last check of the number failed and the text has not been edited since (what the bad
  // colour shows); accessibility clients read it as the invalid state.
  bool checkFailed_ = false;
  bool dropping_ = false;
  bool layoutGuard_ = false;
  bool loading_ = false;
  bool drawing_ = false;
  bool downOnButton_ = false;
  bool upOnButton_ = false;
  bool terminated_ = false;
  std::unique_ptr<vatbox::CountryDropDown> list_;
  std::unique_ptr<MouseHook> hook_;
  // The open list's rectangle on the screen in twips, and the hook's close request.
  double hookLeft_ = 0, hookTop_ = 0, hookRight_ = 0, hookBottom_ = 0;
  bool closeFlag_ = false;
  std::unique_ptr<AreaTooltip> codeTip_;
};

}  // namespace nx
