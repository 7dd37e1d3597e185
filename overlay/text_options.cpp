#include "text_options.h"

#include "platform/gdi_font.h"

#include <cctype>
#include <functional>
#include <limits>
#include <map>

namespace {

bool ParseInt(const QString &text, long long low, long long high, std::int32_t &value)
{
    bool ok = false;
    const long long v = text.trimmed().toLongLong(&ok, 10);
    if (!ok || v < low || v > high)
        return false;
    value = std::int32_t(v);
    return true;
}

struct Option
{
    bool takesValue;
    // Applies the option; returns an empty string, or what is wrong with the value.
    std::function<QString(const QString &value, TextStyle &style)> apply;
};

QString Range(const char *what, long long low, long long high)
{
    return QStringLiteral("%1 must be a whole number from %2 to %3").arg(what).arg(low).arg(high);
}

Option Flag(std::function<void(TextStyle &)> set)
{
    return {false, [set](const QString &, TextStyle &style) {
                set(style);
                return QString();
            }};
}

Option Integer(const char *what, long long low, long long high,
               std::function<void(TextStyle &, std::int32_t)> set)
{
    return {true, [=](const QString &value, TextStyle &style) {
                std::int32_t v = 0;
                if (!ParseInt(value, low, high, v))
                    return Range(what, low, high) + QStringLiteral(", not \"%1\"").arg(value);
                set(style, v);
                return QString();
            }};
}

Option Colour(const char *what, COLORREF TextStyle::*field)
{
    return {true, [=](const QString &value, TextStyle &style) {
                COLORREF c = 0;
                if (!ParseHexColor(value, c))
                    return QStringLiteral("%1 must be a colour written #RRGGBB, not \"%2\"")
                        .arg(what, value);
                style.*field = c;
                return QString();
            }};
}

const std::map<QString, Option> &Options()
{
    constexpr long long kIntMin = std::numeric_limits<std::int32_t>::min();
    constexpr long long kIntMax = std::numeric_limits<std::int32_t>::max();
    static const std::map<QString, Option> options = {
        {QStringLiteral("--text"),
         {true,
          [](const QString &value, TextStyle &style) {
              style.text = value;
              return QString();
          }}},
        {QStringLiteral("--font"),
         {true,
          [](const QString &value, TextStyle &style) {
              if (value.isEmpty())
                  return QStringLiteral("--font needs a font family name");
              if (value.toUtf8().size() > qsizetype(sizeof style.font.lfFaceName) - 1)
                  return QStringLiteral("--font \"%1\" is longer than %2 bytes")
                      .arg(value)
                      .arg(sizeof style.font.lfFaceName - 1);
              SetFaceName(style.font, value);
              return QString();
          }}},
        {QStringLiteral("--size"),
         Integer("--size", 1, kMaxPixelSize,
                 [](TextStyle &s, std::int32_t v) { s.font.lfHeight = -v; })},
        {QStringLiteral("--weight"),
         Integer("--weight", 0, 1000, [](TextStyle &s, std::int32_t v) { s.font.lfWeight = v; })},
        {QStringLiteral("--bold"), Flag([](TextStyle &s) { s.font.lfWeight = FW_BOLD; })},
        {QStringLiteral("--italic"), Flag([](TextStyle &s) { s.font.lfItalic = 1; })},
        {QStringLiteral("--underline"), Flag([](TextStyle &s) { s.font.lfUnderline = 1; })},
        {QStringLiteral("--strikeout"), Flag([](TextStyle &s) { s.font.lfStrikeOut = 1; })},
        {QStringLiteral("--color"), Colour("--color", &TextStyle::textColor)},
        {QStringLiteral("--background"), Colour("--background", &TextStyle::bkColor)},
        {QStringLiteral("--opaque"), Flag([](TextStyle &s) { s.bgTransparent = 0; })},
        {QStringLiteral("--alpha"),
         Integer("--alpha", 0, 255, [](TextStyle &s, std::int32_t v) { s.alpha = v; })},
        {QStringLiteral("--x"),
         Integer("--x", kIntMin, kIntMax, [](TextStyle &s, std::int32_t v) { s.x = v; })},
        {QStringLiteral("--y"),
         Integer("--y", kIntMin, kIntMax, [](TextStyle &s, std::int32_t v) { s.y = v; })},
    };
    return options;
}

} // namespace

bool ParseHexColor(const QString &text, COLORREF &color)
{
    if (text.size() != 7 || text[0] != QLatin1Char('#'))
        return false;
    for (qsizetype i = 1; i < 7; ++i)
        if (!std::isxdigit(static_cast<unsigned char>(text[i].toLatin1())))
            return false;
    const uint rgb = text.mid(1).toUInt(nullptr, 16);
    color = RGB(std::uint8_t(rgb >> 16), std::uint8_t(rgb >> 8), std::uint8_t(rgb));
    return true;
}

bool TakeTextOptions(QStringList &args, TextStyle &style, QString &error)
{
    QStringList rest;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (arg == QLatin1String("--")) {
            rest += args.mid(i);
            break;
        }
        const qsizetype equals = arg.indexOf(QLatin1Char('='));
        const QString name = equals > 0 ? arg.left(equals) : arg;
        const auto found = Options().find(name);
        if (found == Options().end()) {
            rest += arg;
            continue;
        }
        const Option &option = found->second;
        QString value;
        if (option.takesValue) {
            if (equals > 0) {
                value = arg.mid(equals + 1);
            } else if (i + 1 < args.size()) {
                value = args[++i];
            } else {
                error = QStringLiteral("%1 needs a value").arg(name);
                return false;
            }
        } else if (equals > 0) {
            error = QStringLiteral("%1 takes no value").arg(name);
            return false;
        }
        error = option.apply(value, style);
        if (!error.isEmpty())
            return false;
    }
    args = rest;
    return true;
}

QString TextOptionsUsage()
{
    return QStringLiteral("Text options (defaults: the text \"quon\" in black, 16 pixels, "
                          "transparent, at 0,0):\n"
                          "  --text TEXT           the line of text to stamp\n"
                          "  --font FAMILY         font family (at most 31 bytes)\n"
                          "  --size PIXELS         character height in pixels, 1 to %1\n"
                          "  --weight N, --bold    font weight 0 to 1000 (0 normal, 700 bold)\n"
                          "  --italic, --underline, --strikeout\n"
                          "  --color #RRGGBB       text colour\n"
                          "  --background #RRGGBB  colour of the background box\n"
                          "  --opaque              draw the background box (default: transparent)\n"
                          "  --alpha 0..255        opacity, 255 opaque (default)\n"
                          "  --x N, --y N          top-left corner of the text in picture pixels\n")
        .arg(kMaxPixelSize);
}
