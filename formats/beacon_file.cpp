// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/beacon_file.h"

#include <array>

#include "calc/transmission/controller.h"
#include "calc/tuning/dds_chip.h"
#include "calc/tuning/selector_items.h"
#include "formats/json_text.h"
#include "formats/utf8.h"

namespace jt4dds {
namespace {

constexpr std::size_t kMaxFirmwareName = 31;

bool identifierCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

using json::Value;
using Type = json::Value::Type;

std::string_view typeName(const Value& value) {
    switch (value.type) {
        case Type::Text:
            return "a text";
        case Type::Number:
            return "a number";
        case Type::Boolean:
            return "true or false";
        case Type::Null:
            return "null";
        case Type::List:
            return "a list";
        case Type::Object:
            break;
    }
    return "an object";
}

// The member `key` of `object`, of the type `wanted` names, or why not.
std::variant<const Value*, std::string> member(const Value& object, std::string_view path, std::string_view key,
                                               Type type, std::string_view wanted) {
    const std::string name = std::string(path) + "\"" + std::string(key) + "\"";
    const Value* found = object.member(key);
    if (found == nullptr) return name + " is missing";
    if (found->type != type) return name + " must be " + std::string(wanted) + ", not " + std::string(typeName(*found));
    return found;
}

// The item that `label` names exactly, or the label as typed text.
Pick restoredPick(Selector selector, const std::string& label) {
    if (const auto item = itemLabelled(selector, label); item && item->label == label) return Pick::item(item->index);
    return Pick::text(label);
}

}  // namespace

void writeTypedFields(json::Writer& out, const Beacon& beacon) {
    for (const InputSpec& entry : kInputs) out.member(entry.key, beacon.text(entry.input));
}

void writeTypedSelections(json::Writer& out, const Beacon& beacon) {
    out.member("submode", pickText(Selector::JTMode, beacon.mode));
    out.member("config", pickText(Selector::Config, beacon.config));
    out.member("ref800", beacon.ref800);
}

std::string beaconFileKey(TransmissionField field) {
    switch (field) {
        case TransmissionField::Message:
            return "transmission.message";
        case TransmissionField::CwId:
            return "transmission.cw_id";
        case TransmissionField::Wpm:
            return "transmission.wpm";
        case TransmissionField::TimerHz:
            break;
    }
    return "transmission.timer_hz";
}

std::string beaconText(const Beacon& beacon) {
    json::Writer out(2);
    out.beginDocument(kBeaconFormatName, kBeaconFormatVersion);
    out.key("fields").beginObject();
    writeTypedFields(out, beacon);
    out.endObject();
    writeTypedSelections(out, beacon);
    out.key("transmission").beginObject();
    out.member("message", beacon.message).member("cw_id", beacon.cwId).member("wpm", beacon.wpm);
    out.member("cw", beacon.cw).member("carrier", beacon.carrier).member("timer_hz", beacon.timerHz);
    out.endObject();
    if (!beacon.name.empty()) out.member("name", beacon.name);
    if (!beacon.mcu.empty() || !beacon.mcuClockHz.empty() || !beacon.timerPrescale.empty()) {
        out.key("controller").beginObject();
        out.member("mcu", beacon.mcu.empty() ? std::string(mcuName(Mcu::Atmega328p)) : beacon.mcu);
        out.member("clock_hz", beacon.mcuClockHz);
        out.member("timer_prescale", beacon.timerPrescale);
        out.endObject();
    }
    if (!beacon.dds.empty() || !beacon.maxClockMHz.empty()) {
        out.key("dds").beginObject();
        out.member("chip", beacon.dds).member("max_clock_mhz", beacon.maxClockMHz);
        out.endObject();
    }
    out.endObject();
    return out.text() + "\n";
}

std::variant<Beacon, std::string> readBeacon(std::string_view bytes) {
    using Result = std::variant<Beacon, std::string>;
    const auto refuse = [](std::string why) { return Result(std::in_place_index<1>, std::move(why)); };
    if (bytes.empty()) return refuse("is empty");
    if (!isUtf8(bytes)) return refuse("is not UTF-8 text");
    // The top object's members and those of "fields"; nothing deeper is kept.
    auto parsed = json::parse(bytes, 2);
    if (const auto* why = std::get_if<json::NotJson>(&parsed)) {
        return refuse("is not valid JSON at line " + std::to_string(why->line) + ", column " +
                      std::to_string(why->column) + ": " + why->what);
    }
    const Value& root = std::get<Value>(parsed);
    if (root.type != Type::Object) return refuse("is not a beacon file: it holds no JSON object");
    const Value* format = root.member("format");
    if (format == nullptr || format->type != Type::Text || format->text != kBeaconFormatName)
        return refuse("is not a beacon file: \"format\" is not \"jt4dds-beacon\"");
    const auto version = member(root, "", "version", Type::Number, "a whole number");
    if (auto* why = std::get_if<std::string>(&version)) return refuse(*why);
    const Value& v = *std::get<const Value*>(version);
    if (!v.whole) return refuse("\"version\" must be a whole number, not " + v.text);
    const bool version1 = v.text == std::to_string(kOldestBeaconFormatVersion);
    if (!version1 && v.text != std::to_string(kBeaconFormatVersion)) {
        return refuse("is a beacon file of version " + v.text + "; this program reads versions " +
                      std::to_string(kOldestBeaconFormatVersion) + " and " + std::to_string(kBeaconFormatVersion));
    }

    Beacon beacon;
    const auto fields = member(root, "", "fields", Type::Object, "an object");
    if (auto* why = std::get_if<std::string>(&fields)) return refuse(*why);
    for (const InputSpec& entry : kInputs) {
        const auto text = member(*std::get<const Value*>(fields), "\"fields\".", entry.key, Type::Text, "a text");
        if (auto* why = std::get_if<std::string>(&text)) return refuse(*why);
        beacon.text(entry.input) = std::get<const Value*>(text)->text;
    }
    const auto submode = member(root, "", "submode", Type::Text, "a text");
    if (auto* why = std::get_if<std::string>(&submode)) return refuse(*why);
    const auto config = member(root, "", "config", Type::Text, "a text");
    if (auto* why = std::get_if<std::string>(&config)) return refuse(*why);
    const auto ref800 = member(root, "", "ref800", Type::Boolean, "true or false");
    if (auto* why = std::get_if<std::string>(&ref800)) return refuse(*why);
    beacon.mode = restoredPick(Selector::JTMode, std::get<const Value*>(submode)->text);
    beacon.config = restoredPick(Selector::Config, std::get<const Value*>(config)->text);
    beacon.ref800 = std::get<const Value*>(ref800)->truth;
    if (!version1) {
        const auto transmission = member(root, "", "transmission", Type::Object, "an object");
        if (auto* why = std::get_if<std::string>(&transmission)) return refuse(*why);
        const Value& t = *std::get<const Value*>(transmission);
        const std::pair<std::string_view, std::string*> texts[] = {
            {"message", &beacon.message}, {"cw_id", &beacon.cwId}, {"wpm", &beacon.wpm}, {"timer_hz", &beacon.timerHz}};
        for (const auto& [key, text] : texts) {
            const auto found = member(t, "\"transmission\".", key, Type::Text, "a text");
            if (auto* why = std::get_if<std::string>(&found)) return refuse(*why);
            *text = std::get<const Value*>(found)->text;
        }
        const std::pair<std::string_view, bool*> switches[] = {{"cw", &beacon.cw}, {"carrier", &beacon.carrier}};
        for (const auto& [key, on] : switches) {
            const auto found = member(t, "\"transmission\".", key, Type::Boolean, "true or false");
            if (auto* why = std::get_if<std::string>(&found)) return refuse(*why);
            *on = std::get<const Value*>(found)->truth;
        }
    }
    if (const Value* given = root.member("name")) {
        if (given->type != Type::Text || (!given->text.empty() && !isFirmwareName(given->text)))
            return refuse(
                "\"name\" must be a C identifier of at most 31 letters, digits and '_', not starting with "
                "a digit");
        beacon.name = given->text;
    }
    if (root.member("controller") != nullptr) {
        const auto controller = member(root, "", "controller", Type::Object, "an object");
        if (auto* why = std::get_if<std::string>(&controller)) return refuse(*why);
        const Value& c = *std::get<const Value*>(controller);
        const auto mcu = member(c, "\"controller\".", "mcu", Type::Text, "a text");
        if (auto* why = std::get_if<std::string>(&mcu)) return refuse(*why);
        if (!mcuNamed(std::get<const Value*>(mcu)->text))
            return refuse("\"controller\".\"mcu\" names no controller this program makes firmware for: '" +
                          std::get<const Value*>(mcu)->text + "' (it knows ATmega328P and PIC16F628A)");
        beacon.mcu = std::get<const Value*>(mcu)->text;
        const std::pair<std::string_view, std::string*> texts[] = {{"clock_hz", &beacon.mcuClockHz},
                                                                   {"timer_prescale", &beacon.timerPrescale}};
        for (const auto& [key, text] : texts) {
            const auto found = member(c, "\"controller\".", key, Type::Text, "a text");
            if (auto* why = std::get_if<std::string>(&found)) return refuse(*why);
            *text = std::get<const Value*>(found)->text;
        }
    }
    if (root.member("dds") != nullptr) {
        const auto dds = member(root, "", "dds", Type::Object, "an object");
        if (auto* why = std::get_if<std::string>(&dds)) return refuse(*why);
        const Value& d = *std::get<const Value*>(dds);
        const auto chip = member(d, "\"dds\".", "chip", Type::Text, "a text");
        if (auto* why = std::get_if<std::string>(&chip)) return refuse(*why);
        const auto clock = member(d, "\"dds\".", "max_clock_mhz", Type::Text, "a text");
        if (auto* why = std::get_if<std::string>(&clock)) return refuse(*why);
        const std::string& chipName = std::get<const Value*>(chip)->text;
        const DdsChip* known = ddsChip(chipName);
        if (!chipName.empty() && known == nullptr)
            return refuse("\"dds\".\"chip\" names no DDS this program knows: '" + chipName + "'");
        const std::string& clockText = std::get<const Value*>(clock)->text;
        if (!clockText.empty() && !readMaxClockMHz(clockText))
            return refuse("\"dds\".\"max_clock_mhz\" must be a clock in MHz above 0 and at most 100000, not '" +
                          clockText + "'");
        beacon.dds = known ? std::string(known->name) : std::string();
        beacon.maxClockMHz = clockText;
    }
    return Result(std::in_place_index<0>, std::move(beacon));
}

bool isFirmwareName(std::string_view name) {
    if (name.empty() || name.size() > kMaxFirmwareName || (name.front() >= '0' && name.front() <= '9')) return false;
    return std::all_of(name.begin(), name.end(), identifierCharacter);
}

std::string firmwareNameFrom(std::string_view text) {
    std::string name;
    for (char c : text) name += identifierCharacter(c) ? c : '_';
    if (!name.empty() && name.front() >= '0' && name.front() <= '9') name.insert(0, 1, '_');
    if (name.size() > kMaxFirmwareName) name.resize(kMaxFirmwareName);
    return name;
}

std::string firmwareNameOfFile(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    if (slash != std::string_view::npos) path.remove_prefix(slash + 1);
    const std::size_t dot = path.rfind('.');
    return firmwareNameFrom(dot == std::string_view::npos || dot == 0 ? path : path.substr(0, dot));
}

}  // namespace jt4dds
