// The country drop-down of NxVATNumber on the simulated screen: where it opens, what it selects,
// how the keys and the mouse choose, how it closes without a choice (Escape, deactivation, the
// mouse hook), the hook's lifetime and the flag pictures.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/runtime/mouse_hook.h"
#include "tests/vatbox/vat_test_support.h"

namespace nx {
namespace {

namespace mm = mouse_message;
using vattest::box;
using vattest::eventPositions;
using vattest::kChange;
using vattest::vatSite;

constexpr std::uint16_t kDown = 40, kEnter = 13, kEscape = 27;
constexpr std::int16_t kF4 = 115;

std::int32_t px(double twips) {
  return static_cast<std::int32_t>(std::lround(twips / 15.0));
}

class VatDropDown : public ::testing::Test {
 protected:
  void SetUp() override {
    vattest::registerPictures(host.services());
    v = &host.create<NxVATNumber>(vatSite(600, 900));
  }

  sim::SimScreen& screen() { return host.services().screen(); }
  void step(std::function<void()> f) { screen().queueModalStep(std::move(f)); }

  // Presses and releases the left button over the middle of the drop-down button.
  void clickButton(NxVATNumber& c) {
    const PartRect b = c.button().bounds();
    host.moveMouse(host.screenPoint(c, px(b.left + b.width / 2), px(b.top + b.height / 2)));
    host.mouseDown(c, kLeftButton);
    host.mouseUp(c, kLeftButton);
  }
  void clickButton() { clickButton(*v); }

  vatbox::CountryDropDown& list() {
    vatbox::CountryDropDown* l = v->openList();
    if (l == nullptr) throw std::logic_error("no list is open");
    return *l;
  }
  std::shared_ptr<sim::PopupRecord> record() {
    return screen().popups().empty() ? nullptr : screen().popups().back();
  }
  // A screen pixel over the middle of a row of the open (unscrolled) list.
  Point rowPoint(int row) {
    const Rect b = list().bounds();
    return Point{b.left + 10, b.top + px(255.0 * row + 15 + 120)};
  }
  // Escape in the list, queued.
  void escapeLater() {
    step([this] { screen().sendKey(kEscape); });
  }

