// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/check/finding.h"

#include "calc/tuning/run_figures.h"

namespace jt4dds {

std::string_view severityName(Severity severity) {
    switch (severity) {
        case Severity::Error:
            return "error";
        case Severity::Warning:
            return "warning";
        case Severity::Note:
            break;
    }
    return "note";
}

// The table lists each kind once, at its enumerator's place.
static_assert([] {
    for (std::size_t i = 0; i < kFindingKinds.size(); ++i)
        if (static_cast<std::size_t>(kFindingKinds[i].kind) != i) return false;
    return kFindingKinds.back().kind == FindingKind::ClockTolerance;
}());

std::string_view kindName(FindingKind kind) { return specOf(kind).name; }

std::string tonesText(std::uint8_t mask) {
    std::vector<std::size_t> rows;
    for (std::size_t row = 0; row < kToneCount; ++row)
        if ((mask & (1U << row)) != 0) rows.push_back(row);
    if (rows.empty()) return "Tones";
    if (rows.size() == 1) return "Tone " + std::to_string(rows[0]);
    const bool run = rows.back() - rows.front() + 1 == rows.size();
    if (run && rows.size() > 2) return "Tones " + std::to_string(rows.front()) + " to " + std::to_string(rows.back());
    std::string text = "Tones ";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i > 0) text += i + 1 == rows.size() ? " and " : ", ";
        text += std::to_string(rows[i]);
    }
    return text;
}

std::string findingSubject(const Finding& finding, const FieldNamer& name) {
    if (finding.field) return std::string(fieldName(*finding.field));
    if (finding.sentField)
        return name ? name(*finding.sentField) : std::string(transmissionFieldName(*finding.sentField));
    if (finding.tones != 0) return tonesText(finding.tones);
    return std::string(specOf(finding.kind).subject);
}

bool isAboutTheMinute(const Finding& finding) { return specOf(finding.kind).aboutTheMinute; }

std::string fixCaption(const FixEdits& edits) {
    std::string caption;
    for (const FieldEdit& edit : edits) {
        if (!caption.empty()) caption += ", ";
        const InputSpec& entry = specOf(edit.input);
        caption.append(entry.label).append(1, ' ').append(edit.text);
        if (!entry.unit.empty()) caption.append(1, ' ').append(entry.unit);
    }
    return caption;
}

std::string findingLine(const Finding& finding, const FieldNamer& name) {
    std::string line(severityName(finding.severity));
    line += ": ";
    line += findingSubject(finding, name);
    line += ": ";
    line += finding.message;
    if (!finding.fix.empty()) line += ". Fix: " + finding.fix;
    return line;
}

std::string fieldNote(const std::vector<Finding>& findings, Input field) {
    std::string note;
    for (const Finding& f : findings) {
        if (f.field != field) continue;
        if (!note.empty()) note += '\n';
        note += f.message;
        if (!f.fix.empty()) note += "; " + f.fix;
    }
    return note;
}

bool anyOf(const std::vector<Finding>& findings, Severity severity) {
    return std::any_of(findings.begin(), findings.end(),
                       [severity](const Finding& f) { return f.severity == severity; });
}

}  // namespace jt4dds
