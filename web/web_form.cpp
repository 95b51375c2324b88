// SPDX-License-Identifier: GPL-3.0-or-later
// The page's side of the calculation, compiled to WebAssembly: the run's view
// over the page's form, implemented as the window implements it, and the
// few calls the page makes. Every decision is the core's; the page's script
// only gets and sets what its elements show.
#include <emscripten.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "calc/check/plan_check.h"
#include "calc/check/settings_search.h"
#include "calc/hearing/simulation.h"
#include "calc/numbers/number_format.h"
#include "calc/transmission/minute.h"
#include "calc/tuning/beacon.h"
#include "calc/tuning/calculation_run.h"
#include "calc/tuning/dds_chip.h"
#include "calc/tuning/form_view.h"
#include "calc/tuning/selector_items.h"
#include "formats/beacon_file.h"
#include "formats/heard_view.h"
#include "formats/json_text.h"
#include "formats/outputs.h"
#include "formats/search_output.h"
#include "formats/wav.h"
#include "formats/window_layout.h"
#include "session/firmware_export.h"
#include "session/session.h"

// The page's elements, by the control's name (their ids). Texts cross as UTF-8.
EM_JS(char*, jt4dds_page_text, (const char* id), { return allocateUTF8(jt4ddsPage.text(UTF8ToString(id))); });
EM_JS(void, jt4dds_page_set_text, (const char* id, const char* text),
      { jt4ddsPage.setText(UTF8ToString(id), UTF8ToString(text)); });
EM_JS(void, jt4dds_page_set_selector, (const char* id, const char* text),
      { jt4ddsPage.setSelector(UTF8ToString(id), UTF8ToString(text)); });
EM_JS(int, jt4dds_page_ref800, (), { return jt4ddsPage.ref800() ? 1 : 0; });
EM_JS(void, jt4dds_page_set_ref800, (int checked), { jt4ddsPage.setRef800(checked != 0); });
EM_JS(void, jt4dds_page_set_visible, (const char* id, int visible),
      { jt4ddsPage.setVisible(UTF8ToString(id), visible != 0); });
EM_JS(void, jt4dds_page_set_caption, (const char* text), { jt4ddsPage.setWarningCaption(UTF8ToString(text)); });
EM_JS(char*, jt4dds_page_separator, (), { return allocateUTF8(jt4ddsPage.decimalSeparator()); });

