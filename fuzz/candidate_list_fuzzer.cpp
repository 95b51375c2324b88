// SPDX-License-Identifier: GPL-3.0-or-later
// A settings search's candidate list from arbitrary text. Never crashes; a
// list it accepts holds at most the bound of values, above 0, strictly
// increasing, each of whose texts reads back as that one value.
#include <cstdint>
#include <string_view>

#include "calc/check/settings_search.h"
#include "fuzz/expect.h"

using namespace jt4dds;
using fuzzing::expect;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Ranges can expand a few bytes into a million values; keep inputs short
    // enough that each run stays quick.
    if (size > 256) return 0;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto parsed = parseCandidateList(text);
    if (const auto* why = std::get_if<std::string>(&parsed)) {
        expect(!why->empty(), "a refusal says why");
        return 0;
    }
    const auto& values = std::get<0>(parsed);
    expect(!values.empty() && values.size() <= kMaxCandidateValues, "between one value and the bound");
    for (std::size_t i = 0; i < values.size(); ++i) {
        expect(values[i].value > 0.0, "every value above 0");
        if (i > 0) expect(values[i - 1].value < values[i].value, "sorted, each once");
    }
    // Spot-check that the texts are what a field reads back.
    for (std::size_t i : {std::size_t{0}, values.size() / 2, values.size() - 1}) {
        const auto again = parseCandidateList(values[i].text);
        expect(std::holds_alternative<std::vector<CandidateValue>>(again), "a value's text is a list of itself");
        const auto& one = std::get<0>(again);
        expect(one.size() == 1 && one[0].value == values[i].value && one[0].text == values[i].text,
               "a value's text reads back as the same value");
    }
    return 0;
}
