// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/program_window.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QSettings>
#include <QStatusBar>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <functional>

#include "calc/version.h"
#include "formats/beacon_file.h"
#include "formats/files.h"
#include "formats/search_output.h"
#include "formats/window_layout.h"
#include "session/firmware_export.h"
#include "window/help_text.h"
#include "window/main_window.h"
#include "window/qt_text.h"
#include "window/save_folder.h"
#include "window/transmission_view.h"

namespace jt4dds {
namespace {

constexpr int kRecentCount = 8;
const QString kRecentKey = QStringLiteral("recentBeacons");
const QString kBeaconFilter = QStringLiteral("Beacon files (*.jt4dds);;All files (*)");

std::filesystem::path pathOf(const QString& path) { return std::filesystem::u8path(path.toStdString()); }

struct ExportKind {
    OutputFormat format;
    const char* what;
    const char* filter;
    const char* suffix;
};
constexpr ExportKind kExports[] = {
    {OutputFormat::Asm, "assembler include", "Assembler include (*.inc);;All files (*)", "inc"},
    {OutputFormat::C, "C header", "C header (*.h);;All files (*)", "h"},
    {OutputFormat::Json, "JSON report", "JSON report (*.json);;All files (*)", "json"},
};

// A line of plain text that does something when clicked. A text longer than
// the line ends in "…" (the whole of it is the tooltip), so that it never
// asks the window to grow.
class ClickableLine final : public QLabel {
public:
    ClickableLine(QWidget* parent, std::function<void()> clicked) : QLabel(parent), clicked_(std::move(clicked)) {
        setTextFormat(Qt::PlainText);  // findings quote what was typed
        setCursor(Qt::PointingHandCursor);
        setMinimumWidth(1);
        setContentsMargins(6, 0, 6, 0);
    }
    void setWholeText(const QString& text) {
        whole_ = text;
        fit();
    }
    QSize minimumSizeHint() const override { return {1, QLabel::minimumSizeHint().height()}; }
    QSize sizeHint() const override { return {1, QLabel::sizeHint().height()}; }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) clicked_();
        QLabel::mouseReleaseEvent(event);
    }
    void resizeEvent(QResizeEvent* event) override {
        QLabel::resizeEvent(event);
        fit();
    }

private:
    void fit() { setText(fontMetrics().elidedText(whole_, Qt::ElideRight, std::max(1, contentsRect().width()))); }

    std::function<void()> clicked_;
    QString whole_;
};

const ExportKind& exportKind(OutputFormat format) {
    for (const ExportKind& kind : kExports)
        if (kind.format == format) return kind;
    return kExports[0];
}

}  // namespace

