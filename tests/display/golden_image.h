#pragma once

// Golden-image comparison: a rendered picture must equal the committed PNG pixel
// for pixel (drawing has no antialiasing, so no tolerance). On a mismatch the
// actual picture and a difference picture are written to the build's
// golden-output folder. VELDRA_REGENERATE_GOLDEN=1 rewrites the committed PNGs.

#include <gtest/gtest.h>

#include <QImage>
#include <string>

namespace veldra::test {

::testing::AssertionResult MatchesGolden(const QImage& actual, const std::string& name);

// Folder the failures are written to.
std::string GoldenOutputFolder();

}  // namespace veldra::test
