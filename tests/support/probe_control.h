// NxProbe: a control that exists to exercise the framework from the outside. It has a caption
// with an access key, a method with a by-reference and an optional argument, a text-box part
// with a key filter, a timer, and it records ambient changes, mnemonics and what it sees of the
// form's other controls. The native tests drive it on the simulated platform; the test library
// nxprobe.ocx carries it under Wine.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/control/control.h"
#include "core/runtime/parts.h"
#include "core/runtime/timer.h"

namespace nx::test {

class NxProbe : public Control<NxProbe> {
 public:
  explicit NxProbe(ControlSite& site);
  ~NxProbe() override;

  static const ClassTable<NxProbe>& classTable();

  const std::string& caption() const { return caption_; }
  void setCaption(std::string caption);
  std::int32_t value() const { return value_; }
  void setValue(std::int32_t v);
  std::string text() const;
  std::int32_t ticks() const { return ticks_; }
  std::int32_t mnemonics() const { return mnemonics_; }
  const std::string& ambientLog() const { return ambientLog_; }
  // Controls on the form, as the host's Parent.Controls gives them; -1 when the host gives none.
  std::int32_t formControlCount() const;
  // Value sum over the probes on the form (found through the host's collection of controls).
  std::int32_t formValueSum() const;
  char accessKey() const override;

  // Method Add(x, ByRef total, Optional step = 1): total += x * step; returns True.
  bool add(std::int32_t x, std::int32_t& total, std::int32_t step);
  void startTimer(std::int32_t ms);
  void stopTimer();

  TextBoxPart* textBox() const { return text_; }

 protected:
  void onInitProperties() override;
  void onLoaded() override;
  void onResize() override;
  void onTerminate() override;
  void onMnemonic() override;
  void onAmbientChanged(std::string_view name) override;
  void onClick() override { raiseEvent("Click"); }

 private:
  void makeParts();
  void redraw();

  std::string caption_;
  std::int32_t value_ = 0;
  std::int32_t ticks_ = 0;
  std::int32_t mnemonics_ = 0;
  std::string ambientLog_;
  TextBoxPart* text_ = nullptr;
  std::unique_ptr<Timer> timer_;
};

}  // namespace nx::test
