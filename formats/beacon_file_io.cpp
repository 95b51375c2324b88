// SPDX-License-Identifier: GPL-3.0-or-later
// Beacon files on disk. Apart from the format itself, so that a build without
// files (the web page) needs none of this.
#include "formats/beacon_file.h"
#include "formats/files.h"

namespace jt4dds {

std::variant<Beacon, std::string> loadBeaconFile(const std::filesystem::path& path) {
    using Result = std::variant<Beacon, std::string>;
    const std::string name = utf8Name(path);
    auto bytes = readFileBounded(path, kMaxBeaconFileBytes);
    if (bytes.index() == 1) return Result(std::in_place_index<1>, name + " " + std::get<1>(bytes));
    auto beacon = readBeacon(std::get<0>(bytes));
    if (auto* why = std::get_if<std::string>(&beacon)) return Result(std::in_place_index<1>, name + " " + *why);
    return beacon;
}

std::optional<std::string> saveBeaconFile(const std::filesystem::path& path, const Beacon& beacon) {
    return writeFileAtomically(path, beaconText(beacon));
}

}  // namespace jt4dds
