// What NxVATNumber tells accessibility clients: editable text whose value is the number and
// whose description is the member state, the invalid state a failed check leaves, its children
// (the number box that holds the focus, the code, the drop-down button) and the open list of
// states with its rows, their selection and their "Choose" action.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

#include "tests/support/access_support.h"
#include "tests/vatbox/vat_test_support.h"

namespace nx {
namespace {

using testing::Announcements;
using testing::countOf;
using vattest::box;
using vattest::vatSite;

constexpr std::uint16_t kDown = 40, kEscape = 27;
constexpr char kValidAT[] = "U13585627";

// Children of the control's element.
constexpr std::size_t kNumber = 0, kCode = 1, kButton = 2, kList = 3;

class VatAccess : public ::testing::Test {
 protected:
  void SetUp() override {
    vattest::registerPictures(host.services());
    v = &host.create<NxVATNumber>(vatSite(600, 900));
  }

  sim::SimScreen& screen() { return host.services().screen(); }
  void step(std::function<void()> f) { screen().queueModalStep(std::move(f)); }
  std::shared_ptr<sim::PopupRecord> record() {
    return screen().popups().empty() ? nullptr : screen().popups().back();
  }
  sim::SimWindow& window() { return host.window(*v); }
  // Runs the drop-down button's default action (it returns when the list is closed).
  void openByAction() {
    const AccessibleNode n = v->accessible();
    ASSERT_GT(n.children.size(), kButton);
    ASSERT_TRUE(n.children[kButton].action) << "the button has no action";
    n.children[kButton].action();
  }

