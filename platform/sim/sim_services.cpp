#include "platform/sim/sim_services.h"

#include "core/runtime/errors.h"
#include "platform/sim/sim_objects.h"

namespace nx::sim {
namespace {

// The platform's classic colour scheme, by system colour index.
constexpr Rgb kClassicScheme[] = {
    0x00C8D0D4, 0x00A56E3A, 0x006A240A, 0x00808080, 0x00C8D0D4, 0x00FFFFFF, 0x00000000, 0x00000000,
    0x00000000, 0x00FFFFFF, 0x00C8D0D4, 0x00C8D0D4, 0x00808080, 0x006A240A, 0x00FFFFFF, 0x00C8D0D4,
    0x00808080, 0x00808080, 0x00000000, 0x00C8D0D4, 0x00FFFFFF, 0x00404040, 0x00C8D0D4, 0x00000000,
    0x00E1FFFF, 0x00B5B5B5, 0x00800000, 0x00F0CAA6, 0x00C0C0C0};

class SimTooltipWindow : public TooltipWindow {
 public:
  explicit SimTooltipWindow(std::shared_ptr<TooltipRecord> record) : record_(std::move(record)) {}
  ~SimTooltipWindow() override { record_->alive = false; }
  WindowHandle handle() const override { return record_->handle; }
  std::uint32_t toolInfoSize() const override { return 48; }
  bool setWindowPos(WindowHandle insertAfter, std::int32_t, std::int32_t, std::int32_t,
                    std::int32_t, std::uint32_t flags) override {
    record_->positions.push_back({insertAfter, flags});
    return true;
  }
  std::intptr_t sendMessage(std::uint32_t message, std::uintptr_t wParam,
                            const TooltipParam& lParam) override {
    record_->messages.push_back({message, wParam, lParam});
    return 1;
  }

 private:
  std::shared_ptr<TooltipRecord> record_;
};

// A client's device context, drawn on through the runtime's interface without owning it.
class BorrowedDC : public DeviceContext {
 public:
  explicit BorrowedDC(DeviceContext& dc) : dc_(dc) {}
  std::int32_t widthPx() const override { return dc_.widthPx(); }
  std::int32_t heightPx() const override { return dc_.heightPx(); }
  Rgb pixel(std::int32_t x, std::int32_t y) const override { return dc_.pixel(x, y); }
  void readRow(std::int32_t y, std::int32_t x0, std::span<Rgb> out) const override {
    dc_.readRow(y, x0, out);
  }
  void setPixel(std::int32_t x, std::int32_t y, Rgb color) override { dc_.setPixel(x, y, color); }
  Rgb selectPen(Rgb color) override { return dc_.selectPen(color); }
  void moveTo(std::int32_t x, std::int32_t y) override { dc_.moveTo(x, y); }
  void lineTo(std::int32_t x, std::int32_t y) override { dc_.lineTo(x, y); }
  void fillRect(const Rect& r, Rgb color) override { dc_.fillRect(r, color); }
  void gradientFill(std::span<const TriVertex> vertices, std::span<const GradientRect> rects,
                    GradientMode mode) override {
    dc_.gradientFill(vertices, rects, mode);
  }

 private:
  DeviceContext& dc_;
};

}  // namespace

SimServices::SimServices() {
  for (std::uint8_t i = 0; i < std::size(kClassicScheme); ++i) sysColors_[i] = kClassicScheme[i];
}

std::optional<Rgb> SimServices::translateOleColor(OleColor color) const {
  if (color >= 0) return static_cast<Rgb>(color);
  auto bits = static_cast<std::uint32_t>(color);
  if ((bits & 0xFFFFFF00u) != 0x80000000u) return std::nullopt;
  auto it = sysColors_.find(static_cast<std::uint8_t>(bits & 0xFFu));
  if (it == sysColors_.end()) return std::nullopt;
  return it->second;
}

FontRef SimServices::createFont(const FontDesc& desc) {
  return std::make_shared<SimFont>(desc);
}

PictureRef SimServices::loadResourcePicture(std::string_view name) {
  ++pictureLoads_;
  auto it = pictures_.find(std::string(name));
  return it == pictures_.end() ? nullptr : it->second;
}

CursorRef SimServices::loadResourceCursor(std::string_view name) {
  auto it = cursors_.find(std::string(name));
  return it == cursors_.end() ? nullptr : it->second;
}

CursorRef SimServices::systemHandCursor() {
  if (!hand_) hand_ = std::make_shared<SimCursor>("system:hand");
  return hand_;
}

void SimServices::addResourcePicture(const std::string& name, PictureRef picture) {
  pictures_[name] = std::move(picture);
}

void SimServices::addResourceCursor(const std::string& name, CursorRef cursor) {
  cursors_[name] = std::move(cursor);
}

std::unique_ptr<TooltipWindow> SimServices::createTooltipWindow(const TooltipWindowParams& params) {
  if (tooltipFails_) throw HostError("the tooltip window could not be created");
  auto record = std::make_shared<TooltipRecord>();
  record->params = params;
  record->handle = nextTooltip_++;
  tooltips_.push_back(record);
  return std::make_unique<SimTooltipWindow>(record);
}

std::optional<Rect> SimServices::clientRect(WindowHandle window) const {
  return clientRectLookup_ ? clientRectLookup_(window) : std::nullopt;
}

bool SimServices::shellOpen(std::string_view target, WindowHandle owner,
                            std::string_view workingFolder) {
  shellDetails_.push_back({std::string(target), owner, std::string(workingFolder)});
  shellRequests_.emplace_back(target);
  return shellResult_;
}

std::unique_ptr<PopupWindow> SimServices::createPopupWindow(const PopupParams& params,
                                                            PopupCallbacks callbacks) {
  return screen_.createPopup(params, std::move(callbacks));
}

std::unique_ptr<MouseHook> SimServices::installMouseHook(MouseHookCallback callback) {
  return screen_.installHook(std::move(callback));
}

std::unique_ptr<DeviceContext> SimServices::deviceContextFor(std::intptr_t handle) {
  auto it = deviceContexts_.find(handle);
  if (it == deviceContexts_.end()) return nullptr;
  return std::make_unique<BorrowedDC>(*it->second);
}

void SimServices::registerDeviceContext(std::intptr_t handle, DeviceContext* dc) {
  if (dc)
    deviceContexts_[handle] = dc;
  else
    deviceContexts_.erase(handle);
}

}  // namespace nx::sim
