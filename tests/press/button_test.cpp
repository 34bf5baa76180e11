// NxButton: theme presets, the setter rules, persistence (orders, system colours, the theme that
// is not stored, stored special commands), the access key, hover, press, release and keyboard
// event sequences, the ExProp commands, the hand pointer and the layout.
#include "press/button/button.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/sim/sim_host.h"
#include "platform/sim/sim_objects.h"

namespace nx {
namespace {

// __NxButton
constexpr int kClick = 1;
constexpr int kDblClick = 2;
constexpr int kMouseIn = 3;
constexpr int kMouseOut = 4;
constexpr int kMouseUp = 5;
constexpr int kMouseDown = 6;

sim::SiteOptions buttonSite(std::string name = "Command1") {
  sim::SiteOptions o;
  o.name = std::move(name);
  o.width = 1500;
  o.height = 450;
  return o;
}

std::vector<int> eventPositions(const sim::SimSite& site) {
  std::vector<int> out;
  for (const sim::Record& r : site.events()) out.push_back(r.position);
  return out;
}

bool samePixels(const sim::Bitmap& a, const sim::Bitmap& b) {
  if (a.width() != b.width() || a.height() != b.height()) return false;
  for (std::int32_t y = 0; y < a.height(); ++y)
    for (std::int32_t x = 0; x < a.width(); ++x)
      if (a.at(x, y) != b.at(x, y)) return false;
  return true;
}

void moveInside(sim::SimHost& host, const NxButton& b) {
  host.moveMouse(host.screenPoint(b, 3, 3));
}

void moveOutside(sim::SimHost& host, const NxButton& b) {
  host.moveMouse(host.screenPoint(b, -40, -40));
}

// The presets as the theme table gives them: ColorA, ColorB, HoverColorA, HoverColorB,
// ForeColor, HoverForecolor, OutlineColor, HoverOutline, BorderColor; then BorderAppearence,
// BorderStyle, Outline, CutStyle, CutStrength, BottomLine, LightEffect.
struct ExpectedTheme {
  std::int32_t theme;
  OleColor colors[9];
  std::int32_t looks[7];
};
// clang-format off
constexpr ExpectedTheme kThemes[] = {
    {thmSky3D, {0xBBAD9C, 0xFFFFFF, 0xC5B7A6, 0xFFFFFF, 0, 0, 0xFFFFFF, 0xFFFFFF, 0x5F5850},
     {ap3D, bsFixedSingle, olRegular, posNeither, stSoft, 0, 0}},
    {thmSkyFlat, {0xBBAD9C, 0xFFFFFF, 0xC5B7A6, 0xFFFFFF, 0x82766B, 0xA36B56, 0xFFFFFF, 0xFFFFFF,
                  0xA99A8B},
     {apFlat, bsFixedSingle, olRegular, posNeither, stSoft, 0, 0}},
    {thmSilver3D, {0xFFFFFF, 0x808080, 0xFFFFFF, 0x909090, 0x404040, 0x404040, 0xE0E0E0,
                   0xFFFFFF, 0x404040},
     {ap3D, bsFixedSingle, olRegular, posNeither, stSoft, 0, 0}},
    {thmCandy3D, {0x0000E0, 0xFFFFFF, 0x0000E9, 0xFFFFFF, 0x000080, 0xA36B56, 0xE0E0FF, 0xFFFFFF,
                  0x000040},
     {apFlat, bsFixedSingle, olRegular, posNeither, stSoft, 1, 1}},
    {thmOfficeBar, {0xFFFFFF, 0xCFD6D9, 0xFFFFFF, 0xD9E0E3, 0x404040, 0xA36B56, 0xFFFFFF,
                    0xFFFFFF, 0},
     {apFlat, bsNone, olNone, posLeft, stHard, 0, 0}},
};
// clang-format on
constexpr const char* kColorNames[9] = {"ColorA",       "ColorB",       "HoverColorA",
                                        "HoverColorB",  "ForeColor",    "HoverForecolor",
                                        "OutlineColor", "HoverOutline", "BorderColor"};

TEST(NxButtonClass, InterfaceListsMembersEventsAndEnumerationsInOrder) {
  const ClassInfo& info = NxButton::classTable().info();
  std::vector<std::string> members;
  for (const MemberInfo& m : info.members)
    members.push_back(std::string(m.name) + ":" + std::string(m.type.idl));
  EXPECT_EQ(members, (std::vector<std::string>{"hWnd:long",
                                               "ExProp:BSTR",
                                               "retObj:IPictureDisp*",
                                               "GradientStyle:NXB_GTYPE",
                                               "BorderAppearence:NXB_APPEARANCE",
                                               "BorderStyle:NXB_BORDERSTYLE",
                                               "CornerStyle:NXB_CORNERSTYLE",
                                               "BorderColor:OLE_COLOR",
                                               "Caption:BSTR",
                                               "Font:IFontDisp*",
                                               "Alignment:NXB_ABSALIGNMENT",
                                               "Enabled:VARIANT_BOOL",
                                               "AutoSize:VARIANT_BOOL",
                                               "LightEffect:VARIANT_BOOL",
                                               "BottomLine:VARIANT_BOOL",
                                               "HandPointer:VARIANT_BOOL",
                                               "CutStyle:NXB_POSITION",
                                               "CutStrength:NXB_STRENGTH",
                                               "ColorA:OLE_COLOR",
                                               "ColorB:OLE_COLOR",
                                               "Outline:NXB_BUTTONOUTLINESTYLE",
                                               "OutlineColor:OLE_COLOR",
                                               "ForeColor:OLE_COLOR",
                                               "HoverColorA:OLE_COLOR",
                                               "HoverColorB:OLE_COLOR",
                                               "HoverForecolor:OLE_COLOR",
                                               "HoverOutline:OLE_COLOR",
                                               "Icon:IPictureDisp*",
                                               "IconAlignment:NXB_ABSALIGNMENT",
                                               "IconAdjustX:short",
                                               "IconAdjustY:short",
                                               "Theme:NXB_THEME",
                                               "xtrVar:VARIANT"}));
  for (const MemberInfo& m : info.members) {
    const bool hidden = m.name == "ExProp" || m.name == "retObj";
    EXPECT_EQ(m.hidden, hidden) << m.name;
    const bool readOnly = m.name == "hWnd" || m.name == "retObj";
    EXPECT_EQ(m.readOnly, readOnly) << m.name;
    EXPECT_EQ(m.byRef, m.name == "Font" || m.name == "Icon") << m.name;
  }
  EXPECT_EQ(info.find("Caption")->dispid, ClassInfo::kValueDispId);
  EXPECT_FALSE(info.find("Theme")->persisted());

  std::vector<std::string> events;
  for (const EventSpec& e : info.events) {
    std::string text(e.name);
    for (const ParamSpec& p : e.params)
      text += std::string(" ") + (p.byRef ? "&" : "") + std::string(p.name) + ":" +
              std::string(p.type.idl);
    events.push_back(text);
  }
  EXPECT_EQ(events,
            (std::vector<std::string>{"Click", "DblClick", "MouseIn", "MouseOut",
                                      "MouseUp &Button:short &Shift:short &X:float &Y:float",
                                      "MouseDown &Button:short &Shift:short &X:float &Y:float"}));

  std::vector<std::string> enums;
  for (const EnumSpec& e : info.enums) {
    std::string text(e.name);
    for (const auto& [name, value] : e.members)
      text += " " + std::string(name) + "=" + std::to_string(value);
    enums.push_back(text);
  }
  EXPECT_EQ(
      enums,
      (std::vector<std::string>{
          "NXB_ABSALIGNMENT aaTopLeft=0 aaTopRight=1 aaTopCenter=2 aaMiddleLeft=3 "
          "aaMiddleRight=4 aaMiddleCenter=5 aaBottomLeft=6 aaBottomRight=7 aaBottomCenter=8",
          "NXB_POSITION posNeither=0 posLeft=1 posRight=2 posBoth=3",
          "NXB_STRENGTH stSoft=0 stHard=1",
          "NXB_BUTTONOUTLINESTYLE olNone=0 olRegular=1 olShadow=2 olHoverRegular=3 "
          "olHoverShadow=4",
          "NXB_THEME thmCUSTOM=0 thmSky3D=1 thmSkyFlat=2 thmSilver3D=3 thmCandy3D=4 "
          "thmOfficeBar=5",
          "NXB_GTYPE gtPlain=0 gtGel=1", "NXB_APPEARANCE apFlat=0 ap3D=1",
          "NXB_BORDERSTYLE bsNone=0 bsFixedSingle=1", "NXB_CORNERSTYLE csSquare=0 csRound=1"}));
}

TEST(NxButtonThemes, EveryPresetSetsItsValuesAndLeavesGradientAndCornersAlone) {
  for (const ExpectedTheme& t : kThemes) {
    SCOPED_TRACE("theme " + std::to_string(t.theme));
    sim::SimHost host;
    auto& b = host.create<NxButton>(buttonSite());
    // Values the presets overwrite, and two the presets never touch.
    b.setBorderAppearance(apFlat);
    b.setCornerStyle(csRound);
    b.setGradientStyle(gtGel);
    b.setAlignment(aaTopLeft);
    b.setIconAlignment(aaBottomRight);
    b.setIconAdjustX(7);
    b.setIconAdjustY(-7);
    b.setAutoSize(true);
    b.setHandPointer(true);
    b.setCutStyle(posBoth);
    b.setOutline(olHoverShadow);
    b.setColorA(0x123456);
    host.site(b).clearLog();

    b.putProperty("Theme", Value{t.theme});
    EXPECT_EQ(b.theme(), t.theme);
    for (int i = 0; i < 9; ++i)
      EXPECT_EQ(toInt32(b.getProperty(kColorNames[i])), t.colors[i]) << kColorNames[i];
    EXPECT_EQ(b.borderAppearance(), t.looks[0]);
    EXPECT_EQ(b.borderStyle(), t.looks[1]);
    EXPECT_EQ(b.outline(), t.looks[2]);
    EXPECT_EQ(b.cutStyle(), t.looks[3]);
    EXPECT_EQ(b.cutStrength(), t.looks[4]);
    EXPECT_EQ(b.bottomLine(), t.looks[5] != 0);
    EXPECT_EQ(b.lightEffect(), t.looks[6] != 0);
    EXPECT_EQ(b.alignment(), aaMiddleCenter);
    EXPECT_EQ(b.iconAlignment(), aaMiddleLeft);
    EXPECT_EQ(b.iconAdjustX(), 0);
    EXPECT_EQ(b.iconAdjustY(), 0);
    EXPECT_FALSE(b.autoSize());
    EXPECT_FALSE(b.handPointer());
    // The hand flag goes, the pointer the host sees stays.
    EXPECT_EQ(host.window(b).mousePointer(), NxButton::kCustomPointer);
    EXPECT_EQ(b.gradientStyle(), gtGel);
    // A flat preset keeps the round corners; a 3D one is set directly, without the rule.
    EXPECT_EQ(b.cornerStyle(), csRound);
    // Only the two alignment setters speak to the host.
    EXPECT_EQ(host.site(b).changes(), (std::vector<std::string>{"calign", "icalign"}));
    EXPECT_TRUE(host.site(b).events().empty());
    // The resolved colours are what the next drawing gets.
    EXPECT_EQ(b.look().colorA, static_cast<Rgb>(t.colors[0]));
    EXPECT_EQ(b.look().borderColor, static_cast<Rgb>(t.colors[8]));
  }
  EXPECT_FALSE(buttonThemePreset(thmCUSTOM));
  EXPECT_FALSE(buttonThemePreset(6));
  EXPECT_FALSE(buttonThemePreset(-1));
}

TEST(NxButtonThemes, NewButtonLooksSilverWithThemeLeftCustom) {
  sim::SimHost host;
  sim::SiteOptions o = buttonSite("OkButton");
  o.ambientFont = FontDesc{"Tahoma", 10, true, false, false};
  auto& b = host.create<NxButton>(o);
  EXPECT_EQ(b.theme(), thmCUSTOM);
  EXPECT_EQ(b.caption(), "OkButton");
  EXPECT_EQ(b.colorA(), 0xFFFFFF);
  EXPECT_EQ(b.colorB(), 0x808080);
  EXPECT_EQ(b.borderColor(), 0x404040);
  EXPECT_FALSE(b.lightEffect());
  EXPECT_EQ(b.font()->name(), "Tahoma");
  EXPECT_TRUE(b.font()->bold());

  sim::SiteOptions nameless = buttonSite();
  nameless.name = "";
  EXPECT_EQ(host.create<NxButton>(nameless).caption(), "Caption");
  nameless.hasExtender = false;
  EXPECT_EQ(host.create<NxButton>(nameless).caption(), "Caption");
}

TEST(NxButtonThemes, OtherThemeNumbersAreOnlyStoredAndThemeIsNeverPersisted) {
  sim::SimHost host;
  auto& b = host.create<NxButton>(buttonSite());
  sim::SimWindow& w = host.window(b);
  for (std::int32_t theme : {std::int32_t{thmCUSTOM}, std::int32_t{-3}}) {
    w.setOuterSize(15, 15);  // smaller than the caption; only a layout grows it back
    host.site(b).clearLog();
    b.setTheme(theme);
    EXPECT_EQ(b.theme(), theme);
    EXPECT_EQ(b.colorA(), 0xFFFFFF);
    EXPECT_EQ(w.width(), 15) << "theme " << theme << " laid the button out";
    EXPECT_TRUE(host.site(b).log().empty());
  }
  b.setTheme(9);
  EXPECT_EQ(b.theme(), 9);
  EXPECT_EQ(b.colorA(), 0xFFFFFF);
  EXPECT_GT(w.width(), 15) << "a theme above 5 still lays out";

  b.setTheme(thmCandy3D);
  sim::SimPropertyBag bag = host.save(b);
  for (const sim::SimPropertyBag::Write& write : bag.writes()) EXPECT_NE(write.key, "Theme");
  auto& copy = host.create<NxButton>(buttonSite(), &bag);
  EXPECT_EQ(copy.theme(), thmCUSTOM);
  EXPECT_EQ(copy.colorA(), 0x0000E0);
  EXPECT_TRUE(copy.lightEffect());
}

TEST(NxButtonRules, RoundCornersAndThreeDBorderExcludeEachOther) {
  EXPECT_FALSE(acceptsCornerStyle(csRound, ap3D));
  EXPECT_TRUE(acceptsCornerStyle(csRound, apFlat));
  EXPECT_TRUE(acceptsCornerStyle(csSquare, ap3D));
  EXPECT_EQ(cornerStyleAfter(ap3D, csRound), csSquare);
  EXPECT_EQ(cornerStyleAfter(apFlat, csRound), csRound);

  sim::SimHost host;
  auto& b = host.create<NxButton>(buttonSite());
  ASSERT_EQ(b.borderAppearance(), ap3D);
  host.site(b).clearLog();
  b.putProperty("CornerStyle", Value{std::int32_t{csRound}});
  EXPECT_EQ(b.cornerStyle(), csSquare);
  EXPECT_TRUE(host.site(b).changes().empty()) << "a refused corner style notifies nothing";

  b.setBorderAppearance(apFlat);
  b.setCornerStyle(csRound);
  EXPECT_EQ(b.cornerStyle(), csRound);
  EXPECT_EQ(host.site(b).changes(), (std::vector<std::string>{"appear", "crnstyle"}));
  b.setBorderAppearance(ap3D);
  EXPECT_EQ(b.cornerStyle(), csSquare);
  // Square corners may always be set.
  b.setCornerStyle(csSquare);
  EXPECT_EQ(host.site(b).changes().back(), "crnstyle");
}

TEST(NxButtonRules, IconOffsetIsClampedToOneHundredPixelsEitherWay) {
  EXPECT_EQ(clampIconAdjust(250), 100);
  EXPECT_EQ(clampIconAdjust(-250), -100);
  EXPECT_EQ(clampIconAdjust(100), 100);
  EXPECT_EQ(clampIconAdjust(-100), -100);
  EXPECT_EQ(clampIconAdjust(-32768), -100);
  sim::SimHost host;
  auto& b = host.create<NxButton>(buttonSite());
  b.putProperty("IconAdjustX", Value{std::int16_t{250}});
  b.putProperty("IconAdjustY", Value{std::int16_t{-250}});
  EXPECT_EQ(b.iconAdjustX(), 100);
  EXPECT_EQ(b.iconAdjustY(), -100);
  b.putProperty("IconAdjustX", Value{std::int16_t{-42}});
  EXPECT_EQ(b.iconAdjustX(), -42);
  EXPECT_THROW(b.putProperty("IconAdjustX", Value{std::int32_t{40000}}), OverflowError);
}

TEST(NxButtonRules, SetterNotificationsAndWhichSettersRedraw) {
  sim::SimHost host;
  auto& b = host.create<NxButton>(buttonSite());
  sim::SimSite& site = host.site(b);
  const sim::Bitmap before = host.window(b).bitmap();
  site.clearLog();
  // Hover colours are seen at the next hover drawing only.
  b.setHoverColorA(0x0000FF);
  b.setHoverColorB(0x00FF00);
  b.setHoverForeColor(0xFF0000);
  b.setHoverOutline(0x00FFFF);
  EXPECT_TRUE(samePixels(before, host.window(b).bitmap()));
  EXPECT_EQ(site.changes(),
            (std::vector<std::string>{"htcolor", "hbcolor", "hfcolor", "holcolor"}));
  moveInside(host, b);
  EXPECT_FALSE(samePixels(before, host.window(b).bitmap()));
  EXPECT_TRUE(b.look().hover);
  EXPECT_EQ(b.look().hoverColorA, 0x0000FFu);
  moveOutside(host, b);
  EXPECT_TRUE(samePixels(before, host.window(b).bitmap()));

  site.clearLog();
  b.setColorA(0x00C0FF);
  EXPECT_FALSE(samePixels(before, host.window(b).bitmap())) << "ColorA redraws";
  b.setXtrVar(Value{std::string("tag")});
  b.setExProp("tttitle=Hi");
  b.setHandPointer(true);
  b.setHandPointer(false);
  EXPECT_EQ(site.changes(),
            (std::vector<std::string>{"c1", "xtrVar", "ExProp", "handCursor", "handCursor"}));
  EXPECT_EQ(b.state().tooltip.title, "Hi");
  EXPECT_THROW(b.setFont(nullptr), HostError);
}

TEST(NxButtonPersistence, KeysAreReadAndWrittenInTheirOrders) {
  sim::SimHost host;
  auto& b = host.create<NxButton>(buttonSite());
  sim::SimPropertyBag bag = host.save(b);
  std::vector<std::string> written;
  for (const sim::SimPropertyBag::Write& w : bag.writes()) written.push_back(w.key);
  EXPECT_EQ(written, (std::vector<std::string>{
                         "c1",      "c2",         "htcolor",  "hbcolor", "fcolor",    "hfcolor",
                         "olcolor", "holcolor",   "brdcolor", "ptext",   "cstrength", "cstyle",
                         "plight",  "btline",     "crnstyle", "calign",  "asize",     "font",
                         "olstyle", "handCursor", "icpic",    "icalign", "icx",       "icy",
                         "appear",  "bstyle",     "enabled",  "gtype",   "xtrVar",    "ExProp"}));
  // Keys without a store default are always written: cut style and strength, font, xtrVar.
  EXPECT_TRUE(bag.stored("cstrength"));
  EXPECT_TRUE(bag.stored("cstyle"));
  EXPECT_TRUE(bag.stored("font"));
  EXPECT_FALSE(bag.stored("calign"));
  EXPECT_FALSE(bag.stored("icpic"));

  auto& copy = host.create<NxButton>(buttonSite(), &bag);
  sim::SimPropertyBag probe = bag;
  copy.ReadProperties(probe);
  EXPECT_EQ(probe.reads(),
            (std::vector<std::string>{"c1",         "c2",      "htcolor",  "hbcolor",   "fcolor",
                                      "hfcolor",    "olcolor", "holcolor", "brdcolor",  "icpic",
                                      "calign",     "icalign", "ptext",    "cstrength", "cstyle",
                                      "plight",     "btline",  "crnstyle", "asize",     "olstyle",
                                      "handCursor", "font",    "icx",      "icy",       "appear",
                                      "bstyle",     "gtype",   "enabled",  "xtrVar",    "ExProp"}));
}

TEST(NxButtonPersistence, LoadingNotifiesOnlyExPropAndStoresFieldsWithoutTheirRules) {
  sim::SimHost host;
  sim::SimPropertyBag bag;
  bag.set("c1", Value{std::int32_t{0x112233}});
  bag.set("calign", Value{std::int32_t{aaBottomRight}});
  bag.set("appear", Value{std::int32_t{ap3D}});
  bag.set("crnstyle", Value{std::int32_t{csRound}});  // no exclusion rule while loading
  bag.set("icx", Value{std::int16_t{250}});           // no clamp while loading
  bag.set("ptext", Value{std::string("&Go")});
  bag.set("enabled", Value{VBool::False});
  auto& b = host.create<NxButton>(buttonSite(), &bag);
  EXPECT_EQ(host.site(b).changes(), std::vector<std::string>{"ExProp"});
  EXPECT_EQ(b.colorA(), 0x112233);
  EXPECT_EQ(b.alignment(), aaBottomRight);
  EXPECT_EQ(b.cornerStyle(), csRound);
  EXPECT_EQ(b.iconAdjustX(), 250);
  EXPECT_EQ(b.caption(), "&Go");
  EXPECT_FALSE(b.enabled());
  // Missing keys read as their defaults, not as the silver look of a new button.
  EXPECT_EQ(b.colorB(), 0xFFFFFF);
  EXPECT_EQ(b.borderColor(), 0x424242);
  EXPECT_TRUE(b.lightEffect());
  sim::SimPropertyBag noCaption;
  EXPECT_EQ(host.create<NxButton>(buttonSite("Named"), &noCaption).caption(), "Named");
}

TEST(NxButtonPersistence, SystemColoursSurviveARoundTripAndDrawResolved) {
  sim::SimHost host;
  host.services().setSystemColor(0x0F, 0x00D4D0C8);
  auto& b = host.create<NxButton>(buttonSite());
  const OleColor face = syscolor::kButtonFace;
  b.putProperty("ColorA", Value{face});
  b.putProperty("HoverOutline", Value{face});
  b.putProperty("BorderColor", Value{face});
  EXPECT_EQ(toInt32(b.getProperty("ColorA")), face);
  EXPECT_EQ(b.look().colorA, 0x00D4D0C8u);
  EXPECT_EQ(b.look().hoverOutline, 0x00D4D0C8u);
  EXPECT_EQ(b.look().borderColor, 0x00D4D0C8u);
  sim::SimPropertyBag bag = host.save(b);
  EXPECT_EQ(toInt32(*bag.stored("c1")), face);
  auto& copy = host.create<NxButton>(buttonSite(), &bag);
  EXPECT_EQ(copy.colorA(), face);
  EXPECT_EQ(copy.hoverOutline(), face);
  EXPECT_EQ(copy.look().borderColor, 0x00D4D0C8u);
}

TEST(NxButtonAccessKey, CaptionMarksGiveTheKeyAndTheMnemonicClicksWhenEnabled) {
  sim::SimHost host;
  auto& b = host.create<NxButton>(buttonSite());
  b.setCaption("Save && E&xit");
  EXPECT_EQ(b.accessKey(), 'x');
  host.site(b).clearLog();
  EXPECT_TRUE(host.pressAccessKey('X'));
  EXPECT_EQ(eventPositions(host.site(b)), std::vector<int>{kClick});

  b.setCaption("Rock &");
  EXPECT_EQ(b.accessKey(), 0);
  EXPECT_FALSE(host.pressAccessKey('r'));
  b.setCaption("Fish && Chips");
  EXPECT_EQ(b.accessKey(), 0);
  b.setCaption("&First &Second");
  EXPECT_EQ(b.accessKey(), 's');

  b.setEnabled(false);
  host.site(b).clearLog();
  EXPECT_TRUE(host.pressAccessKey('s'));
  EXPECT_TRUE(host.site(b).events().empty());
}

TEST(NxButtonInput, HoverPressReleaseAndTheNextMoveGreetAgain) {
  sim::SimHost host;
  auto& b = host.create<NxButton>(buttonSite());
  sim::SimSite& site = host.site(b);
  const WindowHandle handle = host.window(b).handle();
  site.clearLog();

  moveInside(host, b);
  EXPECT_TRUE(b.state().hover);
  EXPECT_EQ(host.capture(), handle);
  moveInside(host, b);  // a second move inside greets nobody
  host.mouseDown(b, kLeftButton, 1);
  EXPECT_TRUE(b.state().pressed);
  EXPECT_TRUE(b.state().focus);
  EXPECT_TRUE(b.look().pressed);
  host.mouseUp(b, kLeftButton, 1);
  EXPECT_FALSE(b.state().pressed);
  EXPECT_FALSE(b.state().hover);
  moveInside(host, b);
  moveOutside(host, b);
  EXPECT_EQ(eventPositions(site),
            (std::vector<int>{kMouseIn, kMouseDown, kMouseUp, kClick, kMouseIn, kMouseOut}));
  EXPECT_EQ(host.capture(), 0);
  EXPECT_FALSE(b.state().hover);

  // Button, Shift, X and Y come from the host's mouse event.
  const sim::Record down = site.events()[1];
  ASSERT_EQ(down.args.size(), 4u);
  EXPECT_TRUE(sameValue(down.args[0], Value{std::int16_t{kLeftButton}}));
  EXPECT_TRUE(sameValue(down.args[1], Value{std::int16_t{1}}));
  EXPECT_TRUE(sameValue(down.args[2], Value{45.0f}));
  EXPECT_TRUE(sameValue(down.args[3], Value{45.0f}));

  site.clearLog();
  host.dblClick(b);
  EXPECT_EQ(eventPositions(site),
            (std::vector<int>{kMouseDown, kMouseUp, kClick, kDblClick, kMouseUp}));
}

TEST(NxButtonInput, SlidingOffAPressedButtonGivesNoClick) {
  sim::SimHost host;
  auto& b = host.create<NxButton>(buttonSite());
  sim::SimSite& site = host.site(b);
  site.clearLog();
  moveInside(host, b);
  host.mouseDown(b, kLeftButton);
  moveOutside(host, b);
  EXPECT_FALSE(b.state().pressed) << "leaving lets the button out";
  host.mouseUp(b, kLeftButton);
  EXPECT_EQ(eventPositions(site), (std::vector<int>{kMouseIn, kMouseDown, kMouseOut, kMouseUp}));
}

TEST(NxButtonInput, OnlyARaisedThreeDBorderIsPushedInByTheMouse) {
  sim::SimHost host;
  auto& b = host.create<NxButton>(buttonSite());
  b.setBorderAppearance(apFlat);
  moveInside(host, b);
  host.mouseDown(b, kLeftButton);
  EXPECT_FALSE(b.state().pressed);
  host.mouseUp(b, kLeftButton);
  b.setBorderAppearance(ap3D);
  b.setBorderStyle(bsNone);
  host.mouseDown(b, kLeftButton);
  EXPECT_FALSE(b.state().pressed);
  host.mouseUp(b, kLeftButton);
  b.setBorderStyle(bsFixedSingle);
  host.mouseDown(b, kRightButton);
  EXPECT_TRUE(b.state().pressed);
  host.mouseUp(b, kRightButton);
  EXPECT_EQ(host.site(b).eventCount(kClick), 2) << "a left release inside clicks with any border";
}

TEST(NxButtonInput, SpaceBarClicksOnceOnReleaseAlsoWithoutABorder) {
  sim::SimHost host;
  auto& b = host.create<NxButton>(buttonSite());
  sim::SimSite& site = host.site(b);
  for (std::int32_t style : {std::int32_t{bsFixedSingle}, std::int32_t{bsNone}}) {
    SCOPED_TRACE("border style " + std::to_string(style));
    b.setBorderStyle(style);
    b.setBorderAppearance(apFlat);  // the keyboard pushes in a flat border too
    site.clearLog();
    std::int16_t key = 32;
    b.KeyDown(key, 0);
    EXPECT_EQ(b.state().pressed, style == bsFixedSingle);
    EXPECT_TRUE(site.events().empty());
    b.KeyUp(key, 0);
    EXPECT_FALSE(b.state().pressed);
    EXPECT_EQ(eventPositions(site), std::vector<int>{kClick});
    site.clearLog();
    host.pressKey(b, 32);
    EXPECT_EQ(eventPositions(site), std::vector<int>{kClick});
  }
  site.clearLog();
  host.pressKey(b, 'a');
  host.pressKey(b, 13);
  EXPECT_TRUE(site.events().empty());
}

TEST(NxButtonInput, ADisabledButtonRaisesNothingButKeepsItsFlags) {
  sim::SimHost host;
  auto& b = host.create<NxButton>(buttonSite());
  b.setEnabled(false);
  EXPECT_FALSE(host.window(b).enabled());
  EXPECT_FALSE(b.look().enabled);
  host.site(b).clearLog();
  moveInside(host, b);
  EXPECT_TRUE(b.state().hover);
  host.mouseDown(b, kLeftButton);
  EXPECT_TRUE(b.state().pressed);
  host.mouseUp(b, kLeftButton);
  host.pressKey(b, 32);
  host.dblClick(b);
  moveOutside(host, b);
  EXPECT_TRUE(host.site(b).events().empty());
}

TEST(NxButtonInput, FocusAndDefaultLooks) {
  sim::SimHost host;
  auto& b = host.create<NxButton>(buttonSite());
  const sim::Bitmap plain = host.window(b).bitmap();
  host.focus(&b);
  EXPECT_TRUE(b.state().focus);
  const sim::Bitmap focused = host.window(b).bitmap();
  EXPECT_FALSE(samePixels(plain, focused)) << "the focus shows at once";
  b.setCaption(b.caption());
  EXPECT_TRUE(samePixels(focused, host.window(b).bitmap()));
  moveInside(host, b);
  host.focus(nullptr);
  EXPECT_FALSE(b.state().focus);
  EXPECT_FALSE(b.state().hover);
  EXPECT_TRUE(samePixels(plain, host.window(b).bitmap())) << "losing the focus redraws";

  host.setDisplayAsDefault(b, true);
  EXPECT_TRUE(b.look().isDefault);
  EXPECT_TRUE(samePixels(focused, host.window(b).bitmap()))
      << "the default button has the focus outline";
  host.setDisplayAsDefault(b, false);
  EXPECT_TRUE(samePixels(plain, host.window(b).bitmap()));
  b.AmbientChanged("UserMode");  // not a look of the button
}

TEST(NxButtonTooltip, HoverShowsTheTipOfTheSettingsOnceAndLeavingDiscardsIt) {
  sim::SimHost host;
  sim::SiteOptions o = buttonSite();
  o.toolTipText = "Saves the file";
  auto& b = host.create<NxButton>(o);
  b.setExProp("tttitle=Save;ttstyle=balloon;tticon=1");
  moveInside(host, b);
  ASSERT_NE(b.buttonTooltip(), nullptr);
  EXPECT_EQ(b.buttonTooltip()->Text, "Saves the file");
  EXPECT_EQ(b.buttonTooltip()->Title, "Save");
  EXPECT_EQ(b.buttonTooltip()->Style, 1);
  EXPECT_EQ(b.buttonTooltip()->Icon, 1);
  EXPECT_EQ(b.buttonTooltip()->HwndParentControl, host.window(b).handle());
  // A release ends the hover but not the tip; greeting again makes no second one.
  host.mouseDown(b, kLeftButton);
  host.mouseUp(b, kLeftButton);
  moveInside(host, b);
  EXPECT_EQ(host.services().tooltips().size(), 1u);
  moveOutside(host, b);
  EXPECT_EQ(b.buttonTooltip(), nullptr);

  // A tip the platform refuses is simply absent; the hover goes on.
  host.services().setTooltipCreationFails(true);
  host.site(b).clearLog();
  moveInside(host, b);
  EXPECT_EQ(eventPositions(host.site(b)), std::vector<int>{kMouseIn});
  EXPECT_TRUE(b.state().hover);
}

TEST(NxButtonExProp, SpecialCommandsRunInAnyCaseAndAreCleared) {
  sim::SimHost host;
  auto& b = host.create<NxButton>(buttonSite());
  sim::SimSite& site = host.site(b);
  b.setExProp("tttitle=Keep");
  site.clearLog();

  b.putProperty("ExProp", Value{std::string("Special=GetImage")});
  EXPECT_EQ(toText(b.getProperty("ExProp")), "");
  PictureRef image = toPicture(b.getProperty("retObj"));
  ASSERT_TRUE(image);
  const auto* pixels = dynamic_cast<const sim::SimPicture*>(image.get());
  ASSERT_NE(pixels, nullptr);
  EXPECT_TRUE(samePixels(pixels->pixels(), host.window(b).bitmap()));
  EXPECT_EQ(b.state().tooltip.title, "Keep") << "a command leaves the tooltip settings";
  EXPECT_EQ(site.changes(), std::vector<std::string>{"ExProp"});

  for (const char* nothing : {"special=", "SPECIAL=explode", "special"}) {
    b.setExProp(nothing);
    EXPECT_EQ(b.exProp(), std::string(nothing) == "special" ? "special" : "") << nothing;
    EXPECT_EQ(b.retObj(), image) << nothing;
  }
  EXPECT_EQ(exPropCommandOf("special=fakeclick=now"), ExPropCommand::FakeClick);
  EXPECT_EQ(exPropCommandOf("specialgetimage"), ExPropCommand::TooltipSettings);
  EXPECT_EQ(exPropCommandOf(""), ExPropCommand::TooltipSettings);
  EXPECT_THROW(b.putProperty("retObj", Value{}), HostError);
}

TEST(NxButtonExProp, FakeClickDrawsThePushedLookOnceAndRaisesNothing) {
  sim::SimHost host;
  auto& faked = host.create<NxButton>(buttonSite());
  auto& real = host.create<NxButton>(buttonSite());
  const sim::Bitmap normal = host.window(faked).bitmap();
  host.site(faked).clearLog();
  faked.setExProp("SPECIAL=FAKECLICK");
  EXPECT_EQ(faked.exProp(), "");
  EXPECT_FALSE(faked.state().hover || faked.state().focus || faked.state().pressed);
  EXPECT_TRUE(host.site(faked).events().empty());
  const sim::Bitmap fake = host.window(faked).bitmap();
  EXPECT_FALSE(samePixels(normal, fake));
  // The look of a real press under the pointer of a focused button.
  moveInside(host, real);
  host.mouseDown(real, kLeftButton);
  EXPECT_TRUE(samePixels(fake, host.window(real).bitmap()));
  host.mouseUp(real, kLeftButton);
  // The next drawing of the faked button is its normal look again.
  faked.setCaption(faked.caption());
  EXPECT_TRUE(samePixels(normal, host.window(faked).bitmap()));
}

TEST(NxButtonExProp, AStoredCommandRunsOnceAtLoadAndIsNotSavedAgain) {
  sim::SimHost host;
  sim::SimPropertyBag bag;
  bag.set("ExProp", Value{std::string("special=getimage")});
  auto& b = host.create<NxButton>(buttonSite(), &bag);
  EXPECT_TRUE(b.retObj());
  EXPECT_EQ(b.exProp(), "");
  sim::SimPropertyBag saved = host.save(b);
  EXPECT_FALSE(saved.stored("ExProp"));

  sim::SimPropertyBag settings;
  settings.set("ExProp", Value{std::string("ttstyle=balloon;tttitle=Stored")});
  auto& c = host.create<NxButton>(buttonSite(), &settings);
  EXPECT_EQ(c.state().tooltip.title, "Stored");
  EXPECT_EQ(c.state().tooltip.style, 1);
  EXPECT_EQ(toText(*host.save(c).stored("ExProp")), "ttstyle=balloon;tttitle=Stored");
}

TEST(NxButtonPointer, HandPointerKeepsAHostIconAndSharesOneHandPerThread) {
  sim::SimHost host;
  host.services().addResourceCursor("HAND", std::make_shared<sim::SimCursor>("HAND"));
  auto& a = host.create<NxButton>(buttonSite());
  auto& b = host.create<NxButton>(buttonSite());
  EXPECT_EQ(NxButton::Shared::instanceCount(), 2);
  EXPECT_EQ(host.window(a).mousePointer(), NxButton::kDefaultPointer);
  a.putProperty("HandPointer", Value{VBool::True});
  ASSERT_TRUE(host.window(a).mouseIcon());
  EXPECT_EQ(dynamic_cast<const sim::SimCursor&>(*host.window(a).mouseIcon()).name(), "HAND");
  EXPECT_EQ(host.window(a).mousePointer(), NxButton::kCustomPointer);
  a.setHandPointer(false);
  EXPECT_EQ(host.window(a).mousePointer(), NxButton::kDefaultPointer);

  // A host's own icon is kept; only the pointer style changes.
  auto own = std::make_shared<sim::SimCursor>("host's own");
  host.window(b).setMouseIcon(own);
  b.setHandPointer(true);
  EXPECT_EQ(host.window(b).mouseIcon(), own);
  EXPECT_EQ(host.window(b).mousePointer(), NxButton::kCustomPointer);

  // Loading applies the stored flag.
  a.setHandPointer(true);
  sim::SimPropertyBag bag = host.save(a);
  auto& c = host.create<NxButton>(buttonSite(), &bag);
  EXPECT_EQ(host.window(c).mouseIcon(), host.window(a).mouseIcon());
  EXPECT_EQ(host.window(c).mousePointer(), NxButton::kCustomPointer);
  c.setHandPointer(false);
  sim::SimPropertyBag off = host.save(c);
  auto& d = host.create<NxButton>(buttonSite(), &off);
  EXPECT_EQ(host.window(d).mousePointer(), NxButton::kDefaultPointer);

  ASSERT_TRUE(NxButton::Shared::objects());
  EXPECT_TRUE(NxButton::Shared::objects()->hand);
  for (NxButton* x : {&a, &b, &c, &d}) host.destroy(*x);
  EXPECT_EQ(NxButton::Shared::instanceCount(), 0);
  EXPECT_FALSE(NxButton::Shared::objects());
}

TEST(NxButtonSizing, TheButtonGrowsToItsCaptionAndAutoSizeFitsItExactly) {
  sim::SimHost host;
  auto& b = host.create<NxButton>(buttonSite());
  sim::SimWindow& w = host.window(b);
  Surface& surface = w.surface();
  b.setCaption("A much longer caption");
  const double tw = surface.textWidth("A much longer caption");
  const double th = surface.textHeight("A much longer caption");
  EXPECT_EQ(w.width(), tw);
  EXPECT_EQ(w.height(), 450) << "taller than the text already";
  host.resize(b, 60, 60);
  EXPECT_EQ(w.width(), tw);
  EXPECT_EQ(w.height(), th);
  host.resize(b, 6000, 900);
  EXPECT_EQ(w.width(), 6000) << "never shrinks without AutoSize";
  EXPECT_EQ(b.layout().scaleWidthPx, 400);
  EXPECT_EQ(b.layout().heightPx, 60);
  EXPECT_EQ(b.look().innerWidthPx, 400);

  b.setAutoSize(true);
  EXPECT_EQ(w.width(), tw);
  EXPECT_EQ(w.height(), th);
  b.setCaption("");
  EXPECT_EQ(w.width(), 30);
  EXPECT_EQ(w.height(), 30);
  EXPECT_EQ(b.layout().widthPx, 2);
  EXPECT_EQ(b.layout().scaleHeightPx, 2);
}

TEST(NxButtonSizing, IconSizeComesFromThePicture) {
  sim::SimHost host;
  auto& b = host.create<NxButton>(buttonSite());
  auto icon = std::make_shared<sim::SimPicture>(sim::Bitmap(16, 24, 0x0000FF));
  b.putProperty("Icon", Value{PictureRef{icon}});
  EXPECT_EQ(b.layout().icon.widthPixels, 16);
  EXPECT_EQ(b.layout().icon.heightPixels, 24);
  EXPECT_EQ(b.look().iconWidth, 240);
  EXPECT_EQ(b.look().iconHeight, 360);
  EXPECT_EQ(host.site(b).changes().back(), "icpic");
  b.setIcon(nullptr);
  EXPECT_EQ(b.look().iconWidth, 0);
  EXPECT_EQ(b.layout().icon.heightPixels, 0);
}

}  // namespace
}  // namespace nx
