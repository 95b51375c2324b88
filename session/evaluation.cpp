// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/evaluation.h"

#include <algorithm>
#include <atomic>

#include "calc/check/settings_search.h"
#include "formats/search_output.h"

namespace jt4dds {
namespace {

std::atomic<std::size_t> evaluations{0};

// Where no single edit clears a finding, Find settings' first plan over its
// default lists is the fix: the search judges every pair by this very check,
// so the pair it ranks first leaves nothing against the beacon.
void pointToTheSearch(Evaluation& e, const EvaluateOptions& options) {
    if (std::none_of(e.findings.begin(), e.findings.end(), [](const Finding& f) { return f.wantsSearch; })) return;
    const auto mults = parseCandidateList(kDefaultMultiplications);
    const auto refs = parseCandidateList(defaultReferences(e.beacon));
    if (mults.index() != 0 || refs.index() != 0) return;
    SearchOptions search;
    search.top = 1;
    search.check = options.check;
    const SearchResult found = findSettings(e.beacon, std::get<0>(mults), std::get<0>(refs), search);
    if (found.best.empty()) return;
    const Candidate& first = found.best.front();
    const FixEdits edits{{Input::Multiplication, first.mult.text}, {Input::Reference, first.frefMHz.text}};
    for (Finding& f : e.findings) {
        if (!f.wantsSearch) continue;
        const auto at = f.fix.rfind(kNoSingleEdit);
        if (at != std::string::npos) f.fix.erase(at);
        f.fix += "Find settings' first plan with nothing against it: " + fixCaption(edits);
        f.fixes.push_back(edits);
    }
}

}  // namespace

Evaluation evaluate(const Beacon& beacon, const EvaluateOptions& options) {
    ++evaluations;
    Evaluation e{beacon, calculate(beacon), planTransmission(beacon), {}, std::nullopt};
    e.findings = checkPlan(e.press, options.check);
    pointToTheSearch(e, options);
    e.receiver = receiverOf(e.press);
    return e;
}

std::size_t evaluationCount() { return evaluations.load(); }

ExportAnswer exportAs(const Evaluation& evaluation, OutputFormat format, bool force, bool toFile) {
    const Press& press = evaluation.press;
    ExportAnswer answer;
    answer.gate = exportGate(format, press, evaluation.findings, force, toFile);
    if (answer.gate != ExportGate::Open) {
        answer.refusal = exportRefusal(answer.gate, press, evaluation.findings);
        if (answer.gate == ExportGate::ErrorFindings) answer.question = forceQuestion(answer.refusal);
        return answer;
    }
    answer.bytes =
        render(format, press, evaluation.findings, firmwareFile(asPressed(evaluation.beacon, press), format));
    return answer;
}

}  // namespace jt4dds
