// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/json_text.h"

#include <cmath>

#include "calc/numbers/exact_chars.h"
#include "formats/utf8.h"

namespace jt4dds::json {
namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

void appendQuoted(std::string& out, std::string_view text) {
    out += '"';
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            const Utf8Sequence sequence = utf8Sequence(text.substr(i));
            if (sequence.wellFormed) {
                out.append(text.substr(i, sequence.length));
            } else {
                out += "\xEF\xBF\xBD";  // U+FFFD REPLACEMENT CHARACTER
            }
            i += sequence.length;
            continue;
        }
        ++i;
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20) {
                    out += "\\u00";
                    out += kHexDigits[c >> 4];
                    out += kHexDigits[c & 0xF];
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    out += '"';
}

void appendUnsigned(std::string& out, std::uint64_t n) {
    char reversed[20];
    int count = 0;
    do {
        reversed[count++] = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n > 0);
    while (count > 0) out += reversed[--count];
}

}  // namespace

std::string numberText(double number) {
    if (!std::isfinite(number)) return "null";
    std::string out;
    if (std::signbit(number)) {
        out += '-';
        number = -number;
    }
    if (number == 0.0) return out + "0.0";
    const exact::Digits shortest = exact::shortest(number);
    const std::string& digits = shortest.digits;
    const auto k = static_cast<int>(digits.size());
    const int point = shortest.exponent + 1;  // digits before the decimal point
    // Plain notation from 0.0001 up to 15 digits before the point, with a
    // fraction always shown; beyond, d.ddde±XX with at least two digits.
    constexpr int kMostPlainDigits = 15;
    constexpr int kMostLeadingZeros = 3;
    if (k <= point && point <= kMostPlainDigits) {
        out.append(digits).append(static_cast<std::size_t>(point - k), '0').append(".0");
    } else if (0 < point && point <= kMostPlainDigits) {
        out.append(digits, 0, static_cast<std::size_t>(point))
            .append(1, '.')
            .append(digits, static_cast<std::size_t>(point));
    } else if (-kMostLeadingZeros <= point && point <= 0) {
        out.append("0.").append(static_cast<std::size_t>(-point), '0').append(digits);
    } else {
        out += digits[0];
        if (k > 1) out.append(1, '.').append(digits, 1);
        const int exponent = point - 1;
        out += exponent < 0 ? "e-" : "e+";
        if (exponent > -10 && exponent < 10) out += '0';
        appendUnsigned(out, static_cast<std::uint64_t>(exponent < 0 ? -exponent : exponent));
    }
    return out;
}

void Writer::newLine(std::size_t depth) {
    if (indent_ < 0) return;
    out_ += '\n';
    out_.append(depth * static_cast<std::size_t>(indent_), ' ');
}

void Writer::separate() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (empty_.empty()) return;
    if (empty_.back() == '0') out_ += ',';
    empty_.back() = '0';
    newLine(empty_.size());
}

Writer& Writer::key(std::string_view name) {
    separate();
    appendQuoted(out_, name);
    out_ += indent_ < 0 ? ":" : ": ";
    afterKey_ = true;
    return *this;
}

Writer& Writer::value(std::string_view text) {
    separate();
    appendQuoted(out_, text);
    return *this;
}

Writer& Writer::value(bool truth) {
    separate();
    out_ += truth ? "true" : "false";
    return *this;
}

Writer& Writer::value(double number) {
    separate();
    out_ += numberText(number);
    return *this;
}

Writer& Writer::value(std::nullptr_t) {
    separate();
    out_ += "null";
    return *this;
}

Writer& Writer::whole(bool negative, std::uint64_t magnitude) {
    separate();
    if (negative) out_ += '-';
    appendUnsigned(out_, magnitude);
    return *this;
}

Writer& Writer::open(char bracket) {
    separate();
    out_ += bracket;
    empty_ += '1';
    return *this;
}

Writer& Writer::close(char bracket) {
    const bool wasEmpty = empty_.back() == '1';
    empty_.pop_back();
    if (!wasEmpty) newLine(empty_.size());
    out_ += bracket;
    return *this;
}

const Value* Value::member(std::string_view name) const {
    for (auto it = members.rbegin(); it != members.rend(); ++it)
        if (it->name == name) return &it->value;
    return nullptr;
}

