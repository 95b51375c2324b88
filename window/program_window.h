// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMainWindow>
#include <optional>
#include <string>

#include "calc/tuning/beacon.h"
#include "formats/outputs.h"
#include "session/evaluation.h"
#include "window/qt_text.h"

class QLabel;
class QMenu;

namespace jt4dds {

class TransmissionView;

class MainWindow;

// The program's top-level window: the menu bar above the calculation window,
// which stays its whole client area, exactly as laid out. It opens and saves
// beacon files, exports and copies the firmware outputs, and asks before
// unsaved changes to a beacon file are lost.
class ProgramWindow final : public QMainWindow {
    Q_OBJECT

public:
    explicit ProgramWindow(std::string decimalSeparator = localeDecimalSeparator(), QWidget* parent = nullptr);

    MainWindow* form() const { return form_; }
    // The beacon file the window holds, empty when none.
    const QString& currentFile() const { return currentFile_; }
    // The beacon as typed, with the name its file or Save gave it.
    Beacon beacon() const;
    // The beacon's name for its firmware files: the one its file or Save gave,
    // else the file's name, else none.
    std::string firmwareName() const;
    // True when the fields differ from the beacon file last opened or saved.
    bool isModified() const;

    // Each says what went wrong in a message box and changes nothing then.
    bool openBeacon(const QString& path);
    bool saveBeaconTo(const QString& path);
    // What jt4dds-cli --format asm|c|json writes for the fields, for a file
    // or the clipboard. Asm and C need a completed run, and without `force`
    // no error finding; nothing when it cannot be made, and `why` says why.
    std::optional<std::string> exportText(OutputFormat format, bool force, QString* why = nullptr) const;
    // What jt4dds-cli --format firmware-avr|firmware-pic writes for the
    // fields and the controller the Transmission view names: the answer
    // with the file, or why not.
    ExportAnswer firmwareText(bool force) const;

    // The line under the calculation area: whether the results are the
    // fields' and the last press's most severe finding. A click on it opens
    // Tone details.
    QLabel* statusLine() const { return statusLine_; }
    QAction* transmissionAction() const { return transmissionAction_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createMenus();
    void createStatusLine();
    void connectForm();
    void showPressStatus();
    // Presses Calculate when the results shown are not the fields': every
    // copy and export describes the plan on the screen.
    void pressIfStale();
    void newBeacon();
    void chooseBeaconToOpen();
    bool save();
    bool chooseFileToSave();
    // Asks for the beacon's name for a file about to be saved at `path`;
    // false when the operator cancels.
    bool askBeaconName(const QString& path);
    void chooseExport(OutputFormat format);
    // Export firmware…: the whole controller, asked before forcing as the
    // other exports are, into a file named as the page names it.
    void chooseFirmwareExport();
    void copyAs(OutputFormat format);
    // The Transmission view: the message, CW identification and minute.
    void showTransmission();
    // Shows the beacon's transmission again in the view, if there is one.
    void refreshTransmission();
    // The view's edits: what the beacon's transmission now is.
    void transmissionEdited(const Beacon& edited);
    void showHelp();
    void showAbout();
    // True when it is fine to drop the fields (saved, discarded, or never a file).
    bool maybeSave();
    // The beacon file the fields now match (none: empty), in the title.
    void setCurrentFile(const QString& path);
    // The title's "*": shown while the fields differ from the beacon file.
    void showModified();
    void rememberRecent(const QString& path);
    void fillRecentMenu();
    void problem(const QString& title, const QString& text);
    // Asks whether to write firmware source that an error finding says
    // cannot work.
    // What `format` writes for the fields; where only error findings stop
    // it, what --force writes if the operator says so. Nothing when declined
    // or when nothing can be written (said in a box titled `refusedTitle`).
    std::optional<std::string> exportAsked(OutputFormat format, const QString& refusedTitle);

    std::string separator_;
    MainWindow* form_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    QLabel* statusLine_ = nullptr;
    QString currentFile_;
    std::optional<std::string> savedBeacon_;  // the file's contents when last opened or saved
    std::string beaconName_;                  // for the firmware files; empty: the file's name
    // The beacon's message and minute, as the Transmission view edits them
    // and a beacon file brings them.
    TransmissionView* transmissionView_ = nullptr;
    QAction* transmissionAction_ = nullptr;
};

}  // namespace jt4dds
