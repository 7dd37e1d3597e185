#include "overlay/text_properties_exchange.h"

#include "res/text_properties_strings.h"
#include "res/text_properties_template.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

// Controls in memory, recording every call in order, and checking that no write happens
// outside a pass.
class FakeControls : public TextPropertiesControls
{
public:
    explicit FakeControls(const TextPropertiesExchange &exchange)
        : m_exchange(exchange)
    { }

    int GetCheck(int) const override { return check; }
    void SetCheck(int, int state) override
    {
        EXPECT_TRUE(m_exchange.InPass());
        check = state;
        log.push_back("check");
    }
    QString GetText(int id) const override { return texts.at(id); }
    void SetText(int id, const QString &text) override
    {
        EXPECT_TRUE(m_exchange.InPass());
        texts[id] = text;
        log.push_back("text " + std::to_string(id));
    }
    void Warn(const QString &message) override
    {
        EXPECT_TRUE(m_exchange.InPass());
        warnings.push_back(message);
        log.push_back("warn");
    }
    void FocusAndSelectAll(int id) override { log.push_back("focus " + std::to_string(id)); }

    int check = 0;
    std::map<int, QString> texts {{textprops::kAlphaEdit, QString()},
                                  {textprops::kTextEdit, QString()}};
    std::vector<QString> warnings;
    std::vector<std::string> log;

private:
    const TextPropertiesExchange &m_exchange;
};

struct Members
{
    std::int32_t bgTransparentValue = 0;
    std::int32_t alphaValue = 0;
    QString textValue;
    TextPropertiesValues Refs() { return {bgTransparentValue, alphaValue, textValue}; }
};

const QString kTypeAnInteger = QString::fromUtf8("请键入一个整数。");
const QString kRange = QString::fromUtf8("“请填入一个在0和255之间的整数。”");

struct ReadRow
{
    const char *alphaText;
    bool ok;
    std::int32_t alphaAfter; // members start at alphaValue 77
    const QString *warning;
};

TEST(TextPropertiesExchange, ReadingParsesChecksRangeAndStopsAtTheFirstFailure)
{
    // One row for each way through; the parse's own cases are tested with the parse.
    const ReadRow rows[] = {
        {" 012 ", true, 12, nullptr},
        {"255", true, 255, nullptr},
        {"256", false, 256, &kRange},
        {"-5", false, -5, &kRange},
        {"99999999999", false, 2147483647, &kRange},
        {"-0", false, 77, &kTypeAnInteger},
        {"12a", false, 77, &kTypeAnInteger},
    };
    for (const ReadRow &row : rows) {
        SCOPED_TRACE(row.alphaText);
        TextPropertiesExchange exchange;
        FakeControls controls(exchange);
        controls.check = 1;
        controls.texts[textprops::kAlphaEdit] = QString::fromUtf8(row.alphaText);
        controls.texts[textprops::kTextEdit] = QStringLiteral("new text");
        Members m;
        m.alphaValue = 77;
        m.textValue = QStringLiteral("old text");

        EXPECT_EQ(exchange.UpdateData(controls, true, m.Refs()), row.ok);
        EXPECT_FALSE(exchange.InPass());
        EXPECT_EQ(m.bgTransparentValue, 1); // read before the edit, so it is always taken
        EXPECT_EQ(m.alphaValue, row.alphaAfter);
        if (row.warning) {
            ASSERT_EQ(controls.warnings.size(), 1u);
            EXPECT_EQ(controls.warnings[0], *row.warning);
            EXPECT_EQ(controls.log, (std::vector<std::string> {"warn", "focus 1005"}));
            EXPECT_EQ(m.textValue, QStringLiteral("old text"));
        } else {
            EXPECT_TRUE(controls.warnings.empty());
            EXPECT_TRUE(controls.log.empty());
            EXPECT_EQ(m.textValue, QStringLiteral("new text"));
        }
        // Reading never writes a control.
        EXPECT_EQ(controls.texts[textprops::kAlphaEdit], QString::fromUtf8(row.alphaText));
    }
}

TEST(TextPropertiesExchange, WritingTouchesOnlyEditsWhoseTextDiffers)
{
    TextPropertiesExchange exchange;
    FakeControls controls(exchange);
    Members m;
    m.bgTransparentValue = 1;
    m.alphaValue = 128;
    m.textValue = QStringLiteral("quon");
    controls.texts[textprops::kAlphaEdit] = QStringLiteral("128");
    controls.texts[textprops::kTextEdit] = QStringLiteral("quo");

    EXPECT_TRUE(exchange.UpdateData(controls, false, m.Refs()));
    EXPECT_EQ(controls.log, (std::vector<std::string> {"check", "text 1010"}));
    EXPECT_EQ(controls.check, 1);
    EXPECT_EQ(controls.texts[textprops::kTextEdit], QStringLiteral("quon"));

    // A text that differs only in its form is rewritten in plain decimal.
    controls.log.clear();
    controls.texts[textprops::kAlphaEdit] = QStringLiteral(" 0128");
    EXPECT_TRUE(exchange.UpdateData(controls, false, m.Refs()));
    EXPECT_EQ(controls.log, (std::vector<std::string> {"check", "text 1005"}));
    EXPECT_EQ(controls.texts[textprops::kAlphaEdit], QStringLiteral("128"));

    // Writing never range-checks, and negative values are written as signed decimal.
    controls.log.clear();
    m.alphaValue = -7;
    EXPECT_TRUE(exchange.UpdateData(controls, false, m.Refs()));
    EXPECT_EQ(controls.texts[textprops::kAlphaEdit], QStringLiteral("-7"));
    EXPECT_TRUE(controls.warnings.empty());

    // Long texts are always put back, even when equal.
    controls.log.clear();
    m.textValue = QString(257, u'x');
    controls.texts[textprops::kTextEdit] = m.textValue;
    EXPECT_TRUE(exchange.UpdateData(controls, false, m.Refs()));
    EXPECT_EQ(controls.log, (std::vector<std::string> {"check", "text 1010"}));
    controls.log.clear();
    m.textValue = QString(256, u'x');
    controls.texts[textprops::kTextEdit] = m.textValue;
    m.alphaValue = 5;
    controls.texts[textprops::kAlphaEdit] = QStringLiteral("5");
    EXPECT_TRUE(exchange.UpdateData(controls, false, m.Refs()));
    EXPECT_EQ(controls.log, (std::vector<std::string> {"check"}));
}

} // namespace
