#include "platform/win32/statichost/static_control_host.h"

#include "core/runtime/errors.h"
#include "platform/win32/com/module.h"

namespace nx::win32 {

StaticControlHost::StaticControlHost() : window_(*this) {
  // Inside a program (not a control library) the control windows belong to the program.
  if (!Module::instance()) Module::setInstance(GetModuleHandleW(nullptr));
}

StaticControlHost::~StaticControlHost() {
  destroy();
}

void StaticControlHost::destroy() {
  if (control_) {
    try {
      control_->Terminate();
    } catch (...) {
    }
    control_.reset();
  }
  window_.destroy();
}

bool StaticControlHost::place(const Factory& make, HWND parent, const RECT& position) {
  destroy();
  try {
    control_ = make(*this);
    if (!control_) return false;
    // Accessibility clients read the control as they read it on a form.
    window_.setAccessibleTree([this] {
      if (!control_ || control_->terminated()) throw HostError("the control has ended");
      return control_->accessible();
    });
    control_->Initialize();
    if (!window_.create(parent, position)) {
      destroy();
      return false;
    }
    // Shown only: the control takes no part in the parent's keyboard navigation.
    const LONG style = GetWindowLongW(window_.hwnd(), GWL_STYLE);
    SetWindowLongW(window_.hwnd(), GWL_STYLE, style & ~static_cast<LONG>(WS_TABSTOP));
    if (store_.values().empty()) {
      control_->InitProperties();
    } else {
      control_->ReadProperties(store_);
    }
    control_->Resize();
  } catch (...) {
    destroy();
    return false;
  }
  window_.refresh();
  return true;
}

bool StaticControlHost::call(const std::function<void(ControlBase&)>& call) {
  if (!control_) return false;
  bool ok = true;
  try {
    call(*control_);
  } catch (...) {
    ok = false;
  }
  window_.refresh();
  return ok;
}

bool StaticControlHost::setPosition(const RECT& position) {
  if (!control_) return false;
  window_.setPosition(position);
  return call([](ControlBase& c) { c.Resize(); });
}

}  // namespace nx::win32
