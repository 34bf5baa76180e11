// Pop-up windows and mouse hooks of the simulated platform: hook order, swallowing and removal
// from every path, modal runs driven by scripted steps, and how they end.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/runtime/errors.h"
#include "platform/sim/sim_services.h"

namespace {

namespace mm = nx::mouse_message;
using nx::ModalEnd;
using nx::MouseHookEvent;
using nx::Point;
using nx::PopupMouseEvent;
using nx::sim::SimServices;

constexpr nx::Rect kBounds{200, 100, 270, 253};  // 70 x 153 pixels

std::string describe(const PopupMouseEvent& e) {
  const char* kinds[] = {"move", "down", "up"};
  return std::string(kinds[static_cast<int>(e.kind)]) + std::to_string(static_cast<int>(e.button)) +
         "@" + std::to_string(e.client.x) + "," + std::to_string(e.client.y);
}

TEST(SimMouseHook, HooksRunNewestFirstAndASwallowedMessageGoesNoFurther) {
  SimServices services;
  auto& screen = services.screen();
  std::vector<std::string> log;
  std::vector<MouseHookEvent> seen;
  auto older = services.installMouseHook([&](const MouseHookEvent& e) {
    log.push_back("older");
    seen.push_back(e);
    return false;
  });
  auto newer = services.installMouseHook([&](const MouseHookEvent& e) {
    log.push_back("newer");
    return e.message == mm::kRightDown;  // swallows right presses
  });
  EXPECT_EQ(screen.hooksInstalled(), 2u);

  EXPECT_FALSE(screen.sendMouse(mm::kLeftDown, {5, 6}, 0x77));
  EXPECT_TRUE(screen.sendMouse(mm::kRightDown, {7, 8}));
  EXPECT_FALSE(screen.sendMouse(mm::kNcLeftDown, {9, 10}));
  EXPECT_EQ(log, (std::vector<std::string>{"newer", "older", "newer", "newer", "older"}));
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].message, mm::kLeftDown);
  EXPECT_EQ(seen[0].screen, (Point{5, 6}));
  EXPECT_EQ(seen[0].window, 0x77);
  EXPECT_EQ(seen[0].hitTest, 1u);  // client area
  EXPECT_EQ(seen[1].hitTest, 2u);  // frame messages default to the caption

  // A swallowed press never reaches the pop-up under it.
  std::vector<std::string> popupLog;
  auto popup = services.createPopupWindow(
      {0, kBounds}, {.mouse = [&](const PopupMouseEvent& e) { popupLog.push_back(describe(e)); }});
  screen.queueModalStep([&] { screen.sendMouse(mm::kRightDown, {210, 110}); });
  screen.queueModalStep([&] { screen.sendMouse(mm::kLeftDown, {210, 110}); });
  screen.queueModalStep([&] { popup->close(); });
  EXPECT_EQ(popup->runModal(), ModalEnd::Closed);
  EXPECT_EQ(popupLog, (std::vector<std::string>{"down1@10,10"}));
  EXPECT_EQ(seen.back().window, popup->handle());
}

TEST(SimMouseHook, CallbacksRemoveAndInstallHooksSafely) {
  SimServices services;
  auto& screen = services.screen();
  std::vector<std::string> log;
  std::unique_ptr<nx::MouseHook> first, second, third, added;
  first = services.installMouseHook([&](const MouseHookEvent&) {
    log.push_back("first");
    return false;
  });
  second = services.installMouseHook([&](const MouseHookEvent&) {
    log.push_back("second");
    first.reset();  // removes a hook that is still to come in this dispatch
    return false;
  });
  third = services.installMouseHook([&](const MouseHookEvent&) {
    log.push_back("third");
    third->remove();  // removes itself while it runs
    if (!added)
      added = services.installMouseHook([&](const MouseHookEvent&) {
        log.push_back("added");
        return false;
      });
    return false;
  });
  screen.sendMouse(mm::kMove, {1, 1});
  EXPECT_EQ(log, (std::vector<std::string>{"third", "second"}));
  EXPECT_FALSE(third->installed());
  log.clear();
  screen.sendMouse(mm::kMove, {1, 1});
  EXPECT_EQ(log, (std::vector<std::string>{"added", "second"}));
  EXPECT_EQ(screen.hooksInstalled(), 2u);
}

