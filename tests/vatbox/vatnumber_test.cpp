// NxVATNumber on the simulated host: a new and a stored control, the key filter in the number
// box, validation and completion, the country code, the look and the layout.
#include "taxid/vatbox/vatnumber.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/vatbox/vat_test_support.h"

namespace nx {
namespace {

using vattest::box;
using vattest::eventPositions;
using vattest::kChange;
using vattest::kValidNumber;
using vattest::leave;
using vattest::vatSite;

constexpr Rgb kGood = 0xFF0000;  // GoodVatColor's default, blue
constexpr Rgb kBad = 0x0000FF;   // BadVatColor's default, red
constexpr char kValidAT[] = "U13585627";

TEST(VatNumberNew, ShowsAustriaAnEmptyWhiteBoxAndABlackFrameThatTakesTheFocusColour) {
  sim::SimHost host;
  vattest::registerPictures(host.services());
  NxVATNumber& v = host.create<NxVATNumber>(vatSite());
  EXPECT_EQ(v.vatCountry(), "AT");
  EXPECT_EQ(v.codeLabel().caption(), "AT");
  EXPECT_EQ(v.euroCountry(), "Austria");
  EXPECT_EQ(v.vatNr(), "");
  EXPECT_FALSE(v.valid());
  EXPECT_EQ(box(v).backColor(), 0xFFFFFFu);
  EXPECT_EQ(box(v).foreColor(), 0x000000u);
  EXPECT_EQ(v.codeBox().fillColor(), 0xFFFFFFu);
  EXPECT_EQ(v.codeLabel().foreColor(), 0x000000u);
  EXPECT_EQ(v.frame().borderColor(), 0x000000u);
  EXPECT_EQ(v.codeBox().borderColor(), 0x000000u);
  EXPECT_TRUE(v.codeBox().visible());
  EXPECT_EQ(v.buttonLook(), 0);
  EXPECT_EQ(v.button().picture(), host.services().loadResourcePicture("BT_0"));
  EXPECT_EQ(host.window(v).height(), 300);
  EXPECT_TRUE(host.site(v).log().empty());  // placing it raises and notifies nothing

  host.focus(&v);  // the control hands its focus to the number box
  ASSERT_TRUE(box(v).hasFocus());
  EXPECT_TRUE(v.numberHasFocus());
  EXPECT_EQ(v.frame().borderColor(), 0xB7A49Eu);
  EXPECT_EQ(v.codeBox().borderColor(), 0xB7A49Eu);
  EXPECT_EQ(v.buttonLook(), 1);
  EXPECT_EQ(v.button().picture(), host.services().loadResourcePicture("BT_1"));
  // The frame is drawn on the control's surface: its top-left pixel is the focus colour.
  EXPECT_EQ(host.window(v).bitmap().at(0, 0), 0xB7A49Eu);

  leave(host, v);
  EXPECT_FALSE(v.numberHasFocus());
  EXPECT_EQ(v.frame().borderColor(), 0x000000u);
  EXPECT_EQ(v.buttonLook(), 0);
}

TEST(VatNumberNew, FocusColourIsTheResolvedColourOfFocusBorder) {
  sim::SimHost host;
  host.services().setSystemColor(0x0F, 0x00336699);
  NxVATNumber& v = host.create<NxVATNumber>(vatSite());
  v.putProperty("FocusBorder", Value{syscolor::kButtonFace});
  EXPECT_EQ(v.focusBorder(), syscolor::kButtonFace);  // the property keeps the OLE colour
  v.putProperty("BorderColor", Value{std::int32_t{0x00112233}});
  EXPECT_EQ(v.frame().borderColor(), 0x00112233u);
  host.focus(&v);
  EXPECT_EQ(v.frame().borderColor(), 0x00336699u);
  EXPECT_EQ(v.codeBox().borderColor(), 0x00336699u);
}

TEST(VatNumberKeys, LowerCaseIsKeptAndTheRuleThenRefusesIt) {
  sim::SimHost host;
  NxVATNumber& v = host.create<NxVATNumber>(vatSite());
  host.focus(&v);
  ASSERT_TRUE(box(v).typeText("u13585627"));
  EXPECT_EQ(v.vatNr(), "u13585627");
  leave(host, v);
  EXPECT_FALSE(v.valid());
  EXPECT_EQ(box(v).foreColor(), kBad);
  // The same number in upper case passes.
  v.putProperty("vatNr", Value{std::string(kValidAT)});
  box(v).setFocus();
  leave(host, v);
  EXPECT_TRUE(v.valid());
  EXPECT_EQ(box(v).foreColor(), kGood);
}

TEST(VatNumberKeys, PunctuationAndBlanksAreRefused) {
  sim::SimHost host;
  NxVATNumber& v = host.create<NxVATNumber>(vatSite());
  host.focus(&v);
  box(v).typeText("U1");
  host.site(v).clearLog();
  for (char32_t ch : {U'!', U'-', U' ', U'.', U'\u00E9', U'\u00DF'}) box(v).typeChar(ch);
  EXPECT_EQ(v.vatNr(), "U1");
  EXPECT_TRUE(host.site(v).log().empty());
  box(v).typeChar(8);  // Backspace still edits
  EXPECT_EQ(v.vatNr(), "U");
}

TEST(VatNumberKeys, QuestionMarkOnlyWithFindNumberAndOnlyOnce) {
  sim::SimHost host;
  NxVATNumber& v = host.create<NxVATNumber>(vatSite());
  host.focus(&v);
  v.putProperty("FindNumber", Value{VBool::False});
  box(v).typeText("12?");
  EXPECT_EQ(v.vatNr(), "12");
  v.putProperty("FindNumber", Value{VBool::True});
  box(v).typeText("?3?4");
  EXPECT_EQ(v.vatNr(), "12?34");
  // Once the question mark is deleted, another may be typed.
  box(v).setSelection(2, 1);
  box(v).typeChar(8);
  box(v).typeChar(U'?');
  EXPECT_EQ(v.vatNr(), "12?34");
}

TEST(VatNumberCompletion, EnterCompletesASpanishNumberInTheGoodColour) {
  sim::SimHost host;
  NxVATNumber& v = host.create<NxVATNumber>(vatSite());
  v.putProperty("VatCountry", Value{std::string("ES")});
  v.putProperty("GoodVatColor", Value{std::int32_t{0x0000AA00}});
  host.focus(&v);
  box(v).typeText("12345678?");
  host.site(v).clearLog();
  box(v).typeChar(13);
  EXPECT_EQ(v.vatNr(), "12345678Z");
  EXPECT_EQ(box(v).foreColor(), 0x0000AA00u);
  EXPECT_FALSE(v.valid());  // no validation ran: Valid keeps its value
  EXPECT_EQ(eventPositions(host.site(v)), (std::vector<int>{kChange}));
}

TEST(VatNumberCompletion, WithTypeCheckTheCompletedTextIsValidated) {
  sim::SimHost host;
  NxVATNumber& v = host.create<NxVATNumber>(vatSite());
  v.putProperty("VatCountry", Value{std::string("ES")});
  v.putProperty("TypeCheck", Value{VBool::True});
  host.focus(&v);
  box(v).typeText("12345678?");
  EXPECT_FALSE(v.valid());
  host.site(v).clearLog();
  box(v).typeChar(13);
  EXPECT_EQ(v.vatNr(), "12345678Z");
  EXPECT_TRUE(v.valid());
  EXPECT_EQ(box(v).foreColor(), kGood);
  EXPECT_EQ(eventPositions(host.site(v)), (std::vector<int>{kValidNumber, kChange}));
}

TEST(VatNumberCompletion, EnterWithoutSolutionSelectsTheWholeText) {
  sim::SimHost host;
  NxVATNumber& v = host.create<NxVATNumber>(vatSite());  // AT numbers start with U
  host.focus(&v);
  box(v).typeText("12345678?");
  box(v).setSelection(3, 0);
  host.site(v).clearLog();
  box(v).typeChar(13);
  EXPECT_EQ(v.vatNr(), "12345678?");
  EXPECT_EQ(box(v).selStart(), 0);
  EXPECT_EQ(box(v).selLength(), 9);
  EXPECT_EQ(box(v).foreColor(), 0u);
  EXPECT_TRUE(host.site(v).log().empty());
}

TEST(VatNumberCompletion, PrefixOfAnotherStateCompletesByItsRuleButTheCodeStays) {
  sim::SimHost host;
  NxVATNumber& v = host.create<NxVATNumber>(vatSite());
  host.focus(&v);
  box(v).typeText("ES12345678?");
  box(v).typeChar(13);
  EXPECT_EQ(v.vatNr(), "12345678Z");
  EXPECT_EQ(v.vatCountry(), "AT");
  EXPECT_EQ(box(v).foreColor(), kGood);
  host.site(v).clearLog();
  leave(host, v);  // validated against Austria
  EXPECT_FALSE(v.valid());
  EXPECT_EQ(box(v).foreColor(), kBad);
  EXPECT_EQ(host.site(v).eventCount(kValidNumber), 0);
}

TEST(VatNumberValidation, LeavingTheBoxValidatesWithoutTypeCheck) {
  sim::SimHost host;
  NxVATNumber& v = host.create<NxVATNumber>(vatSite());
  v.putProperty("ForeColor", Value{std::int32_t{0x00404040}});
  host.focus(&v);
  box(v).typeText(kValidAT);
  EXPECT_EQ(box(v).foreColor(), 0x00404040u);  // typing alone checks nothing
  EXPECT_FALSE(v.valid());
  EXPECT_EQ(host.site(v).eventCount(kValidNumber), 0);
  EXPECT_EQ(host.site(v).eventCount(kChange), 9);
  leave(host, v);
  EXPECT_TRUE(v.valid());
  EXPECT_EQ(box(v).foreColor(), kGood);
  EXPECT_EQ(host.site(v).eventCount(kValidNumber), 1);
  EXPECT_EQ(toBool(v.getProperty("Valid")), true);
  EXPECT_TRUE(sameValue(v.getProperty("Valid"), Value{VBool::True}));
  // The next change of the text puts the colour back; Valid keeps the last result.
  box(v).setFocus();
  box(v).typeChar(8);
  EXPECT_EQ(box(v).foreColor(), 0x00404040u);
  EXPECT_TRUE(v.valid());
}

TEST(VatNumberValidation, EnterValidatesOnlyWithoutTypeCheck) {
  sim::SimHost host;
  NxVATNumber& v = host.create<NxVATNumber>(vatSite());
  host.focus(&v);
  box(v).typeText(kValidAT);
  host.site(v).clearLog();
  box(v).typeChar(13);
  EXPECT_EQ(v.vatNr(), kValidAT);  // Enter is not typed into the box
  EXPECT_TRUE(v.valid());
  EXPECT_EQ(eventPositions(host.site(v)), (std::vector<int>{kValidNumber}));
  v.putProperty("TypeCheck", Value{VBool::True});
  host.site(v).clearLog();
  box(v).typeChar(13);
  EXPECT_TRUE(host.site(v).events().empty());
}

TEST(VatNumberValidation, TypeCheckRecoloursEveryKeyAndRaisesValidNumberAtEachValidChange) {
  sim::SimHost host;
  NxVATNumber& v = host.create<NxVATNumber>(vatSite());
  v.putProperty("TypeCheck", Value{VBool::True});
  v.putProperty("BadVatColor", Value{std::int32_t{0x000080FF}});
  host.focus(&v);
  const std::string number = kValidAT;
  for (std::size_t i = 0; i + 1 < number.size(); ++i) {
    box(v).typeChar(static_cast<char32_t>(number[i]));
    EXPECT_EQ(box(v).foreColor(), 0x000080FFu) << i;
    EXPECT_FALSE(v.valid()) << i;
  }
  EXPECT_EQ(host.site(v).eventCount(kValidNumber), 0);
  host.site(v).clearLog();
  box(v).typeChar(U'7');
  EXPECT_EQ(box(v).foreColor(), kGood);
  EXPECT_TRUE(v.valid());
  // The validation runs before Change.
  EXPECT_EQ(eventPositions(host.site(v)), (std::vector<int>{kValidNumber, kChange}));
  box(v).typeChar(8);
  EXPECT_FALSE(v.valid());
  EXPECT_EQ(box(v).foreColor(), 0x000080FFu);
  box(v).typeChar(U'7');
  EXPECT_EQ(host.site(v).eventCount(kValidNumber), 2);
  // A put of the number validates as typing does.
  host.site(v).clearLog();
  v.putProperty("vatNr", Value{std::string()});
  EXPECT_FALSE(v.valid());
  v.putProperty("vatNr", Value{std::string(kValidAT)});
  EXPECT_TRUE(v.valid());
  EXPECT_EQ(eventPositions(host.site(v)), (std::vector<int>{kChange, kValidNumber, kChange}));
  EXPECT_EQ(host.site(v).changes(), (std::vector<std::string>{"tvat", "tvat"}));
}

TEST(VatNumberValidation, ValidIsFalseUntilAValidationRuns) {
  sim::SimHost host;
  NxVATNumber& v = host.create<NxVATNumber>(vatSite());
  host.site(v).clearLog();
  v.putProperty("vatNr", Value{std::string(kValidAT)});
  EXPECT_EQ(v.vatNr(), kValidAT);
  EXPECT_FALSE(v.valid());
  EXPECT_EQ(eventPositions(host.site(v)), (std::vector<int>{kChange}));
  EXPECT_EQ(host.site(v).changes(), (std::vector<std::string>{"tvat"}));
  v.putProperty("TypeCheck", Value{VBool::True});
  v.putProperty("vatNr", Value{std::string("U1358562")});
  v.putProperty("vatNr", Value{std::string(kValidAT)});
  EXPECT_TRUE(v.valid());
}

TEST(VatNumberCountry, CodeIsUpperCasedAndClearsTheNumberUnknownCodesAreIgnored) {
  sim::SimHost host;
  NxVATNumber& v = host.create<NxVATNumber>(vatSite());
  v.putProperty("vatNr", Value{std::string("123")});
  host.site(v).clearLog();
  v.putProperty("VatCountry", Value{std::string("de")});
  EXPECT_EQ(v.vatCountry(), "DE");
  EXPECT_EQ(toText(v.getProperty("VatCountry")), "DE");
  EXPECT_EQ(v.vatNr(), "");
  EXPECT_EQ(v.euroCountry(), "Germany");
  EXPECT_EQ(eventPositions(host.site(v)), (std::vector<int>{kChange}));
  EXPECT_EQ(host.site(v).changes(), (std::vector<std::string>{"defCTY"}));

  v.putProperty("vatNr", Value{std::string("456")});
  host.site(v).clearLog();
  for (const char* bad : {"XX", "", "D", "DEU", "d e", "\xC3\x84T"})
    EXPECT_NO_THROW(v.putProperty("VatCountry", Value{std::string(bad)})) << bad;
  EXPECT_EQ(v.vatCountry(), "DE");
  EXPECT_EQ(v.vatNr(), "456");
  EXPECT_TRUE(host.site(v).log().empty());

  // An empty number is cleared without a Change.
  v.putProperty("vatNr", Value{std::string()});
  host.site(v).clearLog();
  v.putProperty("VatCountry", Value{std::string("pt")});
  EXPECT_EQ(v.vatCountry(), "PT");
  EXPECT_TRUE(host.site(v).events().empty());
}

TEST(VatNumberCountry, EuroCountryFollowsTheLanguageAndNothingIsRedrawn) {
  sim::SimHost host;
  NxVATNumber& v = host.create<NxVATNumber>(vatSite());
  v.putProperty("VatCountry", Value{std::string("BE")});
  host.site(v).clearLog();
  v.putProperty("Language", Value{std::int32_t{taxid::NX_PT}});
  EXPECT_EQ(v.euroCountry(), "B\xC3\xA9lgica");
  EXPECT_EQ(host.site(v).changes(), (std::vector<std::string>{"ulng"}));
  v.putProperty("Language", Value{std::int32_t{7}});  // stored as given, names in English
  EXPECT_EQ(v.language(), 7);
  EXPECT_EQ(v.euroCountry(), "Belgium");
}

TEST(VatNumberLook, DisabledGreysTheBackgroundsCodeAndBorders) {
  sim::SimHost host;
  NxVATNumber& v = host.create<NxVATNumber>(vatSite());
  v.putProperty("BackColor", Value{std::int32_t{0x00CCFFFF}});
  EXPECT_EQ(box(v).backColor(), 0x00CCFFFFu);
  v.putProperty("Enabled", Value{VBool::False});
  EXPECT_FALSE(v.enabled());
  EXPECT_FALSE(host.window(v).enabled());
  EXPECT_FALSE(box(v).enabled());
  EXPECT_EQ(box(v).backColor(), 0xE0E0E0u);
  EXPECT_EQ(v.codeBox().fillColor(), 0xE0E0E0u);
  EXPECT_EQ(v.codeLabel().foreColor(), 0x808080u);
  EXPECT_EQ(v.codeBox().borderColor(), 0x808080u);
  EXPECT_EQ(v.frame().borderColor(), 0x808080u);
  const sim::Bitmap& bmp = host.window(v).bitmap();
  EXPECT_EQ(bmp.at(bmp.width() - 3, bmp.height() / 2), 0xE0E0E0u);
  EXPECT_EQ(bmp.at(bmp.width() - 1, 0), 0x808080u);
  // A disabled box takes no keys.
  EXPECT_FALSE(box(v).typeChar(U'1'));
  v.putProperty("Enabled", Value{VBool::True});
  EXPECT_EQ(box(v).backColor(), 0x00CCFFFFu);
  EXPECT_EQ(v.codeBox().fillColor(), 0xFFFFFFu);  // the code box stays white
  EXPECT_EQ(v.codeLabel().foreColor(), 0x000000u);
  EXPECT_EQ(v.frame().borderColor(), 0x000000u);
  EXPECT_EQ(host.window(v).bitmap().at(bmp.width() - 3, bmp.height() / 2), 0x00CCFFFFu);
}

TEST(VatNumberLayout, HeightSnapsTo300Twips) {
  sim::SimHost host;
  NxVATNumber& v = host.create<NxVATNumber>(vatSite());
  for (double h : {600.0, 15.0, 0.0, 301.0}) {
    host.resize(v, 3000, h);
    EXPECT_EQ(host.window(v).height(), 300) << h;
    EXPECT_EQ(host.window(v).width(), 3000) << h;
  }
  sim::SiteOptions tall = vatSite();
  tall.height = 900;
  EXPECT_EQ(host.window(host.create<NxVATNumber>(tall)).height(), 300);
}

TEST(VatNumberLayout, CountrySelectOffHidesTheCodeAndMovesTheBoxToTheLeft) {
  sim::SimHost host;
  vattest::registerPictures(host.services());
  NxVATNumber& v = host.create<NxVATNumber>(vatSite());
  const double sw = host.window(v).scaleWidth();
  // With the code: 60 twips right of the button (270 + 11 pixels).
  EXPECT_EQ(v.numberBox().bounds(), (PartRect{495, 45, sw - 495 - 30, 240}));
  EXPECT_EQ(v.frame().bounds(), (PartRect{0, 0, sw, host.window(v).scaleHeight()}));
  host.site(v).clearLog();
  v.putProperty("CountrySelect", Value{VBool::False});
  EXPECT_EQ(host.site(v).changes(), (std::vector<std::string>{"canSelect"}));
  EXPECT_FALSE(v.button().visible());
  EXPECT_FALSE(v.codeLabel().visible());
  EXPECT_FALSE(v.codeBox().visible());
  EXPECT_TRUE(v.frame().visible());
  EXPECT_EQ(v.numberBox().bounds(), (PartRect{30, 45, sw - 60, 240}));
  // Without the button there is nothing to open: F4 in the box does nothing.
  host.focus(&v);
  EXPECT_TRUE(box(v).keyDown(115));
  EXPECT_TRUE(host.services().screen().popups().empty());
  v.putProperty("CountrySelect", Value{VBool::True});
  EXPECT_TRUE(v.codeBox().visible());
  EXPECT_EQ(v.numberBox().bounds().left, 495);
  host.resize(v, 1200, 300);
  EXPECT_EQ(v.numberBox().bounds().width, host.window(v).scaleWidth() - 525);
}

TEST(VatNumberStore, RoundTripInTheOrderOfTheKeys) {
  sim::SimHost host;
  NxVATNumber& v = host.create<NxVATNumber>(vatSite());
  v.putProperty("VatCountry", Value{std::string("SK")});
  v.putProperty("vatNr", Value{std::string("2022749619")});
  v.putProperty("CountrySelect", Value{VBool::False});
  v.putProperty("TypeCheck", Value{VBool::True});
  v.putProperty("FindNumber", Value{VBool::False});
  v.putProperty("Language", Value{std::int32_t{1}});
  v.putProperty("ForeColor", Value{std::int32_t{0x00010203}});
  v.putProperty("BackColor", Value{std::int32_t{0x00F0F0F0}});
  v.putProperty("BorderColor", Value{std::int32_t{0x00112233}});
  v.putProperty("FocusBorder", Value{std::int32_t{0x00445566}});
  v.putProperty("BadVatColor", Value{std::int32_t{0x00778899}});
  v.putProperty("GoodVatColor", Value{std::int32_t{0x00AABBCC}});
  v.putProperty("xtrVar", Value{std::int32_t{42}});
  v.putProperty("Enabled", Value{VBool::False});
  sim::SimPropertyBag bag = host.save(v);
  const std::vector<std::string> order = {"enabled", "defCTY",  "canSelect", "fcolor",  "bcolor",
                                          "bbcolor", "bvcolor", "gvcolor",   "brcolor", "ulng",
                                          "tcheck",  "vguess",  "tvat",      "xtrVar"};
  std::vector<std::string> written;
  for (const auto& w : bag.writes()) written.push_back(w.key);
  EXPECT_EQ(written, order);

  NxVATNumber& copy = host.create<NxVATNumber>(vatSite(), &bag);
  // The host reads from a copy of the bag; a second reading shows the order.
  sim::SimPropertyBag probe = bag;
  host.create<NxVATNumber>(vatSite(0, 600)).ReadProperties(probe);
  EXPECT_EQ(probe.reads(), order);
  EXPECT_TRUE(host.site(copy).log().empty());  // loading raises and notifies nothing
  EXPECT_EQ(copy.vatCountry(), "SK");
  EXPECT_EQ(copy.vatNr(), "2022749619");
  EXPECT_FALSE(copy.countrySelect());
  EXPECT_FALSE(copy.codeBox().visible());
  EXPECT_TRUE(copy.typeCheck());
  EXPECT_FALSE(copy.findNumber());
  EXPECT_EQ(copy.language(), 1);
  EXPECT_EQ(copy.foreColor(), 0x00010203);
  // TypeCheck came before the number: the loaded number was checked (a valid Slovak one).
  EXPECT_EQ(box(copy).foreColor(), 0x00AABBCCu);
  EXPECT_TRUE(copy.valid());
  EXPECT_EQ(copy.backColor(), 0x00F0F0F0);
  EXPECT_EQ(copy.borderColor(), 0x00112233);
  EXPECT_EQ(copy.focusBorder(), 0x00445566);
  EXPECT_EQ(copy.badVatColor(), 0x00778899);
  EXPECT_EQ(copy.goodVatColor(), 0x00AABBCC);
  EXPECT_TRUE(sameValue(copy.xtrVar(), Value{std::int32_t{42}}));
  EXPECT_FALSE(copy.enabled());
  EXPECT_EQ(box(copy).backColor(), 0xE0E0E0u);
}

TEST(VatNumberStore, MissingKeysGiveTheDefaultsAndAStoredUnknownCodeIsKept) {
  sim::SimHost host;
  sim::SimPropertyBag bag;
  bag.set("defctY", Value{std::string("xx")});  // keys match in any case
  bag.set("TVAT", Value{std::string("anything")});
  NxVATNumber& v = host.create<NxVATNumber>(vatSite(), &bag);
  EXPECT_EQ(v.vatCountry(), "xx");  // shown as stored, without a table check
  EXPECT_EQ(v.vatNr(), "anything");
  EXPECT_EQ(v.euroCountry(), "");
  EXPECT_TRUE(v.enabled());
  EXPECT_TRUE(v.countrySelect());
  EXPECT_TRUE(v.findNumber());
  EXPECT_FALSE(v.typeCheck());
  EXPECT_EQ(v.focusBorder(), 0xB7A49E);
  EXPECT_EQ(v.badVatColor(), 0x0000FF);
  EXPECT_EQ(v.goodVatColor(), 0xFF0000);
  EXPECT_EQ(v.backColor(), 0xFFFFFF);
  // Every number counts as valid for a code the table does not know.
  host.focus(&v);
  leave(host, v);
  EXPECT_TRUE(v.valid());
  EXPECT_EQ(host.site(v).eventCount(kValidNumber), 1);
  // Saved again, the code goes back as shown.
  sim::SimPropertyBag again = host.save(v);
  ASSERT_TRUE(again.stored("defCTY"));
  EXPECT_EQ(toText(*again.stored("defCTY")), "xx");
}

TEST(VatNumberShared, ButtonPicturesLoadWithTheFirstInstanceAndGoWithTheLast) {
  {
    sim::SimHost host;
    vattest::registerPictures(host.services());
    ASSERT_EQ(NxVATNumber::instances(), 0);
    NxVATNumber& a = host.create<NxVATNumber>(vatSite());
    EXPECT_EQ(NxVATNumber::instances(), 1);
    EXPECT_EQ(host.services().pictureLoads(), 3);
    NxVATNumber& b = host.create<NxVATNumber>(vatSite(0, 600));
    EXPECT_EQ(NxVATNumber::instances(), 2);
    EXPECT_EQ(host.services().pictureLoads(), 3);
    EXPECT_EQ(a.button().picture(), b.button().picture());  // one shared picture
    EXPECT_FALSE(NxVATNumber::flagsLoaded());
    host.destroy(a);
    EXPECT_EQ(NxVATNumber::instances(), 1);
    EXPECT_NE(b.button().picture(), nullptr);
    host.destroy(b);
    EXPECT_EQ(NxVATNumber::instances(), 0);
    host.create<NxVATNumber>(vatSite());
    EXPECT_EQ(host.services().pictureLoads(), 6);  // loaded again
  }
  EXPECT_EQ(NxVATNumber::instances(), 0);  // the host terminated the rest
}

}  // namespace
}  // namespace nx
