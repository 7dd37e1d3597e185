#include "overlay/alpha_parse.h"

#include <gtest/gtest.h>

TEST(ParseAlphaText, AcceptsRejectsAndSaturatesAsTheEditRequires)
{
    const std::optional<std::int32_t> no;
    const std::pair<const char16_t *, std::optional<std::int32_t>> rows[] = {
        // clang-format off
        // accepted: blanks and tabs around, one sign, leading zeros; out of range saturates
        {u"0", 0}, {u" 12", 12}, {u"\t012", 12}, {u"+12", 12}, {u"-5", -5}, {u"12 \t ", 12},
        {u"2147483647", INT32_MAX}, {u"2147483648", INT32_MAX}, {u"-2147483648", INT32_MIN},
        {u"99999999999999999999", INT32_MAX}, {u"-2147483649", INT32_MIN},
        // only the first 31 characters are looked at: x is the 32nd, then the 31st
        {u"12                             x", 12}, {u"12                            x", no},
        // rejected; a signed zero too
        {u"", no}, {u"12a", no}, {u"a12", no}, {u"-", no}, {u"-0", no}, {u"+0", no}, {u"1 2", no},
        {u"+ 5", no}, {u"--5", no}, {u"12\n", no}, {u"\u00a012", no}, {u"\uff11\uff12", no},
        // clang-format on
    };
    for (const auto &[typed, expected] : rows) {
        const QString text = QString::fromUtf16(typed);
        EXPECT_EQ(ParseAlphaText(text), expected) << '"' << text.toStdString() << '"';
    }
}