namespace jt4dds {
namespace {

std::string taken(char* text) {
    std::string out(text);
    std::free(text);
    return out;
}

// Each input's element is named by its control, as the table binds it.
std::string idOf(Input input) { return std::string(specOf(input).control); }

const char* idOf(Selector selector) { return selector == Selector::JTMode ? "JTMode" : "Config"; }

const char* idOf(Shown control) {
    switch (control) {
        case Shown::Warning:
            return "Warning";
        case Shown::SsbCarrier:
            return "SSBCarrier";
        case Shown::SsbCaption:
            break;
    }
    return "Label10";
}

// The page's form as the calculation sees it. A selector's text area holds
// text; the item it names exactly is the selected one, and any other text is
// typing that leaves none selected, as in the window.
class PageForm final : public FormView {
public:
    std::string text(Input input) const override { return taken(jt4dds_page_text(idOf(input).c_str())); }
    void setText(Input input, std::string_view text) override {
        jt4dds_page_set_text(idOf(input).c_str(), std::string(text).c_str());
    }
    std::optional<SelectedItem> selectedItem(Selector selector) const override {
        const std::string typed = selectorText(selector);
        for (int i = 0; i < itemCount(selector); ++i)
            if (auto item = itemAt(selector, i); item && item->label == typed) return item;
        return std::nullopt;
    }
    std::string selectorText(Selector selector) const override { return taken(jt4dds_page_text(idOf(selector))); }
    bool ref800Checked() const override { return jt4dds_page_ref800() != 0; }
    void setListing(std::string_view listing) override { jt4dds_page_set_text("Text1", std::string(listing).c_str()); }
    void setSsbCarrier(std::string_view text) override {
        jt4dds_page_set_text("SSBCarrier", std::string(text).c_str());
    }
    void setVisible(Shown control, bool visible) override { jt4dds_page_set_visible(idOf(control), visible ? 1 : 0); }
    void setWarningCaption(std::string_view caption) override { jt4dds_page_set_caption(std::string(caption).c_str()); }
    std::string decimalSeparator() const override { return taken(jt4dds_page_separator()); }
};

// The last answer handed to the page; it stays valid until the next call.
std::string answer;

const char* reply(const json::Writer& json) {
    answer = json.text();
    return answer.c_str();
}

// {"error": why} and nothing else.
const char* refusal(std::string_view why) {
    return reply(json::Writer().beginObject().member("error", why).endObject());
}

void writeTexts(json::Writer& out, const auto& texts) {
    out.beginList();
    for (const auto& text : texts) out.value(std::string_view(text));
    out.endList();
}

// The beacon's name in its firmware files: from Save or an opened file.
std::string beaconName;
// The opened beacon file's message and minute, kept for its saves and exports.
Beacon pageTransmission;

// The fields as jt4dds-cli would take them: "." as the decimal point.
Beacon cliInputs() {
    Beacon beacon = beaconOf(PageForm());
    beacon.separator = ".";
    beacon.takeTransmission(pageTransmission);
    beacon.takeDds(pageTransmission);
    beacon.name = beaconName;
    return beacon;
}

// The page's one session: the beacon on the page, its last evaluation and
// the undo stack of the actions that change the fields.
Session session;

// The same beacon whatever decimal separator the listing is written with:
// the findings, the minute and the files do not depend on it.
bool sameBeacon(Beacon a, const Beacon& b) {
    a.separator = b.separator;
    return a == b;
}

// The evaluation of the page's beacon as jt4dds-cli takes it: the last
// press's when the page has not changed since (and it was made with "."),
// else one made now, for this action.
Evaluation evaluationNow() {
    const Beacon typed = cliInputs();
    if (session.last() && session.last()->beacon == typed) return *session.last();
    return evaluate(typed);
}

// The last press's, when the page has not changed since; else one made now.
const Evaluation& minuteNow(std::optional<Evaluation>& made) {
    const Beacon typed = cliInputs();
    if (session.last() && sameBeacon(session.last()->beacon, typed)) return *session.last();
    return made.emplace(evaluate(typed));
}

std::string_view kindName(ControlKind kind) {
    switch (kind) {
        case ControlKind::Caption:
            return "caption";
        case ControlKind::TextBox:
            return "textbox";
        case ControlKind::Selector:
            return "selector";
        case ControlKind::CheckBox:
            return "checkbox";
        case ControlKind::Button:
            return "button";
        case ControlKind::Warning:
            return "warning";
        case ControlKind::Results:
            return "results";
        case ControlKind::Label:
            break;
    }
    return "label";
}

// What the page's form holds now, as the session keeps it.
Beacon pageBeacon() {
    PageForm form;
    Beacon typed = beaconOf(form);
    typed.takeDds(pageTransmission);
    typed.takeTransmission(pageTransmission);
    typed.name = beaconName;
    return typed;
}

// "1 error", "2 warnings and 1 note", "1 error, 1 warning and 3 notes".
std::string countsText(const std::vector<Finding>& findings) {
    std::vector<std::string> parts;
    for (const Severity severity : {Severity::Error, Severity::Warning, Severity::Note}) {
        const auto n = std::count_if(findings.begin(), findings.end(),
                                     [severity](const Finding& f) { return f.severity == severity; });
        if (n > 0) parts.push_back(std::to_string(n) + ' ' + std::string(severityName(severity)) + (n > 1 ? "s" : ""));
    }
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i)
        text += (i == 0 ? "" : i + 1 == parts.size() ? " and " : ", ") + parts[i];
    return text;
}

// The status line. The page lists every finding under it, each once in its
// severity's colour, so after a press the line counts them, coloured as the
// worst, where the window's line names the worst. `severity` is the worst
// finding's, "none" for a press without findings, empty while stale.
void writeStatus(json::Writer& out, bool pressed, bool stale, const std::vector<Finding>& findings) {
    PressStatus status = pressStatus(pressed, stale, findings);
    std::string severity;
    if (pressed && !stale) {
        severity = "none";
        if (!findings.empty()) {
            const auto worst =
                std::min_element(findings.begin(), findings.end(),
                                 [](const Finding& a, const Finding& b) { return a.severity < b.severity; });
            severity = severityName(worst->severity);
            status.text = "Calculated with " + countsText(findings) + ", each listed below with its fix.";
        }
    }
    out.beginObject().member("stale", status.stale).member("text", status.text);
    out.member("severity", severity).endObject();
}

// The press's answer to the page: what it writes into the form, and what
// the plan check says of it.
const char* pressAnswer(const Evaluation& evaluation) {
    PageForm form;
    const Press& outcome = evaluation.press;
    present(outcome, form);
    const std::vector<Finding>& findings = evaluation.findings;
    json::Writer out;
    out.beginObject();
    out.member("ended", outcome.ended ? std::optional<std::string_view>(outcome.ended->message) : std::nullopt);
    // A stopped press leaves the last words made in the results box: they are
    // not these fields', and copying them is refused as the window refuses it.
    const ExportGate listing = exportGate(OutputFormat::Listing, outcome, findings, false, true);
    out.member("copy_refused",
               listing == ExportGate::Open ? std::nullopt : std::optional(exportRefusal(listing, outcome, findings)));
    out.member("findings", findingsText(findings));
    out.key("findings_list").beginList();
    for (const Finding& finding : findings)
        out.beginObject()
            .member("severity", severityName(finding.severity))
            .member("text", findingLine(finding))
            .endObject();
    out.endList();
    out.member("details_findings", toneDetailsFindings(findings));
    out.key("notes").beginObject();
    for (const InputSpec& entry : kInputs) out.member(entry.control, fieldNote(findings, entry.input));
    out.endObject();
    // Each fix as the buttons of Tone details offer it: what it types, where.
    out.key("fixes").beginList();
    for (const Finding& finding : findings) {
        for (const FixEdits& edits : finding.fixes) {
            out.beginObject();
            out.member("caption", "Apply fix: " + fixCaption(edits));
            out.member("finding", findingLine(finding));
            out.key("edits").beginList();
            for (const FieldEdit& edit : edits)
                out.beginObject().member("id", idOf(edit.input)).member("text", edit.text).endObject();
            out.endList();
            out.endObject();
        }
    }
    out.endList();
    out.member("summary", toneDetailsSummary(outcome.figures));
    out.key("toneHeadings");
    writeTexts(out, kToneTableHeadings);
    out.key("toneRows").beginList();
    for (const auto& row : toneTableCells(outcome.figures)) writeTexts(out, row);
    out.endList();
    out.member("undo", session.undoText()).member("redo", session.redoText());
    // The status line and what a reload brings back, as they stand after the
    // press, so the page need not ask again.
    out.key("status");
    writeStatus(out, true, false, findings);
    out.member("beacon", beaconText(evaluation.beacon));
    return reply(out.endObject());
}

// Puts a beacon the session takes back into the page's fields.
void showBeacon(const Beacon& beacon) {
    for (const InputSpec& entry : kInputs)
        jt4dds_page_set_text(idOf(entry.input).c_str(), beacon.text(entry.input).c_str());
    for (Selector selector : {Selector::JTMode, Selector::Config})
        jt4dds_page_set_selector(idOf(selector), pickText(selector, beacon.pick(selector)).c_str());
    jt4dds_page_set_ref800(beacon.ref800 ? 1 : 0);
    pageTransmission = beacon;
    beaconName = beacon.name;
}

}  // namespace
}  // namespace jt4dds

