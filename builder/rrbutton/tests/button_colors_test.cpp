#include "builder/rrbutton/button_colors.h"

#include <gtest/gtest.h>

namespace {

TEST(ButtonColors, DefaultFaceIsLiftedUnlessBlackOrWhite) {
    struct Case {
        uint32_t systemFace;
        uint32_t face;
    };
    const Case cases[] = {
        {0xD8E9EC, 0xE0F1F4},
        {0x000000, 0x000000},
        {0xFFFFFF, 0xFFFFFF},
        {0xF0F0F0, 0xF8F8F8},
        // A channel above 0xF7 carries into the next one.
        {0x0000FA, 0x080902},
        {0xFAFAFA, 0x01030302},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(InitialFaceColor(c.systemFace), c.face) << std::hex << c.systemFace;
    }
}

TEST(ButtonColors, ShadowShadeBorrowsAcrossChannels) {
    EXPECT_EQ(ShadowShade(0xD8E9EC), 0xC8D9DCu);
    EXPECT_EQ(ShadowShade(0x000000), 0xFFEFEFF0u);
    EXPECT_EQ(ShadowShade(0x100008), 0xFFFFEFF8u);
}

TEST(ButtonColors, DerivedFaceFollowsTheSystemFaceAndAChosenOneStays) {
    struct Case {
        uint32_t face;
        uint32_t lastSystemFace;
        uint32_t systemFace;
        uint32_t expected;
    };
    const Case cases[] = {
        {0xE0F1F4, 0xD8E9EC, 0xC0C0C0, 0xC8C8C8}, // lifted face follows, lifted
        {0xD8E9EC, 0xD8E9EC, 0xC0C0C0, 0xC0C0C0}, // plain system face follows
        {0x123456, 0xD8E9EC, 0xC0C0C0, 0x123456}, // owner's colour stays
        // Before the first computation the last face is CLR_INVALID.
        {0xF8F8F8, 0xFFFFFFFF, 0xF0F0F0, 0xF8F8F8},
        {0x080807, 0xFFFFFFFF, 0xF0F0F0, 0xF8F8F8}, // equal to -1 + lift
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FollowSystemFace(c.face, c.lastSystemFace, c.systemFace), c.expected)
            << std::hex << c.face;
    }
}

TEST(ButtonColors, PaletteRelativeFaceIsRecomputedFromItsColour) {
    // Three recomputations on a palette display keep one palette flag.
    uint32_t face = 0xE0F1F4;
    uint32_t lastComputed = 0;
    bool paletteMade = false;
    for (int round = 0; round < 3; ++round) {
        face = FaceBeforeUpdate(face, lastComputed, paletteMade);
        EXPECT_EQ(face, 0xE0F1F4u) << round;
        face += kPaletteRelative;
        lastComputed = face;
        paletteMade = true;
    }
    // A colour the owner set after the last computation is taken as it is.
    EXPECT_EQ(FaceBeforeUpdate(0x02123456, 0x02E0F1F4, true), 0x02123456u);
    // Without a palette nothing is taken off, carries included.
    EXPECT_EQ(FaceBeforeUpdate(0x01030302, 0x01030302, false), 0x01030302u);
}

TEST(ButtonColors, PaletteDeviceNeedsColourCountAndPaletteCapability) {
    EXPECT_TRUE(IsPaletteDevice(20, 0x100));
    EXPECT_TRUE(IsPaletteDevice(0, 0x7F99));
    EXPECT_FALSE(IsPaletteDevice(-1, 0x100));
    EXPECT_FALSE(IsPaletteDevice(256, 0x7E99));
}

TEST(ButtonColors, PaletteBlockStartsWithTheHeaderWord) {
    const auto block = PaletteBlock({0xE0F1F4, 0xC8D9DC, 0xE1FFFF, 0xC8D0D4});
    const std::array<uint32_t, 5> expected{0x00040300, 0xE0F1F4, 0xC8D9DC, 0xE1FFFF, 0xC8D0D4};
    EXPECT_EQ(block, expected);
}

TEST(ImagePlacement, HalfRoundsToEven) {
    struct Case {
        int32_t a;
        int32_t margin;
        int32_t expected;
    };
    const Case cases[] = {
        {10, 0, 5},  {10, 3, 8},  {5, 0, 2},   {7, 0, 4},   {5, 1, 4},   {7, 1, 4},
        {79, 0, 40}, {37, 0, 18}, {-5, 0, -2}, {-7, 0, -4}, {-3, 1, 0},  {0, -2, -2},
        {1, 0, 0},   {3, 0, 2},   {-1, 0, 0},  {6, -1, 2},  {77, 0, 38}, {77, 2, 40},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HalfToEven(c.a, c.margin), c.expected) << c.a << " " << c.margin;
    }
}

