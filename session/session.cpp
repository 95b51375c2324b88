// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/session.h"

#include "formats/search_output.h"

namespace jt4dds {

const Evaluation& Session::press(const EvaluateOptions& options) {
    last_ = evaluate(typed_, options);
    return *last_;
}

void Session::act(std::string_view what, const Beacon& next) {
    if (next == typed_) return;
    undo_.push_back(Step{std::string(what), typed_, next});
    redo_.clear();
    typed_ = next;
}

std::string Session::undoText() const { return undo_.empty() ? std::string() : "Undo " + undo_.back().what; }
std::string Session::redoText() const { return redo_.empty() ? std::string() : "Redo " + redo_.back().what; }

std::optional<Beacon> Session::undo() {
    if (undo_.empty()) return std::nullopt;
    Step step = std::move(undo_.back());
    undo_.pop_back();
    // What was typed since the action is undone with it; redo comes back to it.
    step.after = typed_;
    typed_ = step.before;
    redo_.push_back(std::move(step));
    return typed_;
}

std::optional<Beacon> Session::redo() {
    if (redo_.empty()) return std::nullopt;
    Step step = std::move(redo_.back());
    redo_.pop_back();
    typed_ = step.after;
    undo_.push_back(std::move(step));
    return typed_;
}

void Session::opened(std::string path, const Beacon& beacon) {
    act("Open", beacon);
    file_ = std::move(path);
    saved_ = beacon;
}

void Session::saved(std::string path) {
    file_ = std::move(path);
    saved_ = typed_;
}

std::string Session::commandLine() const { return cliCommand(typed_); }

std::string Session::downloadName() const { return downloadStem(typed_); }

}  // namespace jt4dds