  sim::SimHost host;
  NxVATNumber* v = nullptr;
};

TEST_F(VatAccess, DescribesTheNumberTheStateAndItsParts) {
  v->putProperty("VatCountry", Value{std::string("DE")});
  v->putProperty("vatNr", Value{std::string("123")});
  const AccessibleNode n = v->accessible();
  EXPECT_EQ(n.role, AccessRole::EditableText);
  EXPECT_EQ(n.name, "NxVATNumber1");
  EXPECT_EQ(n.value, "123");
  EXPECT_EQ(n.description, "Germany");
  EXPECT_TRUE(n.actionName.empty());
  ASSERT_EQ(n.children.size(), 3u);  // no list while it is closed

  const AccessibleNode& number = n.children[kNumber];
  EXPECT_EQ(number.role, AccessRole::EditableText);
  EXPECT_EQ(number.part, NxVATNumber::kNumberPart);
  EXPECT_EQ(number.part, "tvat");
  EXPECT_EQ(number.value, "123");
  EXPECT_EQ(number.description, "Germany");
  EXPECT_EQ(number.bounds, v->numberBox().bounds());
  EXPECT_TRUE(number.states & accstate::kFocusable);

  const AccessibleNode& code = n.children[kCode];
  EXPECT_EQ(code.role, AccessRole::StaticText);
  EXPECT_EQ(code.value, "DE");
  EXPECT_EQ(code.name, "Germany");
  EXPECT_TRUE(code.states & accstate::kReadOnly);

  const AccessibleNode& button = n.children[kButton];
  EXPECT_EQ(button.role, AccessRole::PushButton);
  EXPECT_EQ(button.name, "Choose the country");
  EXPECT_EQ(button.actionName, "Open");
  EXPECT_EQ(button.states, accstate::kCollapsed) << testing::states(button);
  EXPECT_EQ(button.bounds, v->button().bounds());

  // In Portuguese the state, the button and its action are named in Portuguese.
  v->putProperty("Language", Value{std::int32_t{taxid::NX_PT}});
  const AccessibleNode pt = v->accessible();
  EXPECT_EQ(pt.description, "Alemanha");
  EXPECT_EQ(pt.children[kButton].name, "Escolher o pa\xC3\xADs");
  EXPECT_EQ(pt.children[kButton].actionName, "Abrir");
}

TEST_F(VatAccess, TheButtonHasNoActionWhenTheListCannotOpen) {
  v->putProperty("CountrySelect", Value{VBool::False});
  AccessibleNode b = v->accessible().children[kButton];
  EXPECT_TRUE(b.states & accstate::kInvisible) << testing::states(b);
  EXPECT_FALSE(b.action);
  v->putProperty("CountrySelect", Value{VBool::True});
  v->putProperty("Enabled", Value{VBool::False});
  const AccessibleNode n = v->accessible();
  EXPECT_TRUE(n.states & accstate::kUnavailable);
  EXPECT_TRUE(n.children[kNumber].states & accstate::kUnavailable);
  EXPECT_FALSE(n.children[kNumber].states & accstate::kFocusable);
  b = n.children[kButton];
  EXPECT_TRUE(b.states & accstate::kUnavailable);
  EXPECT_FALSE(b.action);
  EXPECT_TRUE(b.actionName.empty());
  EXPECT_TRUE(screen().popups().empty());
}

TEST_F(VatAccess, AFailedCheckLeavesTheInvalidStateUntilTheNumberChanges) {
  host.focus(v);
  window().clearAnnouncements();
  ASSERT_TRUE(box(*v).typeText("U1"));
  // Typed but not checked yet: not invalid.
  EXPECT_FALSE(v->accessible().states & accstate::kInvalid);
  EXPECT_EQ(countOf(window().announcements(), AccessEvent::ValueChange, 0), 2);
  EXPECT_EQ(countOf(window().announcements(), AccessEvent::ValueChange, 1), 2);
  window().clearAnnouncements();

  vattest::leave(host, *v);  // leaving checks the number
  ASSERT_FALSE(v->valid());
  AccessibleNode n = v->accessible();
  EXPECT_TRUE(n.states & accstate::kInvalid) << testing::states(n);
  EXPECT_TRUE(n.children[kNumber].states & accstate::kInvalid);
  // Clients that know no invalid state hear it first in the description.
  EXPECT_EQ(n.description, "Invalid number, Austria");
  EXPECT_EQ(n.children[kNumber].description, "Invalid number, Austria");
  EXPECT_EQ(countOf(window().announcements(), AccessEvent::DescriptionChange, 0), 1);
  EXPECT_EQ(countOf(window().announcements(), AccessEvent::StateChange, 0), 1);
  EXPECT_EQ(countOf(window().announcements(), AccessEvent::StateChange, 1), 1);

  // Editing again takes the mark of the failed check away, as the text colour does.
  box(*v).setFocus();
  box(*v).typeChar(U'3');
  EXPECT_FALSE(v->accessible().states & accstate::kInvalid);
  EXPECT_EQ(v->accessible().description, "Austria");

  // A good number is not invalid before it is checked, nor after it passed.
  v->putProperty("vatNr", Value{std::string(kValidAT)});
  EXPECT_FALSE(v->accessible().states & accstate::kInvalid);
  box(*v).setFocus();
  vattest::leave(host, *v);
  ASSERT_TRUE(v->valid());
  EXPECT_FALSE(v->accessible().states & accstate::kInvalid);

  // With TypeCheck every change is checked.
  v->putProperty("TypeCheck", Value{VBool::True});
  box(*v).setFocus();
  box(*v).typeChar(U'9');
  EXPECT_TRUE(v->accessible().states & accstate::kInvalid);
  box(*v).typeChar(8);  // back to the good number
  EXPECT_FALSE(v->accessible().states & accstate::kInvalid);
  box(*v).typeChar(U'9');
  // An empty number is not invalid.
  v->putProperty("vatNr", Value{std::string()});
  EXPECT_FALSE(v->accessible().states & accstate::kInvalid);
}

TEST_F(VatAccess, TheNumberBoxHoldsTheFocus) {
  window().clearAnnouncements();
  host.focus(v);
  ASSERT_TRUE(box(*v).hasFocus());
  const AccessibleNode n = v->accessible();
  EXPECT_FALSE(n.states & accstate::kFocused) << testing::states(n);
  EXPECT_TRUE(n.children[kNumber].states & accstate::kFocused)
      << testing::states(n.children[kNumber]);
  EXPECT_EQ(n.children[kNumber].part, "tvat");
  // The box has a window of its own: the platform announces its focus.
  EXPECT_EQ(countOf(window().announcements(), AccessEvent::Focus, 0), 0);
  EXPECT_EQ(countOf(window().announcements(), AccessEvent::StateChange, 1), 1);
  window().clearAnnouncements();
  vattest::leave(host, *v);
  EXPECT_FALSE(v->accessible().children[kNumber].states & accstate::kFocused);
  EXPECT_EQ(countOf(window().announcements(), AccessEvent::StateChange, 1), 1);
}

TEST_F(VatAccess, ValuePutsAnnounceOnce) {
  window().clearAnnouncements();
  v->putProperty("vatNr", Value{std::string("123")});
  EXPECT_EQ(window().announcements(),
            (Announcements{{AccessEvent::ValueChange, 0}, {AccessEvent::ValueChange, 1}}));
  window().clearAnnouncements();
  v->putProperty("vatNr", Value{std::string("123")});
  EXPECT_TRUE(window().announcements().empty());
  v->putProperty("VatCountry", Value{std::string("FR")});  // clears the number
  EXPECT_EQ(countOf(window().announcements(), AccessEvent::ValueChange, 0), 1);
  EXPECT_EQ(countOf(window().announcements(), AccessEvent::DescriptionChange, 0), 1);
  EXPECT_EQ(countOf(window().announcements(), AccessEvent::ValueChange, 2), 1);  // the code
  window().clearAnnouncements();
  v->putProperty("VatCountry", Value{std::string("XX")});  // unknown: ignored
  EXPECT_TRUE(window().announcements().empty());
}

TEST_F(VatAccess, TheButtonActionOpensTheListWithItsRowsAsAChild) {
  bool checked = false;
  const WindowHandle owner = window().handle();
  step([&] {
    ASSERT_NE(v->openList(), nullptr);
    const AccessibleNode n = v->accessible();
    ASSERT_EQ(n.children.size(), 4u);
    EXPECT_TRUE(n.children[kButton].states & accstate::kExpanded);
    EXPECT_FALSE(n.children[kButton].action);  // open already
    const AccessibleNode& list = n.children[kList];
    EXPECT_EQ(list.role, AccessRole::List);
    EXPECT_EQ(list.name, "Countries");
    EXPECT_EQ(list.popup, static_cast<std::intptr_t>(record()->handle));
    EXPECT_NE(list.popup, static_cast<std::intptr_t>(owner));
    ASSERT_EQ(list.children.size(), 27u);
    int selected = 0;
    for (std::size_t i = 0; i < list.children.size(); ++i) {
      const AccessibleNode& row = list.children[i];
      EXPECT_EQ(row.role, AccessRole::ListItem);
      EXPECT_EQ(row.value, std::string(taxid::countryCode(static_cast<int>(i))));
      EXPECT_EQ(row.actionName, "Choose");
      EXPECT_TRUE(row.action);
      if (row.states & accstate::kSelected) ++selected;
      if (i > 0) {
        EXPECT_GT(row.bounds.top, list.children[i - 1].bounds.top);
      }
    }
    EXPECT_EQ(selected, 1);
    EXPECT_EQ(list.children[0].name, "AT Austria");
    EXPECT_TRUE(list.children[0].states & accstate::kSelected);
    EXPECT_TRUE(list.children[0].states & accstate::kFocused);
    EXPECT_FALSE(list.children[0].states & accstate::kInvisible);
    EXPECT_TRUE(list.children[26].states & accstate::kInvisible);  // scrolled out of view
    // The pop-up's own tree is the same list.
    ASSERT_TRUE(record()->callbacks.accessible);
    EXPECT_EQ(record()->callbacks.accessible().children.size(), 27u);
    // Clients heard the list appear.
    EXPECT_EQ(countOf(window().announcements(), AccessEvent::Show, 4), 1);
    checked = true;
    screen().sendKey(kEscape);
  });
  window().clearAnnouncements();
  openByAction();
  EXPECT_TRUE(checked);
  EXPECT_EQ(screen().pendingModalSteps(), 0u);
  EXPECT_EQ(v->openList(), nullptr);
  EXPECT_EQ(v->accessible().children.size(), 3u);
  EXPECT_EQ(countOf(window().announcements(), AccessEvent::Hide, 4), 1);
  EXPECT_EQ(v->vatCountry(), "AT");  // closed without a choice
}

TEST_F(VatAccess, DownMovesTheSelectionAndThePopupAnnouncesIt) {
  std::vector<std::pair<AccessEvent, int>> heard;
  step([&] {
    record()->announced.clear();
    screen().sendKey(kDown);
    heard = record()->announced;
    const AccessibleNode list = v->accessible().children[kList];
    EXPECT_EQ(list.value, "BE");
    EXPECT_FALSE(list.children[0].states & accstate::kSelected);
    EXPECT_TRUE(list.children[1].states & accstate::kSelected);
    EXPECT_TRUE(list.children[1].states & accstate::kFocused);
    screen().sendKey(kEscape);
  });
  openByAction();
  // Row 2 (Belgium) is the pop-up's second child.
  EXPECT_EQ(countOf(heard, AccessEvent::Selection, 2), 1);
  EXPECT_EQ(countOf(heard, AccessEvent::Focus, 2), 1);
  EXPECT_EQ(countOf(heard, AccessEvent::Selection, 1), 0);
}

TEST_F(VatAccess, ARowsActionChoosesItAndClosesTheList) {
  host.focus(v);
  box(*v).typeText("U1");
  host.site(*v).clearLog();
  step([&] {
    const AccessibleNode list = v->accessible().children[kList];
    ASSERT_EQ(list.children.size(), 27u);
    const auto france = static_cast<std::size_t>(taxid::countryIndex("FR"));
    ASSERT_LT(france, list.children.size());
    EXPECT_EQ(list.children[france].value, "FR");
    list.children[france].action();
  });
  window().clearAnnouncements();
  openByAction();
  EXPECT_EQ(screen().pendingModalSteps(), 0u);
  EXPECT_EQ(v->openList(), nullptr);
  EXPECT_FALSE(record()->visible);
  EXPECT_EQ(v->vatCountry(), "FR");
  EXPECT_EQ(v->vatNr(), "");
  EXPECT_EQ(v->accessible().description, "France");
  // As the keyboard's choice does: Change for the cleared number and for the choice.
  EXPECT_EQ(host.site(*v).eventCount(vattest::kChange), 2);
  EXPECT_EQ(countOf(window().announcements(), AccessEvent::DescriptionChange, 0), 1);
  EXPECT_EQ(countOf(window().announcements(), AccessEvent::ValueChange, 2), 1);

  // A row out of range chooses nothing.
  step([&] {
    vatbox::CountryDropDown* l = v->openList();
    ASSERT_NE(l, nullptr);
    l->choose(27);
    l->choose(-1);
    EXPECT_TRUE(l->visible());
    screen().sendKey(kEscape);
  });
  openByAction();
  EXPECT_EQ(v->vatCountry(), "FR");
}

}  // namespace
}  // namespace nx
