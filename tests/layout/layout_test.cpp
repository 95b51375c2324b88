// SPDX-License-Identifier: GPL-3.0-or-later
// The house rules of the sources, read from the files themselves: the core's
// wings depend one way, the layers above it one way, no two files include each
// other round a circle, and no product file grows past what one reads whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
const fs::path kRoot = JT4DDS_SOURCE_DIR;

// Folders of product code, each layer after those it may include.
const std::vector<std::string> kLayers{"calc/numbers", "calc/tuning", "calc/transmission",
                                       "calc/hearing", "calc/check",  "formats",
                                       "session",      "cli",         "window",
                                       "app",          "web"};
// Layers side by side: none includes the other.
const std::set<std::pair<std::string, std::string>> kApart{
    {"cli", "window"}, {"cli", "app"}, {"cli", "web"}, {"window", "web"}, {"app", "web"}};

int layerOf(const std::string& path) {
    for (std::size_t i = kLayers.size(); i-- > 0;)
        if (path.starts_with(kLayers[i] + "/")) return static_cast<int>(i);
    return -1;
}

std::string moduleOf(const std::string& path) { return path.substr(0, path.rfind('.')); }

struct Source {
    std::string path;
    std::size_t lines = 0;
    std::vector<std::string> includes;  // project headers, as written
};

std::vector<Source> productSources() {
    std::vector<Source> out;
    const std::regex include(R"re(^\s*#\s*include\s+"([^"]+)")re");
    for (const char* top : {"calc", "formats", "session", "cli", "window", "app", "web"}) {
        for (const auto& entry : fs::recursive_directory_iterator(kRoot / top)) {
            const auto ext = entry.path().extension();
            if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp")) continue;
            Source s{fs::relative(entry.path(), kRoot).generic_string(), 0, {}};
            std::ifstream in(entry.path());
            for (std::string line; std::getline(in, line); ++s.lines) {
                std::smatch m;
                if (std::regex_search(line, m, include) && fs::exists(kRoot / m[1].str()))
                    s.includes.push_back(m[1].str());
            }
            out.push_back(std::move(s));
        }
    }
    std::sort(out.begin(), out.end(), [](const Source& a, const Source& b) { return a.path < b.path; });
    return out;
}

TEST(Layout, NoProductFileIsOver800Lines) {
    const auto sources = productSources();
    ASSERT_GT(sources.size(), 40U);
    for (const Source& s : sources) EXPECT_LE(s.lines, 800U) << s.path;
}

TEST(Layout, EachLayerIncludesOnlyItselfAndTheLayersBeneath) {
    for (const Source& s : productSources()) {
        const int from = layerOf(s.path);
        ASSERT_GE(from, 0) << s.path << " lies in no layer";
        for (const std::string& header : s.includes) {
            const int to = layerOf(header);
            EXPECT_LE(to, from) << s.path << " includes " << header;
            EXPECT_FALSE(kApart.contains(
                {kLayers[static_cast<std::size_t>(std::max(to, 0))], kLayers[static_cast<std::size_t>(from)]}))
                << s.path << " includes " << header;
        }
    }
}

// A header and its source are one module: a.cpp including b.h while b.cpp
// includes a.h is a circle too.
TEST(Layout, NoModulesIncludeEachOtherRoundACircle) {
    std::map<std::string, std::set<std::string>> uses;
    for (const Source& s : productSources())
        for (const std::string& header : s.includes)
            if (moduleOf(header) != moduleOf(s.path)) uses[moduleOf(s.path)].insert(moduleOf(header));
    std::map<std::string, int> state;  // 1: on the path, 2: done
    std::vector<std::string> path;
    std::function<void(const std::string&)> visit = [&](const std::string& module) {
        state[module] = 1;
        path.push_back(module);
        for (const std::string& next : uses[module]) {
            if (state[next] == 1) {
                std::string circle;
                for (auto it = std::find(path.begin(), path.end(), next); it != path.end(); ++it)
                    circle += *it + " -> ";
                ADD_FAILURE() << circle << next;
            } else if (state[next] == 0) {
                visit(next);
            }
        }
        path.pop_back();
        state[module] = 2;
    };
    for (const auto& [module, _] : uses)
        if (state[module] == 0) visit(module);
}

}  // namespace
