// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "calc/check/plan_check.h"
#include "calc/check/settings_search.h"
#include "calc/hearing/simulation.h"
#include "calc/numbers/leading_number.h"
#include "calc/transmission/message.h"
#include "calc/tuning/beacon.h"
#include "calc/tuning/calculation_run.h"
#include "calc/tuning/dds_chip.h"
#include "calc/tuning/selector_items.h"
#include "calc/tuning/tuning.h"
#include "calc/version.h"
#include "cli/decode_output.h"
#include "cli/firmware_output.h"
#include "formats/beacon_file.h"
#include "formats/files.h"
#include "formats/outputs.h"
#include "formats/search_output.h"
#include "formats/wav.h"
#include "session/evaluation.h"

namespace jt4dds {
namespace {

// A selector's item labels, for CLI11 to check a choice against.
std::vector<std::string> labelsOf(Selector selector) {
    std::vector<std::string> labels;
    labels.reserve(static_cast<std::size_t>(itemCount(selector)));
    for (int i = 0; i < itemCount(selector); ++i) labels.push_back(itemAt(selector, i)->label);
    return labels;
}

// What --config takes: "direct" or "reverse", or an arrangement's full label.
const std::vector<std::string> kConfigNames{"direct", "reverse", "Direct Freq Gen", "Reverse DDS"};
const std::vector<std::string> kFormatNames{"listing", "asm",          "c",           "json", "report", "symbols",
                                            "wav",     "firmware-avr", "firmware-pic"};

// A percentage written as a plain number: "5", "2.5".
std::optional<double> percentNamed(std::string_view text) {
    const NumberRead read = LeadingNumber(text);
    if (read.end == 0 || read.end != text.size() || !(read.value > 0.0) || read.value > 100.0) return std::nullopt;
    return read.value;
}

// A number written whole, from `low` to `high`: "-22", "+3.5", "1e1"; never
// "nan", "inf", a blank, or anything after the number.
std::optional<double> numberIn(std::string_view text, double low, double high) {
    const NumberRead read = LeadingNumber(text);
    if (read.end == 0 || read.end != text.size() || !read.inRange || text.find_first_of(" \t\r\n") != text.npos ||
        !(read.value >= low && read.value <= high))
        return std::nullopt;
    return read.value;
}

// A seed in decimal digits, from 0 to 18446744073709551615: no sign, nothing
// else, and never a larger number taken as the largest.
std::optional<std::uint64_t> seedNamed(std::string_view text) {
    std::uint64_t seed = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, seed);
    if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
    return seed;
}

// The hearing's ranges: an SNR a decoder can be tried at, and a reference
// off by up to 0.1 %.
constexpr double kSnrLimitDb = 60.0;
constexpr double kRefPpmLimit = 1000.0;

bool usableSeparator(const std::string& separator) {
    if (separator.empty() || separator.size() > 8) return false;
    return separator.find_first_of("0123456789\r\n") == std::string::npos;
}

// A check that passes when `accepts` does, and otherwise says `why`.
CLI::Validator checkedBy(bool (*accepts)(const std::string&), const std::string& why) {
    return CLI::Validator(
        [accepts, why](std::string& value) {
            return accepts(value) ? std::string() : why + "; '" + value + "' is not";
        },
        std::string());
}

void usageError(std::ostream& err, std::string_view message) {
    err << "jt4dds-cli: " << message << " (see jt4dds-cli --help)\n";
}

// The command line, as given, but for what it says of the beacon (which
// BeaconEdits keeps).
struct Options {
    std::string format = "listing";
    std::string output;
    std::string separator = ".";
    std::string spacingTolerance;
    std::string beacon;
    std::string saveBeacon;
    std::string name;
    std::string snrDb;  // none: no noise
    std::string seed = "1";
    std::string refPpm = "0";
    std::string sideband = "usb";
    // A transmission's field in findings: by its option, or by its key where
    // the --beacon file gave it and no option changed it.
    FieldNamer fieldNames;
    bool json = false;
    bool strict = false;
    bool force = false;
    bool find = false;
    bool quiet = false;
    int decodeCheck = 0;
    std::string mults{kDefaultMultiplications};
    std::string refs{kDefaultReferencesMHz};
    std::size_t top = 10;
};

// What the command line says of the beacon: each option given becomes an
// edit, and the edits are made over the beacon the command line starts from
// (a --beacon file's, or the window's initial one). An option not given
// changes nothing, so a beacon file's value stands unless overridden.
class BeaconEdits {
public:
    using Set = std::function<void(Beacon&, const std::string&)>;

