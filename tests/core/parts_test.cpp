#include "core/runtime/parts.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "core/runtime/utf8.h"
#include "platform/sim/sim_host.h"
#include "platform/sim/sim_objects.h"
#include "platform/sim/sim_parts.h"
#include "platform/sim/sim_surface.h"

namespace nx::sim {
namespace {

constexpr Rgb kWhite = 0x00FFFFFF;
constexpr Rgb kRed = 0x000000FF;
constexpr Rgb kBlue = 0x00FF0000;
constexpr Rgb kGreen = 0x0000FF00;

// A 40 x 20 pixel white surface at 15 twips per pixel with the parts of one window.
struct Fixture {
  SimSurface surface{15, 15, std::make_shared<Switches>(), std::make_shared<SimFont>()};
  SimPartFactory parts{surface};
  Fixture() {
    surface.setBackColor(kWhite);
    surface.resizePixels(40, 20);
    surface.clear();
  }
  Rgb at(int x, int y) const { return surface.bitmap().at(x, y); }
};

TEST(PartFactory, NamesAreUniqueWithoutRegardToCaseAndFoundByKind) {
  Fixture f;
  TextBoxPart& box = f.parts.createTextBox("tvat");
  LabelPart& label = f.parts.createLabel("CTRY");
  EXPECT_THROW(f.parts.createShape("TVAT"), std::invalid_argument);
  EXPECT_THROW(f.parts.createLabel(""), std::invalid_argument);
  EXPECT_EQ(f.parts.size(), 2u);
  EXPECT_EQ(f.parts.find("ctry"), &label);
  EXPECT_EQ(f.parts.findAs<TextBoxPart>("TVat"), &box);
  EXPECT_EQ(f.parts.findAs<LabelPart>("tvat"), nullptr);
  EXPECT_EQ(f.parts.find("BKG"), nullptr);
  EXPECT_EQ(box.name(), "tvat");
}

TEST(PartFactory, DrawnPartChangesAskForARedrawOnlyWhenTheLookChanges) {
  Fixture f;
  int redraws = 0;
  f.parts.setRedrawHandler([&] { ++redraws; });
  ShapePart& s = f.parts.createShape("BKG");
  LabelPart& l = f.parts.createLabel("CTRY");
  s.setBorderColor(kRed);
  s.setBorderColor(kRed);
  l.setCaption("AT");
  l.setCaption("AT");
  l.move(30, 45);
  l.move(30, 45);
  s.setVisible(false);
  s.setVisible(false);
  EXPECT_EQ(redraws, 4);
  // Input parts are windows of their own: they never ask the control to redraw.
  TextBoxPart& t = f.parts.createTextBox("tvat");
  t.setBounds({0, 0, 300, 200});
  t.setVisible(false);
  EXPECT_EQ(redraws, 4);
}

TEST(DrawnParts, ShapesDrawBorderInsideAndFillInCreationOrderAndHitTestTopmost) {
  Fixture f;
  ShapePart& back = f.parts.createShape("BKG");
  back.setBounds({0, 0, 300, 150});  // 20 x 10 pixels
  back.setBorderColor(kRed);
  back.setBorderWidth(2);
  back.setFillColor(kGreen);
  back.setFilled(true);
  ShapePart& box = f.parts.createShape("CTBK");
  box.setBounds({75, 30, 60, 45});  // pixels (5, 2)..(8, 4)
  box.setBorderColor(kBlue);
  ShapePart& hidden = f.parts.createShape("gone");
  hidden.setBounds({0, 0, 600, 300});
  hidden.setFilled(true);
  hidden.setFillColor(0);
  hidden.setVisible(false);

  f.surface.setForeColor(0x123456);
  f.surface.setCurrentPosition(7, 9);
  f.parts.paint();
  EXPECT_EQ(f.at(0, 0), kRed);
  EXPECT_EQ(f.at(1, 1), kRed);   // second border ring
  EXPECT_EQ(f.at(19, 9), kRed);  // last pixel of the bounds
  EXPECT_EQ(f.at(18, 8), kRed);
  EXPECT_EQ(f.at(20, 9), kWhite);  // outside the bounds
  EXPECT_EQ(f.at(2, 2), kGreen);
  EXPECT_EQ(f.at(5, 2), kBlue);  // the later shape is drawn over the earlier one
  EXPECT_EQ(f.at(8, 4), kBlue);
  EXPECT_EQ(f.at(6, 3), kGreen);    // no fill: what is below shows
  EXPECT_EQ(f.at(30, 15), kWhite);  // the hidden shape is not drawn
  EXPECT_EQ(f.surface.foreColor(), 0x123456u);
  EXPECT_EQ(f.surface.currentX(), 7);
  EXPECT_EQ(f.surface.currentY(), 9);

  EXPECT_EQ(f.parts.drawnPartAt(80, 35), &box);
  EXPECT_EQ(f.parts.drawnPartAt(20, 20), &back);
  EXPECT_EQ(f.parts.drawnPartAt(500, 200), nullptr);  // only the hidden shape is there
  EXPECT_EQ(f.parts.drawnPartAt(300, 0), nullptr);    // right edge is outside

  box.setBorderWidth(-3);
  EXPECT_EQ(box.borderWidth(), 0);
  box.setBounds({10, 10, -5, -5});
  EXPECT_EQ(box.bounds().width, 0);
  f.parts.paint();  // an empty shape draws nothing and does not fail
}

TEST(DrawnParts, LabelsAlignWrapFitAndCut) {
  Fixture f;
  // Characters of the default font are 6 pixels (90 twips) wide, lines 13 pixels (195 twips).
  LabelPart& l = f.parts.createLabel("CTRY");
  l.setBounds({0, 0, 600, 195});  // 40 pixels
  l.setCaption("AT");
  l.setForeColor(kRed);
  l.setBackColor(kGreen);
  l.setAlignment(PartAlign::Right);
  f.parts.paint();
  // Right aligned: the two 6-pixel cells occupy pixels 28..39; a glyph outlines (1, 2) of its
  // cell, so pixel 29 of row 2 is drawn and everything left of the text is the back colour.
  EXPECT_EQ(f.at(29, 2), kRed);
  EXPECT_EQ(f.at(1, 2), kGreen);
  EXPECT_EQ(f.at(0, 0), kGreen);

  f.surface.clear();
  l.setAlignment(PartAlign::Left);
  l.setTransparent(true);
  f.parts.paint();
  EXPECT_EQ(f.at(1, 2), kRed);
  EXPECT_EQ(f.at(29, 2), kWhite);
  EXPECT_EQ(f.at(20, 0), kWhite);  // transparent: the surface shows through

  // Word wrap at spaces within the width; a long word keeps a line of its own.
  l.setBounds({0, 0, 450, 195});  // five characters per line
  l.setWordWrap(true);
  l.setCaption("ab cd efghijk l\nm");
  EXPECT_EQ(l.lines(), (std::vector<std::string>{"ab cd", "efghijk", "l", "m"}));
  l.setAutoSize(true);
  EXPECT_EQ(l.bounds().height, 4 * 195);
  EXPECT_EQ(l.bounds().width, 450);
  l.setCaption("ab");
  EXPECT_EQ(l.bounds().height, 195);

  // Without word wrap auto size takes the widest line.
  l.setWordWrap(false);
  l.setCaption("abc\r\nabcdef");
  EXPECT_EQ(l.bounds().width, 6 * 90);
  EXPECT_EQ(l.bounds().height, 2 * 195);

  // A caption wider than a fixed label is cut at its right edge.
  l.setAutoSize(false);
  l.setTransparent(false);
  l.setBackColor(kWhite);
  l.setBounds({0, 0, 180, 195});  // two characters
  l.setCaption("WXYZ");
  f.surface.clear();
  f.parts.paint();
  EXPECT_EQ(f.at(7, 2), kRed);     // second character
  EXPECT_EQ(f.at(13, 2), kWhite);  // the third is not drawn
}

TEST(DrawnParts, PicturesTakeTheirSizeAndPaint) {
  Fixture f;
  Bitmap pixels(3, 2, kBlue);
  auto picture = std::make_shared<SimPicture>(std::move(pixels));
  PicturePart& p = f.parts.createPicture("dd_but");
  p.move(150, 75);
  f.parts.paint();  // no picture yet: nothing drawn
  EXPECT_EQ(f.at(10, 5), kWhite);
  p.setPicture(picture);
  EXPECT_EQ(p.bounds(), (PartRect{150, 75, 45, 30}));
  f.parts.paint();
  EXPECT_EQ(f.at(10, 5), kBlue);
  EXPECT_EQ(f.at(12, 6), kBlue);
  EXPECT_EQ(f.at(13, 6), kWhite);
  p.setAutoSize(false);
  p.resize(90, 30);
  f.parts.paint();
  EXPECT_EQ(f.at(15, 6), kBlue);  // stretched to six pixels
}

// A box whose filter turns "." into "," and swallows letters, recording what it sees.
struct FilteredBox {
  Fixture f;
  SimTextBox& box;
  std::vector<std::string> events;
  FilteredBox() : box(static_cast<SimTextBox&>(f.parts.createTextBox("digits"))) {
    TextBoxEvents& e = box.events();
    e.keyFilter = [this](char32_t& ch) {
      events.push_back("key " + std::to_string(static_cast<int>(ch)));
      if (ch == U'.') ch = U',';
      if ((ch >= U'a' && ch <= U'z') || (ch >= U'A' && ch <= U'Z')) ch = 0;
    };
    e.changed = [this] { events.push_back("change " + box.text()); };
    e.gotFocus = [this] { events.push_back("got"); };
    e.lostFocus = [this] { events.push_back("lost"); };
  }
};

TEST(SimTextBox, FilterSeesEveryCharacterBeforeItGoesInAtTheCaret) {
  FilteredBox t;
  EXPECT_FALSE(t.box.typeChar(U'1'));  // no focus: the key goes elsewhere
  EXPECT_TRUE(t.events.empty());
  ASSERT_TRUE(t.box.setFocus());
  EXPECT_TRUE(t.box.typeText("12a.5"));
  EXPECT_EQ(t.box.text(), "12,5");
  EXPECT_EQ(t.box.selStart(), 4);
  EXPECT_EQ(t.events,
            (std::vector<std::string>{"got", "key 49", "change 1", "key 50", "change 12", "key 97",
                                      "key 46", "change 12,", "key 53", "change 12,5"}));
  // Typing replaces the selection; Backspace goes through the filter and deletes.
  t.box.setSelection(1, 2);
  EXPECT_EQ(t.box.selectedText(), "2,");
  t.box.typeChar(U'7');
  EXPECT_EQ(t.box.text(), "175");
  EXPECT_EQ(t.box.caret(), 2);
  t.events.clear();
  t.box.typeChar(keys::kBack);
  EXPECT_EQ(t.box.text(), "15");
  EXPECT_EQ(t.events, (std::vector<std::string>{"key 8", "change 15"}));
  t.box.setSelStart(0);
  t.events.clear();
  t.box.typeChar(keys::kBack);    // nothing before the caret: no change
  t.box.typeChar(keys::kReturn);  // Enter reaches the filter and inserts nothing
  EXPECT_EQ(t.box.text(), "15");
  EXPECT_EQ(t.events, (std::vector<std::string>{"key 8", "key 13"}));
}

TEST(SimTextBox, FilterMayEditTheBoxItselfAndSwallowTheKey) {
  Fixture f;
  TextBoxPart& part = f.parts.createTextBox("digits");
  auto& box = static_cast<SimTextBox&>(part);
  int changes = 0;
  box.events().changed = [&] { ++changes; };
  // A second comma selects the two decimals instead of going in; "-" toggles a leading sign.
  box.events().keyFilter = [&](char32_t& ch) {
    const std::string s = box.text();
    if (ch == U',' && s.find(',') != std::string::npos) {
      box.setSelection(static_cast<int>(s.find(',')) + 1, 2);
      ch = 0;
    } else if (ch == U'-') {
      const int caret = box.selStart();
      box.setText(s[0] == '-' ? s.substr(1) : "-" + s);
      box.setSelStart(s[0] == '-' ? caret - 1 : caret + 1);
      ch = 0;
    }
  };
  box.setText("12,50");
  EXPECT_EQ(changes, 1);
  box.setText("12,50");  // the same text: no change
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(box.selStart(), 0);
  box.setFocus();
  box.setSelStart(1);
  box.typeChar(U',');
  EXPECT_EQ(box.text(), "12,50");
  EXPECT_EQ(box.selStart(), 3);
  EXPECT_EQ(box.selLength(), 2);
  box.typeChar(U'7');  // replaces the selected decimals
  EXPECT_EQ(box.text(), "12,7");
  box.setSelStart(2);
  box.typeChar(U'-');
  EXPECT_EQ(box.text(), "-12,7");
  EXPECT_EQ(box.selStart(), 3);
  box.typeChar(U'-');
  EXPECT_EQ(box.text(), "12,7");
  EXPECT_EQ(box.selStart(), 2);
}

TEST(SimTextBox, KeysMoveTheCaretExtendTheSelectionAndDelete) {
  Fixture f;
  auto& box = static_cast<SimTextBox&>(f.parts.createTextBox("tvat"));
  std::vector<int> downs;
  bool swallowDelete = false;
  box.events().keyDown = [&](std::int16_t& code, std::int16_t shift) {
    downs.push_back(code * 10 + shift);
    if (swallowDelete && code == keys::kDelete) code = 0;
  };
  box.setText("ABCDE");
  EXPECT_FALSE(box.keyDown(keys::kEnd));  // no focus
  box.setFocus();
  box.keyDown(keys::kEnd);
  EXPECT_EQ(box.caret(), 5);
  box.keyDown(keys::kLeft, shiftkeys::kShift);
  box.keyDown(keys::kLeft, shiftkeys::kShift);
  EXPECT_EQ(box.selStart(), 3);
  EXPECT_EQ(box.selLength(), 2);
  box.keyDown(keys::kLeft);  // collapses to the start of the selection
  EXPECT_EQ(box.selStart(), 3);
  EXPECT_EQ(box.selLength(), 0);
  box.keyDown(keys::kDelete);
  EXPECT_EQ(box.text(), "ABCE");
  swallowDelete = true;
  box.keyDown(keys::kDelete);
  EXPECT_EQ(box.text(), "ABCE");
  box.keyDown(keys::kHome, shiftkeys::kShift);
  EXPECT_EQ(box.selectedText(), "ABC");
  swallowDelete = false;
  box.keyDown(keys::kDelete);
  EXPECT_EQ(box.text(), "E");
  box.keyDown(keys::kRight);
  box.keyDown(keys::kRight);  // stops at the end
  EXPECT_EQ(box.caret(), 1);
  EXPECT_EQ(downs.front(), keys::kEnd * 10);
  EXPECT_EQ(downs[1], keys::kLeft * 10 + 1);
  EXPECT_EQ(downs.size(), 10u);
}

TEST(SimTextBox, SelectionClampsAndCountsCharactersNotBytes) {
  Fixture f;
  TextBoxPart& box = f.parts.createTextBox("tvat");
  box.setText(
      "1\xE2\x82\xAC"
      "23");  // "1€23": four characters, six bytes
  box.setSelection(1, 99);
  EXPECT_EQ(box.selStart(), 1);
  EXPECT_EQ(box.selLength(), 3);
  EXPECT_EQ(box.selectedText(),
            "\xE2\x82\xAC"
            "23");
  box.setSelection(-4, -1);
  EXPECT_EQ(box.selStart(), 0);
  EXPECT_EQ(box.selLength(), 0);
  box.setSelection(10, 1);
  EXPECT_EQ(box.selStart(), 4);
  EXPECT_EQ(box.selLength(), 0);
  auto& sim = static_cast<SimTextBox&>(box);
  sim.setFocus();
  sim.setSelection(1, 1);
  sim.typeChar(U'\u00A3');  // "£" replaces "€"
  EXPECT_EQ(box.text(),
            "1\xC2\xA3"
            "23");
  sim.typeChar(U'\U0001F600');  // a character outside the 16-bit range is one character
  EXPECT_EQ(box.selStart(), 3);
  // Malformed UTF-8 becomes replacement characters, one per bad byte.
  box.setText("a\xC3");
  EXPECT_EQ(box.text(), "a\xEF\xBF\xBD");
}

TEST(SimTextBox, FocusMovesAmongPartsAreRecordedAndDisabledPartsRefuseIt) {
  FilteredBox t;
  SimPartFactory& parts = t.f.parts;
  auto& bar = static_cast<SimScrollBar&>(parts.createScrollBar("VScroll"));
  int barGot = 0;
  bar.events().gotFocus = [&] { ++barGot; };
  EXPECT_TRUE(t.box.setFocus());
  EXPECT_TRUE(t.box.setFocus());  // already there: nothing moves
  EXPECT_TRUE(bar.setFocus());
  EXPECT_FALSE(t.box.hasFocus());
  EXPECT_TRUE(bar.hasFocus());
  EXPECT_EQ(barGot, 1);
  t.box.mouseDown(1, 30, 30);  // a press takes the focus
  EXPECT_TRUE(t.box.hasFocus());
  t.box.setEnabled(false);  // disabling the focused box takes the focus away
  EXPECT_EQ(parts.focused(), nullptr);
  EXPECT_FALSE(t.box.setFocus());
  EXPECT_FALSE(t.box.typeChar(U'1'));
  t.box.setEnabled(true);
  t.box.setVisible(false);
  EXPECT_FALSE(t.box.setFocus());
  t.box.setVisible(true);
  t.box.setFocus();
  parts.focusLeaves();
  EXPECT_EQ(parts.focusLog(),
            (std::vector<std::string>{"+digits", "-digits", "+VScroll", "-VScroll", "+digits",
                                      "-digits", "+digits", "-digits"}));
  EXPECT_EQ(t.events, (std::vector<std::string>{"got", "lost", "got", "lost", "got", "lost"}));
}

TEST(SimTextBox, MouseEventsCarryButtonShiftAndPosition) {
  Fixture f;
  auto& box = static_cast<SimTextBox&>(f.parts.createTextBox("tvat"));
  std::vector<PartMouse> seen;
  box.events().mouseDown = [&](PartMouse m) { seen.push_back(m); };
  box.events().mouseMove = [&](PartMouse m) { seen.push_back(m); };
  box.events().mouseUp = [&](PartMouse m) { seen.push_back(m); };
  box.mouseDown(1, 15, 30, shiftkeys::kCtrl);
  box.mouseMove(1, 45, 30);
  box.mouseUp(2, 60, 0);
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].button, 1);
  EXPECT_EQ(seen[0].shift, shiftkeys::kCtrl);
  EXPECT_EQ(seen[0].x, 15);
  EXPECT_EQ(seen[1].x, 45);
  EXPECT_EQ(seen[2].button, 2);
  EXPECT_EQ(seen[2].y, 0);
  box.setEnabled(false);
  box.mouseDown(1, 0, 0);
  EXPECT_EQ(seen.size(), 3u);
}

