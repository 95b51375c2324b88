// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/evaluation.h"

#include <atomic>

#include "formats/search_output.h"

namespace jt4dds {
namespace {

std::atomic<std::size_t> evaluations{0};

}  // namespace

Evaluation evaluate(const Beacon& beacon, const EvaluateOptions& options) {
    ++evaluations;
    Evaluation e{beacon, calculate(beacon), planTransmission(beacon), {}, std::nullopt};
    e.findings = checkPlan(e.press, options.check);
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
