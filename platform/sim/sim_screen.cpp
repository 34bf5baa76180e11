#include "platform/sim/sim_screen.h"

#include <algorithm>
#include <deque>
#include <stdexcept>

#include "core/runtime/errors.h"
#include "core/runtime/mouse_hook_chain.h"

namespace nx::sim {

struct SimScreen::State {
  std::shared_ptr<const Switches> switches;
  double tppX = 15;
  double tppY = 15;
  bool popupFails = false;
  bool hookFails = false;
  WindowHandle nextPopup = 0xA000;
  std::vector<std::shared_ptr<PopupRecord>> popups;
  MouseHookChain hooks;
  int hookInstalls = 0;
  std::deque<std::function<void()>> steps;
  std::optional<int> quit;

  // The visible pop-up under a screen point, the newest first.
  std::shared_ptr<PopupRecord> popupAt(Point p) const {
    for (auto it = popups.rbegin(); it != popups.rend(); ++it) {
      const PopupRecord& r = **it;
      const Rect& b = r.params.bounds;
      if (r.alive && r.visible && p.x >= b.left && p.x < b.right && p.y >= b.top && p.y < b.bottom)
        return *it;
    }
    return nullptr;
  }

  std::shared_ptr<PopupRecord> activePopup() const {
    for (const auto& r : popups)
      if (r->alive && r->visible && r->active) return r;
    return nullptr;
  }

  // Runs one callback of a pop-up; an exception ends its modal run and is kept for runModal.
  template <class F>
  static void deliver(const std::shared_ptr<PopupRecord>& record, F&& call) {
    if (!record->alive || record->closeRequested) return;
    try {
      call();
    } catch (...) {
      ++record->callbackErrors;
      if (record->modal && !record->error) {
        record->error = std::current_exception();
        record->closeRequested = true;
        record->visible = false;
      }
    }
  }

  static void deactivate(const std::shared_ptr<PopupRecord>& record) {
    if (!record->active) return;
    record->active = false;
    ++record->deactivations;
    deliver(record, [&] {
      if (record->callbacks.deactivated) record->callbacks.deactivated();
    });
  }
};

namespace {

constexpr std::uint32_t kHitClient = 1;
constexpr std::uint32_t kHitCaption = 2;

bool isButtonDown(std::uint32_t m) {
  using namespace mouse_message;
  return m == kLeftDown || m == kRightDown || m == kMiddleDown || m == kNcLeftDown ||
         m == kNcRightDown || m == kNcMiddleDown;
}

bool isFrameMessage(std::uint32_t m) {
  return m >= 0x00A0 && m <= 0x00AD;
}

// A client message as the pop-up sees it; nullopt for others.
std::optional<PopupMouseEvent> popupEvent(std::uint32_t m, Point client) {
  using namespace mouse_message;
  using Kind = PopupMouseEvent::Kind;
  switch (m) {
    case kMove:
      return PopupMouseEvent{Kind::Move, MouseButton::None, client};
    case kLeftDown:
      return PopupMouseEvent{Kind::Down, MouseButton::Left, client};
    case kLeftUp:
      return PopupMouseEvent{Kind::Up, MouseButton::Left, client};
    case kRightDown:
      return PopupMouseEvent{Kind::Down, MouseButton::Right, client};
    case kRightUp:
      return PopupMouseEvent{Kind::Up, MouseButton::Right, client};
    case kMiddleDown:
      return PopupMouseEvent{Kind::Down, MouseButton::Middle, client};
    case kMiddleUp:
      return PopupMouseEvent{Kind::Up, MouseButton::Middle, client};
    default:
      return std::nullopt;
  }
}

class SimPopup final : public PopupWindow {
 public:
  SimPopup(std::shared_ptr<SimScreen::State> state, std::shared_ptr<PopupRecord> record)
      : state_(std::move(state)), record_(std::move(record)) {}
  ~SimPopup() override {
    record_->alive = false;
    record_->visible = false;
    record_->active = false;
  }
  SimPopup(const SimPopup&) = delete;
  SimPopup& operator=(const SimPopup&) = delete;

  WindowHandle handle() const override { return record_->handle; }
  Rect bounds() const override { return record_->params.bounds; }
  Surface& surface() override { return *record_->surface; }
  PartFactory& parts() override { return *record_->parts; }
  void refresh() override { ++record_->refreshes; }
  bool visible() const override { return record_->visible; }

  ModalEnd runModal() override {
    // Both stay alive even if a step drops this object.
    const std::shared_ptr<SimScreen::State> state = state_;
    const std::shared_ptr<PopupRecord> record = record_;
    if (!record->alive) throw HostError("the pop-up window is gone");
    if (record->modal) throw HostError("the pop-up window is already shown modally");
    for (const auto& other : state->popups)
      if (other != record) SimScreen::State::deactivate(other);
    record->modal = true;
    record->visible = true;
    record->active = true;
    record->closeRequested = false;
    record->error = nullptr;
    ++record->modalRuns;
    struct Finish {
      PopupRecord& r;
      ~Finish() {
        r.modal = false;
        r.visible = false;
        r.active = false;
      }
    } finish{*record};
    ModalEnd end;
    for (;;) {
      if (record->closeRequested) {
        end = ModalEnd::Closed;
        break;
      }
      if (!record->alive) {
        end = ModalEnd::WindowGone;
        break;
      }
      if (state->quit) {
        end = ModalEnd::Quit;
        break;
      }
      if (state->steps.empty())
        throw std::logic_error("a modal pop-up is still open and no scripted step is left");
      std::function<void()> step = std::move(state->steps.front());
      state->steps.pop_front();
      step();
    }
    record->ends.push_back(end);
    if (record->error) std::rethrow_exception(std::exchange(record->error, nullptr));
    return end;
  }