namespace {

// Builds the kept part of the tree from the reader's events: containers down
// to `keep` levels get their members; deeper ones are only counted.
class Builder {
public:
    explicit Builder(int keep) : keep_(keep) {}

    void begin(Value::Type type) {
        if (skipped_ > 0 || static_cast<int>(open_.size()) >= keep_) {
            if (skipped_++ == 0) {
                Value shell;
                shell.type = type;
                attach(std::move(shell));
            }
            return;
        }
        open_.emplace_back();
        open_.back().type = type;
        keys_.emplace_back();
    }
    void end() {
        if (skipped_ > 0) {
            --skipped_;
            return;
        }
        Value done = std::move(open_.back());
        open_.pop_back();
        keys_.pop_back();
        attach(std::move(done));
    }
    // Where the next key goes, or null when it is not kept.
    std::string* key() { return skipped_ > 0 ? nullptr : &keys_.back(); }
    void scalar(Value&& v) {
        if (skipped_ == 0) attach(std::move(v));
    }
    bool keeping() const { return skipped_ == 0; }
    Value&& result() { return std::move(result_); }

private:
    void attach(Value&& v) {
        if (open_.empty()) {
            result_ = std::move(v);
        } else if (open_.back().type == Value::Type::Object) {
            open_.back().members.push_back(Member{std::move(keys_.back()), std::move(v)});
        }
    }

    int keep_;
    int skipped_ = 0;
    std::vector<Value> open_;
    std::vector<std::string> keys_;
    Value result_;
};

class Reader {
public:
    explicit Reader(std::string_view text) : s_(text) {}

    std::optional<NotJson> read(Builder& out) {
        if (s_.substr(0, 3) == "\xEF\xBB\xBF") i_ = 3;
        std::string open;  // the brackets still open, innermost last
        std::string scratch;
        enum class Next { Value, Key, AfterValue } next = Next::Value;
        for (;;) {
            blanks();
            if (next == Next::Value) {
                if (i_ >= s_.size()) return unexpected("where a value belongs");
                const char c = s_[i_];
                if (c == '{' || c == '[') {
                    ++i_;
                    out.begin(c == '{' ? Value::Type::Object : Value::Type::List);
                    open += c;
                    blanks();
                    if (i_ < s_.size() && s_[i_] == (c == '{' ? '}' : ']')) {
                        ++i_;
                        open.pop_back();
                        out.end();
                        next = Next::AfterValue;
                    } else {
                        next = c == '{' ? Next::Key : Next::Value;
                    }
                    continue;
                }
                Value v;
                if (!scalar(v, out.keeping() ? &v.text : &scratch)) return error_;
                out.scalar(std::move(v));
                next = Next::AfterValue;
            } else if (next == Next::Key) {
                if (i_ >= s_.size() || s_[i_] != '"') return unexpected("where a name in quotes belongs");
                std::string* key = out.key();
                if (!text(key ? *key : scratch)) return error_;
                blanks();
                if (i_ >= s_.size() || s_[i_] != ':') return unexpected("where ':' belongs");
                ++i_;
                next = Next::Value;
            } else {
                if (open.empty()) {
                    if (i_ < s_.size()) return unexpected("after the end of the JSON");
                    return std::nullopt;
                }
                const char close = open.back() == '{' ? '}' : ']';
                if (i_ >= s_.size()) {
                    return stop("it ends too early");
                } else if (s_[i_] == ',') {
                    ++i_;
                    next = open.back() == '{' ? Next::Key : Next::Value;
                } else if (s_[i_] == close) {
                    ++i_;
                    open.pop_back();
                    out.end();
                } else {
                    return unexpected(close == '}' ? "where ',' or '}' belongs" : "where ',' or ']' belongs");
                }
            }
        }
    }

private:
    void blanks() {
        while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\n' || s_[i_] == '\r')) ++i_;
    }

