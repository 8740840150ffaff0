// What the background screen shows, shared by the engine and the builder's preview: the
// texts of the project and the places that a stored byte outside the positions gets.
#include <gtest/gtest.h>

#include "setup/engine/BackgroundLayout.h"

namespace {

TEST(BackgroundTexts, TitleAndOtherAsTheProjectHasThem) {
  TTandrelBaseInstall p;
  EXPECT_FALSE(TitleText(p));
  EXPECT_FALSE(OtherText(p));
  p.TitleCaption = "R&D Tools";
  p.OtherCaption = "Sub";
  auto t = TitleText(p);
  ASSERT_TRUE(t);
  EXPECT_EQ(t->Caption, "R&D Tools ");  // as written, one blank behind
  EXPECT_EQ(t->FontName, "Times New Roman");
  EXPECT_EQ(t->FontSize, 24);
  EXPECT_EQ(t->Color, 0xFFFFFF);
  EXPECT_EQ(t->ShadowColor, 0);
  EXPECT_EQ(t->Pos, ipTopLeft);
  auto o = OtherText(p);
  ASSERT_TRUE(o);
  EXPECT_EQ(o->Caption, "Sub ");
  EXPECT_EQ(o->Pos, ipBottomRight);
  EXPECT_EQ(o->FontStyle, SetBit(fsBold));
  p.IsBitmap = true;  // the caption is then a picture's path
  EXPECT_FALSE(TitleText(p));
  EXPECT_TRUE(OtherText(p));
}

TEST(BackgroundTexts, UnknownPositionsArePlacedNowhere) {
  EXPECT_FALSE(PlaceIfKnown(5, 10, 10, 100, 100));
  EXPECT_FALSE(PlaceIfKnown(255, 10, 10, 100, 100));
  auto at = PlaceIfKnown(ipBottomRight, 10, 20, 100, 100);
  ASSERT_TRUE(at);
  EXPECT_EQ(at->Left, 75);
  EXPECT_EQ(at->Top, 65);
  // An area 322 high: bands of 2, 162 of them; increasing red runs 0..161.
  TTandrelBaseInstall p;
  p.RedStatic = false;
  p.RedIncreasing = true;
  auto bands = GradientBands(p, 322);
  ASSERT_EQ(bands.size(), 162u);
  EXPECT_EQ(bands[0].Bottom, 2);
  EXPECT_EQ(bands.back().Red, 161);
  p.RedIncreasing = false;
  EXPECT_EQ(GradientBands(p, 322).back().Red, 94);
}

}  // namespace