using namespace jt4dds;

extern "C" {

// The window to build: its controls, places and captions, the initial field
// texts and the selectors' items.
EMSCRIPTEN_KEEPALIVE const char* jt4dds_layout() {
    json::Writer out;
    out.beginObject();
    out.member("title", kWindowTitle);
    out.member("twipsPerPixel", kTwipsPerPixel);
    out.member("clientWidth", kClientWidthTwips);
    out.member("clientHeight", kClientHeightTwips);
    out.key("controls").beginList();
    for (const ControlPlace& place : kWindowLayout) {
        out.beginObject();
        out.member("name", place.name);
        out.member("kind", kindName(place.kind));
        out.member("caption", place.caption);
        out.member("left", place.left);
        out.member("top", place.top);
        out.member("width", place.width);
        out.member("height", place.height);
        out.member("buddy", place.buddy);
        out.endObject();
    }
    out.endList();
    out.key("focusOrder");
    writeTexts(out, kFocusOrder);
    const Beacon initial;
    out.key("initial").beginObject();
    for (const InputSpec& entry : kInputs) out.member(entry.control, entry.initial);
    for (Selector selector : {Selector::JTMode, Selector::Config})
        out.member(idOf(selector), pickText(selector, initial.pick(selector)));
    out.endObject();
    out.key("items").beginObject();
    for (Selector selector : {Selector::JTMode, Selector::Config}) {
        out.key(idOf(selector)).beginList();
        for (int i = 0; i < itemCount(selector); ++i) out.value(itemAt(selector, i)->label);
        out.endList();
    }
    out.endObject();
    out.key("planFields");
    writeTexts(out, std::array{"Fout", "Mult", "Fref"});
    // How the heard minute is drawn, as the window draws it.
    out.key("waterfall").beginObject().member("rate", kAudioRate).endObject();
    return reply(out.endObject());
}

// One press of Calculate on the page, then what the plan check says of it.
// One press of Calculate on the page, then what the plan check says of it.
EMSCRIPTEN_KEEPALIVE const char* jt4dds_press() {
    session.type(pageBeacon());
    return pressAnswer(session.press());
}

// Before an action that changes the fields (Apply fix, Use and calculate,
// the 800 Hz tick, Open): the fields as they stand, to come back to.
EMSCRIPTEN_KEEPALIVE const char* jt4dds_before_action() {
    session.type(pageBeacon());
    return reply(json::Writer().beginObject().endObject());
}

// The action `what` has changed the fields: one undo step; with `press`, the
// press that follows it.
EMSCRIPTEN_KEEPALIVE const char* jt4dds_act(const char* what, int press) {
    session.act(what, pageBeacon());
    if (press != 0) return pressAnswer(session.press());
    return reply(
        json::Writer().beginObject().member("undo", session.undoText()).member("redo", session.redoText()).endObject());
}

// Edit › Undo and Redo over the actions: the fields before (after) the last
// one, pressed; {"error": …} when there is none.
EMSCRIPTEN_KEEPALIVE const char* jt4dds_undo(int redo) {
    session.type(pageBeacon());
    const auto back = redo != 0 ? session.redo() : session.undo();
    if (!back) return refusal(redo != 0 ? "nothing to redo" : "nothing to undo");
    showBeacon(*back);
    return pressAnswer(session.press());
}

// How many evaluations the module has made: one a press, which the tests count.
EMSCRIPTEN_KEEPALIVE int jt4dds_evaluations() { return static_cast<int>(evaluationCount()); }

// The status line: whether the results shown are the fields' (stale until a
// press after any change), and what the last press found.
EMSCRIPTEN_KEEPALIVE const char* jt4dds_status() {
    const bool pressed = session.last().has_value();
    const bool stale = !pressed || !sameBeacon(session.last()->beacon, cliInputs());
    json::Writer out;
    writeStatus(out, pressed, stale, pressed ? session.last()->findings : std::vector<Finding>());
    return reply(out);
}

// What jt4dds-cli --format asm|c|json writes for the page's fields (0 asm,
// 1 C header, 2 JSON report), and whether --force would change the answer.
EMSCRIPTEN_KEEPALIVE const char* jt4dds_export(int which, int force) {
    constexpr OutputFormat kFormats[] = {OutputFormat::Asm, OutputFormat::C, OutputFormat::Json};
    const OutputFormat format = kFormats[which < 0 || which > 2 ? 2 : which];
    const ExportAnswer file = exportAs(evaluationNow(), format, force != 0, false);
    if (file.gate == ExportGate::Stopped) return refusal(file.refusal);
    if (file.gate == ExportGate::ErrorFindings) {
        return reply(json::Writer()
                         .beginObject()
                         .member("error", file.refusal)
                         .member("forcible", true)
                         .member("question", file.question)
                         .endObject());
    }
    return reply(json::Writer().beginObject().member("text", *file.bytes).endObject());
}

// The page's fields as a beacon file named `name` (a firmware name, or
// empty), which the page's firmware files take from then on; or why not.
EMSCRIPTEN_KEEPALIVE const char* jt4dds_beacon(const char* name) {
    const std::string_view given(name);
    if (!given.empty() && !isFirmwareName(given))
        return refusal("'" + std::string(given) +
                       "' is no beacon name: at most 31 letters, digits and '_', not starting with a digit");
    beaconName = given;
    // As a press leaves the fields, as the window and jt4dds-cli save them.
    Beacon typed = cliInputs();
    typed.name = beaconName;
    return reply(
        json::Writer().beginObject().member("text", beaconText(asPressed(typed, calculate(typed)))).endObject());
}

// The name Save offers: the one the page has, or none.
EMSCRIPTEN_KEEPALIVE const char* jt4dds_beacon_name() {
    return reply(json::Writer().beginObject().member("name", beaconName).endObject());
}

// The beacon's message and minute as typed, as the Transmission view shows
// them, with what they make: the message sent, its symbols as jt4dds-cli
// prints them, the minute's parts and the findings about it.
EMSCRIPTEN_KEEPALIVE const char* jt4dds_transmission() {
    std::optional<Evaluation> made;
    const Evaluation& evaluation = minuteNow(made);
    const Beacon& beacon = evaluation.beacon;
    json::Writer out;
    out.beginObject();
    out.member("message", beacon.message).member("cw_id", beacon.cwId).member("wpm", beacon.wpm);
    out.member("cw", beacon.cw).member("carrier", beacon.carrier).member("timer_hz", beacon.timerHz);
    const auto mcu = beacon.mcu.empty() ? std::optional(Mcu::Atmega328p) : mcuNamed(beacon.mcu);
    out.member("mcu", std::string(mcuName(mcu.value_or(Mcu::Atmega328p)))).member("mcu_clock", beacon.mcuClockHz);
    out.member("mcu_clock_usual", decimalText(defaultClockHz(mcu.value_or(Mcu::Atmega328p)), 0));
    const auto& planned = evaluation.planned;
    out.member("sent", sentText(planned));
    const auto* t = std::get_if<Transmission>(&planned);
    out.member("symbols", t ? symbolRows(t->message.symbols) : std::string());
    out.key("segments").beginList();
    if (t) {
        for (const Segment& s : t->minute.segments) {
            out.beginObject().member("name", s.name).member("keys", keyedName(s.keyed));
            out.member("start_s", s.startS).member("length_s", s.lengthS).endObject();
        }
    }
    out.endList();
    out.member("timeline", timelineText(t ? t->minute.segments : std::vector<Segment>()));
    out.member("findings", minuteFindingsText(evaluation.findings));
    return reply(out.endObject());
}

// The Transmission view's edits: the beacon's message and minute from now on.
EMSCRIPTEN_KEEPALIVE const char* jt4dds_set_transmission(const char* message, const char* cwId, const char* wpm, int cw,
                                                         int carrier, const char* timerHz) {
    pageTransmission.message = message;
    pageTransmission.cwId = cwId;
    pageTransmission.wpm = wpm;
    pageTransmission.cw = cw != 0;
    pageTransmission.carrier = carrier != 0;
    pageTransmission.timerHz = timerHz;
    return jt4dds_transmission();
}

// The Transmission view's controller: its chip by name (empty: none named)
// and its clock in Hz as typed, from now on.
EMSCRIPTEN_KEEPALIVE const char* jt4dds_set_controller(const char* mcu, const char* clock) {
    pageTransmission.mcu = mcu;
    pageTransmission.mcuClockHz = clock;
    return jt4dds_transmission();
}

// The whole beacon controller jt4dds-cli --format firmware-avr or
// firmware-pic writes for the page's beacon, with the suffix its download
// takes; or why not, and what to ask before forcing.
EMSCRIPTEN_KEEPALIVE const char* jt4dds_export_firmware(int force) {
    const Beacon beacon = cliInputs();
    const ExportAnswer file = exportFirmware(beacon, force != 0, false);
    json::Writer out;
    out.beginObject();
    if (file.bytes) {
        const auto controller = controllerOf(beacon);
        const Mcu mcu = std::get<Controller>(controller).mcu;
        out.member("text", *file.bytes).member("suffix", std::string(firmwareKind(mcu).suffix));
    } else {
        out.member("error", file.refusal);
        if (file.gate == ExportGate::ErrorFindings) out.member("forcible", true).member("question", file.question);
    }
    return reply(out.endObject());
}

// The minute as its receiver hears it, for the page's waterfall, Play and
// Save WAV: the WAV file jt4dds-cli --format wav writes for these fields (with
// noise at `snrDb` from seed 1 when `noisy`), where it lies in the module's
// memory, the waterfall's picture (red, green, blue and alpha a cell, row
// after row, as a canvas takes them) and the span it shows, the receiver's
// line and the data tones against their grid.
std::string heardWav;
WaterfallPicture heardPicture;
EMSCRIPTEN_KEEPALIVE const char* jt4dds_hear(int noisy, double snrDb) {
    std::optional<Evaluation> made;
    const Press& press = minuteNow(made).press;
    const auto heard = hearMinute(press, noisy != 0 ? std::optional(Noise{snrDb, 1}) : std::nullopt);
    const auto receiver = heard ? std::optional(heard->receiver) : receiverOf(press);
    heardWav = heard ? wavFile(heard->samples, kAudioRate) : std::string();
    json::Writer out;
    out.beginObject();
    if (heard) {
        const AudioSpan span = heardSpan(heard->parts);
        heardPicture = waterfallPicture(heard->samples, span.lowHz, span.highHz);
        const WaterfallBins& bins = heardPicture.bins;
        out.member("picture", static_cast<double>(reinterpret_cast<std::uintptr_t>(heardPicture.rgba.data())));
        out.member("width", heardPicture.width).member("rows", heardPicture.rows);
        out.member("low_hz", bins.lowHz).member("high_hz", bins.highHz);
        out.member("step_hz", frequencyStepHz(bins.highHz - bins.lowHz));
        out.member("waterfall_label", heardPicture.description);
    }
    out.member("receiver", hearingText(press, heard));
    out.member("wav", static_cast<double>(reinterpret_cast<std::uintptr_t>(heardWav.data())));
    out.member("wav_bytes", heardWav.size());
    const RunFigures& f = press.figures;
    const GridTolerance limits = gridTolerance(f.spacingNumber);
    out.member("note_hz", limits.noteHz).member("warning_hz", limits.warningHz);
    const auto fit = receiver ? realisedGrid(*receiver, f.spacingNumber) : std::nullopt;
    out.member("grid_label", toneGridDescription(fit, limits.noteHz, limits.warningHz));
    if (fit) {
        const double reach = toneGridReachHz(*fit, limits.warningHz);
        out.member("reach_hz", reach);
        out.key("scale").beginList();
        for (const double hz : {-reach, 0.0, reach}) out.value(toneGridScaleText(hz));
        out.endList();
        out.key("grid_hz").beginList();
        for (const double hz : gridLines(*fit, f.spacingNumber)) out.value(hz);
        out.endList().key("residual_hz").beginList();
        for (const double r : fit->residualHz) out.value(r);
        out.endList();
    }
    return reply(out.endObject());
}

// The multiplications a search takes by default.
EMSCRIPTEN_KEEPALIVE const char* jt4dds_default_mults() {
    return reply(json::Writer().beginObject().member("text", kDefaultMultiplications).endObject());
}

// The DDS chips the page offers, the chip and maximum clock it has, and the
// references a search takes by default for them.
EMSCRIPTEN_KEEPALIVE const char* jt4dds_dds() {
    json::Writer out;
    out.beginObject().key("chips").beginList();
    for (const DdsChip& chip : kDdsChips)
        out.beginObject().member("name", chip.name).member("line", ddsChipLine(chip)).endObject();
    out.endList();
    out.member("chip", pageTransmission.dds).member("max_clock", pageTransmission.maxClockMHz);
    const DdsChip* chip = ddsChip(pageTransmission.dds);
    out.member("chip_clock", chip ? decimalText(chip->maxClockMHz, 0) : std::string());
    out.member("default_refs", defaultReferences(pageTransmission));
    return reply(out.endObject());
}

// The DDS chip (a preset's name, or empty) and maximum clock (MHz, or empty)
// from now on; or why the clock is refused.
EMSCRIPTEN_KEEPALIVE const char* jt4dds_set_dds(const char* chip, const char* maxClock) {
    const std::string clock(maxClock);
    if (!clock.empty() && !readMaxClockMHz(clock))
        return refusal("Maximum clock: a clock in MHz above 0 and at most 100000, such as 180");
    const DdsChip* known = ddsChip(chip);
    pageTransmission.dds = known ? std::string(known->name) : std::string();
    pageTransmission.maxClockMHz = clock;
    return jt4dds_dds();
}

// Find settings on the page's fields, as jt4dds-cli --find answers: the
// candidates best first, each with its cells and what they sort by, and the
// rejected pairs by the rule each fails first; or why the lists are refused.
// `touch`: 1 on a touch screen, where a row is tapped and then used.
EMSCRIPTEN_KEEPALIVE const char* jt4dds_find(const char* mults, const char* refs, int touch) {
    const auto lists = readCandidateLists(mults, refs);
    if (const auto* why = std::get_if<std::string>(&lists)) return refusal(*why);
    const Beacon typed = cliInputs();
    const CandidateLists& l = std::get<CandidateLists>(lists);
    const SearchResult result = findSettings(typed, l.mults, l.refs);
    json::Writer out;
    out.beginObject().key("headings");
    writeTexts(out, kCandidateHeadings);
    out.key("candidates").beginList();
    for (const Candidate& c : result.best) {
        out.beginObject().key("cells");
        writeTexts(out, candidateCells(c));
        out.key("keys").beginList();
        for (const double key : candidateSortKeys(c)) out.value(key);
        out.endList();
        out.member("mult", c.mult.text).member("fref", c.frefMHz.text).endObject();
    }
    out.endList();
    out.member("judged", result.judged).member("rejected", result.rejected);
    out.key("rejected_by").beginObject();
    for (const auto& [kind, count] : result.rejectedBy) out.member(kindName(kind), count);
    out.endObject();
    out.member("reason", result.reason);
    out.member("status", searchStatus(result, touch != 0 ? RowGesture::TapThenUse : RowGesture::DoubleClick))
        .member("rejected_lines", rejectedLines(result));
    return reply(out.endObject());
}

// The page's beacon as the command line takes it (Copy command line), its
// beacon file as typed (what a reload brings back) and what its downloads
// are named.
EMSCRIPTEN_KEEPALIVE const char* jt4dds_beacon_state() {
    const Beacon typed = cliInputs();
    std::string command = cliCommand(typed);
    if (!typed.name.empty()) command += " --name " + typed.name;
    return reply(json::Writer()
                     .beginObject()
                     .member("command", command)
                     .member("beacon", beaconText(typed))
                     .member("stem", downloadStem(typed))
                     .endObject());
}

// Puts the fields of a beacon file's `length` bytes into the page; says what
// is wrong instead.
EMSCRIPTEN_KEEPALIVE const char* jt4dds_open_beacon(const char* bytes, int length, const char* fileName) {
    if (length < 0 || static_cast<std::size_t>(length) > kMaxBeaconFileBytes)
        return refusal("is larger than " + std::to_string(kMaxBeaconFileBytes / 1024) + " KiB");
    auto read = readBeacon(std::string_view(bytes, static_cast<std::size_t>(length)));
    if (const auto* why = std::get_if<std::string>(&read)) return refusal(*why);
    const Beacon& inputs = std::get<Beacon>(read);
    // The file's own name for the beacon, else the file's name, as jt4dds-cli --beacon takes it.
    // A beacon brought back after a reload has no file name: its own name only.
    beaconName = inputs.name.empty() && *fileName != '\0' ? firmwareNameOfFile(fileName) : inputs.name;
    pageTransmission = inputs;
    for (const InputSpec& entry : kInputs)
        jt4dds_page_set_text(idOf(entry.input).c_str(), inputs.text(entry.input).c_str());
    for (Selector selector : {Selector::JTMode, Selector::Config})
        jt4dds_page_set_selector(idOf(selector), pickText(selector, inputs.pick(selector)).c_str());
    jt4dds_page_set_ref800(inputs.ref800 ? 1 : 0);
    return reply(json::Writer().beginObject().member("error", nullptr).endObject());
}

}  // extern "C"