    // A text, a number or a literal into `v` (its characters into `chars`).
    bool scalar(Value& v, std::string* chars) {
        const char c = s_[i_];
        if (c == '"') {
            v.type = Value::Type::Text;
            return text(*chars);
        }
        if (c == '-' || (c >= '0' && c <= '9')) {
            v.type = Value::Type::Number;
            return number(v);
        }
        struct Literal {
            std::string_view word;
            Value::Type type;
            bool truth;
        };
        constexpr Literal kLiterals[] = {
            {"true", Value::Type::Boolean, true},
            {"false", Value::Type::Boolean, false},
            {"null", Value::Type::Null, false},
        };
        for (const Literal& literal : kLiterals) {
            if (s_.substr(i_, literal.word.size()) == literal.word) {
                i_ += literal.word.size();
                v.type = literal.type;
                v.truth = literal.truth;
                return true;
            }
        }
        error_ = unexpected("where a value belongs");
        return false;
    }

    bool text(std::string& out) {
        out.clear();
        ++i_;  // the opening quote
        for (;;) {
            if (i_ >= s_.size()) return fail(stop("it ends inside a text"));
            const auto c = static_cast<unsigned char>(s_[i_]);
            if (c == '"') {
                ++i_;
                return true;
            }
            if (c < 0x20) return fail(unexpected("inside a text (write it as an escape)"));
            if (c >= 0x80) {
                const Utf8Sequence sequence = utf8Sequence(s_.substr(i_));
                if (!sequence.wellFormed) return fail(stop("a text holds bytes that are not UTF-8"));
                out.append(s_.substr(i_, sequence.length));
                i_ += sequence.length;
                continue;
            }
            if (c != '\\') {
                out += static_cast<char>(c);
                ++i_;
                continue;
            }
            if (!escape(out)) return false;
        }
    }

    // The escape at the backslash: "\n", "\u00e9", "\ud83d\ude00".
    bool escape(std::string& out) {
        const std::size_t at = i_;
        if (i_ + 1 >= s_.size()) return fail(stop("it ends inside a text"));
        const char c = s_[i_ + 1];
        i_ += 2;
        constexpr std::string_view kFrom = "\"\\/bfnrt";
        constexpr std::string_view kTo = "\"\\/\b\f\n\r\t";
        if (const auto k = kFrom.find(c); k != std::string_view::npos) {
            out += kTo[k];
            return true;
        }
        if (c != 'u') return fail(at, "an unknown escape");
        std::uint32_t code = 0;
        if (!hex4(code)) return false;
        if (code >= 0xDC00 && code <= 0xDFFF) return fail(at, "a lone low surrogate");
        if (code >= 0xD800 && code <= 0xDBFF) {
            std::uint32_t low = 0;
            if (s_.substr(i_, 2) != "\\u" || (i_ += 2, !hex4(low)) || low < 0xDC00 || low > 0xDFFF)
                return fail(at, "a high surrogate without its low one");
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        }
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
        return true;
    }

    bool hex4(std::uint32_t& code) {
        for (int k = 0; k < 4; ++k, ++i_) {
            if (i_ >= s_.size()) return fail(stop("it ends inside a text"));
            const char c = s_[i_];
            const int digit = c >= '0' && c <= '9'   ? c - '0'
                              : c >= 'a' && c <= 'f' ? c - 'a' + 10
                              : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                     : -1;
            if (digit < 0) return fail(unexpected("where a hexadecimal digit belongs"));
            code = code * 16 + static_cast<std::uint32_t>(digit);
        }
        return true;
    }