ProgramWindow::ProgramWindow(std::string decimalSeparator, QWidget* parent)
    : QMainWindow(parent), separator_(std::move(decimalSeparator)) {
    setWindowTitle(qs(kWindowTitle));
    form_ = new MainWindow(separator_, this);
    connect(form_, &QWidget::windowIconChanged, this, &QWidget::setWindowIcon);
    setCentralWidget(form_);
    createMenus();
    createStatusLine();
    // The calculation window keeps its own size between the menu bar and the status line.
    resize(form_->width(), form_->height() + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
    form_->setFocus();
}

void ProgramWindow::createMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&New"), QKeySequence::New, this, &ProgramWindow::newBeacon);
    file->addAction(QStringLiteral("&Open beacon\u2026"), QKeySequence::Open, this, &ProgramWindow::chooseBeaconToOpen);
    file->addAction(QStringLiteral("&Save beacon"), QKeySequence::Save, this, &ProgramWindow::save);
    file->addAction(QStringLiteral("Save beacon &as\u2026"), QKeySequence::SaveAs, this,
                    &ProgramWindow::chooseFileToSave);
    recentMenu_ = file->addMenu(QStringLiteral("&Recent beacons"));
    connect(recentMenu_, &QMenu::aboutToShow, this, &ProgramWindow::fillRecentMenu);
    file->addSeparator();
    file->addAction(QStringLiteral("Export assembler &include\u2026"), this,
                    [this] { chooseExport(OutputFormat::Asm); });
    file->addAction(QStringLiteral("Export &C header\u2026"), this, [this] { chooseExport(OutputFormat::C); });
    file->addAction(QStringLiteral("Export &JSON report\u2026"), this, [this] { chooseExport(OutputFormat::Json); });
    file->addSeparator();
    file->addAction(QStringLiteral("&Quit"), QKeySequence::Quit, this, &QWidget::close);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("EditMenu"));
    edit->addAction(form_->undoAction());
    edit->addAction(form_->redoAction());
    edit->addSeparator();
    edit->addAction(QStringLiteral("Copy &listing"), this, [this] {
        pressIfStale();
        // The results box keeps the last words that were made; after a
        // stopped press they are not these fields', and nothing is copied.
        QString why;
        if (!exportText(OutputFormat::Listing, false, &why)) {
            problem(QStringLiteral("Nothing copied"), why);
            return;
        }
        QApplication::clipboard()->setText(qs(form_->listing()));
    });
    edit->addAction(QStringLiteral("Copy as &assembler include"), this, [this] { copyAs(OutputFormat::Asm); });
    edit->addAction(QStringLiteral("Copy as &C header"), this, [this] { copyAs(OutputFormat::C); });
    edit->addAction(QStringLiteral("Copy co&mmand line"), this, [this] {
        pressIfStale();
        QApplication::clipboard()->setText(qs(cliCommand(beacon())));
    });

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("ViewMenu"));
    view->addAction(form_->toneDetailsAction());
    view->addAction(form_->findSettingsAction());
    transmissionAction_ = view->addAction(QStringLiteral("T&ransmission\u2026"), QKeySequence(Qt::CTRL | Qt::Key_M),
                                          this, &ProgramWindow::showTransmission);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->addAction(QStringLiteral("&Help"), QKeySequence::HelpContents, this, &ProgramWindow::showHelp);
    help->addAction(QStringLiteral("&About jt4dds"), this, &ProgramWindow::showAbout);
}

void ProgramWindow::createStatusLine() {
    statusLine_ = new ClickableLine(this, [this] { form_->showToneDetails(); });
    statusLine_->setObjectName(QStringLiteral("PressStatus"));
    statusLine_->setToolTip(QStringLiteral("Click for Tone details: every finding of the last press and its fix"));
    statusBar()->addWidget(statusLine_, 1);
    statusBar()->setSizeGripEnabled(false);
    connectForm();
}

void ProgramWindow::showTransmission() {
    if (!transmissionView_) {
        transmissionView_ = new TransmissionView(
            this, [this](const Beacon& edited) { transmissionEdited(edited); }, [this] { chooseFirmwareExport(); });
        // Ctrl+Z and Ctrl+Shift+Z there too, as in every window of the program.
        transmissionView_->addAction(form_->undoAction());
        transmissionView_->addAction(form_->redoAction());
    }
    refreshTransmission();
    transmissionView_->raise();
    transmissionView_->activateWindow();
}

void ProgramWindow::refreshTransmission() {
    if (!transmissionView_) return;
    const Press press = calculate(beacon());
    transmissionView_->show(press, checkPlan(press));
}

void ProgramWindow::transmissionEdited(const Beacon& edited) {
    form_->setTransmission(edited);
    showModified();
    refreshTransmission();
}

void ProgramWindow::connectForm() {
    // The Transmission view follows the mode and tones it depends on.
    const auto follow = [this] {
        if (transmissionView_ && transmissionView_->isVisible()) refreshTransmission();
    };
    connect(form_, &MainWindow::inputsChanged, this, follow);
    connect(form_, &MainWindow::pressed, this, follow);
    connect(form_, &MainWindow::inputsChanged, this, &ProgramWindow::showPressStatus);
    connect(form_, &MainWindow::inputsChanged, this, &ProgramWindow::showModified);
    connect(form_, &MainWindow::pressed, this, &ProgramWindow::showModified);
    connect(form_, &MainWindow::pressed, this, &ProgramWindow::showPressStatus);
    showPressStatus();
}

