#include "data/core/numbers.h"

#include <gtest/gtest.h>

using namespace velmoran;

namespace {

TEST(ReadNumber, NumbersAsTheAgencyTypesThem) {
    const std::pair<const char*, double> cases[] = {
        {"150", 150},
        {"  150\t", 150},
        {"-0.5", -0.5},
        {"+7", 7},
        {"۱۵۰", 150},
        {"١٥٠", 150},
        {"۱5٠", 150},
        {"1,500", 1500},
        {"1,500,000", 1.5e6},
        {"۱٬۵۰۰", 1500},
        {"12.25", 12.25},
        {"۱۲٫۵", 12.5},
        {"150.", 150},
        {".5", 0.5},
        {"-.5", -0.5},
        {"\xC2\xA0"
         "42",
         42},
        {"007", 7},
        {"1,234.5", 1234.5},
        {"0", 0},
    };
    for (const auto& [text, value] : cases) {
        const auto read = readNumber(QString::fromUtf8(text));
        ASSERT_TRUE(read.has_value()) << text;
        EXPECT_DOUBLE_EQ(*read, value) << text;
    }
}

TEST(ReadNumber, AnythingElseIsNotANumber) {
    for (const char* text :
         {"",       "   ",   "-",    "+",      ".",   "توافقي",  "150 تومان", "1,50",
          "1,5000", ",500",  "500,", "1,,500", "12a", "1e5",     "--1",       "+-1",
          "1 500",  "1.2.3", "0x10", "inf",    "nan", "1.500,5", "۱۵۰ ۰",     "١٥٠-"}) {
        EXPECT_FALSE(readNumber(QString::fromUtf8(text)).has_value()) << text;
    }
}

TEST(ReadNumber, GroupingCanBeTurnedOff) {
    EXPECT_FALSE(readNumber(QStringLiteral("1,500"), NumberReading{false}).has_value());
    EXPECT_FALSE(readNumber(QStringLiteral("۱٬۵۰۰"), NumberReading{false}).has_value());
    EXPECT_EQ(readNumber(QStringLiteral(" -1500.9 "), NumberReading{false}), -1500.9);
}

} // namespace