TEST(ImagePlacement, EachCodeUsesItsMarginsAndAnyOtherValueIsAbsolute) {
    ImageGeometry image;
    image.x = 11;
    image.y = 13;
    image.width = 24;
    image.height = 16;
    image.marginLeft = 3;
    image.marginTop = 2;
    image.marginRight = 5;
    image.marginBottom = 7;
    // Client 101 x 51: centre x = 77 / 2 + 3 = 41.5 -> 42, middle y =
    // 35 / 2 + 2 = 19.5 -> 20, right x = 72, bottom y = 28.
    struct Case {
        int32_t placement;
        ImagePosition position;
    };
    const Case cases[] = {
        {-1, {3, 2}},   {-2, {42, 2}},  {-3, {72, 2}},   {-4, {3, 20}},
        {-5, {42, 20}}, {-6, {72, 20}}, {-7, {3, 28}},   {-8, {42, 28}},
        {-9, {72, 28}}, {0, {11, 13}},  {-10, {11, 13}}, {4, {11, 13}},
    };
    for (const Case& c : cases) {
        image.placement = c.placement;
        const ImagePosition position = PlaceImage(image, 101, 51);
        EXPECT_EQ(position.x, c.position.x) << c.placement;
        EXPECT_EQ(position.y, c.position.y) << c.placement;
    }
}

TEST(ImagePlacement, ImageLargerThanTheControlGoesNegative) {
    ImageGeometry image;
    image.placement = -5;
    image.width = 40;
    image.height = 30;
    const ImagePosition position = PlaceImage(image, 31, 20);
    EXPECT_EQ(position.x, -4); // -9 / 2 = -4.5 -> -4
    EXPECT_EQ(position.y, -5);
}

} // namespace

TEST(ButtonColors, HighContrastTakesEveryColourFromTheSystem) {
    const PaintColors own{0xE0F1F4, 0x800000, 0x000080, 0x0000FF,
                          0xE0F1F4, 0x808080, 0xC8D9DC, 0xE1FFFF};
    const SystemColors system{0x000000, 0xFFFFFF, 0x3FF23F, 0xFFEB1A};
    const PaintColors off = ChoosePaintColors(own, system, false);
    const PaintColors on = ChoosePaintColors(own, system, true);
    struct Case {
        const char* name;
        uint32_t PaintColors::*color;
        uint32_t highContrast;
    };
    const Case cases[] = {
        {"face", &PaintColors::face, 0x000000},
        {"text", &PaintColors::text, 0xFFFFFF},
        {"hot text", &PaintColors::hotText, 0xFFFFFF},
        {"pressed text", &PaintColors::pressedText, 0xFFFFFF},
        {"text background", &PaintColors::textBackground, 0x000000},
        {"disabled text", &PaintColors::disabledText, 0x3FF23F},
        {"shade focus ring", &PaintColors::shadeFocusRing, 0xFFEB1A},
        {"info focus ring", &PaintColors::infoFocusRing, 0xFFEB1A},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(off.*c.color, own.*c.color) << c.name;
        EXPECT_EQ(on.*c.color, c.highContrast) << c.name;
    }
}

TEST(ButtonColors, LengthsScaleWithThePixelDensityAndStayAsTheyAreAt96) {
    struct Case {
        int32_t pixels;
        int32_t dpi;
        int32_t scaled;
    };
    const Case cases[] = {
        {1, 96, 1},  {3, 96, 3},    {20, 96, 20},  {25, 96, 25}, {0, 144, 0},   {1, 120, 1},
        {3, 120, 4}, {25, 120, 31}, {1, 144, 2},   {3, 144, 5},  {25, 144, 38}, {40, 144, 60},
        {1, 192, 2}, {25, 192, 50}, {18, 192, 36}, {1, 72, 1}, // a line never thins away
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ScaledPixels(c.pixels, c.dpi), c.scaled) << c.pixels << " at " << c.dpi;
    }
}

TEST(ButtonColors, IconImageIsTheSmallestThatNeedsNoEnlarging) {
    const int32_t sides[] = {32, 48, 64};
    struct Case {
        int32_t side;
        int32_t image;
    };
    const Case cases[] = {{16, 32}, {25, 32}, {31, 32}, {32, 32}, {33, 48},
                          {38, 48}, {48, 48}, {50, 64}, {64, 64}, {100, 64}};
    for (const Case& c : cases) {
        EXPECT_EQ(FittingIconSide(c.side, sides, 3), c.image) << c.side;
    }
}
