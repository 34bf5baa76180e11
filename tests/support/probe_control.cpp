#include "probe_control.h"

#include "core/runtime/services.h"
#include "core/runtime/text.h"
#include "core/runtime/window.h"

namespace nx::test {

namespace {
using P = Property<NxProbe>;
}

const ClassTable<NxProbe>& NxProbe::classTable() {
  static const ClassTable<NxProbe> table(ClassSpec<NxProbe>{
      .name = "NxProbe",
      .members =
          {
              P{.name = "Caption",
                .type = types::String,
                .key = "cap",
                .storeDefault = std::string("Probe"),
                .newValue = std::string("&Probe"),
                .get = [](const NxProbe& c) { return Value{c.caption()}; },
                .put = [](NxProbe& c, const Value& v) { c.setCaption(toText(v)); }},
              P{.name = "Value",
                .type = types::Long,
                .key = "vl",
                .storeDefault = 0,
                .newValue = 0,
                .get = getter(&NxProbe::value),
                .put = setter(&NxProbe::setValue)},
              P{.name = "Text", .type = types::String, .get = getter(&NxProbe::text)},
              P{.name = "Ticks", .type = types::Long, .get = getter(&NxProbe::ticks)},
              P{.name = "Mnemonics", .type = types::Long, .get = getter(&NxProbe::mnemonics)},
              P{.name = "AmbientLog",
                .type = types::String,
                .get = [](const NxProbe& c) { return Value{c.ambientLog()}; }},
              P{.name = "FormControls",
                .type = types::Long,
                .get = getter(&NxProbe::formControlCount)},
              P{.name = "FormSum", .type = types::Long, .get = getter(&NxProbe::formValueSum)},
              Method<NxProbe>{.name = "Add",
                              .params = {{"x", types::Long},
                                         {"total", types::Long, true},
                                         {"step", types::Long, false, Value{1}}},
                              .result = types::Bool,
                              .call =
                                  [](NxProbe& c, std::span<Value> a) {
                                    std::int32_t total = toInt32(a[1]);
                                    const bool ok = c.add(toInt32(a[0]), total, toInt32(a[2]));
                                    a[1] = total;
                                    return Value{toVBool(ok)};
                                  }},
              Method<NxProbe>{.name = "StartTimer",
                              .params = {{"ms", types::Long}},
                              .call =
                                  [](NxProbe& c, std::span<Value> a) {
                                    c.startTimer(toInt32(a[0]));
                                    return Value{};
                                  }},
              Method<NxProbe>{.name = "StopTimer",
                              .call =
                                  [](NxProbe& c, std::span<Value>) {
                                    c.stopTimer();
                                    return Value{};
                                  }},
          },
      .events = {{"Click"},
                 {"Tick", {{"Count", types::Long}}},
                 {"Filter", {{"KeyAscii", types::Short, true}}}},
      .defaultProperty = "Value",
      .defaultEvent = "Click",
  });
  return table;
}

NxProbe::NxProbe(ControlSite& site) : Control(site) {
  makeParts();
}

NxProbe::~NxProbe() = default;

void NxProbe::makeParts() {
  text_ = &window().parts().createTextBox("txt");
  // Each typed character goes to the host first (it may change or drop it); then '.' becomes
  // ',' and letters other than x are refused.
  text_->events().keyFilter = [this](char32_t& ch) {
    Value args[] = {Value{static_cast<std::int16_t>(ch < 0x8000 ? ch : 0)}};
    raiseEvent("Filter", args);
    ch = static_cast<char32_t>(static_cast<std::uint16_t>(toInt16(args[0])));
    if (ch == U'.') ch = U',';
    if ((ch >= U'a' && ch <= U'z' && ch != U'x') || (ch >= U'A' && ch <= U'Z')) ch = 0;
  };
}

void NxProbe::setCaption(std::string caption) {
  const char before = accessKey();
  caption_ = std::move(caption);
  notifyChanged("cap");
  if (accessKey() != before) accessKeyChanged();
  redraw();
}

void NxProbe::setValue(std::int32_t v) {
  value_ = v;
  notifyChanged("vl");
}

std::string NxProbe::text() const {
  return text_ ? text_->text() : std::string();
}

char NxProbe::accessKey() const {
  return accessKeyOf(caption_);
}

std::int32_t NxProbe::formControlCount() const {
  const Extender* ext = site().extender();
  if (!ext) return -1;
  auto controls = ext->parentControls();
  return controls ? static_cast<std::int32_t>(controls->size()) : -1;
}

std::int32_t NxProbe::formValueSum() const {
  const Extender* ext = site().extender();
  if (!ext) return 0;
  std::int32_t sum = 0;
  if (auto controls = ext->parentControls())
    for (HostedObject* o : *controls)
      if (auto* probe = dynamic_cast<NxProbe*>(o)) sum += probe->value();
  return sum;
}

bool NxProbe::add(std::int32_t x, std::int32_t& total, std::int32_t step) {
  total += x * step;
  return true;
}

void NxProbe::startTimer(std::int32_t ms) {
  timer_ = services().timers().start(static_cast<std::uint32_t>(ms), [this] {
    ++ticks_;
    Value args[] = {Value{ticks_}};
    raiseEvent("Tick", args);
  });
  if (!timer_) throw HostError("no timer");
}

void NxProbe::stopTimer() {
  timer_.reset();
}

void NxProbe::onInitProperties() {
  caption_ = "&Probe";
}

void NxProbe::onLoaded() {
  redraw();
}

void NxProbe::onResize() {
  text_->setBounds({300, 30, window().scaleWidth() - 330, window().scaleHeight() - 60});
  redraw();
}

void NxProbe::onTerminate() {
  timer_.reset();
}

void NxProbe::onMnemonic() {
  ++mnemonics_;
  raiseEvent("Click");
}

void NxProbe::onAmbientChanged(std::string_view name) {
  ambientLog_ += std::string(name.empty() ? "*" : name) + ";";
}

void NxProbe::redraw() {
  Surface& s = window().surface();
  s.clear();
  s.box(0, 0, window().scaleWidth() - 15, window().scaleHeight() - 15, 0x00808080, false);
  window().parts().paint();
}

}  // namespace nx::test
