#include "core/runtime/value.h"

#include <gtest/gtest.h>

#include "core/control/class_table.h"
#include "core/runtime/errors.h"
#include "platform/sim/sim_objects.h"

namespace nx {
namespace {

TEST(Value, NumericConversionsFollowTheHostRules) {
  EXPECT_EQ(toInt32(Value{std::int16_t{-5}}), -5);
  EXPECT_EQ(toInt32(Value{VBool::True}), -1);
  EXPECT_EQ(toInt32(Value{VBool::False}), 0);
  EXPECT_EQ(toInt32(Value{2.5}), 2);
  EXPECT_EQ(toInt32(Value{3.5}), 4);
  EXPECT_EQ(toInt32(Value{-2.5f}), -2);
  EXPECT_EQ(toInt32(Value{std::string(" 42 ")}), 42);
  EXPECT_EQ(toInt32(Value{std::string("-7")}), -7);
  EXPECT_EQ(toInt32(Value{}), 0);
  EXPECT_THROW(toInt32(Value{std::string("12a")}), ConversionError);
  EXPECT_THROW(toInt32(Value{std::string("")}), ConversionError);
  EXPECT_THROW(toInt32(Value{std::string("-")}), ConversionError);
  EXPECT_THROW(toInt32(Value{3e10}), OverflowError);
  EXPECT_THROW(toInt16(Value{std::int32_t{40000}}), OverflowError);
  try {
    toInt32(Value{std::string("x")});
  } catch (const OverflowError&) {
    ADD_FAILURE() << "a type mismatch is not an overflow";
  } catch (const ConversionError&) {
  }
  EXPECT_THROW(toInt32(Value{FontRef{std::make_shared<sim::SimFont>()}}), ConversionError);
  EXPECT_EQ(toInt16(Value{std::int32_t{-32768}}), -32768);
}

TEST(Value, TextBoolAndObjectConversions) {
  EXPECT_EQ(toText(Value{std::int32_t{15}}), "15");
  EXPECT_EQ(toText(Value{VBool::True}), "True");
  EXPECT_EQ(toText(Value{}), "");
  EXPECT_EQ(toText(Value{2.5}), "2.5");
  EXPECT_TRUE(toBool(Value{std::int32_t{-1}}));
  EXPECT_TRUE(toBool(Value{std::string("True")}));
  EXPECT_FALSE(toBool(Value{std::string("0")}));
  EXPECT_THROW(toBool(Value{std::string("maybe")}), ConversionError);
  EXPECT_EQ(toFont(Value{}), nullptr);
  EXPECT_THROW(toFont(Value{std::int32_t{1}}), ConversionError);
  EXPECT_THROW(toPicture(Value{std::string("x")}), ConversionError);
}

TEST(Value, SameValueComparesTypesFontsByLookAndPicturesByIdentity) {
  EXPECT_TRUE(sameValue(Value{std::int32_t{1}}, Value{std::int32_t{1}}));
  EXPECT_FALSE(sameValue(Value{std::int32_t{1}}, Value{std::int16_t{1}}));
  auto a = std::make_shared<sim::SimFont>(FontDesc{"Arial", 9, true, false, false});
  auto b = std::make_shared<sim::SimFont>(FontDesc{"Arial", 9, true, false, false});
  EXPECT_TRUE(sameValue(Value{FontRef{a}}, Value{FontRef{b}}));
  b->setItalic(true);
  EXPECT_FALSE(sameValue(Value{FontRef{a}}, Value{FontRef{b}}));
  auto p = std::make_shared<sim::SimPicture>(sim::Bitmap(2, 2));
  auto q = std::make_shared<sim::SimPicture>(sim::Bitmap(2, 2));
  EXPECT_TRUE(sameValue(Value{PictureRef{p}}, Value{PictureRef{p}}));
  EXPECT_FALSE(sameValue(Value{PictureRef{p}}, Value{PictureRef{q}}));
}

TEST(Value, CoerceToPropertyKinds) {
  EXPECT_EQ(coerceTo(ValueKind::Bool, Value{std::int32_t{5}}), Value{VBool::True});
  EXPECT_EQ(coerceTo(ValueKind::Bool, Value{std::int32_t{0}}), Value{VBool::False});
  EXPECT_EQ(coerceTo(ValueKind::Int16, Value{std::string("12")}), Value{std::int16_t{12}});
  EXPECT_EQ(coerceTo(ValueKind::String, Value{std::int32_t{12}}), Value{std::string("12")});
  EXPECT_EQ(coerceTo(ValueKind::Empty, Value{2.0}), Value{2.0});  // variants keep their type
  EXPECT_EQ(coerceTo(ValueKind::Single, Value{std::int32_t{3}}), Value{3.0f});
  EXPECT_THROW(coerceTo(ValueKind::Int32, Value{std::string("abc")}), ConversionError);
}

}  // namespace
}  // namespace nx
