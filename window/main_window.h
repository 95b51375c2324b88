// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "calc/check/plan_check.h"
#include "calc/tuning/beacon.h"
#include "calc/tuning/calculation_run.h"
#include "calc/tuning/form_view.h"
#include "session/session.h"
#include "window/qt_text.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace jt4dds {

class ResultsBox;
class ToneDetails;
class FindSettings;

// The one window: the input column on the left, the results box on the right,
// the warning line above it and the SSB carrier below. It implements FormView
// over its controls and only gets and sets their state; the calculation run
// makes every decision.
class MainWindow final : public QWidget, public FormView {
    Q_OBJECT

public:
    // `decimalSeparator` is the one the listing's numbers are written with:
    // the operator's locale's unless a caller (a test) asks for another.
    explicit MainWindow(std::string decimalSeparator = localeDecimalSeparator(), QWidget* parent = nullptr);
    ~MainWindow() override;

    // The non-modal view of the last press's tone table and findings; it
    // follows every press while open.
    void showToneDetails();

    // "Find settings": searches multiplications and references for the
    // beacon as typed; a chosen pair is typed into Mult and Fref and
    // calculated.
    void showFindSettings();

    // The two views as actions (with their shortcuts, Ctrl+T and Ctrl+F), for
    // a menu to show; they work in the window whether a menu has them or not.
    QAction* toneDetailsAction() const { return toneDetailsAction_; }
    QAction* findSettingsAction() const { return findSettingsAction_; }

    // Back to the window as it loads: the initial inputs (the red cue
    // included), no results, nothing to undo.
    void reset();

    // Puts what `inputs` holds into the fields, the selectors and the 800 Hz
    // box, as if the operator had typed and picked it (a frequency-plan field
    // whose text changes turns black), and takes its DDS chip and maximum
    // clock.
    void setInputs(const Beacon& inputs);

    // The beacon as typed: the fields and selectors, with the DDS chip and
    // maximum clock that Find settings or a beacon file gave.
    Beacon typedBeacon() const;
    // The DDS chip and maximum clock, as Find settings sets them; a change is
    // a change of the inputs.
    void setDds(const std::string& chip, const std::string& maxClockMHz);
    // The message, CW and timer the press checks the minute of.
    void setTransmission(const Beacon& transmission);

    // The results box's listing, as its copy gives it.
    std::string listing() const;

    // Types a fix's edits as the operator would (each field turns black) and
    // presses Calculate; Undo brings back the fields before it.
    void applyFix(const FixEdits& edits);

    // A press of Calculate, as the button and Enter in a field do.
    void calculateNow() { command1Clicked(); }

    // Around a change the operator did not type (Apply fix, Use and
    // calculate, Open, the 800 Hz box): the inputs before it, kept for Undo,
    // and the step it makes, named as Edit › Undo names it.
    void beginAction();
    void endAction(std::string_view what);
    // Puts back the inputs before the last such change (or after it again)
    // and presses Calculate; false when there is nothing to undo (redo).
    // Ctrl+Z (Ctrl+Shift+Z) does this when the focused field has no typing of
    // its own to undo.
    bool undo();
    bool redo();
    bool canUndo() const { return session_.canUndo(); }
    QAction* undoAction() const { return undoAction_; }
    QAction* redoAction() const { return redoAction_; }

    // True until the first press, and while the inputs differ from what they
    // were right after the last press: the results shown are not theirs.
    bool isStale() const;
    bool hasPressed() const { return pressedInputs_.has_value(); }
    const std::vector<Finding>& lastFindings() const { return lastFindings_; }

    // FormView
    std::string text(Input input) const override;
    void setText(Input input, std::string_view text) override;
    std::optional<SelectedItem> selectedItem(Selector selector) const override;
    std::string selectorText(Selector selector) const override;
    bool ref800Checked() const override;
    void setListing(std::string_view listing) override;
    void setSsbCarrier(std::string_view text) override;
    void setVisible(Shown control, bool visible) override;
    void setWarningCaption(std::string_view caption) override;
    std::string decimalSeparator() const override;

    using QWidget::setVisible;

signals:
    // A field, a selector or the 800 Hz box changed, typed or set.
    void inputsChanged();
    // A press has run and its findings are shown.
    void pressed();

private:
    void createControls();
    void setFocusOrder();
    // Events, one per control that has one.
    void load();
    void foutChanged();
    void multChanged();
    void frefChanged();
    void command1Clicked();

    // Tooltips and field markers for the last press's findings.
    void showFindings();

    QLineEdit* textBox(Input input) const { return inputBoxes_[static_cast<std::size_t>(input)]; }
    QComboBox* selectorBox(Selector selector) const;
    QWidget* shownControl(Shown control) const;

    QLabel* label10_ = nullptr;
    QLineEdit* fout_ = nullptr;
    QLineEdit* mult_ = nullptr;
    QLineEdit* fref_ = nullptr;
    QComboBox* jtMode_ = nullptr;
    QCheckBox* ref800_ = nullptr;
    // Each input's field, bound by its control name.
    std::array<QLineEdit*, kInputCount> inputBoxes_{};
    QComboBox* config_ = nullptr;
    QPushButton* command1_ = nullptr;
    QLabel* warning_ = nullptr;
    ResultsBox* text1_ = nullptr;
    QLineEdit* ssbCarrier_ = nullptr;

    // Typing into a selector's text area leaves it with no item selected
    // until an item is picked again.
    bool warningFontGiven_ = false;
    bool jtModeTyped_ = false;
    bool configTyped_ = false;
    std::string separator_;

    // What the last press found, for the tooltips and the Tone details view.
    Press lastOutcome_;
    std::vector<Finding> lastFindings_;
    bool eventFilter(QObject* watched, QEvent* event) override;

    // The beacon being edited: its last evaluation and the one undo stack.
    Session session_;
    void showUndo();
    // What this window keeps but does not show: the DDS chip, its maximum
    // clock and the transmission, which other views edit.
    Beacon aside_;
    QAction* undoAction_ = nullptr;
    QAction* redoAction_ = nullptr;
    // The inputs as a beacon file would hold them right after the last press.
    std::optional<std::string> pressedInputs_;
    // The mark inside each numeric field, shown while it has a finding.
    std::array<QAction*, kAllInputs.size()> markers_{};
    // What a click on a field's mark types: the one fix its finding has.
    std::array<std::optional<FixEdits>, kAllInputs.size()> markerFixes_{};
    QAction* toneDetailsAction_ = nullptr;
    QAction* findSettingsAction_ = nullptr;
    ToneDetails* toneDetails_ = nullptr;
    FindSettings* findSettings_ = nullptr;
};

}  // namespace jt4dds
