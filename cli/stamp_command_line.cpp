#include "stamp_command_line.h"

#include "batch/text_anchor.h"
#include "platform/gdi_font.h"

#include <QCommandLineParser>

#include <array>
#include <cctype>
#include <cstdint>
#include <limits>

namespace {

// Applies an option's value to the request: an empty string, or what is wrong with the value.
using Apply = QString (*)(const QString &value, StampRequest &request);

// One row of the option table: its help group (the first row of a group names it), its name,
// the name of its value (none for a flag), its help text and what it does.
struct OptionRow
{
    const char *group;
    const char *name;
    const char *valueName;
    const char *help;
    Apply apply;
};

bool ParseWhole(const QString &text, long long low, long long high, std::int32_t &value)
{
    bool ok = false;
    const long long v = text.trimmed().toLongLong(&ok, 10);
    if (!ok || v < low || v > high)
        return false;
    value = std::int32_t(v);
    return true;
}

QString NotInRange(const char *name, long long low, long long high, const QString &value)
{
    return QStringLiteral("--%1 must be a whole number from %2 to %3, not \"%4\"")
        .arg(QLatin1String(name))
        .arg(low)
        .arg(high)
        .arg(value);
}

QString NotAColour(const char *name, const QString &value)
{
    return QStringLiteral("--%1 must be a colour written #RRGGBB, not \"%2\"")
        .arg(QLatin1String(name), value);
}

// Sets field to the whole number value, or says what is wrong with it.
QString SetWhole(const char *name, const QString &value, long long low, long long high,
                 std::int32_t &field)
{
    return ParseWhole(value, low, high, field) ? QString() : NotInRange(name, low, high, value);
}

constexpr long long kIntMin = std::numeric_limits<std::int32_t>::min();
constexpr long long kIntMax = std::numeric_limits<std::int32_t>::max();

// clang-format off
const std::array kOptions = {
    OptionRow {"Text", "text", "TEXT", "the line of text to stamp (default \"quon\")",
        [](const QString &v, StampRequest &r) { r.style.text = v; return QString(); }},
    OptionRow {nullptr, "font", "FAMILY", "font family (at most 31 bytes); an unknown one is "
        "named on standard error with the family drawn instead",
        [](const QString &v, StampRequest &r) {
            if (v.isEmpty())
                return QStringLiteral("--font needs a font family name");
            if (v.toUtf8().size() > qsizetype(sizeof r.style.font.lfFaceName) - 1)
                return QStringLiteral("--font \"%1\" is longer than %2 bytes")
                    .arg(v).arg(sizeof r.style.font.lfFaceName - 1);
            SetFaceName(r.style.font, v);
            return QString();
        }},
    OptionRow {nullptr, "size", "PIXELS", "character height in pixels, 1 to 2048 (default 16)",
        [](const QString &v, StampRequest &r) {
            std::int32_t n = 0;
            if (!ParseWhole(v, 1, kMaxPixelSize, n))
                return NotInRange("size", 1, kMaxPixelSize, v);
            r.style.font.lfHeight = -n;
            return QString();
        }},
    OptionRow {nullptr, "weight", "N", "font weight, 0 to 1000 (400 normal, 700 bold)",
        [](const QString &v, StampRequest &r) {
            return SetWhole("weight", v, 0, 1000, r.style.font.lfWeight);
        }},
    OptionRow {nullptr, "bold", nullptr, "the same as --weight 700",
        [](const QString &, StampRequest &r) {
            r.style.font.lfWeight = FW_BOLD;
            return QString();
        }},
    OptionRow {nullptr, "italic", nullptr, "italic letters",
        [](const QString &, StampRequest &r) { r.style.font.lfItalic = 1; return QString(); }},
    OptionRow {nullptr, "underline", nullptr, "underlined text",
        [](const QString &, StampRequest &r) { r.style.font.lfUnderline = 1; return QString(); }},
    OptionRow {nullptr, "strikeout", nullptr, "struck-out text",
        [](const QString &, StampRequest &r) { r.style.font.lfStrikeOut = 1; return QString(); }},
    OptionRow {nullptr, "color", "#RRGGBB", "text colour (default #000000)",
        [](const QString &v, StampRequest &r) {
            return ParseHexColor(v, r.style.textColor) ? QString() : NotAColour("color", v);
        }},
    OptionRow {nullptr, "background", "#RRGGBB", "colour of the box behind the text, drawn "
        "with --opaque (default #FFFFFF)",
        [](const QString &v, StampRequest &r) {
            return ParseHexColor(v, r.style.bkColor) ? QString() : NotAColour("background", v);
        }},
    OptionRow {nullptr, "opaque", nullptr, "draw the box behind the text (default: transparent)",
        [](const QString &, StampRequest &r) { r.style.bgTransparent = 0; return QString(); }},
    OptionRow {nullptr, "alpha", "0..255", "opacity of the text and its box, 255 opaque "
        "(default)",
        [](const QString &v, StampRequest &r) {
            return SetWhole("alpha", v, 0, 255, r.style.alpha);
        }},

    OptionRow {"Placement (by --x and --y, or by --anchor)", "x", "N",
        "left edge of the text in picture pixels (default 0)",
        [](const QString &v, StampRequest &r) {
            return SetWhole("x", v, kIntMin, kIntMax, r.style.x);
        }},
    OptionRow {nullptr, "y", "N", "top edge of the text in picture pixels (default 0)",
        [](const QString &v, StampRequest &r) {
            return SetWhole("y", v, kIntMin, kIntMax, r.style.y);
        }},
    OptionRow {nullptr, "anchor", "NAME", "place the text on each picture at centre, "
        "top-centre, bottom-centre, top-left, middle-left, bottom-left, top-right, "
        "middle-right or bottom-right, or at the batch dialog's numbers 0 to 8",
        [](const QString &v, StampRequest &r) {
            const std::optional<TextAnchor> anchor = ParseTextAnchor(v.toStdString());
            if (!anchor)
                return QStringLiteral("--anchor must be centre, top-centre, bottom-centre, "
                                      "top-left, middle-left, bottom-left, top-right, "
                                      "middle-right, bottom-right or 0 to 8, not \"%1\"").arg(v);
            r.placement.anchor = *anchor;
            r.placement.atStyleXY = false;
            return QString();
        }},
    OptionRow {nullptr, "margin", "PIXELS", "with --anchor, the distance from the edges the "
        "text touches, 0 to 65535 (default 0)",
        [](const QString &v, StampRequest &r) {
            return SetWhole("margin", v, 0, 65535, r.placement.margin);
        }},

    OptionRow {"Input and output", "output-dir", "DIR", "write the results into DIR under their "
        "own names instead of over the files; two files of the same name are refused before "
        "anything is written",
        [](const QString &v, StampRequest &r) {
            if (v.isEmpty())
                return QStringLiteral("--output-dir needs a folder");
            r.output.folder = v;
            return QString();
        }},
    OptionRow {nullptr, "depth", "BITS", "bits per pixel of the written files: 16, 24 or 32. "
        "The default, 32, is the depth of the window's display, so the tool writes the bytes "
        "the batch dialog writes; a 24-bit picture grows by a third at 32 bits: keep it at 24 "
        "with --depth=24",
        [](const QString &v, StampRequest &r) {
            std::int32_t bits = 0;
            if (!ParseWhole(v, 16, 32, bits) || bits % 8 != 0)
                return QStringLiteral("--depth must be 16, 24 or 32, not \"%1\"").arg(v);
            r.output.bitsPerPixel = bits;
            return QString();
        }},
    OptionRow {nullptr, "files-from", "FILE", "stamp the files listed in FILE too, one a line; "
        "- reads the list from standard input",
        [](const QString &v, StampRequest &r) {
            if (v.isEmpty())
                return QStringLiteral("--files-from needs a file, or - for standard input");
            r.fileLists << v;
            return QString();
        }},
    OptionRow {nullptr, "null", nullptr, "the lists of --files-from are separated by NUL "
        "characters, as find -print0 writes them",
        [](const QString &, StampRequest &r) { r.nulSeparated = true; return QString(); }},

    OptionRow {"Run", "jobs", "N", "files stamped at once, 1 to 1024 (default: one per core); "
        "a file listed twice is stamped twice, in list order",
        [](const QString &v, StampRequest &r) {
            return SetWhole("jobs", v, 1, 1024, r.jobs);
        }},
    OptionRow {nullptr, "quiet", nullptr, "no progress bar and no summary; failures are still "
        "named on standard error",
        [](const QString &, StampRequest &r) { r.quiet = true; return QString(); }},
};
// clang-format on

QString OptionLabel(const QStringList &names, const char *valueName)
{
    QStringList spelled;
    for (const QString &name : names)
        spelled << (name.size() == 1 && names.size() > 1 ? QStringLiteral("-")
                                                         : QStringLiteral("--"))
                + name;
    QString label = spelled.join(QStringLiteral(", "));
    if (valueName)
        label += QLatin1Char(' ') + QLatin1String(valueName);
    return label;
}

// "  LABEL  help", the help wrapped to 79 columns and indented under itself.
QString OptionHelpLines(const QString &label, const QString &help)
{
    constexpr int kHelpColumn = 24, kWidth = 79;
    QString text = QStringLiteral("  ") + label;
    QString line = text.size() + 2 > kHelpColumn ? QString() : text;
    if (line.isEmpty())
        text += QLatin1Char('\n');
    else
        text.clear();
    for (const QString &word : help.split(QLatin1Char(' '))) {
        if (line.size() >= kHelpColumn && line.size() + 1 + word.size() > kWidth) {
            text += line + QLatin1Char('\n');
            line.clear();
        }
        if (line.size() < kHelpColumn)
            line = line.leftJustified(kHelpColumn) + word;
        else
            line += QLatin1Char(' ') + word;
    }
    return text + line + QLatin1Char('\n');
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

CommandLineResult ParseStampCommandLine(const QStringList &arguments, StampRequest &request,
                                        QString &error)
{
    QCommandLineParser parser;
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    for (const OptionRow &row : kOptions) {
        QCommandLineOption option(QLatin1String(row.name));
        if (row.valueName)
            option.setValueName(QLatin1String(row.valueName));
        parser.addOption(option);
    }
    if (!parser.parse(arguments)) {
        error = parser.errorText();
        return CommandLineResult::UsageError;
    }
    if (parser.isSet(help))
        return CommandLineResult::Help;
    if (parser.isSet(version))
        return CommandLineResult::Version;

    for (const OptionRow &row : kOptions) {
        const QString name = QLatin1String(row.name);
        if (!parser.isSet(name))
            continue;
        // An option given twice: every value is checked, the last one holds.
        const QStringList values = row.valueName ? parser.values(name) : QStringList {QString()};
        for (const QString &value : values) {
            error = row.apply(value, request);
            if (!error.isEmpty())
                return CommandLineResult::UsageError;
        }
    }
    request.files = parser.positionalArguments();
    for (const QString &arg : std::as_const(request.unfaithful))
        if (!request.files.contains(arg)) {
            error = QStringLiteral("an argument is not valid UTF-8: %1").arg(arg);
            return CommandLineResult::UsageError;
        }

    const bool anchored = parser.isSet(QStringLiteral("anchor"));
    if (anchored && (parser.isSet(QStringLiteral("x")) || parser.isSet(QStringLiteral("y"))))
        error
            = QStringLiteral("--x and --y place the text themselves: they cannot go with --anchor");
    else if (!anchored && parser.isSet(QStringLiteral("margin")))
        error = QStringLiteral("--margin goes with --anchor");
    else if (request.nulSeparated && request.fileLists.isEmpty())
        error = QStringLiteral("--null goes with --files-from");
    else if (request.files.isEmpty() && request.fileLists.isEmpty())
        error = QStringLiteral("no files given");
    return error.isEmpty() ? CommandLineResult::Run : CommandLineResult::UsageError;
}

QString StampHelpText()
{
    QString text = QStringLiteral(
        "Usage: velmora-stamp [OPTION]... FILE...\n"
        "Stamps one line of text onto BMP pictures. Each file is read, drawn as the\n"
        "display shows it, stamped with the text and written back as an uncompressed BMP\n"
        "file: over itself, or into the --output-dir folder. A file is written whole or\n"
        "not at all: the result goes to a temporary beside it that is renamed over it.\n");
    for (const OptionRow &row : kOptions) {
        if (row.group)
            text += QStringLiteral("\n%1:\n").arg(QLatin1String(row.group));
        text += OptionHelpLines(OptionLabel({QLatin1String(row.name)}, row.valueName),
                                QLatin1String(row.help));
    }
    text += OptionHelpLines(OptionLabel({QStringLiteral("h"), QStringLiteral("help")}, nullptr),
                            QStringLiteral("show this text"));
    text += OptionHelpLines(OptionLabel({QStringLiteral("v"), QStringLiteral("version")}, nullptr),
                            QStringLiteral("show the version"));
    text += QStringLiteral(
        "\n"
        "Runs of more than one file show a progress bar on a terminal and end with one\n"
        "summary line. Ctrl-C stops a run after the files being written, which are\n"
        "written whole.\n"
        "\n"
        "Exit status: 0 when every file was written, 1 when some were not (each named on\n"
        "standard error with the reason), 2 on a usage error (nothing is written).\n");
    return text;
}
