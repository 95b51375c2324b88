// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/beacon_file.h"

#include <array>
#include <nlohmann/json.hpp>

#include "calc/selector_items.h"
#include "formats/utf8.h"

namespace jt4dds {
namespace {

using Json = nlohmann::ordered_json;

struct FieldKey {
    std::string_view key;
    TextField field;
};
constexpr std::array<FieldKey, 7> kFieldKeys{{
    {"fout", TextField::Fout},
    {"mult", TextField::Mult},
    {"fref", TextField::Fref},
    {"ref_tone", TextField::RefTone},
    {"key_up", TextField::UpTone},
    {"key_down", TextField::DownTone},
    {"aux", TextField::SpTone},
}};

std::string_view typeName(const Json& value) {
    if (value.is_string()) return "a text";
    if (value.is_number()) return "a number";
    if (value.is_boolean()) return "true or false";
    if (value.is_null()) return "null";
    if (value.is_array()) return "a list";
    return "an object";
}

// The member `key` of `object` with the type `wanted` says it must have, or
// why not.
template <class Check>
std::variant<const Json*, std::string> member(const Json& object, std::string_view path, std::string_view key,
                                              std::string_view wanted, Check hasType) {
    const std::string name = std::string(path) + "\"" + std::string(key) + "\"";
    const auto it = object.find(key);
    if (it == object.end()) return name + " is missing";
    if (!hasType(*it)) return name + " must be " + std::string(wanted) + ", not " + std::string(typeName(*it));
    return &*it;
}

bool isText(const Json& v) { return v.is_string(); }
bool isBool(const Json& v) { return v.is_boolean(); }
bool isObject(const Json& v) { return v.is_object(); }
bool isInteger(const Json& v) { return v.is_number_integer(); }

// Selects the item that `label` names, or types it into the selector.
void restoreSelector(FormState& form, Selector selector, const std::string& label) {
    if (const auto item = itemLabelled(selector, label); item && item->label == label) {
        form.select(selector, item->index);
    } else {
        form.typeInto(selector, label);
    }
}

}  // namespace

std::string beaconText(const FormState& form) {
    Json fields = Json::object();
    for (const auto& [key, field] : kFieldKeys) fields[std::string(key)] = form.text(field);
    Json out;
    out["format"] = kBeaconFormatName;
    out["version"] = kBeaconFormatVersion;
    out["fields"] = fields;
    out["submode"] = form.selectorText(Selector::JTMode);
    out["config"] = form.selectorText(Selector::Config);
    out["ref800"] = form.ref800Checked();
    return out.dump(2) + "\n";
}

std::variant<FormState, std::string> readBeacon(std::string_view bytes) {
    using Result = std::variant<FormState, std::string>;
    if (bytes.empty()) return Result(std::in_place_index<1>, "is empty");
    if (!isUtf8(bytes)) return Result(std::in_place_index<1>, "is not UTF-8 text");
    const Json root = Json::parse(bytes, nullptr, false);
    if (root.is_discarded())
        return Result(std::in_place_index<1>, "is not valid JSON (cut short, or not a beacon file)");
    if (!root.is_object()) return Result(std::in_place_index<1>, "is not a beacon file: it holds no JSON object");
    const auto format = root.find("format");
    if (format == root.end() || !format->is_string() || format->get<std::string>() != kBeaconFormatName)
        return Result(std::in_place_index<1>, "is not a beacon file: \"format\" is not \"jt4dds-beacon\"");
    const auto version = member(root, "", "version", "a whole number", isInteger);
    if (auto* why = std::get_if<std::string>(&version)) return Result(std::in_place_index<1>, *why);
    const Json& v = *std::get<const Json*>(version);
    if (!(v.is_number_unsigned() && v.get<std::uint64_t>() == kBeaconFormatVersion)) {
        return Result(std::in_place_index<1>, "is a beacon file of version " + v.dump() +
                                                  "; this program reads version " +
                                                  std::to_string(kBeaconFormatVersion));
    }

    FormState form;
    const auto fields = member(root, "", "fields", "an object", isObject);
    if (auto* why = std::get_if<std::string>(&fields)) return Result(std::in_place_index<1>, *why);
    for (const auto& [key, field] : kFieldKeys) {
        const auto text = member(*std::get<const Json*>(fields), "\"fields\".", key, "a text", isText);
        if (auto* why = std::get_if<std::string>(&text)) return Result(std::in_place_index<1>, *why);
        form.setText(field, std::get<const Json*>(text)->get<std::string>());
    }
    const auto submode = member(root, "", "submode", "a text", isText);
    if (auto* why = std::get_if<std::string>(&submode)) return Result(std::in_place_index<1>, *why);
    const auto config = member(root, "", "config", "a text", isText);
    if (auto* why = std::get_if<std::string>(&config)) return Result(std::in_place_index<1>, *why);
    const auto ref800 = member(root, "", "ref800", "true or false", isBool);
    if (auto* why = std::get_if<std::string>(&ref800)) return Result(std::in_place_index<1>, *why);
    restoreSelector(form, Selector::JTMode, std::get<const Json*>(submode)->get<std::string>());
    restoreSelector(form, Selector::Config, std::get<const Json*>(config)->get<std::string>());
    form.setRef800(std::get<const Json*>(ref800)->get<bool>());
    return Result(std::in_place_index<0>, std::move(form));
}

}  // namespace jt4dds