  void announce(AccessEvent event, int child) override {
    record_->announced.emplace_back(event, child);
  }

  void close() override {
    record_->closeRequested = true;
    record_->visible = false;
    record_->active = false;
  }

 private:
  std::shared_ptr<SimScreen::State> state_;
  std::shared_ptr<PopupRecord> record_;
};

class SimMouseHook final : public MouseHook {
 public:
  SimMouseHook(std::shared_ptr<SimScreen::State> state,
               std::shared_ptr<MouseHookChain::Entry> entry)
      : state_(std::move(state)), entry_(std::move(entry)) {}
  ~SimMouseHook() override { remove(); }
  SimMouseHook(const SimMouseHook&) = delete;
  SimMouseHook& operator=(const SimMouseHook&) = delete;

  void remove() override {
    state_->hooks.remove(entry_);
    entry_.reset();
  }
  bool installed() const override { return entry_ != nullptr; }

 private:
  std::shared_ptr<SimScreen::State> state_;
  std::shared_ptr<MouseHookChain::Entry> entry_;
};

}  // namespace

SimScreen::SimScreen(std::shared_ptr<const Switches> switches) : state_(std::make_shared<State>()) {
  state_->switches = std::move(switches);
}

void SimScreen::setTwipsPerPixel(double x, double y) {
  state_->tppX = x;
  state_->tppY = y;
}
void SimScreen::setPopupCreationFails(bool fails) {
  state_->popupFails = fails;
}
void SimScreen::setHookInstallFails(bool fails) {
  state_->hookFails = fails;
}

std::unique_ptr<PopupWindow> SimScreen::createPopup(const PopupParams& params,
                                                    PopupCallbacks callbacks) {
  if (state_->popupFails) throw HostError("the pop-up window could not be created");
  if (params.bounds.width() < 0 || params.bounds.height() < 0)
    throw HostError("a pop-up window cannot have a negative size");
  auto record = std::make_shared<PopupRecord>();
  record->params = params;
  record->handle = state_->nextPopup++;
  record->callbacks = std::move(callbacks);
  record->surface =
      std::make_unique<SimSurface>(state_->tppX, state_->tppY, state_->switches, nullptr);
  record->surface->resizePixels(params.bounds.width(), params.bounds.height());
  record->parts = std::make_unique<SimPartFactory>(*record->surface);
  state_->popups.push_back(record);
  return std::make_unique<SimPopup>(state_, std::move(record));
}

std::unique_ptr<MouseHook> SimScreen::installHook(MouseHookCallback callback) {
  if (state_->hookFails) throw HostError("the mouse hook could not be installed");
  if (!callback) throw HostError("a mouse hook needs a callback");
  ++state_->hookInstalls;
  return std::make_unique<SimMouseHook>(state_, state_->hooks.add(std::move(callback)));
}

void SimScreen::queueModalStep(std::function<void()> step) {
  state_->steps.push_back(std::move(step));
}
std::size_t SimScreen::pendingModalSteps() const {
  return state_->steps.size();
}

bool SimScreen::sendMouse(std::uint32_t message, Point screen, WindowHandle window,
                          std::optional<std::uint32_t> hitTest) {
  const std::shared_ptr<State> state = state_;
  const std::shared_ptr<PopupRecord> target = state->popupAt(screen);
  MouseHookEvent event;
  event.message = message;
  event.screen = screen;
  event.window = target ? target->handle : window;
  event.hitTest = hitTest.value_or(isFrameMessage(message) ? kHitCaption : kHitClient);
  if (state->hooks.dispatch(event)) return true;
  if (isButtonDown(message))
    if (auto active = state->activePopup(); active && active != target) State::deactivate(active);
  if (target) {
    const Point client{screen.x - target->params.bounds.left, screen.y - target->params.bounds.top};
    if (auto e = popupEvent(message, client)) {
      State::deliver(target, [&] {
        if (target->callbacks.mouse) target->callbacks.mouse(*e);
      });
    }
  }
  return false;
}

void SimScreen::click(Point screen) {
  sendMouse(mouse_message::kLeftDown, screen);
  sendMouse(mouse_message::kLeftUp, screen);
}

void SimScreen::sendKey(std::uint16_t virtualKey) {
  if (auto active = state_->activePopup()) {
    State::deliver(active, [&] {
      if (active->callbacks.key) active->callbacks.key(virtualKey);
    });
  }
}

void SimScreen::postQuit(int exitCode) {
  state_->quit = exitCode;
}
std::optional<int> SimScreen::takeQuit() {
  return std::exchange(state_->quit, std::nullopt);
}

const std::vector<std::shared_ptr<PopupRecord>>& SimScreen::popups() const {
  return state_->popups;
}

std::shared_ptr<PopupRecord> SimScreen::popup(WindowHandle handle) const {
  for (const auto& r : state_->popups)
    if (r->handle == handle) return r;
  return nullptr;
}

std::size_t SimScreen::hooksInstalled() const {
  return state_->hooks.size();
}
int SimScreen::hookInstalls() const {
  return state_->hookInstalls;
}
int SimScreen::hookErrors() const {
  return state_->hooks.errors();
}

}  // namespace nx::sim
