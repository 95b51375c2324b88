// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/decode_check.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "calc/numbers/number_format.h"
#include "formats/wav.h"

#if !defined(_WIN32)
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
extern char** environ;
#endif

namespace jt4dds {
namespace {

namespace fs = std::filesystem;

#if !defined(_WIN32)
// Runs `argv` in `folder` with its standard output into `output`; its exit
// status, or -1 when it could not be started.
int run(const std::vector<std::string>& argv, const fs::path& folder, const fs::path& output) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    // In the child alone: a window runs this beside its other threads.
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    const int started = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0) return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return -1;  // only a signal's interruption is waited through
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The Debian package's version of the jt9 at `path`, where dpkg knows it.
std::string versionOf(const std::string& path, const fs::path& folder) {
    if (path != "/usr/bin/jt9" || !fs::exists("/usr/bin/dpkg-query")) return {};
    const fs::path out = folder / "version";
    if (run({"/usr/bin/dpkg-query", "-W", "-f=${Version}", "wsjtx"}, folder, out) != 0) return {};
    return readAll(out);
}

// jt9's lines before "<DecodeFinished>"; a decode of `message` ends in "f".
bool decodedIn(const std::string& lines, const std::string& message, std::string& heard) {
    std::istringstream in(lines);
    bool found = false;
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("<DecodeFinished>")) break;
        while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.pop_back();
        if (line.empty()) continue;
        heard += line + "\n";
        // "0000 -17 -0.1  794 $* CQ K1ABC FN42          f": the message, blanks, the flag.
        const auto at = line.find(message);
        if (at != std::string::npos && line.ends_with(" f")) found = true;
    }
    return found;
}
#endif

}  // namespace

int DecodeCheck::decodes() const {
    int n = 0;
    for (const DecodedMinute& m : minutes) n += m.decoded ? 1 : 0;
    return n;
}

std::string findJt9() {
    const char* path = std::getenv("PATH");
    std::string_view rest = path ? path : "";
    while (!rest.empty()) {
        const std::size_t colon = rest.find(':');
        const std::string dir(rest.substr(0, colon));
        rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
        if (dir.empty()) continue;
        const fs::path candidate = fs::path(dir) / "jt9";
        std::error_code ec;
        if (fs::is_regular_file(candidate, ec)) {
#if !defined(_WIN32)
            if (access(candidate.c_str(), X_OK) != 0) continue;
#endif
            return candidate.string();
        }
    }
    return {};
}

std::variant<DecodeCheck, std::string> decodeCheck(const Evaluation& evaluation, int minutes, double snrDb,
                                                   const std::function<void(int done)>& progress,
                                                   const std::atomic<bool>* cancel) {
    const Transmission* t = evaluation.transmission();
    if (evaluation.beacon.message.empty()) return std::string("there is no message to decode: type one first");
    if (!t) return "the message cannot be sent: " + refusalText(std::get<Refusal>(evaluation.planned));
    if (t->pi4) return std::string("jt9 does not decode PI4: save the minute as a WAV for a PI4 decoder");
    if (!evaluation.press.completed() || !evaluation.receiver)
        return std::string("the calculation stopped: there is no minute to decode");
#if defined(_WIN32)
    (void)minutes;
    (void)snrDb;
    (void)progress;
    (void)cancel;
    return std::string("the decode check runs jt9, which this Windows build does not start: save the minute as a WAV");
#else
    DecodeCheck check;
    check.jt9 = findJt9();
    if (check.jt9.empty()) return std::string(kJt9Missing);
    check.snrDb = snrDb;
    std::error_code ec;
    // One folder a check: a window may run one while another is cancelled.
    static std::atomic<unsigned> checks{0};
    const fs::path scratch =
        fs::temp_directory_path(ec) / ("jt4dds-jt9-" + std::to_string(getpid()) + "-" + std::to_string(++checks));
    fs::create_directories(scratch, ec);
    if (ec) return "no scratch folder for jt9: " + ec.message();
    check.version = versionOf(check.jt9, scratch);
    const std::string submode = evaluation.press.figures.submodeLabel;
    const std::string audioHz = decimalText(std::round(evaluation.receiver->realisedAudioHz[0]), 0);
    std::string failure;
    for (int i = 1; i <= minutes; ++i) {
        if (cancel && cancel->load()) break;
        const auto seed = static_cast<std::uint64_t>(i);
        const auto heard = hearMinute(evaluation.press, Noise{snrDb, seed});
        if (!heard) {
            failure = "the minute could not be made";
            break;
        }
        const fs::path wav = scratch / "minute.wav";
        {
            std::ofstream out(wav, std::ios::binary);
            out << wavFile(heard->samples, kAudioRate);
        }
        const fs::path said = scratch / "decoded.txt";
        const int status =
            run({check.jt9, "-4", "-b", submode, "-f", audioHz, "-a", ".", "-t", ".", wav.string()}, scratch, said);
        if (status < 0) {
            failure = "jt9 could not be run (" + check.jt9 + ")";
            break;
        }
        DecodedMinute m;
        m.seed = seed;
        m.decoded = decodedIn(readAll(said), t->message.sent, m.heard);
        check.minutes.push_back(std::move(m));
        if (progress) progress(i);
    }
    fs::remove_all(scratch, ec);
    if (!failure.empty()) return failure;
    return check;
#endif
}

std::string decodeCheckLine(const DecodeCheck& check) {
    std::string line = "decodes " + std::to_string(check.decodes()) + " of " + std::to_string(check.minutes.size()) +
                       " at " + decimalText(check.snrDb, 0) + " dB";
    if (!check.version.empty()) line += " (jt9 " + check.version + ")";
    return line;
}

}  // namespace jt4dds
