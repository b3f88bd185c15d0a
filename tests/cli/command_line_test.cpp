// The one grammar of veldra-cli's options and its one number syntax.

#include <gtest/gtest.h>

#include <string>

#include "cli/command_line.h"

namespace veldra::cli {
namespace {

TEST(CommandLine, BothOptionFormsAndOperands) {
    const Args args = {"--dpi=300", "--gap", "1e1",           "plan.txt", "--pick",
                       "-5,2",      "-",     "--out=a=b.bmp", "--json",   "--last"};
    TCommandLine line(args);
    ASSERT_TRUE(line.Next());
    EXPECT_EQ(line.Name(), "--dpi");
    EXPECT_TRUE(line.IsOption());
    EXPECT_EQ(line.Value(), "300");
    ASSERT_TRUE(line.Next());
    EXPECT_EQ(line.Name(), "--gap");
    EXPECT_FALSE(line.HasInlineValue());
    EXPECT_EQ(line.Value(), "1e1");
    ASSERT_TRUE(line.Next());
    EXPECT_EQ(line.Name(), "plan.txt");
    EXPECT_FALSE(line.IsOption());
    ASSERT_TRUE(line.Next());
    EXPECT_EQ(line.Value(), "-5,2") << "a value may start with '-'";
    ASSERT_TRUE(line.Next());
    EXPECT_FALSE(line.IsOption()) << "'-' alone is an operand";
    ASSERT_TRUE(line.Next());
    EXPECT_EQ(line.Name(), "--out");
    EXPECT_EQ(line.Value(), "a=b.bmp") << "split at the first '=' only";
    ASSERT_TRUE(line.Next());
    EXPECT_EQ(line.Name(), "--json");
    EXPECT_FALSE(line.HasInlineValue());
    ASSERT_TRUE(line.Next());
    EXPECT_EQ(line.Value(), std::nullopt) << "the last option has no value to take";
    EXPECT_FALSE(line.Next());
}

TEST(CommandLine, OneNumberSyntax) {
    for (const auto& [text, expected] : {std::pair{"1e2", 100.0},
                                         {"+2.5", 2.5},
                                         {"-0.5", -0.5},
                                         {".5", 0.5},
                                         {"3.", 3.0},
                                         {"1E-1", 0.1},
                                         {"10000", 10000.0}}) {
        double value = -1;
        EXPECT_TRUE(ParseNumber(text, value)) << text;
        EXPECT_EQ(value, expected) << text;
    }
    for (const char* bad : {"", " 1", "1 ", "0x10", "inf", "nan", "1e", "e5", ".", "+", "1,5",
                            "1e999", "--1", "1.2.3"}) {
        double value = 7;
        EXPECT_FALSE(ParseNumber(bad, value)) << bad;
        EXPECT_EQ(value, 7) << "left as it was: " << bad;
    }
    double value = 0;
    EXPECT_FALSE(ParseNumber(std::string(65, '1'), value)) << "too long to be typed";
}

TEST(CommandLine, WholeNumbersTakeTheSameSyntaxWithinTheirRange) {
    int32_t n = 0;
    EXPECT_TRUE(ParseWholeNumber("3e2", 10, 4800, n));
    EXPECT_EQ(n, 300);
    EXPECT_TRUE(ParseWholeNumber("4800", 10, 4800, n));
    EXPECT_FALSE(ParseWholeNumber("4801", 10, 4800, n));
    EXPECT_FALSE(ParseWholeNumber("9", 10, 4800, n));
    EXPECT_FALSE(ParseWholeNumber("300.5", 10, 4800, n));
    EXPECT_FALSE(ParseWholeNumber("1e10", 10, 4800, n));
    EXPECT_EQ(n, 4800);
}

}  // namespace
}  // namespace veldra::cli