TEST(SimScrollBar, StepsDragsAndPutsKeepTheValueInRangeAndReportChanges) {
  Fixture f;
  auto& bar = static_cast<SimScrollBar&>(f.parts.createScrollBar("VScroll"));
  std::vector<std::string> seen;
  bar.events().changed = [&] { seen.push_back("change " + std::to_string(bar.value())); };
  bar.events().scrolling = [&] { seen.push_back("scroll " + std::to_string(bar.value())); };
  bar.setRange(0, 10);
  bar.setSmallChange(0);  // steps are at least 1
  bar.setLargeChange(4);
  EXPECT_EQ(bar.smallChange(), 1);
  bar.setValue(0);  // unchanged: no event
  EXPECT_TRUE(bar.lineDown());
  bar.pageDown();
  bar.pageDown();
  bar.pageDown();  // 13 is pulled back to 10
  bar.lineDown();  // at the end: no event
  bar.pageUp();
  bar.setValue(-5);
  bar.lineUp();
  EXPECT_EQ(seen, (std::vector<std::string>{"change 1", "change 5", "change 9", "change 10",
                                            "change 6", "change 0"}));
  seen.clear();
  bar.dragTo(3);
  bar.dragTo(3);
  bar.dragTo(7);
  bar.release(7);
  bar.dragTo(4);
  bar.release(7);  // back where the drag started: no change
  EXPECT_EQ(seen, (std::vector<std::string>{"scroll 3", "scroll 7", "change 7", "scroll 4"}));
  seen.clear();
  bar.setMax(5);  // the value is pulled into the new range
  EXPECT_EQ(bar.value(), 5);
  bar.setEnabled(false);
  EXPECT_FALSE(bar.lineUp());
  EXPECT_EQ(seen, (std::vector<std::string>{"change 5"}));
}

