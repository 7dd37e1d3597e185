#include "overlay/alpha_parse.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

struct Row
{
    const char16_t *text;
    std::optional<std::int32_t> expected;
};

TEST(ParseAlphaText, AcceptsRejectsAndSaturatesAsTheEditRequires)
{
    constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
    const Row rows[] = {
        // accepted
        {u"0", 0},
        {u"12", 12},
        {u" 12", 12},
        {u"\t12", 12},
        {u"012", 12},
        {u"+12", 12},
        {u"-5", -5},
        {u"12 \t ", 12},
        {u"  0  ", 0},
        {u"00", 0},
        {u"300", 300},
        {u"2147483647", kMax},
        {u"2147483648", kMax},
        {u"99999999999999999999", kMax},
        {u"-2147483648", kMin},
        {u"-2147483649", kMin},
        {u"-99999999999999999999", kMin},
        // the first 31 characters decide; what follows is never looked at
        {u"12                             x", 12},
        // rejected
        {u"", std::nullopt},
        {u"   ", std::nullopt},
        {u"abc", std::nullopt},
        {u"12a", std::nullopt},
        {u"a12", std::nullopt},
        {u"-", std::nullopt},
        {u"+", std::nullopt},
        {u"-0", std::nullopt},
        {u"+0", std::nullopt},
        {u"1 2", std::nullopt},
        {u"+ 5", std::nullopt},
        {u"--5", std::nullopt},
        {u"0x10", std::nullopt},
        {u"1.5", std::nullopt},
        {u"12\n", std::nullopt},
        {u"\u00a012", std::nullopt},     // only blanks and tabs are skipped
        {u"\uff11\uff12", std::nullopt}, // full-width digits are not decimal digits here
        {u"12                            x", std::nullopt}, // x is the 31st character
    };
    for (const Row &row : rows) {
        const QString text = QString::fromUtf16(row.text);
        EXPECT_EQ(ParseAlphaText(text), row.expected) << '"' << text.toStdString() << '"';
    }
}

} // namespace
