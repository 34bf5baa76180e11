#include "platform/sim/sim_host.h"

#include "core/runtime/text.h"

#include <algorithm>

#include "platform/sim/sim_objects.h"

namespace nx::sim {

class SimSite::SimExtender : public Extender {
 public:
  SimExtender(SimHost& host, SimSite& site, const SiteOptions& options)
      : host_(host), site_(site), options_(options) {}
  std::optional<std::string> name() const override { return options_.name; }
  std::optional<std::string> toolTipText() const override { return options_.toolTipText; }
  std::optional<double> left() const override { return site_.simWindow().left(); }
  std::optional<double> width() const override { return site_.simWindow().width(); }
  bool setLeft(double twips) override {
    if (!options_.hostMoves) return false;
    site_.simWindow().setLeft(twips);
    return true;
  }
  std::optional<std::vector<HostedObject*>> parentControls() const override {
    return host_.controls();
  }

 private:
  SimHost& host_;
  SimSite& site_;
  const SiteOptions& options_;
};

class SimSite::SimAmbient : public Ambient {
 public:
  SimAmbient(SimServices& services, const SiteOptions& options)
      : services_(services), options_(options) {}
  std::optional<FontRef> font() const override {
    if (!options_.ambientFont) return std::nullopt;
    return services_.createFont(*options_.ambientFont);
  }
  std::optional<bool> userMode() const override { return options_.userMode; }
  std::optional<bool> displayAsDefault() const override { return options_.displayAsDefault; }

 private:
  SimServices& services_;
  const SiteOptions& options_;
};

SimSite::SimSite(SimHost& host, WindowHandle handle, SiteOptions options)
    : host_(host),
      options_(std::move(options)),
      window_(host, handle, options_.left, options_.top, options_.width, options_.height,
              host.services().createFont(FontDesc{})),
      extender_(std::make_unique<SimExtender>(host, *this, options_)),
      ambient_(std::make_unique<SimAmbient>(host.services(), options_)) {}

SystemServices& SimSite::services() {
  return host_.services();
}

const Extender* SimSite::extender() const {
  return options_.hasExtender ? extender_.get() : nullptr;
}

Extender* SimSite::extender() {
  return options_.hasExtender ? extender_.get() : nullptr;
}

const Ambient* SimSite::ambient() const {
  return options_.hasAmbient ? ambient_.get() : nullptr;
}

void SimSite::raiseEvent(int position, std::span<Value> args) {
  if (eventHandler_) eventHandler_(position, args);
  log_.push_back(Record{Record::Kind::Event, position, {}, {args.begin(), args.end()}});
}

void SimSite::propertyChanged(std::string_view key) {
  log_.push_back(Record{Record::Kind::Changed, 0, std::string(key), {}});
}

std::vector<Record> SimSite::events() const {
  std::vector<Record> out;
  for (const Record& r : log_)
    if (r.kind == Record::Kind::Event) out.push_back(r);
  return out;
}

std::vector<std::string> SimSite::changes() const {
  std::vector<std::string> out;
  for (const Record& r : log_)
    if (r.kind == Record::Kind::Changed) out.push_back(r.key);
  return out;
}

int SimSite::eventCount(int position) const {
  return static_cast<int>(std::count_if(log_.begin(), log_.end(), [position](const Record& r) {
    return r.kind == Record::Kind::Event && r.position == position;
  }));
}

SimHost::SimHost(double twipsPerPixelX, double twipsPerPixelY)
    : tppX_(twipsPerPixelX), tppY_(twipsPerPixelY) {
  services_.screen().setTwipsPerPixel(twipsPerPixelX, twipsPerPixelY);  // pop-ups alike
  services_.setClientRectLookup([this](WindowHandle w) { return clientRect(w); });
}

SimHost::~SimHost() {
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
    if (it->control) it->control->Terminate();
}

SimSite& SimHost::addSite(SiteOptions options) {
  WindowHandle handle = nextHandle_;
  nextHandle_ += 4;
  entries_.push_back(Entry{std::make_unique<SimSite>(*this, handle, std::move(options)), nullptr});
  return *entries_.back().site;
}

void SimHost::attach(SimSite& site, std::unique_ptr<ControlBase> control,
                     const SimPropertyBag* stored) {
  Entry& e = entries_.back();
  e.control = std::move(control);
  ControlBase& c = *e.control;
  site.setControl(&c);
  site.simWindow().setResizeHandler([&c] { c.Resize(); });
  c.Initialize();
  if (stored != nullptr) {
    SimPropertyBag copy = *stored;
    c.ReadProperties(copy);
  } else {
    c.InitProperties();
  }
  c.Resize();
}

SimHost::Entry* SimHost::find(const ControlBase& control) {
  for (Entry& e : entries_)
    if (e.control.get() == &control) return &e;
  return nullptr;
}

SimSite& SimHost::site(const ControlBase& control) {
  Entry* e = find(control);
  if (e == nullptr) throw HostError("the control is not on this host");
  return *e->site;
}

void SimHost::resize(ControlBase& control, double width, double height) {
  window(control).setOuterSize(width, height);
  control.Resize();
}

Point SimHost::screenPoint(const ControlBase& control, std::int32_t clientX, std::int32_t clientY) {
  Point o = window(control).clientOrigin();
  return Point{o.x + clientX, o.y + clientY};
}

void SimHost::clientTwips(const ControlBase& control, double& x, double& y) {
  Point p = window(control).screenToClient(cursor_);
  x = p.x * tppX_;
  y = p.y * tppY_;
}

void SimHost::moveMouse(Point screen) {
  cursor_ = screen;
  ControlBase* target = nullptr;
  for (Entry& e : entries_) {
    if (!e.control) continue;
    if (capture_ != 0 && e.site->simWindow().handle() == capture_) {
      target = e.control.get();
      break;
    }
  }
  if (target == nullptr && capture_ == 0) {
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
      if (it->control && it->site->simWindow().containsScreen(screen)) {
        target = it->control.get();
        break;
      }
    }
  }
  if (target == nullptr) return;
  double x = 0;
  double y = 0;
  clientTwips(*target, x, y);
  target->MouseMove(0, 0, x, y);
}