    // An option taking a text, shown in --help with the initial beacon's value.
    CLI::Option* text(CLI::App* group, const std::string& name, const std::string& initial, const Set& set,
                      const std::string& help) {
        return group
            ->add_option_function<std::string>(
                name,
                [this, set](const std::string& value) { edits_.push_back([set, value](Beacon& b) { set(b, value); }); },
                help)
            ->default_str(initial);
    }
    CLI::Option* text(CLI::App* group, const std::string& name, std::string Beacon::*member, const std::string& help) {
        return text(
            group, name, Beacon{}.*member, [member](Beacon& b, const std::string& v) { b.*member = v; }, help);
    }
    // A flag that sets `member` to `value`; given as "--flag=false", to the
    // opposite.
    CLI::Option* flag(CLI::App* group, const std::string& name, bool Beacon::*member, bool value,
                      const std::string& help) {
        Flag& f = flags_.emplace_back(Flag{nullptr, member, value, false});
        f.option = group->add_flag(name, f.given, help);
        return f.option;
    }

    void applyTo(Beacon& beacon) const {
        for (const auto& edit : edits_) edit(beacon);
        for (const Flag& f : flags_)
            if (f.option->count() > 0) beacon.*f.member = f.given ? f.value : !f.value;
    }

private:
    struct Flag {
        CLI::Option* option;
        bool Beacon::*member;
        bool value;
        bool given;  // as the command line has it: true, or false for "--flag=false"
    };
    std::vector<std::function<void(Beacon&)>> edits_;
    std::deque<Flag> flags_;  // CLI11 keeps the address of each `given`
};

// "--fout=" with nothing after the sign would take the next argument as its
// value; given as "--fout" "" it is the empty field it means.
std::vector<std::string> normalisedArguments(std::span<const char* const> args) {
    std::vector<std::string> out;
    out.reserve(args.size() + 8);
    for (const char* arg : args) {
        const std::string_view a(arg);
        if (a.starts_with("--") && a.size() > 3 && a.find('=') == a.size() - 1) {
            out.emplace_back(a.substr(0, a.size() - 1));
            out.emplace_back();
        } else {
            out.emplace_back(a);
        }
    }
    return out;
}

void describeOptions(CLI::App& app, Options& o, BeaconEdits& beaconEdits) {
    app.option_defaults()->always_capture_default();
    app.set_version_flag("--version", std::string("jt4dds-cli ") + std::string(kVersion));
    // Blanks around a choice and its case do not matter, as in the window's selectors.
    const auto choice = [](const std::vector<std::string>& names) {
        return CLI::IsMember(names, CLI::ignore_case, CLI::ignore_space);
    };

    CLI::App* beacon = app.add_option_group("Beacon", "The beacon's fields, as typed in the window");
    for (const InputSpec& entry : kInputs) {
        const Input input = entry.input;
        beaconEdits.text(
            beacon, optionName(input), std::string(entry.initial),
            [input](Beacon& b, const std::string& v) { b.text(input) = v; }, std::string(entry.help));
    }
    const Beacon initial;
    beaconEdits
        .text(
            beacon, "--submode", pickText(Selector::JTMode, initial.mode),
            [](Beacon& b, const std::string& label) {
                b.mode = Pick::item(itemLabelled(Selector::JTMode, label)->index);
            },
            "JT4 submode A to G, or PI4 (any case)")
        ->transform(choice(labelsOf(Selector::JTMode)));
    beaconEdits.flag(beacon, "--ref800", &Beacon::ref800, true,
                     "JT4G Reference Tone0 = 800Hz: puts JT4G tone 0 on an 800 Hz reference tone");
    beaconEdits
        .flag(beacon, "--no-ref800", &Beacon::ref800, false,
              "Clears JT4G Reference Tone0 = 800Hz (over a --beacon file's)")
        ->excludes("--ref800");
    beaconEdits
        .text(
            beacon, "--config", "direct",
            [](Beacon& b, const std::string& name) {
                b.config = Pick::item(name == "reverse"  ? static_cast<int>(DdsConfig::Reverse)
                                      : name == "direct" ? static_cast<int>(DdsConfig::Direct)
                                                         : itemLabelled(Selector::Config, name)->index);
            },
            "DDS arrangement: direct (Direct Freq Gen: the reference clocks the DDS) or reverse "
            "(Reverse DDS: the tone clocks the DDS, which generates the reference)")
        ->transform(choice(kConfigNames));
    std::vector<std::string> chips{"help"};
    for (const DdsChip& chip : kDdsChips) chips.emplace_back(chip.name);
    beaconEdits
        .text(beacon, "--dds", &Beacon::dds,
              "The DDS chip, by name (--dds help lists them): the search and the plan check keep the Master "
              "Reference at or under its maximum clock; saved in a beacon file")
        ->transform(choice(chips));
    beaconEdits
        .text(beacon, "--max-clock", &Beacon::maxClockMHz,
              "The fastest Master Reference the DDS takes, MHz (over a --dds chip's): the search and the plan "
              "check keep to it")
        ->check(checkedBy([](const std::string& text) { return readMaxClockMHz(text).has_value(); },
                          "takes a clock in MHz above 0 and at most 100000, such as 180"));
    beacon->add_option("--beacon", o.beacon,
                       "Take every field from this beacon file; options on the command line override it");
    beacon->add_option("--save-beacon", o.saveBeacon,
                       "Write the fields given (beacon file and options) to this beacon file, then calculate as usual");
    beacon
        ->add_option("--name", o.name,
                     "The beacon's name for the firmware files (a C identifier): NAME_words, NAME_word_bytes, the "
                     "include guard and the assembler labels derive from it, so two beacons' files fit one "
                     "program; by default the --beacon file's name; \"\" for an unnamed file (jt4dds_words)")
        ->check(checkedBy([](const std::string& name) { return name.empty() || isFirmwareName(name); },
                          "takes a C identifier of at most 31 letters, digits and '_', not starting with a digit"));
    beaconEdits.text(beacon, "--message", &Beacon::message,
                     "The beacon's message: for JT4 two calls with a locator or report, or up to 13 characters "
                     "of free text; for PI4 up to 8 characters of 0-9, A-Z, space and '/'");
    CLI::App* minute = app.add_option_group("Minute", "The minute a --message goes out in (asm, c and json)");
    beaconEdits.text(minute, "--cw-id", &Beacon::cwId,
                     "The CW identification after the message, on the key-up and key-down words (\"OZ7IGY JO55\")");
    beaconEdits.text(minute, "--wpm", &Beacon::wpm,
                     "The CW identification's speed in words a minute, 5 to 60 (a dot is 1.2 s / WPM)");
    beaconEdits.flag(minute, "--no-cw", &Beacon::cw, false, "Send no CW identification");
    beaconEdits.flag(minute, "--no-carrier", &Beacon::carrier, false, "Send no carrier on the reference word after it");
    beaconEdits.text(minute, "--timer-hz", &Beacon::timerHz,
                     "The controller's timer in Hz: the firmware files give the symbol period and each part's start "
                     "in its counts, with the rounding error in ppm");

    CLI::App* controller =
        app.add_option_group("Controller", "The microcontroller of --format firmware-avr and firmware-pic");
    beaconEdits.text(controller, "--mcu", &Beacon::mcu,
                     "The controller: ATmega328P (the default) or PIC16F628A, whose timer every output's minute "
                     "counts in when a clock or prescaler is given; --format firmware-avr and firmware-pic name "
                     "their own; saved in a beacon file");
    beaconEdits.text(controller, "--mcu-clock", &Beacon::mcuClockHz,
                     "The controller's clock in Hz (default 16000000, an Arduino Uno's, for firmware-avr; 4000000 "
                     "for firmware-pic); the #error in the C file stops a build for another F_CPU; saved in a "
                     "beacon file");
    beaconEdits.text(controller, "--timer-prescale", &Beacon::timerPrescale,
                     "Timer1's prescaler: 64, 256 or 1024 (default 64, 250 kHz at 16 MHz) for firmware-avr, 1 for "
                     "firmware-pic; a --timer-hz "
                     "the clock cannot make with these is refused with the rates it can; saved in a beacon file");

    CLI::App* output = app.add_option_group("Output", "What is written, and where");
    output
        ->add_option(
            "--format", o.format,
            "listing (the results box), asm (assembler source to include), c (a C header), json "
            "(the window's state, every tone's figures, the reads and the findings) or report (the "
            "tone table and the findings, for people), or symbols (the --message's channel symbols, 0 "
            "to 3, as jt4code prints them), or wav (the minute as a receiver hears it: 60 s of 16-bit mono "
            "audio at 12000 "
            "Hz, from the words as rounded), or firmware-avr (the whole beacon controller for an "
            "ATmega328P as one C file: the words, symbols and timing in flash and the engine that keys "
            "them into the DDS from the minute pulse), or firmware-pic (the same for a PIC16F628A as one gpasm "
            "source, the words in its data EEPROM)")
        ->check(CLI::IsMember(kFormatNames));
    output->add_flag("--json", o.json, "The same as --format json");
    output->add_option("--output", o.output,
                       "Write to FILE instead of standard output, all at once (a build never sees half a file)");
    output->add_flag("--strict", o.strict,
                     "Fail (status 4) on any error or warning finding, and then write no --output file");
    output->add_flag("--force", o.force, "Write asm or c even when a finding says the words cannot make the beacon");
    output->add_flag("--quiet", o.quiet,
                     "Nothing on standard error but error and warning findings (and a stopped calculation)");
    output
        ->add_option("--decimal-separator", o.separator,
                     "The decimal separator of the listing's numbers (default \".\", the same on every machine)")
        ->check(checkedBy(usableSeparator, "takes one to eight characters, no digit and no line break"));
    output
        ->add_option("--spacing-tolerance", o.spacingTolerance,
                     "An extra, stricter bound: how far, in percent of the nominal spacing, a realised "
                     "data-tone spacing may stray before it is a warning (none by default: the tone grid's measured "
                     "limits judge every plan)")
        ->check(checkedBy([](const std::string& text) { return percentNamed(text).has_value(); },
                          "takes a percentage above 0 and at most 100, such as 5"));

    CLI::App* hearing = app.add_option_group("Hearing", "The minute as a receiver hears it (--format wav)");
    hearing
        ->add_option("--snr", o.snrDb,
                     "Add white Gaussian noise for this signal-to-noise ratio in 2500 Hz, dB (-60 to 60)")
        ->type_name("DB")
        ->check(checkedBy([](const std::string& text) { return numberIn(text, -kSnrLimitDb, kSnrLimitDb).has_value(); },
                          "takes a ratio in dB from -60 to 60, such as -22"));
    hearing->add_option("--seed", o.seed, "The noise generator's seed: the same seed, the same noise on every machine")
        ->type_name("UINT64")
        ->capture_default_str()
        ->check(checkedBy([](const std::string& text) { return seedNamed(text).has_value(); },
                          "takes a whole number from 0 to 18446744073709551615"));
    hearing
        ->add_option("--ref-ppm", o.refPpm,
                     "The Master Reference this many parts per million off what it says: every tone moves by what "
                     "the words make of it (-1000 to 1000)")
        ->type_name("PPM")
        ->capture_default_str()
        ->check(
            checkedBy([](const std::string& text) { return numberIn(text, -kRefPpmLimit, kRefPpmLimit).has_value(); },
                      "takes parts per million from -1000 to 1000, such as 2.5"));
    hearing
        ->add_option("--decode-check", o.decodeCheck,
                     "Decode N minutes of the beacon with jt9 (from WSJT-X), in noise at --snr (-22 dB by default) "
                     "from seeds 1 to N, and print \"decodes k of N at -22 dB\" (JSON: a decode_check object)")
        ->type_name("N")
        ->check(CLI::Range(1, 100));
    hearing
        ->add_option("--sideband", o.sideband,
                     "usb (as a receiver should be set) or lsb (the wrong sideband: the tones reversed)")
        ->transform(choice({"usb", "lsb"}));

    CLI::App* find = app.add_option_group("Find settings", "Search multiplications and references");
    find->add_flag("--find", o.find,
                   "Find settings: judge every pair of --mults and --refs for the other fields as given, and "
                   "print the best --top that make a clean beacon (as a table, or with --format json)");
    find->add_option("--mults", o.mults, "RF multiplications for --find, such as 1-192 or 24,27,32,36,48,96");
    find->add_option("--refs", o.refs, "Master references for --find, MHz, such as 10-1000/0.5 or 100,125,250,300,400");
    find->add_option("--top", o.top, "How many candidates --find prints (1 to 1000)")->check(CLI::Range(1, 1000));
    app.footer(
        "Output: the listing on standard output exactly as the results box holds it (CR LF line ends),\n"
        "then the warning, the SSB carrier and the plan check's findings on standard error, one a line:\n"
        "  jt4dds-cli: error|warning|note: SUBJECT: what is wrong. Fix: what to change\n"
        "Exit status: 0 when the calculation completed (findings included); 1 when --output cannot be\n"
        "written; 2 for a command line that cannot be understood; 3 when a value had no defined result\n"
        "and the calculation stopped; 4 with --strict on an error or warning finding, or when asm or c\n"
        "is refused because of an error finding (--force writes it all the same); 5 when --find finds no\n"
        "candidate (the reason and the nearest candidate are printed); 6 when --decode-check cannot be made\n"
        "(no jt9 on the PATH, PI4, no message; the reason is printed).\n");
}

bool writeOutput(const std::string& path, const std::string& text, std::ostream& err) {
    if (const auto why = writeFileAtomically(std::filesystem::u8path(path), text)) {
        err << "jt4dds-cli: " << *why << '\n';
        return false;
    }
    return true;
}

// With `quiet`, only error and warning findings (and a stop) are said.
void reportOnStderr(const Press& outcome, const std::vector<Finding>& findings, bool quiet, const FieldNamer& names,
                    std::ostream& err) {
    if (quiet) {
        if (outcome.ended) err << "Calculation stopped: " << outcome.ended->message << '\n';
        for (const Finding& finding : findings)
            if (finding.severity != Severity::Note) err << "jt4dds-cli: " << findingLine(finding, names) << '\n';
        return;
    }
    if (!outcome.warningCaption.empty()) err << "Warning: " << outcome.warningCaption << '\n';
    if (outcome.ssbCarrier) err << "SSB Carrier, Tuning Point: " << *outcome.ssbCarrier << '\n';
    if (outcome.ended) err << "Calculation stopped: " << outcome.ended->message << '\n';
    for (const Finding& finding : findings) err << "jt4dds-cli: " << findingLine(finding, names) << '\n';
}

// The kinds of the findings that make --strict fail, or that refuse firmware
// source, for the line that says so.
std::string kindsOf(const std::vector<Finding>& findings, bool (*counts)(const Finding&)) {
    std::string kinds;
    for (const Finding& f : findings) {
        if (!counts(f)) continue;
        const std::string_view kind = kindName(f.kind);
        if (kinds.find(kind) != std::string::npos) continue;
        if (!kinds.empty()) kinds += ", ";
        kinds += kind;
    }
    return kinds;
}
bool isError(const Finding& f) { return f.severity == Severity::Error; }
bool isErrorOrWarning(const Finding& f) { return f.severity != Severity::Note; }

// --format symbols: the message's channel symbols in the mode the fields
// select; a message the mode cannot send is a usage error that says why.
int printSymbols(const Beacon& beacon, const Options& o, std::ostream& out, std::ostream& err) {
    if (beacon.message.empty()) {
        usageError(err, "--format symbols needs the --message to encode");
        return kExitUsage;
    }
    // The mode as the selector holds it, picked or typed: no frequency plan is needed.
    const auto item = resolvePick(Selector::JTMode, beacon.mode);
    if (!item) {
        std::string modes;
        for (const std::string& label : labelsOf(Selector::JTMode)) modes += (modes.empty() ? "" : ", ") + label;
        usageError(err, "--format symbols needs a mode: the beacon's is '" + pickText(Selector::JTMode, beacon.mode) +
                            "', not one of " + modes);
        return kExitUsage;
    }
    const bool pi4 = isPi4(item->number);
    const auto encoded = pi4 ? encodePi4(beacon.message) : encodeJt4(beacon.message);
    if (const auto* why = std::get_if<std::string>(&encoded)) {
        usageError(err, o.fieldNames(TransmissionField::Message) + ": " + *why);
        return kExitUsage;
    }
    const EncodedMessage& m = std::get<EncodedMessage>(encoded);
    // A cut message is a warning, which --quiet keeps, as the plan check has it.
    const bool cut = !m.truncated.empty();
    if ((!o.quiet || cut) && !pi4 && m.kind == Jt4MessageKind::FreeText) {
        err << "jt4dds-cli: " << (cut ? "warning" : "note") << ": --message: goes out as free text, '" << m.sent << "'";
        if (!m.sentAsSpaces.empty()) err << "; sent as spaces: '" << m.sentAsSpaces << "'";
        if (cut) err << "; not sent: '" << m.truncated << "'";
        err << '\n';
    } else if (cut) {
        err << "jt4dds-cli: warning: --message: '" << m.sent << "' is sent; '" << m.truncated << "' is not\n";
    }
    out << symbolRows(m.symbols);
    return kExitCompleted;
}

// --format wav: the beacon's minute as its receiver hears it, written as it
// is made rather than kept whole.
int writeWav(const Press& outcome, const Options& o, std::ostream& out, std::ostream& err) {
    // Each was checked as it was parsed.
    const std::optional<Noise> noise =
        o.snrDb.empty() ? std::nullopt
                        : std::optional(Noise{*numberIn(o.snrDb, -kSnrLimitDb, kSnrLimitDb), *seedNamed(o.seed)});
    const auto heard = hearingOf(outcome, *numberIn(o.refPpm, -kRefPpmLimit, kRefPpmLimit),
                                 o.sideband == "lsb" ? Sideband::Lower : Sideband::Upper);
    if (!heard) return kExitEndedEarly;
    if (!o.quiet) err << "jt4dds-cli: " << receiverText(heard->receiver) << '\n';
    std::optional<ReplacingFile> file;
    if (!o.output.empty()) file.emplace(std::filesystem::u8path(o.output));
    const auto put = [&](std::string_view bytes) {
        if (file)
            file->write(bytes);
        else
            out << bytes;
    };
    std::string scratch;
    put(wavHeader(kMinuteSamples, kAudioRate));
    simulateMinute(heard->parts, noise,
                   [&](std::span<const std::int16_t> samples) { put(littleEndianBytes(samples, scratch)); });
    if (!file) {
        out.flush();
        return kExitCompleted;
    }
    if (const auto why = file->commit(Durability::Replaceable)) {
        err << "jt4dds-cli: " << *why << '\n';
        return kExitCannotWrite;
    }
    return kExitCompleted;
}

int findSettingsFor(const Beacon& form, const Options& o, const PlanCheckOptions& check, OutputFormat format,
                    std::ostream& out, std::ostream& err) {
    if (format != OutputFormat::Listing && format != OutputFormat::Json) {
        usageError(err, "--find prints a table, or JSON with --format json");
        return kExitUsage;
    }
    const auto mults = parseCandidateList(o.mults);
    if (const auto* why = std::get_if<std::string>(&mults)) {
        usageError(err, "--mults: " + *why);
        return kExitUsage;
    }
    const auto refs = parseCandidateList(o.refs);
    if (const auto* why = std::get_if<std::string>(&refs)) {
        usageError(err, "--refs: " + *why);
        return kExitUsage;
    }
    const SearchResult result = findSettings(form, std::get<0>(mults), std::get<0>(refs), SearchOptions{o.top, check});
    const std::string text = format == OutputFormat::Json ? searchJson(result, form) : searchTable(result, form);
    if (!o.output.empty()) {
        if (!writeOutput(o.output, text, err)) return kExitCannotWrite;
    } else {
        out << text;
        out.flush();
    }
    if (result.best.empty()) {
        // The table and the JSON say why already; a file written says nothing on the screen.
        if (!o.output.empty()) err << "jt4dds-cli: " << result.reason << '\n';
        return kExitNoCandidate;
    }
    return kExitCompleted;
}

// The beacon the command line describes: a --beacon file's, or the window's
// initial one, with every option given over it, named for its firmware
// files; saved first when --save-beacon asks. Or the exit status when a file
// cannot be read or written.
std::variant<Beacon, int> commandLineBeacon(const Options& o, const BeaconEdits& edits, bool named, std::ostream& err) {
    Beacon form;
    std::string fileName;  // the name a --beacon file gives the beacon
    if (!o.beacon.empty()) {
        auto loaded = loadBeaconFile(std::filesystem::u8path(o.beacon));
        if (const auto* why = std::get_if<std::string>(&loaded)) {
            err << "jt4dds-cli: " << *why << '\n';
            return kExitCannotRead;
        }
        form = std::get<Beacon>(std::move(loaded));
        fileName = form.name;
    }
    edits.applyTo(form);
    // Output a build consumes is the same on every machine: no locale here.
    form.separator = o.separator;
    if (!o.saveBeacon.empty()) {
        // The fields as a press leaves them (the 800 Hz option writes "800"
        // into the reference tone), as the window saves them after a press:
        // one plan, one file, whichever program wrote it.
        Beacon pressed = asPressed(form, calculate(form));
        pressed.name = named ? o.name : fileName;
        if (const auto why = saveBeaconFile(std::filesystem::u8path(o.saveBeacon), pressed)) {
            err << "jt4dds-cli: " << *why << '\n';
            return kExitCannotWrite;
        }
    }
    // The beacon's name in its firmware files: as asked (--name "" for none),
    // else the beacon file's own, else the beacon file's name on disk.
    form.name = named               ? o.name
                : !fileName.empty() ? fileName
                : o.beacon.empty()  ? std::string()
                                    : firmwareNameOfFile(o.beacon);
    return form;
}

// A press of Calculate and what it writes: the listing, a firmware file or a
// report, or the heard minute; its findings on standard error.
int writeCalculated(const Beacon& form, const Options& o, const PlanCheckOptions& check, OutputFormat format,
                    std::ostream& out, std::ostream& err) {
    const Evaluation evaluation = evaluate(form, EvaluateOptions{check});
    const Press& outcome = evaluation.press;
    const std::vector<Finding>& findings = evaluation.findings;
    if (format != OutputFormat::Json) reportOnStderr(outcome, findings, o.quiet, o.fieldNames, err);
    if (o.format == "wav") {
        // Heard as it would go out, findings and all: hearing what is wrong is the point.
        if (!outcome.completed()) return kExitEndedEarly;
        return writeWav(outcome, o, out, err);
    }
    const ExportAnswer answer = exportAs(evaluation, format, o.force, !o.output.empty());
    if (answer.gate == ExportGate::Stopped) return kExitEndedEarly;
    if (answer.gate == ExportGate::ErrorFindings) {
        err << "jt4dds-cli: no " << o.format << " written: these words cannot make the beacon ("
            << kindsOf(findings, isError) << "); --force writes them all the same\n";
        return kExitStrictWarning;
    }

    const std::string& text = *answer.bytes;
    const bool strictFailure = o.strict && std::any_of(findings.begin(), findings.end(), isErrorOrWarning);
    if (strictFailure)
        err << "jt4dds-cli: --strict: failing on " << kindsOf(findings, isErrorOrWarning)
            << (o.output.empty() ? "" : "; no file written") << '\n';
    if (!o.output.empty()) {
        if (!strictFailure && !writeOutput(o.output, text, err)) return kExitCannotWrite;
    } else {
        out << text;
        out.flush();
    }
    if (!outcome.completed()) return kExitEndedEarly;
    return strictFailure ? kExitStrictWarning : kExitCompleted;
}

int runChecked(std::span<const char* const> args, std::ostream& out, std::ostream& err, OutputTo outputTo) {
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (!isUtf8(args[i])) {
            usageError(err, "argument " + std::to_string(i) + " is not valid UTF-8 text");
            return kExitUsage;
        }
    }

