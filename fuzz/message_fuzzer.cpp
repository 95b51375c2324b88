// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a JT4 and as a PI4 message: each gives the mode's number of
// channel symbols, every one 0 to 3, or a refusal that says why; never a
// crash. A standard JT4 or a PI4 message, sent again as it was sent, gives
// the same symbols.
#include <cstdint>
#include <string_view>

#include "calc/transmission/message.h"
#include "fuzz/expect.h"

using namespace jt4dds;
using fuzzing::expect;

namespace {

void check(const std::variant<EncodedMessage, std::string>& encoded, std::size_t count, bool pi4) {
    if (const auto* why = std::get_if<std::string>(&encoded)) {
        expect(!why->empty(), "a refusal says why");
        return;
    }
    const EncodedMessage& m = std::get<EncodedMessage>(encoded);
    expect(m.symbols.size() == count, "the mode's number of symbols");
    for (std::uint8_t s : m.symbols) expect(s <= 3, "every symbol 0 to 3");
    // Free text's characters sent as spaces would be joined with their
    // neighbours when typed again, so only the other messages come back whole.
    if (!pi4 && m.kind == Jt4MessageKind::FreeText) return;
    const auto again = pi4 ? encodePi4(m.sent) : encodeJt4(m.sent);
    expect(again.index() == 0 && std::get<EncodedMessage>(again).symbols == m.symbols,
           "what was sent, sent again, gives the same symbols");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    check(encodeJt4(text), kJt4SymbolCount, false);
    check(encodePi4(text), kPi4SymbolCount, true);
    return 0;
}
