// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/decode_output.h"

#include "formats/json_text.h"
#include "formats/outputs.h"
#include "session/decode_check.h"

namespace jt4dds {

int writeDecodeCheck(const Beacon& beacon, const PlanCheckOptions& check, int minutes, double snrDb, bool json,
                     bool quiet, std::ostream& out, std::ostream& err) {
    const Evaluation evaluation = evaluate(beacon, EvaluateOptions{check});
    if (!quiet && !json)
        for (const Finding& f : evaluation.findings) err << "jt4dds-cli: " << findingLine(f) << '\n';
    const auto result = decodeCheck(evaluation, minutes, snrDb, [&](int done) {
        if (!quiet) err << "jt4dds-cli: jt9: " << done << " of " << minutes << " minutes decoded\n";
    });
    if (const auto* why = std::get_if<std::string>(&result)) {
        err << "jt4dds-cli: no decode check: " << *why << '\n';
        return kExitNoDecodeCheck;
    }
    const DecodeCheck& done = std::get<DecodeCheck>(result);
    if (!json) {
        out << decodeCheckLine(done) << '\n';
        return 0;
    }
    const auto* t = evaluation.transmission();
    out << jsonReport(evaluation.press, evaluation.findings, t ? std::optional(*t) : std::nullopt,
                      [&](json::Writer& w) {
                          w.key("decode_check").beginObject();
                          w.member("jt9", done.jt9).member("jt9_version", done.version);
                          w.member("snr_db", done.snrDb).member("decodes", done.decodes());
                          w.member("minutes", static_cast<int>(done.minutes.size()));
                          w.member("line", decodeCheckLine(done));
                          w.key("seeds").beginList();
                          for (const DecodedMinute& m : done.minutes)
                              w.beginObject()
                                  .member("seed", m.seed)
                                  .member("decoded", m.decoded)
                                  .member("heard", m.heard)
                                  .endObject();
                          w.endList().endObject();
                      });
    return 0;
}

}  // namespace jt4dds
