// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/check/plan_parts.h"

#include <algorithm>

#include "calc/numbers/leading_number.h"
#include "calc/numbers/number_format.h"

namespace jt4dds::check_parts {
namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

// A trailing unit that says what the field already means is no finding.
bool isOwnUnit(Input field, std::string_view ignored) {
    if (field == Input::Multiplication) return ignored == "x" || ignored == "X" || ignored == "\xC3\x97";  // ×
    return equalsIgnoringCase(ignored, unitOf(field));
}

// The factor a unit prefix typed after a number stands for in the field's own
// unit (GHz in a MHz field: 1000), or nothing when it is no such prefix.
std::optional<double> prefixFactor(Input field, std::string_view ignored) {
    if (field == Input::Multiplication || ignored.empty()) return std::nullopt;
    const bool megahertzField = unitOf(field) == "MHz";
    const std::string_view rest = ignored.substr(1);
    if (!rest.empty() && !equalsIgnoringCase(rest, "Hz")) return std::nullopt;
    switch (ignored[0]) {
        case 'G':
        case 'g':
            return megahertzField ? 1e3 : 1e9;
        case 'M':
            return megahertzField ? std::nullopt : std::optional<double>(1e6);
        case 'k':
        case 'K':
            return megahertzField ? 1e-3 : 1e3;
        default:
            return std::nullopt;
    }
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// `text` without blanks at either end: ignored text quoted as typed.
std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// The number `text` holds when it is one whole number and nothing else (or
// the field's own unit after it): what a fix may tell the operator to type.
std::optional<std::string> wholeNumber(Input field, std::string_view text) {
    const NumberRead n = LeadingNumber(text);
    if (n.end == 0 || !n.inRange) return std::nullopt;
    const std::string rest = withoutDroppedBlanks(text.substr(n.end));
    if (!rest.empty() && !isOwnUnit(field, rest)) return std::nullopt;
    return withoutDroppedBlanks(text.substr(0, n.end));
}

// A comma after the number read: a decimal comma ("2320,1"), thousands
// grouped with commas ("10,368.9", "1,234,567"), or one group of three that
// could be either ("10,368"). Gives the message's explanation and, when the
// meaning is clear, what to type.
struct CommaReading {
    std::string explanation;
    std::optional<std::string> typeThis;
};

std::optional<CommaReading> readComma(Input field, std::string_view number, std::string_view ignored) {
    if (ignored.size() < 2 || ignored[0] != ',' || !isDigit(ignored[1])) return std::nullopt;
    // Thousands: one to three digits before, groups of exactly three after.
    const std::string_view digits = number.substr(number[0] == '-' || number[0] == '+' ? 1 : 0);
    std::size_t at = 0;
    std::string grouped(number);
    int groups = 0;
    while (digits.size() >= 1 && digits.size() <= 3 && std::all_of(digits.begin(), digits.end(), isDigit) &&
           at + 4 <= ignored.size() && ignored[at] == ',' && isDigit(ignored[at + 1]) && isDigit(ignored[at + 2]) &&
           isDigit(ignored[at + 3]) && (at + 4 == ignored.size() || !isDigit(ignored[at + 4]))) {
        grouped.append(ignored.substr(at + 1, 3));
        at += 4;
        ++groups;
    }
    const std::string_view after = ignored.substr(at);
    if (groups > 0 && (groups > 1 || (!after.empty() && after[0] == '.'))) {
        if (const auto typed = wholeNumber(field, grouped + std::string(after)))
            return CommaReading{"(',' groups thousands here; type the number without it)", *typed};
    }
    if (groups == 1 && (after.empty() || isOwnUnit(field, after)))
        return CommaReading{
            "(',' could group thousands or be a decimal comma: type the number without it, with '.' "
            "as the decimal point)",
            std::nullopt};
    // A decimal comma: the digits after it, and nothing else but the unit.
    std::size_t end = 1;
    while (end < ignored.size() && isDigit(ignored[end])) ++end;
    return CommaReading{"(the decimal point is '.')",
                        wholeNumber(field, std::string(number) + "." + std::string(ignored.substr(1, end - 1)) +
                                               std::string(ignored.substr(end)))};
}

}  // namespace

std::string readsText(Input field, double value) {
    std::string text = "reads " + number(value, 9);
    if (!unitOf(field).empty()) (text += ' ') += unitOf(field);
    return text;
}

void checkField(Input field, const FieldRead& read, std::vector<Finding>& out) {
    const std::string& text = read.text;
    const NumberRead& n = read.number;
    const auto add = [&](FindingKind kind, std::string message, std::optional<std::string> typeThis = {},
                         std::string fix = {}) {
        std::vector<FixEdits> fixes;
        if (typeThis) {
            fix = "type " + *typeThis;
            fixes.push_back({FieldEdit{field, *typeThis}});
        }
        out.push_back(Finding{.severity = Severity::Warning,
                              .kind = kind,
                              .field = field,
                              .message = std::move(message),
                              .fix = std::move(fix),
                              .fixes = std::move(fixes)});
    };
    const std::string typed = withoutDroppedBlanks(text);
    if (typed.empty()) {
        add(FindingKind::EmptyField, "is empty and reads 0");
        return;
    }
    if (n.end == 0) {
        // Appended piece by piece: GCC 12 at -O3 takes "'" + std::string(…) for an overlapping copy (-Wrestrict).
        std::string message = "'";
        message.append(trimmed(text)).append("' holds no number and reads 0");
        std::optional<std::string> typeThis;
        if (typed.size() > 1 && typed[0] == ',' && isDigit(typed[1])) {
            message += " (the decimal point is '.')";
            typeThis = wholeNumber(field, "0." + typed.substr(1));
        } else if (typed.size() > 1 && typed[0] == '&') {
            message += " (a number is read in decimal only)";
        } else if (field == Input::Multiplication) {
            // A multiplication written as "x96" or "×96": the sign belongs after it, or nowhere.
            for (std::string_view sign : {"x", "X", "\xC3\x97"}) {
                if (!typed.starts_with(sign)) continue;
                typeThis = wholeNumber(field, std::string_view(typed).substr(sign.size()));
                if (typeThis) message += " (the number comes first, as in 96x)";
            }
        }
        add(FindingKind::NoNumber, std::move(message), std::move(typeThis));
        return;
    }
    if (!n.inRange) return;  // the run stopped at this field and says so itself

    const std::string_view consumed(text.data(), n.end);
    const std::string numberTyped = withoutDroppedBlanks(consumed);
    if (const std::size_t lineBreak = consumed.find_first_of("\r\n"); lineBreak != std::string_view::npos) {
        // A number wrapped at its point ("10368." and "9") is one number; two
        // numbers on two lines ("2320.1" and "24") cannot be told from one
        // wrapped between digits, so no number is offered then.
        const std::string before = withoutDroppedBlanks(consumed.substr(0, lineBreak));
        const std::string after = withoutDroppedBlanks(consumed.substr(lineBreak));
        const bool wrappedAtPoint = (!before.empty() && before.back() == '.') || (!after.empty() && after[0] == '.');
        std::string message = readsText(field, n.value) + ": the numbers on separate lines were read as one";
        if (wrappedAtPoint) {
            add(FindingKind::JoinedNumbers, std::move(message), wholeNumber(field, numberTyped));
        } else {
            add(FindingKind::JoinedNumbers, std::move(message), std::nullopt,
                "keep one number on one line: which one is meant cannot be told");
        }
    }

    const std::string ignored = withoutDroppedBlanks(std::string_view(text).substr(n.end));
    if (ignored.empty() || isOwnUnit(field, ignored)) return;
    std::string message = readsText(field, n.value) + "; '" + std::string(trimmed(text.substr(n.end))) + "' ignored";
    if (const auto comma = readComma(field, numberTyped, ignored)) {
        add(FindingKind::IgnoredText, message + " " + comma->explanation, comma->typeThis);
        return;
    }
    if (const auto factor = prefixFactor(field, ignored)) {
        const std::string unit = std::string(1, ignored[0]) + "Hz";
        add(FindingKind::IgnoredText, std::move(message), number(n.value * *factor, 9));
        out.back().fix.insert(0, "for " + number(n.value, 9) + " " + unit + " ");
        return;
    }
    add(FindingKind::IgnoredText, std::move(message));
}

}  // namespace jt4dds::check_parts