    Options o;
    BeaconEdits beaconEdits;

    CLI::App app{
        "Computes the eight 32-bit DDS tuning words of a JT4/PI4 beacon, as the window's \"Calculate\" does,\n"
        "and prints the assembler listing. Each field takes its text as typed in the window: the leading\n"
        "number is read (\".\" as the decimal point, blanks ignored), an empty field reads as 0.\n"
        "A field value starting with '-' is given as --fout=-10.",
        "jt4dds-cli"};
    describeOptions(app, o, beaconEdits);
    const std::vector<std::string> storage = normalisedArguments(args);
    std::vector<const char*> argv;
    argv.reserve(storage.size());
    for (const auto& a : storage) argv.push_back(a.c_str());
    try {
        app.parse(static_cast<int>(argv.size()), argv.data());
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return kExitCompleted;
    } catch (const CLI::CallForVersion& e) {
        out << e.what() << '\n';
        return kExitCompleted;
    } catch (const CLI::ParseError& e) {
        usageError(err, e.what());
        return kExitUsage;
    }

    if (const CLI::Option* dds = app.get_option("--dds"); dds->count() > 0 && dds->as<std::string>() == "help") {
        for (const DdsChip& chip : kDdsChips) out << ddsChipLine(chip) << '\n';
        return kExitCompleted;
    }

