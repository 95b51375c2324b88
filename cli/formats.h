#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "calc/calculation_run.h"
#include "calc/form_state.h"

namespace jt4dds {

// What jt4dds-cli prints after one press of "Calculate".
enum class OutputFormat {
    Listing,  // the results box's text exactly
    Asm,      // the listing as assembler source, findings as comment lines
    C,        // a C header with the words as bytes and as 32-bit values
    Json,     // the window's state, plus every tone's figures
};

// "listing", "asm", "c" or "json"; nothing for any other name.
std::optional<OutputFormat> outputFormatNamed(std::string_view name);

// Renders the state a run left in `form`. Asm and C need a completed run.
std::string asmSource(const FormState& form);
std::string cHeader(const FormState& form, const RunOutcome& outcome);
std::string jsonReport(const FormState& form, const RunOutcome& outcome);

}  // namespace jt4dds