TEST(SimMouseHook, RemovedOnEveryPath) {
  SimServices services;
  auto& screen = services.screen();
  try {
    auto hook = services.installMouseHook([](const MouseHookEvent&) { return false; });
    EXPECT_EQ(screen.hooksInstalled(), 1u);
    throw std::runtime_error("the control failed while the hook was installed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(screen.hooksInstalled(), 0u);

  // A throwing callback is counted and the message goes on to the older hooks.
  int olderCalls = 0;
  auto older =
      services.installMouseHook([&](const MouseHookEvent&) { return ++olderCalls, false; });
  auto thrower = services.installMouseHook(
      [](const MouseHookEvent&) -> bool { throw std::runtime_error("hook failed"); });
  EXPECT_FALSE(screen.sendMouse(mm::kLeftDown, {0, 0}));
  EXPECT_EQ(olderCalls, 1);
  EXPECT_EQ(screen.hookErrors(), 1);

  EXPECT_THROW(services.installMouseHook(nullptr), nx::HostError);
  screen.setHookInstallFails(true);
  EXPECT_THROW(services.installMouseHook([](const MouseHookEvent&) { return false; }),
               nx::HostError);
  EXPECT_EQ(screen.hooksInstalled(), 2u);

  // A handle that outlives the services removes nothing it should not touch.
  std::unique_ptr<nx::MouseHook> orphan;
  {
    SimServices other;
    orphan = other.installMouseHook([](const MouseHookEvent&) { return false; });
  }
  orphan.reset();
}

TEST(SimPopup, HasASurfaceOfItsSizeAndPassesInputInClientPixels) {
  SimServices services;
  auto& screen = services.screen();
  std::vector<std::string> log;
  std::vector<std::uint16_t> keys;
  auto popup = services.createPopupWindow(
      {0x1234, kBounds}, {.mouse = [&](const PopupMouseEvent& e) { log.push_back(describe(e)); },
                          .key = [&](std::uint16_t k) { keys.push_back(k); }});
  const auto record = screen.popup(popup->handle());
  ASSERT_TRUE(record);
  EXPECT_EQ(record->params.owner, 0x1234);
  EXPECT_EQ(popup->bounds(), kBounds);
  EXPECT_FALSE(popup->visible());
  EXPECT_EQ(record->surface->bitmap().width(), 70);
  EXPECT_EQ(record->surface->bitmap().height(), 153);
  popup->surface().box(0, 0, 150, 150, 0x000000FF, true);  // twips: pixels 0..10
  popup->refresh();
  EXPECT_EQ(record->surface->bitmap().at(10, 10), 0x000000FFu);
  EXPECT_NE(record->surface->bitmap().at(11, 11), 0x000000FFu);

  // Input before the pop-up is shown reaches nobody.
  screen.sendMouse(mm::kMove, {205, 105});
  screen.queueModalStep([&] {
    EXPECT_TRUE(popup->visible());
    screen.sendMouse(mm::kMove, {205, 105});
    screen.sendMouse(mm::kMove, {199, 105});  // just outside: not the pop-up's
    screen.click({269, 252});                 // the last pixel inside
    screen.sendMouse(mm::kRightDown, {200, 100});
    screen.sendKey(40);
  });
  screen.queueModalStep([&] { popup->close(); });
  screen.queueModalStep([] { ADD_FAILURE() << "the run went on after close()"; });
  EXPECT_EQ(popup->runModal(), ModalEnd::Closed);
  EXPECT_EQ(log,
            (std::vector<std::string>{"move0@5,5", "down1@69,152", "up1@69,152", "down2@0,0"}));
  EXPECT_EQ(keys, (std::vector<std::uint16_t>{40}));
  EXPECT_FALSE(popup->visible());
  EXPECT_EQ(screen.pendingModalSteps(), 1u);
}

// The drop-down's way of closing: a hook sees a left press outside the pop-up and closes it.
TEST(SimPopup, AHookClosesTheModalPopupOnAClickOutside) {
  SimServices services;
  auto& screen = services.screen();
  int popupInput = 0, deactivations = 0;
  std::unique_ptr<nx::PopupWindow> popup = services.createPopupWindow(
      {0, kBounds}, {.mouse = [&](const PopupMouseEvent&) { ++popupInput; },
                     .deactivated = [&] { ++deactivations; }});
  auto hook = services.installMouseHook([&](const MouseHookEvent& e) {
    const nx::Rect& b = kBounds;
    if (e.message == mm::kLeftDown && (e.screen.x < b.left || e.screen.x >= b.right ||
                                       e.screen.y < b.top || e.screen.y >= b.bottom))
      popup->close();
    return false;
  });
  screen.queueModalStep([&] { screen.sendMouse(mm::kRightDown, {50, 50}, 0x55); });
  screen.queueModalStep([&] { screen.sendMouse(mm::kLeftDown, {50, 50}, 0x55); });
  EXPECT_EQ(popup->runModal(), ModalEnd::Closed);
  EXPECT_EQ(popupInput, 0);
  // The right press outside took the activation; the left one closed it, after which the
  // pop-up hears nothing more.
  EXPECT_EQ(deactivations, 1);
  EXPECT_EQ(screen.pendingModalSteps(), 0u);
  hook.reset();
  EXPECT_EQ(screen.hooksInstalled(), 0u);

  // Shown again, it runs again, with the close request of the last run forgotten.
  screen.queueModalStep([&] { popup->close(); });
  EXPECT_EQ(popup->runModal(), ModalEnd::Closed);
  EXPECT_EQ(screen.popup(popup->handle())->modalRuns, 2);
}

TEST(SimPopup, ModalRunsEndOnQuitAndWhenTheWindowGoes) {
  SimServices services;
  auto& screen = services.screen();
  auto popup = services.createPopupWindow({0, kBounds}, {});
  screen.queueModalStep([&] { screen.postQuit(3); });
  EXPECT_EQ(popup->runModal(), ModalEnd::Quit);
  EXPECT_EQ(screen.takeQuit(), 3);  // passed on to the outer loop
  EXPECT_EQ(screen.takeQuit(), std::nullopt);

  const auto record = screen.popup(popup->handle());
  screen.queueModalStep([&] { popup.reset(); });
  EXPECT_EQ(popup->runModal(), ModalEnd::WindowGone);
  EXPECT_FALSE(record->alive);
  EXPECT_EQ(record->ends, (std::vector<ModalEnd>{ModalEnd::Quit, ModalEnd::WindowGone}));
}

TEST(SimPopup, FailuresInsideAModalRun) {
  SimServices services;
  auto& screen = services.screen();
  auto popup = services.createPopupWindow(
      {0, kBounds}, {.key = [](std::uint16_t) { throw std::runtime_error("key handler"); }});

  // A callback's exception closes the pop-up and comes out of runModal; the run takes no
  // further step.
  bool ranOn = false;
  screen.queueModalStep([&] { screen.sendKey(13); });
  screen.queueModalStep([&] {
    ranOn = true;
    popup->close();
  });
  EXPECT_THROW(popup->runModal(), std::runtime_error);
  EXPECT_FALSE(popup->visible());
  EXPECT_FALSE(ranOn);
  EXPECT_EQ(popup->runModal(), ModalEnd::Closed);  // the next run takes the step left over
  EXPECT_TRUE(ranOn);

  // Showing it modally from inside its own run is refused.
  bool refused = false;
  screen.queueModalStep([&] {
    try {
      popup->runModal();
    } catch (const nx::HostError&) {
      refused = true;
    }
    popup->close();
  });
  EXPECT_EQ(popup->runModal(), ModalEnd::Closed);
  EXPECT_TRUE(refused);

  // A script that runs out while the pop-up is open is a test error, not a hang.
  EXPECT_THROW(popup->runModal(), std::logic_error);
  EXPECT_FALSE(popup->visible());

  screen.setPopupCreationFails(true);
  EXPECT_THROW(services.createPopupWindow({0, kBounds}, {}), nx::HostError);
  screen.setPopupCreationFails(false);
  EXPECT_THROW(services.createPopupWindow({0, {10, 10, 5, 5}}, {}), nx::HostError);
}

}  // namespace

TEST(SimPopup, HasItsOwnParts) {
  SimServices services;
  auto popup = services.createPopupWindow({0x1234, kBounds}, {});
  nx::LabelPart& label = popup->parts().createLabel("PX");
  label.setBounds({0, 0, 600, 300});
  label.setTransparent(false);
  label.setBackColor(0x0000FF);
  label.setCaption("AT");
  auto& bar = popup->parts().createScrollBar("sBar");
  bar.setRange(0, 26);
  int changes = 0;
  bar.events().changed = [&] { ++changes; };
  ASSERT_TRUE(static_cast<nx::sim::SimScrollBar&>(bar).lineDown());
  EXPECT_EQ(bar.value(), 1);
  EXPECT_EQ(changes, 1);
  popup->parts().paint();
  const auto record = services.screen().popup(popup->handle());
  ASSERT_TRUE(record);
  EXPECT_EQ(record->surface->bitmap().at(35, 17),
            0x0000FFu);  // the label's back colour, past its text
}