TEST(SimScrollBar, AReversedRangeCountsDownAlongTheBar) {
  Fixture f;
  ScrollBarPart& bar = f.parts.createScrollBar("VScroll");
  bar.setRange(100, 90);
  EXPECT_EQ(bar.value(), 90);  // pulled into 90..100
  EXPECT_EQ(bar.positionCount(), 10);
  EXPECT_EQ(bar.position(), 10);
  auto& sim = static_cast<SimScrollBar&>(bar);
  sim.lineUp();
  EXPECT_EQ(bar.value(), 91);
  sim.dragTo(0);
  sim.release(0);
  EXPECT_EQ(bar.value(), 100);
  sim.dragTo(-20);  // positions are clamped to the bar
  EXPECT_EQ(bar.value(), 100);
  bar.setRange(-2'000'000'000, 2'000'000'000);  // clamped to ±1e9
  EXPECT_EQ(bar.min(), -1'000'000'000);
  EXPECT_EQ(bar.positionCount(), 2'000'000'000);
}

TEST(SimWindowParts, TheControlWindowOwnsItsPartsAndDrawsThemOnItsSurface) {
  SimHost host;
  SimWindow window(host, 0x42, 0, 0, 600, 300, std::make_shared<SimFont>());
  ControlWindow& w = window;
  ShapePart& frame = w.parts().createShape("BKG");
  frame.setBounds({0, 0, w.scaleWidth(), w.scaleHeight()});
  frame.setBorderColor(kRed);
  w.surface().clear();
  w.parts().paint();
  EXPECT_EQ(window.bitmap().at(0, 0), kRed);
  EXPECT_EQ(window.bitmap().at(39, 19), kRed);
  EXPECT_NE(window.bitmap().at(5, 5), kRed);
  EXPECT_EQ(&window.simParts(), &w.parts());
}

TEST(Utf8, DecodingNeverReadsPastTheEndAndRoundTrips) {
  EXPECT_EQ(utf8::decode("\xF0\x9F"), (std::u32string{0xFFFD, 0xFFFD}));
  EXPECT_EQ(utf8::decode("\xC0\xAF"), (std::u32string{0xFFFD, 0xFFFD}));  // overlong
  EXPECT_EQ(utf8::decode("\xED\xA0\x80").front(), 0xFFFDu);               // surrogate
  const std::string s = "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
  EXPECT_EQ(utf8::decode(s), (std::u32string{U'A', 0xE9, 0x20AC, 0x1F600}));
  EXPECT_EQ(utf8::encode(utf8::decode(s)), s);
  EXPECT_EQ(utf8::length(s), 4u);
}

}  // namespace
}  // namespace nx::sim
