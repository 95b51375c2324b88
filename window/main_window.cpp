// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

#include "calc/tuning/beacon.h"
#include "calc/tuning/calculation_run.h"
#include "calc/tuning/selector_items.h"
#include "calc/tuning/tone_plan.h"
#include "formats/beacon_file.h"
#include "formats/outputs.h"
#include "formats/window_layout.h"
#include "window/find_settings.h"
#include "window/qt_text.h"
#include "window/results_box.h"
#include "window/tone_details.h"

namespace jt4dds {
namespace {

// Positions and sizes are laid out in twips, 15 to a logical pixel; Qt scales
// logical pixels to the screen.
constexpr QRect twips(int left, int top, int width, int height) {
    return {left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel, height / kTwipsPerPixel};
}

// Where the control called `name` stands, from the layout table.
QString captionOf(std::string_view name) {
    const std::string_view caption = controlPlace(name)->caption;
    return QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size()));
}

const QColor kRed(255, 0, 0);

// The input column's captions are the widest texts a fixed-size control
// holds; this is the room each has, in pixels.
qreal captionRoom() {
    int captionWidth = 0;
    for (const ControlPlace& place : kWindowLayout)
        if (place.kind == ControlKind::Caption) captionWidth = place.width;
    return twips(0, 0, captionWidth, 0).width() - 2;
}

// The font scaled down so that the widest caption, measured by `width`, fits.
template <class Width>
QFont fitted(QFont font, Width width) {
    qreal widest = 0;
    for (const ControlPlace& place : kWindowLayout)
        if (place.kind == ControlKind::Caption) widest = std::max(widest, width(captionOf(place.name)));
    const qreal room = captionRoom();
    if (widest > room && font.pointSizeF() > 0) font.setPointSizeF(font.pointSizeF() * room / widest);
    return font;
}

// The desktop's own dialog font, made just small enough for every caption to
// fit its fixed width: the layout is fixed, the desktop's font size is not.
// Shaping text costs more than creating every control, and the window is not
// on the screen until its font is known, so the captions are measured by
// their characters' own advances: kerning only draws letters together in
// text of this kind, so the sum is a little wider than the shaped caption
// (2 % in DejaVu Sans) and the font fits. `fitsShaped` checks it once the
// window is shown.
QFont fittedDialogFont(const QFont& applicationFont) {
    const QFontMetricsF metrics(applicationFont);
    return fitted(applicationFont, [&metrics](const QString& caption) {
        qreal width = 0;
        for (const QChar c : caption) width += metrics.horizontalAdvance(c);
        return width;
    });
}

// Whether every caption, shaped as it is drawn, fits in `font`.
bool fitsShaped(const QFont& font) {
    const QFontMetricsF metrics(font);
    const qreal room = captionRoom();
    for (const ControlPlace& place : kWindowLayout)
        if (place.kind == ControlKind::Caption && metrics.horizontalAdvance(captionOf(place.name)) > room) return false;
    return true;
}

// The answer changes only with the application's font. The cache is never destroyed: a font must not outlive the
// application.
QFont dialogFont() {
    struct Fitted {
        QFont applicationFont;
        QFont font;
    };
    static Fitted* cache = nullptr;
    const QFont applicationFont = QApplication::font();
    if (!cache) {
        cache = new Fitted{applicationFont, fittedDialogFont(applicationFont)};
    } else if (cache->applicationFont != applicationFont) {
        *cache = Fitted{applicationFont, fittedDialogFont(applicationFont)};
    }
    return cache->font;
}

// Loaded once per program; like the font, kept to the end.
const QIcon& programIcon() {
    static const QIcon* icon = new QIcon(QStringLiteral(":/jt4dds/jt4dds.png"));
    return *icon;
}

// The small mark a field with a finding carries inside it, at its end: drawn
// once, in the warning's red, so it needs no image file.
const QIcon& findingMarker() {
    static const QIcon* icon = [] {
        QPixmap pixmap(16, 16);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 0, 0));
        painter.drawEllipse(QRectF(4, 4, 8, 8));
        return new QIcon(pixmap);
    }();
    return *icon;
}

void setTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Text, colour);
    widget->setPalette(palette);
}

}  // namespace

MainWindow::MainWindow(std::string decimalSeparator, QWidget* parent)
    : QWidget(parent), separator_(std::move(decimalSeparator)) {
    setWindowTitle(qs(kWindowTitle));
    // Reading the icon's image has Qt try its image-format plugins, and
    // shaping the captions sets up the text shaper, each costing more than
    // mapping the window; both are done as soon as it is on the screen. A
    // font whose kerning spreads letters apart is measured anew, shaped.
    QTimer::singleShot(0, this, [this] {
        setWindowIcon(programIcon());
        if (!fitsShaped(font()))
            setFont(
                fitted(QApplication::font(), [metrics = QFontMetricsF(QApplication::font())](const QString& caption) {
                    return metrics.horizontalAdvance(caption);
                }));
    });
    resize(twips(0, 0, kClientWidthTwips, kClientHeightTwips).size());
    setFont(dialogFont());
    createControls();
    setFocusOrder();
    load();
    fout_->setFocus();
    // Focus given to the window as a whole goes to its first field.
    setFocusProxy(fout_);
}

MainWindow::~MainWindow() = default;

void MainWindow::createControls() {
    // Every control takes its place and its text from the layout table, and
    // an input's field its initial text from the input table.
    for (const ControlPlace& place : kWindowLayout) {
        const QString name = qs(place.name);
        QWidget* widget = nullptr;
        switch (place.kind) {
            case ControlKind::Caption:
            case ControlKind::Label: {
                auto* label = new QLabel(qs(place.caption), this);
                label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
                widget = label;
                break;
            }
            case ControlKind::TextBox: {
                QString initial;
                for (const InputSpec& entry : kInputs)
                    if (entry.control == place.name) initial = qs(entry.initial);
                widget = new QLineEdit(initial, this);
                break;
            }
            case ControlKind::Selector: {
                auto* box = new QComboBox(this);
                box->setEditable(true);
                box->setInsertPolicy(QComboBox::NoInsert);
                const Selector which = place.name == "JTMode" ? Selector::JTMode : Selector::Config;
                for (int i = 0; i < itemCount(which); ++i) {
                    const auto item = itemAt(which, i);
                    box->addItem(qs(item->label), item->number);
                }
                widget = box;
                break;
            }
            case ControlKind::CheckBox:
                widget = new QCheckBox(qs(place.caption), this);
                break;
            case ControlKind::Button:
                widget = new QPushButton(qs(place.caption), this);
                break;
            case ControlKind::Warning:
                widget = new QLabel(qs(place.caption), this);
                break;
            case ControlKind::Results:
                widget = new ResultsBox(this);
                break;
        }
        widget->setObjectName(name);
        widget->setGeometry(twips(place.left, place.top, place.width, place.height));
    }
    // Each caption names its field, for the keyboard (Alt) and for screen readers.
    for (const ControlPlace& place : kWindowLayout) {
        if (place.buddy.empty()) continue;
        auto* label = findChild<QLabel*>(qs(place.name));
        QWidget* field = findChild<QWidget*>(qs(place.buddy));
        label->setBuddy(field);
        field->setAccessibleName(label->text());
    }
    const auto named = [this]<class T>(const char* name, T*& widget) {
        widget = findChild<T*>(QString::fromLatin1(name));
    };
    named("Fout", fout_);
    named("Mult", mult_);
    named("Fref", fref_);
    named("JTMode", jtMode_);
    named("Ref800", ref800_);
    named("Config", config_);
    named("Command1", command1_);
    named("Warning", warning_);
    named("Text1", text1_);
    named("Label10", label10_);
    named("SSBCarrier", ssbCarrier_);

    command1_->setAutoDefault(false);
    warning_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    warning_->setWordWrap(true);
    QPalette warningPalette = warning_->palette();
    warningPalette.setColor(QPalette::WindowText, kRed);
    warning_->setPalette(warningPalette);
    warning_->hide();
    text1_->setAccessibleName(QStringLiteral("Listing"));
    label10_->hide();
    ssbCarrier_->hide();

    for (const InputSpec& entry : kInputs)
        inputBoxes_[static_cast<std::size_t>(entry.input)] = findChild<QLineEdit*>(qs(entry.control));
    for (QLineEdit* planField : {fout_, mult_, fref_}) setTextColour(planField, kRed);

    connect(fout_, &QLineEdit::textChanged, this, &MainWindow::foutChanged);
    connect(mult_, &QLineEdit::textChanged, this, &MainWindow::multChanged);
    connect(fref_, &QLineEdit::textChanged, this, &MainWindow::frefChanged);
    connect(command1_, &QPushButton::clicked, this, &MainWindow::command1Clicked);
    connect(text1_, &ResultsBox::toneDetailsRequested, this, &MainWindow::showToneDetails);
    toneDetailsAction_ = new QAction(QStringLiteral("&Tone details\u2026"), this);
    toneDetailsAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    addAction(toneDetailsAction_);
    connect(toneDetailsAction_, &QAction::triggered, this, &MainWindow::showToneDetails);
    connect(text1_, &ResultsBox::findSettingsRequested, this, &MainWindow::showFindSettings);
    findSettingsAction_ = new QAction(QStringLiteral("&Find settings\u2026"), this);
    findSettingsAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    addAction(findSettingsAction_);
    connect(findSettingsAction_, &QAction::triggered, this, &MainWindow::showFindSettings);
    // Enter or Return in any field presses Calculate.
    for (Input field : kAllInputs)
        connect(textBox(field), &QLineEdit::returnPressed, this, &MainWindow::command1Clicked);
    for (QComboBox* box : {jtMode_, config_})
        connect(box->lineEdit(), &QLineEdit::returnPressed, this, &MainWindow::command1Clicked);
    // What the operator types into a selector leaves it with no item
    // selected; picking an item selects it again.
    // Either changes what the press reads, whether or not the text does.
    const auto typed = [this](bool& flag, bool value) {
        flag = value;
        emit inputsChanged();
    };
    connect(jtMode_->lineEdit(), &QLineEdit::textEdited, this, [this, typed] { typed(jtModeTyped_, true); });
    connect(jtMode_, &QComboBox::activated, this, [this, typed] { typed(jtModeTyped_, false); });
    connect(config_->lineEdit(), &QLineEdit::textEdited, this, [this, typed] { typed(configTyped_, true); });
    connect(config_, &QComboBox::activated, this, [this, typed] { typed(configTyped_, false); });
    // Any change of an input may leave the shown results behind the fields.
    for (Input field : kAllInputs)
        connect(this->textBox(field), &QLineEdit::textChanged, this, &MainWindow::inputsChanged);
    for (QComboBox* box : {jtMode_, config_}) {
        connect(box, &QComboBox::editTextChanged, this, &MainWindow::inputsChanged);
        connect(box, &QComboBox::currentIndexChanged, this, &MainWindow::inputsChanged);
    }
    connect(ref800_, &QCheckBox::toggled, this, &MainWindow::inputsChanged);

    // The operator's tick or untick of the 800 Hz box can be undone: what was
    // there before the click is remembered.
    connect(ref800_, &QCheckBox::clicked, this, [this](bool checked) {
        Beacon before = typedBeacon();
        before.ref800 = !checked;
        session_.type(before);
        endAction("the 800 Hz tick");
    });
    undoAction_ = new QAction(QStringLiteral("&Undo"), this);
    undoAction_->setShortcut(QKeySequence::Undo);
    undoAction_->setEnabled(false);
    addAction(undoAction_);
    connect(undoAction_, &QAction::triggered, this, &MainWindow::undo);
    redoAction_ = new QAction(QStringLiteral("&Redo"), this);
    redoAction_->setShortcut(QKeySequence::Redo);
    redoAction_->setEnabled(false);
    addAction(redoAction_);
    connect(redoAction_, &QAction::triggered, this, &MainWindow::redo);
    for (Input field : kAllInputs) this->textBox(field)->installEventFilter(this);
    jtMode_->lineEdit()->installEventFilter(this);
    config_->lineEdit()->installEventFilter(this);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    // A field takes Ctrl+Z for its own typing; with none to undo, Ctrl+Z
    // undoes the last change the operator did not type.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        auto* edit = qobject_cast<QLineEdit*>(watched);
        if (edit && key->matches(QKeySequence::Undo) && !edit->isUndoAvailable() && canUndo()) return true;
        if (edit && key->matches(QKeySequence::Redo) && !edit->isRedoAvailable() && session_.canRedo()) return true;
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::beginAction() { session_.type(typedBeacon()); }

void MainWindow::endAction(std::string_view what) {
    session_.act(what, typedBeacon());
    showUndo();
}

void MainWindow::showUndo() {
    undoAction_->setEnabled(session_.canUndo());
    undoAction_->setText(session_.canUndo() ? qs("&" + session_.undoText()) : QStringLiteral("&Undo"));
    redoAction_->setEnabled(session_.canRedo());
    redoAction_->setText(session_.canRedo() ? qs("&" + session_.redoText()) : QStringLiteral("&Redo"));
}

bool MainWindow::undo() {
    session_.type(typedBeacon());
    const auto back = session_.undo();
    if (!back) return false;
    setInputs(*back);
    showUndo();
    command1Clicked();
    return true;
}

bool MainWindow::redo() {
    session_.type(typedBeacon());
    const auto again = session_.redo();
    if (!again) return false;
    setInputs(*again);
    showUndo();
    command1Clicked();
    return true;
}

void MainWindow::setFocusOrder() {
    const auto named = [this](std::string_view name) { return findChild<QWidget*>(qs(name)); };
    for (std::size_t i = 0; i + 1 < kFocusOrder.size(); ++i)
        QWidget::setTabOrder(named(kFocusOrder[i]), named(kFocusOrder[i + 1]));
}

void MainWindow::load() {
    jtMode_->setCurrentIndex(kInitialSubmodeIndex);
    config_->setCurrentIndex(0);
    // Show the labels from their start in the narrow text areas.
    jtMode_->lineEdit()->setCursorPosition(0);
    config_->lineEdit()->setCursorPosition(0);
}

// Typed text takes the desktop's own text colour (black on a light desktop),
// so that it stays legible on a dark one.
void MainWindow::foutChanged() { setTextColour(fout_, QApplication::palette(fout_).color(QPalette::Text)); }
void MainWindow::multChanged() { setTextColour(mult_, QApplication::palette(mult_).color(QPalette::Text)); }
void MainWindow::frefChanged() { setTextColour(fref_, QApplication::palette(fref_).color(QPalette::Text)); }

bool MainWindow::isStale() const { return !pressedInputs_ || beaconText(typedBeacon()) != *pressedInputs_; }

Beacon MainWindow::typedBeacon() const {
    Beacon typed = beaconOf(*this);
    typed.takeDds(aside_);
    typed.takeTransmission(aside_);
    return typed;
}

void MainWindow::setTransmission(const Beacon& transmission) {
    Beacon next = aside_;
    next.takeTransmission(transmission);
    if (next == aside_) return;
    aside_ = next;
    emit inputsChanged();
}

void MainWindow::setDds(const std::string& chip, const std::string& maxClockMHz) {
    if (aside_.dds == chip && aside_.maxClockMHz == maxClockMHz) return;
    aside_.dds = chip;
    aside_.maxClockMHz = maxClockMHz;
    emit inputsChanged();
}

void MainWindow::command1Clicked() {
    // A message about an earlier press no longer applies.
    if (auto* earlier = findChild<QMessageBox*>(QStringLiteral("CalculationStopped"))) earlier->close();
    session_.type(typedBeacon());
    const Evaluation& evaluation = session_.press();
    lastOutcome_ = evaluation.press;
    present(lastOutcome_, *this);
    lastFindings_ = evaluation.findings;
    // What the fields are after the press (it may write "800" into one).
    pressedInputs_ = beaconText(typedBeacon());
    showFindings();
    emit pressed();
    if (lastOutcome_.completed()) return;
    // Non-modal, so the operator can read it beside what the run left.
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Calculation stopped"),
                                qs(lastOutcome_.ended->message), QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("CalculationStopped"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void MainWindow::applyFix(const FixEdits& edits) {
    beginAction();
    for (const FieldEdit& edit : edits) textBox(edit.input)->setText(qs(edit.text));
    endAction("Apply fix");
    command1Clicked();
}

void MainWindow::reset() {
    // Setting every text also clears each field's own undo history.
    const Beacon initial;
    for (Input input : kAllInputs) textBox(input)->setText(qs(initial.text(input)));
    setInputs(initial);
    for (QLineEdit* planField : {fout_, mult_, fref_}) setTextColour(planField, kRed);
    text1_->setListingText({});
    warning_->setText(captionOf("Warning"));
    for (QWidget* shown :
         {static_cast<QWidget*>(warning_), static_cast<QWidget*>(ssbCarrier_), static_cast<QWidget*>(label10_)})
        shown->hide();
    ssbCarrier_->clear();
    if (auto* stopped = findChild<QMessageBox*>(QStringLiteral("CalculationStopped"))) stopped->close();
    lastOutcome_ = Press{};
    lastFindings_.clear();
    pressedInputs_.reset();
    session_ = Session(typedBeacon());
    showUndo();
    showFindings();
    emit inputsChanged();
}

void MainWindow::setInputs(const Beacon& inputs) {
    setDds(inputs.dds, inputs.maxClockMHz);
    setTransmission(inputs);
    if (findSettings_) findSettings_->showDds(aside_);
    for (Input field : kAllInputs) {
        const QString text = qs(inputs.text(field));
        if (textBox(field)->text() != text) textBox(field)->setText(text);
    }
    for (Selector selector : {Selector::JTMode, Selector::Config}) {
        QComboBox* box = selectorBox(selector);
        bool& typed = selector == Selector::JTMode ? jtModeTyped_ : configTyped_;
        const Pick& pick = inputs.pick(selector);
        if (const auto item = pick.index ? itemAt(selector, *pick.index) : std::nullopt) {
            box->setCurrentIndex(item->index);
            typed = false;
        } else {
            box->setEditText(qs(pickText(selector, pick)));
            typed = true;
        }
        box->lineEdit()->setCursorPosition(0);
    }
    ref800_->setChecked(inputs.ref800);
}

void MainWindow::showFindings() {
    warning_->setToolTip(plainToolTip(qs(findingsText(lastFindings_))));
    for (Input field : kAllInputs) {
        QLineEdit* box = textBox(field);
        const std::string note = fieldNote(lastFindings_, field);
        box->setToolTip(plainToolTip(qs(note)));
        // A field's mark is made the first time it has something to say:
        // seven hidden buttons cost a window's first paint a tenth.
        QAction*& marker = markers_[static_cast<std::size_t>(field)];
        if (!marker && note.empty()) continue;
        if (!marker) {
            marker = box->addAction(findingMarker(), QLineEdit::TrailingPosition);
            marker->setObjectName(QStringLiteral("FindingMarker"));
            connect(marker, &QAction::triggered, this, [this, field] {
                if (const auto& fix = markerFixes_[static_cast<std::size_t>(field)]) applyFix(*fix);
            });
        }
        marker->setVisible(!note.empty());
        auto& fix = markerFixes_[static_cast<std::size_t>(field)];
        fix.reset();
        for (const Finding& finding : lastFindings_)
            if (finding.field == field && finding.fixes.size() == 1 && !fix) fix = finding.fixes[0];
        marker->setToolTip(plainToolTip(qs(fix ? note + "\nClick to type " + fixCaption(*fix) + "." : note)));
    }
    if (toneDetails_) toneDetails_->show(lastOutcome_, lastFindings_);
}

void MainWindow::showToneDetails() {
    if (!toneDetails_) {
        toneDetails_ = new ToneDetails(this, [this](const FixEdits& edits) { applyFix(edits); });
        // Ctrl+Z undoes there too, and Ctrl+Shift+Z redoes: what it undoes is an Apply fix made there.
        toneDetails_->addAction(undoAction_);
        toneDetails_->addAction(redoAction_);
    }
    toneDetails_->show(lastOutcome_, lastFindings_);
    toneDetails_->raise();
    toneDetails_->activateWindow();
}

void MainWindow::showFindSettings() {
    if (!findSettings_) {
        findSettings_ = new FindSettings(
            this, [this] { return typedBeacon(); },
            [this](const Candidate& chosen) {
                beginAction();
                // As if typed: the text turns black, then the press.
                mult_->setText(qs(chosen.mult.text));
                fref_->setText(qs(chosen.frefMHz.text));
                endAction("Use and calculate");
                command1_->click();
            },
            [this](const std::string& chip, const std::string& maxClockMHz) { setDds(chip, maxClockMHz); });
        findSettings_->addAction(undoAction_);
        findSettings_->addAction(redoAction_);
    }
    findSettings_->showDds(aside_);
    if (!findSettings_->isVisible()) placeBeside(findSettings_, this, QSize(980, 500));
    findSettings_->show();
    findSettings_->raise();
    findSettings_->activateWindow();
}

QComboBox* MainWindow::selectorBox(Selector selector) const { return selector == Selector::JTMode ? jtMode_ : config_; }

QWidget* MainWindow::shownControl(Shown control) const {
    switch (control) {
        case Shown::Warning:
            return warning_;
        case Shown::SsbCarrier:
            return ssbCarrier_;
        case Shown::SsbCaption:
            return label10_;
    }
    return warning_;
}

std::string MainWindow::text(Input input) const { return textBox(input)->text().toStdString(); }

void MainWindow::setText(Input input, std::string_view text) { textBox(input)->setText(qs(text)); }

std::string MainWindow::listing() const { return text1_->listingText(); }

void MainWindow::setListing(std::string_view listing) { text1_->setListingText(listing); }

void MainWindow::setSsbCarrier(std::string_view text) { ssbCarrier_->setText(qs(text)); }

std::optional<SelectedItem> MainWindow::selectedItem(Selector selector) const {
    const bool typed = selector == Selector::JTMode ? jtModeTyped_ : configTyped_;
    const QComboBox* box = selectorBox(selector);
    const int index = box->currentIndex();
    if (typed || index < 0) return std::nullopt;
    return SelectedItem{index, box->itemText(index).toStdString(), box->itemData(index).toInt()};
}

std::string MainWindow::selectorText(Selector selector) const {
    return selectorBox(selector)->currentText().toStdString();
}

bool MainWindow::ref800Checked() const { return ref800_->checkState() != Qt::Unchecked; }

void MainWindow::setVisible(Shown control, bool visible) {
    QWidget* widget = shownControl(control);
    // The warning's face is given the first time it shows: matching a family
    // the desktop may not have is a font search the start need not wait for.
    if (visible && widget == warning_ && !warningFontGiven_) {
        QFont warningFont(QStringLiteral("MS Sans Serif"));
        warningFont.setStyleHint(QFont::SansSerif);
        warningFont.setPointSizeF(13.5);
        warning_->setFont(warningFont);
        warningFontGiven_ = true;
    }
    widget->setVisible(visible);
}

void MainWindow::setWarningCaption(std::string_view caption) { warning_->setText(qs(caption)); }

std::string MainWindow::decimalSeparator() const { return separator_; }

}  // namespace jt4dds
