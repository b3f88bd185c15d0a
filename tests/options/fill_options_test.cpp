// The rules that turn the panel's texts and items into the typed fill options.

#include <gtest/gtest.h>

#include "options/fill_options.h"

namespace veldra {
namespace {

TEST(TFillOptions, DivisionCountAsTypedIsLimited) {
    for (const auto& [text, expected] : {std::pair{"2", 3},
                                         {"5000", 3600},
                                         {"abc", 3},
                                         {"", 3},
                                         {"24", 24},
                                         {"-7", 3},
                                         {" 36", 36}}) {
        EXPECT_EQ(ArcDivisionsOfText(text), expected) << text;
    }
}

TEST(TFillOptions, DepthItemsGiveBitsAndTheDefaultsAreAFirstStarts) {
    const int32_t bits[] = {1, 4, 8, 24, 32};
    for (int32_t item = 0; item <= kLastColourDepthItem; ++item) {
        EXPECT_EQ(BitsPerPixelOfDepthItem(item), bits[item]);
    }
    // Out of the list: clamped as the settings file clamps the item.
    EXPECT_EQ(BitsPerPixelOfDepthItem(-1), 1);
    EXPECT_EQ(BitsPerPixelOfDepthItem(9), 32);
    // The window's first start: "24bit色" (item 3), 24 divisions, 200 %.
    const TFillOptions defaults;
    EXPECT_EQ(defaults.bitsPerPixel, BitsPerPixelOfDepthItem(3));
    EXPECT_EQ(defaults.arcDivisions, 24);
    EXPECT_EQ(defaults.magnificationPercent, 200);
}

}  // namespace
}  // namespace veldra