void ProgramWindow::showPressStatus() {
    const PressStatus status = pressStatus(form_->hasPressed(), form_->isStale(), form_->lastFindings());
    static_cast<ClickableLine*>(statusLine_)->setWholeText(qs(status.text));
    statusLine_->setToolTip(plainToolTip(qs(status.text)));
    statusLine_->setProperty("stale", status.stale);
    QPalette palette = statusLine_->palette();
    palette.setColor(
        QPalette::WindowText,
        QApplication::palette(statusLine_).color(status.stale ? QPalette::PlaceholderText : QPalette::WindowText));
    statusLine_->setPalette(palette);
}

void ProgramWindow::pressIfStale() {
    if (form_->isStale()) form_->calculateNow();
}

bool ProgramWindow::isModified() const { return savedBeacon_ && beaconText(beacon()) != *savedBeacon_; }

Beacon ProgramWindow::beacon() const {
    Beacon typed = form_->typedBeacon();
    typed.name = beaconName_;
    return typed;
}

std::string ProgramWindow::firmwareName() const {
    return beaconName_.empty() ? firmwareNameOfFile(currentFile_.toStdString()) : beaconName_;
}

void ProgramWindow::problem(const QString& title, const QString& text) {
    auto* box = new QMessageBox(QMessageBox::Warning, title, text, QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("FileProblem"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void ProgramWindow::newBeacon() {
    if (!maybeSave()) return;
    // The calculation window as it loads: every initial value, the red cue included.
    form_->reset();
    setCurrentFile(QString());
    beaconName_.clear();
    if (transmissionView_ && transmissionView_->isVisible()) refreshTransmission();
    form_->setFocus();
}

bool ProgramWindow::openBeacon(const QString& path) {
    auto loaded = loadBeaconFile(pathOf(path));
    if (const auto* why = std::get_if<std::string>(&loaded)) {
        problem(QStringLiteral("Cannot open beacon"), qs(*why));
        return false;
    }
    beaconName_ = std::get<Beacon>(loaded).name;
    form_->beginAction();
    form_->setInputs(std::get<Beacon>(loaded));
    form_->endAction("Open");
    // An opened beacon is shown calculated; what the press writes into the
    // fields (the 800 Hz option's "800") is no change to the file.
    form_->calculateNow();
    setCurrentFile(path);
    return true;
}

void ProgramWindow::chooseBeaconToOpen() {
    if (!maybeSave()) return;
    auto* dialog = new QFileDialog(this, QStringLiteral("Open beacon"), QFileInfo(currentFile_).path(), kBeaconFilter);
    dialog->setObjectName(QStringLiteral("OpenBeaconDialog"));
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString& path) { openBeacon(path); });
    dialog->open();
}

bool ProgramWindow::saveBeaconTo(const QString& path) {
    if (const auto why = saveBeaconFile(pathOf(path), beacon())) {
        problem(QStringLiteral("Cannot save beacon"), qs(*why));
        return false;
    }
    setCurrentFile(path);
    return true;
}

bool ProgramWindow::save() {
    if (currentFile_.isEmpty()) return chooseFileToSave();
    return saveBeaconTo(currentFile_);
}

bool ProgramWindow::chooseFileToSave() {
    QFileDialog dialog(this, QStringLiteral("Save beacon"), currentFile_, kBeaconFilter);
    dialog.setObjectName(QStringLiteral("SaveBeaconDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("jt4dds"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    const QString path = dialog.selectedFiles().constFirst();
    if (!askBeaconName(path)) return false;
    return saveBeaconTo(path);
}

bool ProgramWindow::askBeaconName(const QString& path) {
    QInputDialog ask(this);
    ask.setObjectName(QStringLiteral("BeaconNameDialog"));
    ask.setWindowTitle(QStringLiteral("Beacon name"));
    ask.setLabelText(
        QStringLiteral("The beacon's name in its firmware files (NAME_words, NAME_FreqData):\n"
                       "letters, digits and '_', not starting with a digit"));
    ask.setTextValue(qs(beaconName_.empty() ? firmwareNameOfFile(path.toStdString()) : beaconName_));
    while (ask.exec() == QDialog::Accepted) {
        const std::string name = ask.textValue().trimmed().toStdString();
        if (name.empty() || isFirmwareName(name)) {
            beaconName_ = name;
            return true;
        }
        ask.setLabelText(QStringLiteral("'%1' is no C identifier of at most 31 letters, digits and '_' that does "
                                        "not start with a digit. The beacon's name:")
                             .arg(qs(name)));
    }
    return false;
}

std::optional<std::string> ProgramWindow::exportText(OutputFormat format, bool force, QString* why) const {
    // What jt4dds-cli does for the same fields: its "." and its checks.
    Beacon press = beacon();
    press.separator = std::string(1, '.');  // not from a literal: GCC 12 -O3 takes that for an overlapping copy
    // Named as jt4dds-cli --beacon names it: the file's name for the beacon, else the file's own.
    press.name = firmwareName();
    const Press outcome = calculate(press);
    const std::vector<Finding> findings = checkPlan(outcome);
    // A file or the clipboard: either way the builder puts it into firmware.
    if (const ExportGate gate = exportGate(format, outcome, findings, force, true); gate != ExportGate::Open) {
        if (why) *why = qs(exportRefusal(gate, outcome, findings));
        return std::nullopt;
    }
    return jt4dds::render(format, outcome, findings, firmwareFile(asPressed(press, outcome), format));
}

std::optional<std::string> ProgramWindow::exportAsked(OutputFormat format, const QString& refusedTitle) {
    QString why;
    if (auto text = exportText(format, false, &why)) return text;
    auto forced = exportText(format, true);
    if (!forced) {
        problem(refusedTitle, why);
        return std::nullopt;
    }
    const auto answer = QMessageBox::question(this, qs(kForceTitle), qs(forceQuestion(why.toStdString())),
                                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    return answer == QMessageBox::Yes ? forced : std::nullopt;
}

void ProgramWindow::chooseExport(OutputFormat format) {
    pressIfStale();
    const auto text = exportAsked(format, QStringLiteral("Nothing exported"));
    if (!text) return;
    const ExportKind& kind = exportKind(format);
    // Named as the page names its downloads: the beacon's name, else the call
    // in its message, else its frequency.
    Beacon named = beacon();
    named.name = firmwareName();
    const QString name = qs(downloadStem(named)) + QLatin1Char('.') + QLatin1String(kind.suffix);
    QFileDialog dialog(this, QStringLiteral("Export ") + QLatin1String(kind.what), proposedSavePath(name),
                       QLatin1String(kind.filter));
    dialog.setObjectName(QStringLiteral("ExportDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QLatin1String(kind.suffix));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    if (const auto failed = writeFileAtomically(pathOf(dialog.selectedFiles().constFirst()), *text))
        problem(QStringLiteral("Cannot export"), qs(*failed));
    else
        rememberSaveFolder(dialog.selectedFiles().constFirst());
}

ExportAnswer ProgramWindow::firmwareText(bool force) const {
    Beacon press = beacon();
    press.separator = std::string(1, '.');
    press.name = firmwareName();
    return exportFirmware(press, force);
}

void ProgramWindow::chooseFirmwareExport() {
    pressIfStale();
    ExportAnswer answer = firmwareText(false);
    if (answer.gate == ExportGate::ErrorFindings) {
        if (QMessageBox::question(this, qs(kForceTitle), qs(answer.question), QMessageBox::Yes | QMessageBox::No,
                                  QMessageBox::No) != QMessageBox::Yes)
            return;
        answer = firmwareText(true);
    }
    if (!answer.bytes) {
        problem(QStringLiteral("No firmware exported"), qs(answer.refusal));
        return;
    }
    const auto controller = controllerOf(beacon());
    const FirmwareKind kind = firmwareKind(
        std::holds_alternative<Controller>(controller) ? std::get<Controller>(controller).mcu : Mcu::Atmega328p);
    Beacon named = beacon();
    named.name = firmwareName();
    const QString suffix = qs(std::string(kind.suffix));
    QFileDialog dialog(
        this, QStringLiteral("Export firmware"), proposedSavePath(qs(downloadStem(named)) + QLatin1Char('.') + suffix),
        qs(std::string(kind.what)) + QStringLiteral(" (*.") + suffix + QStringLiteral(");;All files (*)"));
    dialog.setObjectName(QStringLiteral("ExportFirmwareDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    if (const auto failed = writeFileAtomically(pathOf(dialog.selectedFiles().constFirst()), *answer.bytes))
        problem(QStringLiteral("Cannot export"), qs(*failed));
    else
        rememberSaveFolder(dialog.selectedFiles().constFirst());
}

void ProgramWindow::copyAs(OutputFormat format) {
    pressIfStale();
    if (const auto text = exportAsked(format, QStringLiteral("Nothing copied")))
        QApplication::clipboard()->setText(qs(*text));
}

void ProgramWindow::showHelp() {
    auto* dialog = new QDialog(this);
    dialog->setObjectName(QStringLiteral("Help"));
    dialog->setWindowTitle(QStringLiteral("jt4dds help"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    auto* text = new QTextBrowser(dialog);
    text->setHtml(qs(helpHtml()));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::close);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(text);
    layout->addWidget(buttons);
    dialog->resize(620, 560);
    dialog->show();
}

void ProgramWindow::showAbout() {
    QMessageBox::about(
        this, QStringLiteral("About jt4dds"),
        QStringLiteral("<p><b>jt4dds</b> %1</p>"
                       "<p>Tuning words for 32-bit DDS beacon transmitters sending JT4 or PI4, FSK CW and an aux "
                       "tone.</p>"
                       "<p>Free software under the GNU General Public License, version 3 or (at your option) any "
                       "later version. The words, listings and files it generates are yours and carry no licence "
                       "of ours.</p>")
            .arg(qs(kVersion)));
}

bool ProgramWindow::maybeSave() {
    if (!isModified()) return true;
    QMessageBox box(
        QMessageBox::Question, QStringLiteral("Unsaved changes"),
        QStringLiteral("The beacon %1 has changed. Save the changes?").arg(QFileInfo(currentFile_).fileName()),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.setObjectName(QStringLiteral("UnsavedChanges"));
    switch (box.exec()) {
        case QMessageBox::Save:
            return save();
        case QMessageBox::Discard:
            return true;
        default:
            return false;
    }
}

void ProgramWindow::closeEvent(QCloseEvent* event) {
    if (maybeSave()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void ProgramWindow::setCurrentFile(const QString& path) {
    currentFile_ = path;
    if (!path.isEmpty()) rememberSaveFolder(path);
    // What the fields are now compared with, to mark them changed; no file, no mark.
    savedBeacon_ = path.isEmpty() ? std::nullopt : std::optional(beaconText(beacon()));
    if (!path.isEmpty()) rememberRecent(path);
    setWindowFilePath(path);
    // The calculation window's own title; with a beacon file open, its name
    // first, and "*" after it while the fields differ from the file.
    setWindowTitle(path.isEmpty() ? qs(kWindowTitle)
                                  : QFileInfo(path).fileName() + QStringLiteral("[*] - ") + qs(kWindowTitle));
    showModified();
}

void ProgramWindow::showModified() { setWindowModified(isModified()); }

void ProgramWindow::rememberRecent(const QString& path) {
    QSettings settings;
    QStringList recent = settings.value(kRecentKey).toStringList();
    const QString absolute = QFileInfo(path).absoluteFilePath();
    recent.removeAll(absolute);
    recent.prepend(absolute);
    while (recent.size() > kRecentCount) recent.removeLast();
    settings.setValue(kRecentKey, recent);
}

void ProgramWindow::fillRecentMenu() {
    recentMenu_->clear();
    const QStringList recent = QSettings().value(kRecentKey).toStringList();
    for (const QString& path : recent) {
        recentMenu_
            ->addAction(QFileInfo(path).fileName(), this,
                        [this, path] {
                            if (maybeSave()) openBeacon(path);
                        })
            ->setToolTip(path);
    }
    if (recent.isEmpty()) recentMenu_->addAction(QStringLiteral("(none yet)"))->setEnabled(false);
}

}  // namespace jt4dds
