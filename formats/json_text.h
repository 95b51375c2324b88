// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

// The JSON the program writes (the report, the search, beacon files, the web
// page's answers) and the little it reads (beacon files). Small on purpose:
// the web edition carries it in its WebAssembly.
namespace jt4dds::json {

// Writes one JSON value, member by member, in the order written. With an
// indent, each member or element on a line of its own and ": " after a key,
// an empty object or list as "{}" or "[]"; without, no blank at all.
//
// Texts go out as UTF-8 with only '"', '\\' and the control characters
// escaped ("\n", "\u001b"); an ill-formed UTF-8 piece becomes one U+FFFD, so
// the output is always valid JSON. Numbers: whole numbers as they are; a
// double in its shortest form that reads back exactly, with ".0" on whole
// values ("2320.1", "300.0", "1e+20", "1.5e-07", "-0.0"), and null when it
// is not finite. The caller keeps the nesting right: a key before each
// member of an object, none in a list, every begin ended.
class Writer {
public:
    explicit Writer(int indent = -1) : indent_(indent) {}

    Writer& key(std::string_view name);
    Writer& value(std::string_view text);
    Writer& value(const std::string& text) { return value(std::string_view(text)); }
    Writer& value(const char* text) { return value(std::string_view(text)); }
    Writer& value(bool truth);
    Writer& value(double number);
    Writer& value(std::nullptr_t);
    template <std::integral Whole>
    requires(!std::same_as<Whole, bool>) Writer& value(Whole number) {
        if constexpr (std::is_signed_v<Whole>) {
            return whole(number < 0,
                         number < 0 ? 0 - static_cast<std::uint64_t>(number) : static_cast<std::uint64_t>(number));
        } else {
            return whole(false, number);
        }
    }
    template <class T>
    Writer& value(const std::optional<T>& maybe) {
        return maybe ? value(*maybe) : value(nullptr);
    }
    template <class T>
    Writer& member(std::string_view name, const T& v) {
        key(name);
        return value(v);
    }

    Writer& beginObject() { return open('{'); }
    // An object whose first members name this program's JSON format and its
    // version, so that a reader can tell what it holds.
    Writer& beginDocument(std::string_view format, int version) {
        beginObject().member("format", format);
        return member("version", version);
    }
    Writer& endObject() { return close('}'); }
    Writer& beginList() { return open('['); }
    Writer& endList() { return close(']'); }

    // The text written so far.
    const std::string& text() const { return out_; }

private:
    Writer& whole(bool negative, std::uint64_t magnitude);
    Writer& open(char bracket);
    Writer& close(char bracket);
    // Before a value: the comma and line break that separate it from the last.
    void separate();
    void newLine(std::size_t depth);

    int indent_;
    std::string out_;
    std::string empty_;  // per open object or list: whether nothing is in it yet (1 or 0)
    bool afterKey_ = false;
};

// A double as the writer writes it: "2320.1", "300.0", "1e+20", "null".
std::string numberText(double number);

struct Member;

// A JSON value as a reader of a small document needs it.
struct Value {
    enum class Type { Null, Boolean, Number, Text, List, Object };
    Type type = Type::Null;
    bool truth = false;
    // A text's characters; a number as it was written ("1", "-0", "2.50").
    std::string text;
    // A number with no fraction and no exponent that fits 64 bits: "-3", "1".
    bool whole = false;
    // An object's members in file order, kept down to the depth asked for.
    std::vector<Member> members;

    // The member called `name` (the last, if the name repeats), or null.
    const Value* member(std::string_view name) const;
};

struct Member {
    std::string name;
    Value value;
};

// Where and why a text is not JSON: line and column count from 1, columns in
// characters; `what` is "unexpected '}'", "it ends too early" and the like.
struct NotJson {
    std::size_t line = 1;
    std::size_t column = 1;
    std::string what;
};

// The value `text` holds: one JSON value (RFC 8259) with blanks around it,
// after an optional UTF-8 byte order mark. Objects' members are kept down to
// `keep` levels (1: the top object's members, with any object or list among
// them typed but empty); everything deeper is checked but not kept, so no
// nesting, however deep, costs more than a byte of memory a level. A number
// too large for a double is not JSON here, as in most readers; a NUL byte
// outside a text is not the end of the text but an error. Never throws
// except std::bad_alloc.
std::variant<Value, NotJson> parse(std::string_view text, int keep);

}  // namespace jt4dds::json
