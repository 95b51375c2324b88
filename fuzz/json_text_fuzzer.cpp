// SPDX-License-Identifier: GPL-3.0-or-later
// The program's own JSON reader and writer against nlohmann/json, a reader
// and writer in wide use: they accept the same texts, read the same names and
// texts from them, escape any bytes alike, and write numbers that read back
// exactly and are never longer.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "formats/json_text.h"
#include "fuzz/expect.h"

namespace {

using jt4dds::fuzzing::expect;

void compareReading(std::string_view bytes) {
    // nlohmann/json takes a NUL byte for the end of the text; this reader
    // does not, so such texts are not compared.
    if (bytes.find('\0') != std::string_view::npos) return;
    const auto ours = jt4dds::json::parse(bytes, 1);
    const bool accepted = nlohmann::json::accept(bytes);
    expect(std::holds_alternative<jt4dds::json::Value>(ours) == accepted, "both accept the same texts");
    if (!accepted) {
        expect(!std::get<jt4dds::json::NotJson>(ours).what.empty(), "a refusal says why");
        return;
    }
    const auto& root = std::get<jt4dds::json::Value>(ours);
    const auto theirs = nlohmann::json::parse(bytes);
    expect((root.type == jt4dds::json::Value::Type::Object) == theirs.is_object(), "the same kind of value");
    for (const auto& member : root.members) {
        const auto& other = theirs.at(member.name);
        const auto* last = root.member(member.name);
        expect(last->type != jt4dds::json::Value::Type::Text || other.get<std::string>() == last->text,
               "the same text under the same name");
        expect(last->type != jt4dds::json::Value::Type::Number || (last->whole == other.is_number_integer()),
               "the same whole numbers");
    }
}

void compareWriting(std::string_view bytes) {
    const std::string ours = jt4dds::json::Writer().value(bytes).text();
    const std::string theirs =
        nlohmann::json(std::string(bytes)).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    expect(ours == theirs, "a text is escaped alike");

    if (bytes.size() < sizeof(double)) return;
    double number = 0.0;
    std::memcpy(&number, bytes.data(), sizeof number);
    const std::string text = jt4dds::json::numberText(number);
    if (!std::isfinite(number)) {
        expect(text == "null", "a number that is not finite is null");
        return;
    }
    expect(std::strtod(text.c_str(), nullptr) == number &&
               std::signbit(std::strtod(text.c_str(), nullptr)) == std::signbit(number),
           "a number reads back exactly");
    expect(text.size() <= nlohmann::json(number).dump().size(), "a number is never longer");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    compareReading(bytes);
    compareWriting(bytes);
    return 0;
}