  sim::SimHost host;
  NxVATNumber* v = nullptr;
};

TEST_F(VatDropDown, ButtonClickOpensTheListUnderTheControlWithAustriaSelected) {
  v->putProperty("VatCountry", Value{std::string("DE")});
  v->putProperty("FocusBorder", Value{std::int32_t{0x00123456}});
  const Point o = host.window(*v).clientOrigin();
  EXPECT_EQ(screen().hooksInstalled(), 0u);
  bool checked = false;
  step([&] {
    vatbox::CountryDropDown& l = list();
    EXPECT_TRUE(l.visible());
    // 285 twips under the client origin, 1050 x 2295 twips.
    EXPECT_EQ(l.bounds(), (Rect{o.x, o.y + 19, o.x + 70, o.y + 19 + 153}));
    EXPECT_EQ(l.list().selected(), 0);  // Austria, whatever the control shows
    EXPECT_EQ(l.toolTip(), "Austria");
    EXPECT_EQ(record()->params.owner, host.window(*v).handle());
    EXPECT_TRUE(record()->modal);
    EXPECT_EQ(screen().hooksInstalled(), 1u);
    EXPECT_TRUE(v->hookInstalled());
    EXPECT_TRUE(v->dropping());
    EXPECT_EQ(v->buttonLook(), 2);
    EXPECT_EQ(v->button().picture(), host.services().loadResourcePicture("BT_2"));
    EXPECT_EQ(v->frame().borderColor(), 0x00123456u);  // open: the focus colour
    // The list's frame takes FocusBorder; the first flag sits at (15, 15) twips.
    const sim::Bitmap& bmp = record()->surface->bitmap();
    EXPECT_EQ(bmp.at(0, 0), 0x00123456u);
    EXPECT_EQ(bmp.at(2, 2), vattest::flagColor(0));
    checked = true;
    screen().sendKey(kEscape);
  });
  clickButton();
  EXPECT_TRUE(checked);
  EXPECT_EQ(v->openList(), nullptr);  // unloaded
  EXPECT_FALSE(record()->alive);
  EXPECT_EQ(screen().hooksInstalled(), 0u);
  EXPECT_EQ(screen().hookInstalls(), 1);
  EXPECT_FALSE(v->dropping());
  EXPECT_EQ(v->buttonLook(), 0);
  EXPECT_EQ(v->frame().borderColor(), 0x000000u);
  EXPECT_EQ(v->vatCountry(), "DE");
  EXPECT_EQ(screen().pendingModalSteps(), 0u);
}

TEST_F(VatDropDown, ReleasingOffTheButtonOrADisabledControlOpensNothing) {
  const PartRect b = v->button().bounds();
  host.moveMouse(host.screenPoint(*v, px(b.left + 15), px(b.top + 30)));
  host.mouseDown(*v, kLeftButton);
  EXPECT_EQ(v->buttonLook(), 2);                  // pressed
  host.moveMouse(host.screenPoint(*v, 100, 10));  // over the number box
  host.mouseUp(*v, kLeftButton);
  EXPECT_EQ(v->buttonLook(), 0);
  EXPECT_TRUE(screen().popups().empty());
  // A press outside the button (on the code) does nothing either.
  host.moveMouse(host.screenPoint(*v, 4, 10));
  host.mouseDown(*v, kLeftButton);
  host.mouseUp(*v, kLeftButton);
  EXPECT_TRUE(screen().popups().empty());
  v->putProperty("Enabled", Value{VBool::False});
  clickButton();
  EXPECT_TRUE(screen().popups().empty());
  EXPECT_EQ(screen().hookInstalls(), 0);
}

TEST_F(VatDropDown, F4AndAltDownInTheBoxOpenItAndTheBoxKeepsTheFocus) {
  host.focus(v);
  escapeLater();
  EXPECT_TRUE(box(*v).keyDown(kF4));
  EXPECT_EQ(screen().popups().size(), 1u);
  EXPECT_TRUE(box(*v).hasFocus());
  EXPECT_EQ(v->buttonLook(), 1);
  escapeLater();
  box(*v).keyDown(keys::kDown, shiftkeys::kAlt);
  EXPECT_EQ(screen().popups().size(), 2u);
  box(*v).keyDown(keys::kDown);  // Down alone moves the caret
  EXPECT_EQ(screen().popups().size(), 2u);
  EXPECT_EQ(screen().pendingModalSteps(), 0u);
}

TEST_F(VatDropDown, OpensAboveTheControlWhenTheWorkAreaEndsBelowIt) {
  const Point o = host.window(*v).clientOrigin();
  host.services().setWorkArea(Rect{0, 0, 1024, o.y + 100});
  step([&] {
    EXPECT_EQ(list().bounds(), (Rect{o.x, o.y - 153, o.x + 70, o.y}));
    screen().sendKey(kEscape);
  });
  clickButton();
  // With room below again it opens below.
  host.services().setWorkArea(Rect{0, 0, 1024, 768});
  step([&] {
    EXPECT_EQ(list().bounds().top, o.y + 19);
    screen().sendKey(kEscape);
  });
  clickButton();
  EXPECT_EQ(screen().pendingModalSteps(), 0u);
}

TEST_F(VatDropDown, DownAndEnterChooseTheCountryClearTheNumberAndRaiseChange) {
  host.focus(v);
  box(*v).typeText("U123");
  host.site(*v).clearLog();
  step([&] {
    screen().sendKey(kDown);
    EXPECT_EQ(list().toolTip(), "Belgium");
    screen().sendKey(kEnter);
  });
  clickButton();
  EXPECT_EQ(v->vatCountry(), "BE");
  EXPECT_EQ(v->codeLabel().toolTip(), "Belgium");
  EXPECT_EQ(v->vatNr(), "");
  EXPECT_TRUE(box(*v).hasFocus());
  EXPECT_TRUE(v->numberHasFocus());
  // Once for the cleared number, once for the choice.
  EXPECT_EQ(eventPositions(host.site(*v)), (std::vector<int>{kChange, kChange}));

  // The number empty already: one Change. The focus comes to the box from elsewhere.
  vattest::leave(host, *v);
  host.site(*v).clearLog();
  step([&] {
    screen().sendKey(kDown);
    screen().sendKey(kDown);
    screen().sendKey(kEnter);
  });
  clickButton();
  EXPECT_EQ(v->vatCountry(), "BG");
  EXPECT_TRUE(box(*v).hasFocus());
  EXPECT_EQ(v->frame().borderColor(), v->focusBorder());
  EXPECT_EQ(eventPositions(host.site(*v)), (std::vector<int>{kChange}));
}

TEST_F(VatDropDown, DownTwentySixTimesScrollsTheBarAndChoosesSlovakia) {
  step([&] {
    for (int i = 0; i < 27; ++i) screen().sendKey(kDown);
    EXPECT_EQ(list().list().selected(), 26);
    EXPECT_EQ(list().scrollBar().value(), 4590);
    EXPECT_EQ(list().scrollBar().max(), 4605);
    EXPECT_EQ(list().toolTip(), "Slovakia");
    // The last flag is drawn where the scrolled list shows it: 6645 - 4590 twips down.
    EXPECT_EQ(record()->surface->bitmap().at(2, px(6645 - 4590) + 2), vattest::flagColor(26));
    screen().sendKey(kEnter);
  });
  clickButton();
  EXPECT_EQ(v->vatCountry(), "SK");
  EXPECT_EQ(v->euroCountry(), "Slovakia");
}

TEST_F(VatDropDown, EscapeAndDeactivationReturnNothingAndChangeNothing) {
  v->putProperty("vatNr", Value{std::string("U1")});
  host.site(*v).clearLog();
  step([&] {
    screen().sendKey(kDown);
    screen().sendKey(kEscape);
  });
  clickButton();
  EXPECT_EQ(v->vatCountry(), "AT");
  EXPECT_EQ(v->vatNr(), "U1");
  // Another window takes the activation: a right press outside the list.
  step([&] {
    screen().sendKey(kDown);
    const Rect b = list().bounds();
    screen().sendMouse(mm::kRightDown, {b.right + 40, b.top + 5}, 0x4321);
  });
  clickButton();
  EXPECT_EQ(record()->deactivations, 1);
  EXPECT_EQ(v->vatCountry(), "AT");
  EXPECT_EQ(v->vatNr(), "U1");
  EXPECT_TRUE(host.site(*v).log().empty());
  EXPECT_EQ(screen().pendingModalSteps(), 0u);
}

TEST_F(VatDropDown, MouseHighlightsRowsWithNamesInTheControlsLanguageAndAClickChooses) {
  v->putProperty("Language", Value{std::int32_t{taxid::NX_PT}});
  step([&] {
    EXPECT_EQ(list().toolTip(), "\xC3\x81ustria");
    screen().sendMouse(mm::kMove, rowPoint(1));
    EXPECT_EQ(list().list().selected(), 1);
    EXPECT_EQ(list().toolTip(), "B\xC3\xA9lgica");
    screen().sendMouse(mm::kMove, rowPoint(2));
    EXPECT_EQ(list().toolTip(), "Bulg\xC3\xA1ria");
    // A right press in the list is no choice and does not close it.
    screen().sendMouse(mm::kRightDown, rowPoint(2));
    screen().sendMouse(mm::kRightUp, rowPoint(2));
    EXPECT_TRUE(list().visible());
  });
  step([&] { screen().click(rowPoint(2)); });
  clickButton();
  EXPECT_EQ(record()->deactivations, 0);
  EXPECT_EQ(v->vatCountry(), "BG");
  EXPECT_EQ(v->codeLabel().toolTip(), "Bulg\xC3\xA1ria");
  EXPECT_EQ(v->euroCountry(), "Bulg\xC3\xA1ria");
}

TEST_F(VatDropDown, ClickOnTheLastPixelInsideIsAChoiceNotAClickOutside) {
  step([&] {
    const Rect b = list().bounds();
    // 152 pixels down is 2280 twips: row 8 (2055 to 2295).
    screen().click({b.right - 1 - 20, b.bottom - 1});
  });
  clickButton();
  EXPECT_EQ(v->vatCountry(), "EL");
}

TEST_F(VatDropDown, LeftPressOutsideClosesItThroughTheHookWithoutAChoice) {
  v->putProperty("vatNr", Value{std::string("U1")});
  host.site(*v).clearLog();
  Point outside;
  step([&] {
    screen().sendKey(kDown);
    const Rect b = list().bounds();
    outside = {b.left - 1, b.top + 10};
    EXPECT_FALSE(screen().sendMouse(mm::kLeftDown, outside, 0x4321));  // not swallowed
    EXPECT_FALSE(list().visible());
  });
  clickButton();
  // The hook hid it before any window could take the activation.
  EXPECT_EQ(record()->deactivations, 0);
  EXPECT_EQ(v->vatCountry(), "AT");
  EXPECT_EQ(v->vatNr(), "U1");
  EXPECT_TRUE(host.site(*v).events().empty());
  EXPECT_EQ(screen().hooksInstalled(), 0u);
}

TEST_F(VatDropDown, FramePressesAnywhereCloseItRightPressesInAClientAreaDoNot) {
  for (std::uint32_t message : {mm::kNcLeftDown, mm::kNcRightDown, mm::kNcMiddleDown}) {
    step([&] {
      screen().sendMouse(message, rowPoint(3));  // even over the list itself
      EXPECT_FALSE(list().visible()) << message;
    });
    clickButton();
    EXPECT_EQ(record()->deactivations, 0) << message;
    EXPECT_EQ(v->vatCountry(), "AT");
  }
  // A right press in another window's client area: the hook lets it be; the list only goes
  // because the other window takes the activation.
  step([&] {
    const Rect b = list().bounds();
    screen().sendMouse(mm::kRightDown, {b.left - 30, b.top}, 0x4321);
  });
  clickButton();
  EXPECT_EQ(record()->deactivations, 1);
  // A middle press in a client area is no close request either.
  step([&] {
    const Rect b = list().bounds();
    screen().sendMouse(mm::kMiddleDown, {b.left - 30, b.top}, 0x4321);
  });
  clickButton();
  EXPECT_EQ(record()->deactivations, 1);
  EXPECT_EQ(screen().pendingModalSteps(), 0u);
}

TEST_F(VatDropDown, TheCloseRequestOfTheLastListIsForgottenWhenOpeningAgain) {
  step([&] { screen().sendMouse(mm::kNcLeftDown, {5, 5}); });
  clickButton();
  ASSERT_EQ(v->openList(), nullptr);
  bool stillOpen = false;
  step([&] { screen().sendMouse(mm::kMove, rowPoint(4)); });  // reaches the hook
  step([&] {
    stillOpen = list().visible();
    screen().sendKey(kEnter);
  });
  clickButton();
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(v->vatCountry(), "CZ");
  EXPECT_EQ(screen().hookInstalls(), 2);
}

TEST_F(VatDropDown, TerminatingWithTheListOpenRemovesTheHook) {
  NxVATNumber& other = host.create<NxVATNumber>(vatSite(0, 3000));
  step([&] {
    ASSERT_EQ(screen().hooksInstalled(), 1u);
    v->Terminate();  // the form goes while the list is open
    EXPECT_EQ(screen().hooksInstalled(), 0u);
    EXPECT_FALSE(record()->visible);
  });
  clickButton();
  EXPECT_EQ(screen().hooksInstalled(), 0u);
  EXPECT_EQ(v->openList(), nullptr);
  EXPECT_EQ(v->vatCountry(), "AT");
  EXPECT_EQ(NxVATNumber::instances(), 1);
  host.destroy(*v);
  EXPECT_EQ(NxVATNumber::instances(), 1);
  EXPECT_TRUE(NxVATNumber::flagsLoaded());  // the other instance still holds them
  host.destroy(other);
  EXPECT_EQ(NxVATNumber::instances(), 0);
  EXPECT_FALSE(NxVATNumber::flagsLoaded());
}

TEST_F(VatDropDown, FlagsLoadOnTheFirstOpeningAndGoWithTheLastInstance) {
  NxVATNumber& second = host.create<NxVATNumber>(vatSite(0, 3000));
  EXPECT_EQ(NxVATNumber::instances(), 2);
  EXPECT_FALSE(NxVATNumber::flagsLoaded());
  EXPECT_EQ(host.services().pictureLoads(), 3);  // the button's three looks
  escapeLater();
  clickButton();
  EXPECT_TRUE(NxVATNumber::flagsLoaded());
  EXPECT_EQ(host.services().pictureLoads(), 30);
  escapeLater();
  clickButton(second);
  EXPECT_EQ(host.services().pictureLoads(), 30);  // shared
  host.destroy(*v);
  EXPECT_TRUE(NxVATNumber::flagsLoaded());
  host.destroy(second);
  EXPECT_FALSE(NxVATNumber::flagsLoaded());
  EXPECT_EQ(NxVATNumber::instances(), 0);
  NxVATNumber& third = host.create<NxVATNumber>(vatSite());
  escapeLater();
  clickButton(third);
  EXPECT_EQ(host.services().pictureLoads(), 60);
}

}  // namespace
}  // namespace nx