void SimHost::mouseDown(ControlBase& control, std::int16_t button, std::int16_t shift,
                        bool secondOfDouble) {
  double x = 0;
  double y = 0;
  clientTwips(control, x, y);
  control.PointerDown(button, shift, x, y, secondOfDouble);
}

void SimHost::mouseUp(ControlBase& control, std::int16_t button, std::int16_t shift) {
  double x = 0;
  double y = 0;
  clientTwips(control, x, y);
  const SimWindow& w = site(control).simWindow();
  control.PointerUp(button, shift, x, y, x >= 0 && y >= 0 && x < w.width() && y < w.height());
}

void SimHost::click(ControlBase& control) {
  moveInto(control);
  mouseDown(control, kLeftButton);
  mouseUp(control, kLeftButton);
}

void SimHost::dblClick(ControlBase& control) {
  click(control);
  mouseDown(control, kLeftButton, 0, true);  // the second press arrives as the double click
  mouseUp(control, kLeftButton);
}

void SimHost::moveInto(ControlBase& control) {
  const SimWindow& w = site(control).simWindow();
  if (w.containsScreen(cursor_)) return;
  cursor_ = screenPoint(control, 1, 1);
}

std::int16_t SimHost::pressKey(ControlBase& control, std::int16_t keyAscii, std::int16_t shift) {
  std::int16_t code = keyAscii;
  control.KeyDown(code, shift);
  std::int16_t key = keyAscii;
  control.KeyPress(key);
  std::int16_t up = keyAscii;
  control.KeyUp(up, shift);
  return key;
}

void SimHost::focus(ControlBase* control) {
  if (focus_ == control) return;
  ControlBase* old = focus_;
  focus_ = control;
  if (old != nullptr) old->LostFocus();
  if (control != nullptr) control->GotFocus();
}

SimPropertyBag SimHost::save(ControlBase& control) {
  SimPropertyBag bag;
  control.WriteProperties(bag);
  return bag;
}

void SimHost::destroy(ControlBase& control) {
  Entry* e = find(control);
  if (e == nullptr) return;
  if (focus_ == &control) focus_ = nullptr;
  if (capture_ == e->site->simWindow().handle()) capture_ = 0;
  e->control->Terminate();
  e->control.reset();
  entries_.erase(
      std::find_if(entries_.begin(), entries_.end(), [](const Entry& x) { return !x.control; }));
}

std::vector<HostedObject*> SimHost::controls() const {
  std::vector<HostedObject*> out;
  for (const Entry& e : entries_)
    if (e.control) out.push_back(e.control.get());
  return out;
}

std::optional<Rect> SimHost::clientRect(WindowHandle window) const {
  for (const Entry& e : entries_) {
    const SimWindow& w = e.site->simWindow();
    if (w.handle() == window) return Rect{0, 0, w.bitmap().width(), w.bitmap().height()};
  }
  return std::nullopt;
}

}  // namespace nx::sim

namespace nx::sim {

void SimHost::setUserMode(bool userMode) {
  for (Entry& e : entries_) e.site->options().userMode = userMode;
  for (Entry& e : entries_)
    if (e.control) e.control->AmbientChanged("UserMode");
}

void SimHost::setDisplayAsDefault(ControlBase& control, bool on) {
  Entry* e = find(control);
  if (!e) return;
  e->site->options().displayAsDefault = on;
  control.AmbientChanged("DisplayAsDefault");
}

bool SimHost::pressAccessKey(char key) {
  const char wanted = asciiLower(key);
  for (Entry& e : entries_) {
    if (e.control && e.control->accessKey() == wanted && wanted != 0) {
      e.control->Mnemonic();
      return true;
    }
  }
  return false;
}

}  // namespace nx::sim
