// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calc/tuning/beacon.h"
#include "session/evaluation.h"

namespace jt4dds {

// The beacon being edited and what it evaluates to: what every front end
// binds and draws, so that none tells the builder something another does
// not. It owns the one undo stack of the actions that change the fields
// (Open, New, the 800 Hz tick, Apply fix, Use and calculate); typing in a
// field is the field's own to undo. It never touches a toolkit or a file.
class Session {
public:
    explicit Session(Beacon initial = {}) : typed_(std::move(initial)) {}

    // The beacon as the front end's fields hold it now.
    const Beacon& typed() const { return typed_; }
    // What the operator typed: no undo step, and the results go stale.
    void type(const Beacon& beacon) { typed_ = beacon; }

    // Calculate: evaluates what is typed, once, and keeps it.
    const Evaluation& press(const EvaluateOptions& options = {});
    // The last press, if any.
    const std::optional<Evaluation>& last() const { return last_; }
    // No press yet, or the fields changed since the last one: what is shown is not theirs.
    bool stale() const { return !last_ || last_->beacon != typed_; }

    // An action that changes the fields, named as Edit › Undo names it
    // ("Apply fix"): what is typed before it goes on the undo stack and
    // `next` becomes what is typed. The front end presses after it where the
    // action calculates (Apply fix, Use and calculate, Open). A `next` equal
    // to what is typed adds no step.
    void act(std::string_view what, const Beacon& next);
    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    // "Undo Apply fix", "Redo Open"; empty when there is none.
    std::string undoText() const;
    std::string redoText() const;
    // Takes the fields back to just before the last action (or forward again
    // to where they were undone from): the beacon to show and press; nothing
    // when there is nothing to undo (or redo).
    std::optional<Beacon> undo();
    std::optional<Beacon> redo();
    // Forgets every step: a new beacon starts with nothing to undo.
    void forget() {
        undo_.clear();
        redo_.clear();
    }

    // The beacon file: opened or saved as `typed`; modified while what is
    // typed differs from what the file holds.
    void opened(std::string path, const Beacon& beacon);
    void saved(std::string path);
    const std::string& file() const { return file_; }
    bool modified() const { return saved_ ? *saved_ != typed_ : typed_ != Beacon(); }

    // The jt4dds-cli call that reproduces the typed beacon, and the name its
    // downloads and exports are offered under.
    std::string commandLine() const;
    std::string downloadName() const;

private:
    struct Step {
        std::string what;
        Beacon before;
        Beacon after;
    };
    Beacon typed_;
    std::optional<Evaluation> last_;
    std::vector<Step> undo_;
    std::vector<Step> redo_;
    std::string file_;
    std::optional<Beacon> saved_;
};

}  // namespace jt4dds
