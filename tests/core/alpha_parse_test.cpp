#include "overlay/alpha_parse.h"

#include <gtest/gtest.h>

#include <limits>

TEST(ParseAlphaText, AcceptsRejectsAndSaturatesAsTheEditRequires)
{
    constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
    const std::optional<std::int32_t> no;
    const struct
    {
        const char16_t *text;
        std::optional<std::int32_t> expected;
    } rows[] = {
        // clang-format off
        // accepted: blanks and tabs around, one sign, leading zeros; out of range saturates
        {u"0", 0}, {u" 12", 12}, {u"\t012", 12}, {u"+12", 12}, {u"-5", -5}, {u"12 \t ", 12},
        {u"2147483647", kMax}, {u"2147483648", kMax}, {u"99999999999999999999", kMax},
        {u"-2147483648", kMin}, {u"-2147483649", kMin},
        // only the first 31 characters are looked at: x is the 32nd, then the 31st
        {u"12                             x", 12}, {u"12                            x", no},
        // rejected; a signed zero too
        {u"", no}, {u"12a", no}, {u"a12", no}, {u"-", no}, {u"-0", no}, {u"+0", no}, {u"1 2", no},
        {u"+ 5", no}, {u"--5", no}, {u"12\n", no}, {u"\u00a012", no}, {u"\uff11\uff12", no},
        // clang-format on
    };
    for (const auto &row : rows) {
        const QString text = QString::fromUtf16(row.text);
        EXPECT_EQ(ParseAlphaText(text), row.expected) << '"' << text.toStdString() << '"';
    }
}