    const bool symbols = o.format == "symbols";
    const bool firmware = o.format == "firmware-avr" || o.format == "firmware-pic";
    auto format = symbols                         ? std::optional(OutputFormat::Listing)
                  : o.format == "wav" || firmware ? std::optional(OutputFormat::Report)
                                                  : outputFormatNamed(o.format);
    if (o.json) {
        if (app.count("--format") > 0 && *format != OutputFormat::Json) {
            usageError(err, "--json and --format " + o.format + " ask for two different outputs");
            return kExitUsage;
        }
        format = OutputFormat::Json;
    }
    PlanCheckOptions check;
    if (!o.spacingTolerance.empty()) check.spacingTolerance = *percentNamed(o.spacingTolerance) / 100.0;

    const bool named = app.count("--name") > 0;
    auto given = commandLineBeacon(o, beaconEdits, named, err);
    if (const int* status = std::get_if<int>(&given)) return *status;
    Beacon& form = std::get<Beacon>(given);
    // A controller given counts every output's minute in its timer.
    // The firmware's format names its chip.
    if (firmware) form.mcu = mcuName(o.format == "firmware-avr" ? Mcu::Atmega328p : Mcu::Pic16f628a);
    if (!firmware && (!form.mcu.empty() || !form.mcuClockHz.empty() || !form.timerPrescale.empty())) {
        const auto controller = applyController(form, err);
        if (const int* status = std::get_if<int>(&controller)) return *status;
    }
    // A message, CW text, speed or timer that cannot be sent is a finding
    // like any other: the report says so and firmware files are refused.
    o.fieldNames = [&app, fromFile = !o.beacon.empty()](TransmissionField field) {
        const std::string option = field == TransmissionField::Message ? "--message"
                                   : field == TransmissionField::CwId  ? "--cw-id"
                                   : field == TransmissionField::Wpm   ? "--wpm"
                                                                       : "--timer-hz";
        return fromFile && app.count(option) == 0 ? beaconFileKey(field) : option;
    };
    if (o.decodeCheck > 0) {
        const double snr = o.snrDb.empty() ? -22.0 : *numberIn(o.snrDb, -kSnrLimitDb, kSnrLimitDb);
        return writeDecodeCheck(form, check, o.decodeCheck, snr, *format == OutputFormat::Json, o.quiet, out, err);
    }
    if (o.find && app.count("--refs") == 0) o.refs = defaultReferences(form);
    if (o.find) return findSettingsFor(form, o, check, *format, out, err);
    if (symbols) return printSymbols(form, o, out, err);
    if (o.format == "wav" && form.message.empty()) {
        usageError(err, "--format wav needs the --message to send");
        return kExitUsage;
    }
    if (o.format == "wav" && o.output.empty() && outputTo == OutputTo::Terminal) {
        usageError(err,
                   "--format wav writes binary audio, which a terminal cannot show: give --output FILE, "
                   "or redirect the standard output to a file");
        return kExitUsage;
    }
    if (firmware) return writeFirmware(form, check, o.force, o.output, out, err);
    return writeCalculated(form, o, check, *format, out, err);
}

}  // namespace

int runCli(std::span<const char* const> args, std::ostream& out, std::ostream& err, OutputTo outputTo) noexcept {
    try {
        const int status = runChecked(args, out, err, outputTo);
        // Standard output is buffered: a full disk or a closed pipe shows only
        // when it is flushed, and output that never arrived is no success.
        if (!out.flush()) {
            err << "jt4dds-cli: cannot write the standard output\n";
            return kExitCannotWrite;
        }
        return status;
    } catch (const std::exception& e) {
        try {
            err << "jt4dds-cli: " << e.what() << '\n';
        } catch (...) {
        }
        return kExitCannotWrite;
    }
}

}  // namespace jt4dds