    // -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?
    bool number(Value& v) {
        const std::size_t start = i_;
        const bool negative = s_[i_] == '-';
        if (negative) ++i_;
        const auto digits = [&] {
            const std::size_t from = i_;
            while (i_ < s_.size() && s_[i_] >= '0' && s_[i_] <= '9') ++i_;
            return i_ - from;
        };
        const std::size_t integerFrom = i_;
        const std::size_t integerDigits = digits();
        if (integerDigits == 0) return fail(unexpected("where a digit belongs"));
        if (integerDigits > 1 && s_[integerFrom] == '0') return fail(integerFrom, "a number with a leading 0");
        bool plain = true;
        if (i_ < s_.size() && s_[i_] == '.') {
            ++i_;
            plain = false;
            if (digits() == 0) return fail(unexpected("where a digit belongs"));
        }
        long exponent = 0;
        if (i_ < s_.size() && (s_[i_] == 'e' || s_[i_] == 'E')) {
            ++i_;
            plain = false;
            const bool negativeExponent = i_ < s_.size() && s_[i_] == '-';
            if (i_ < s_.size() && (s_[i_] == '-' || s_[i_] == '+')) ++i_;
            const std::size_t from = i_;
            if (digits() == 0) return fail(unexpected("where a digit belongs"));
            for (std::size_t k = from; k < i_ && exponent < 100000; ++k) exponent = exponent * 10 + (s_[k] - '0');
            if (negativeExponent) exponent = -exponent;
        }
        v.text = std::string(s_.substr(start, i_ - start));
        if (plain) {
            // Within 64 bits: up to 2^63 below zero, up to 2^64 - 1 above.
            std::uint64_t n = 0;
            bool fits = integerDigits <= 20;
            for (std::size_t k = integerFrom; fits && k < integerFrom + integerDigits; ++k) {
                const auto d = static_cast<std::uint64_t>(s_[k] - '0');
                fits = n <= (UINT64_MAX - d) / 10;
                n = n * 10 + d;
            }
            v.whole = fits && (!negative || n <= std::uint64_t{1} << 63);
        }
        if (!v.whole && !fitsADouble(v.text, exponent)) return fail(start, "a number too large for a double");
        return true;
    }

    // Whether a number, as written, rounds to a finite double.
    static bool fitsADouble(std::string_view written, long exponent) {
        std::string digits;
        long point = 0;  // digits before the decimal point, from the first non-zero one
        bool inFraction = false;
        for (char c : written) {
            if (c == '.') inFraction = true;
            if (c == 'e' || c == 'E') break;
            if (c < '0' || c > '9') continue;
            if (digits.empty() && c == '0') {
                if (inFraction) --point;
                continue;
            }
            digits += c;
            if (!inFraction) ++point;
        }
        // Below 10^308 every number is a double; only a longer one needs the exact reading.
        if (digits.empty() || point + exponent < 309) return true;
        const std::string scientific =
            digits + "e" + std::to_string(point + exponent - static_cast<long>(digits.size()));
        double value = 0.0;
        return exact::scientific(scientific.c_str(), value) != exact::Read::Overflow;
    }

    // Where `at` is, in lines and characters.
    NotJson place(std::size_t at, std::string what) const {
        NotJson out;
        out.what = std::move(what);
        for (std::size_t k = 0; k < at && k < s_.size(); ++k) {
            const auto c = static_cast<unsigned char>(s_[k]);
            if (c == '\n') {
                ++out.line;
                out.column = 1;
            } else if ((c & 0xC0) != 0x80) {
                ++out.column;
            }
        }
        return out;
    }

    NotJson stop(std::string what) const { return place(i_, std::move(what)); }

    // The character at the reading point, named, and where it stands.
    NotJson unexpected(std::string_view where) const {
        std::string what = "unexpected ";
        if (i_ >= s_.size()) return place(i_, "it ends too early");
        const auto c = static_cast<unsigned char>(s_[i_]);
        if (c > 0x20 && c < 0x7F) {
            what.append(1, '\'').append(1, static_cast<char>(c)).append(1, '\'');
        } else if (c >= 0x80 && utf8Sequence(s_.substr(i_)).wellFormed) {
            what.append(1, '\'').append(s_.substr(i_, utf8Sequence(s_.substr(i_)).length)).append(1, '\'');
        } else {
            what.append("byte 0x").append(1, "0123456789ABCDEF"[c >> 4]).append(1, "0123456789ABCDEF"[c & 0xF]);
        }
        return place(i_, what.append(1, ' ').append(where));
    }

    bool fail(NotJson why) {
        error_ = std::move(why);
        return false;
    }
    bool fail(std::size_t at, std::string what) { return fail(place(at, std::move(what))); }

    std::string_view s_;
    std::size_t i_ = 0;
    NotJson error_;
};

}  // namespace

std::variant<Value, NotJson> parse(std::string_view text, int keep) {
    Builder built(keep);
    Reader reader(text);
    if (auto why = reader.read(built)) return std::variant<Value, NotJson>(std::in_place_index<1>, std::move(*why));
    return std::variant<Value, NotJson>(std::in_place_index<0>, built.result());
}

}  // namespace jt4dds::json
