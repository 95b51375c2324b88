// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>

#include "calc/tuning/beacon.h"
#include "formats/beacon_file.h"
#include "formats/search_output.h"
#include "session/decode_check.h"
#include "tests/cli/cli_runner.h"
#include "window/audio_player.h"
#include "window/decode_check_bar.h"
#include "window/main_window.h"
#include "window/program_window.h"
#include "window/transmission_view.h"
#include "window/waterfall.h"

using jt4dds::Beacon;
using jt4dds::Input;
using jt4dds::OutputFormat;
using jt4dds::Pick;
using jt4dds::ProgramWindow;
using jt4dds::Selector;

namespace {

std::string slurp(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The beacons of the round-trip table, by name.
Beacon beacon(const QString& name) {
    Beacon f;
    if (name == QLatin1String("reference_300")) f.text(Input::Reference) = "300";
    if (name == QLatin1String("reverse_3cm_jt4g_800")) {
        f.text(Input::OutputFrequency) = "9600";
        f.text(Input::Reference) = "10";
        f.pick(Selector::JTMode) = Pick::item(6);
        f.pick(Selector::Config) = Pick::item(1);
        f.ref800 = true;
    }
    if (name == QLatin1String("typed_texts_and_selectors")) {
        f.text(Input::OutputFrequency) = "2320,1 MHz \xE2\x80\x94 beacon";
        f.text(Input::Reference) = "300";
        f.pick(Selector::JTMode) = Pick::text("pi4");
    }
    return f;
}

}  // namespace

class ProgramWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramWindow> window_;
    QTemporaryDir dir_;

    QString file(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }
    QLineEdit* field(const char* name) { return window_->form()->findChild<QLineEdit*>(QString::fromLatin1(name)); }
    void replaceText(const char* name, const QString& text) {
        QLineEdit* box = field(name);
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
    }
    // Presses the button of the next modal message box that opens.
    void answerNextQuestion(QMessageBox::StandardButton answer) {
        QTimer::singleShot(0, this, [answer] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) box->button(answer)->click();
        });
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() {
        window_ = std::make_unique<ProgramWindow>(".");
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }
    void cleanup() { window_.reset(); }

    void menuBarAboveTheUnchangedClientArea() {
        QCOMPARE(window_->windowTitle(), QStringLiteral("JT4 / PI4  - 32 bit DDS Design Utility     Arvok"));
        QCOMPARE(window_->centralWidget(), window_->form());
        QCOMPARE(window_->centralWidget()->size(), QSize(726, 357));
        QCOMPARE(window_->form()->findChild<QWidget*>(QStringLiteral("Command1"))->geometry(),
                 QRect(2400 / 15, 4200 / 15, 1575 / 15, 495 / 15));
        QStringList titles;
        for (QAction* menu : window_->menuBar()->actions()) titles << menu->text();
        // Each reachable by Alt and its letter.
        QCOMPARE(titles, (QStringList{"&File", "&Edit", "&View", "&Help"}));
    }

    // Alt and a letter must reach every item: no two items of a menu share
    // their letter (Copy listing and Copy command line once did).
    void everyMenuItemHasALetterOfItsOwn() {
        for (QAction* title : window_->menuBar()->actions()) {
            QSet<QChar> letters;
            for (QAction* item : title->menu()->actions()) {
                if (item->isSeparator()) continue;
                const qsizetype at = item->text().indexOf(QLatin1Char('&'));
                QVERIFY2(at >= 0, qPrintable(item->text()));
                const QChar letter = item->text().at(at + 1).toLower();
                QVERIFY2(!letters.contains(letter), qPrintable(title->text() + QLatin1String(": ") + item->text()));
                letters.insert(letter);
            }
        }
    }

    void saveOpenCalculateGivesTheSameListing_data() {
        QTest::addColumn<QString>("name");
        for (const char* name :
             {"initial_values", "reference_300", "reverse_3cm_jt4g_800", "typed_texts_and_selectors"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void saveOpenCalculateGivesTheSameListing() {
        QFETCH(QString, name);
        window_->form()->setInputs(beacon(name));
        window_->form()->calculateNow();
        const std::string before = window_->form()->listing();
        QVERIFY(window_->saveBeaconTo(file("b.jt4dds")));
        window_ = std::make_unique<ProgramWindow>(".");
        QVERIFY(window_->openBeacon(file("b.jt4dds")));
        window_->form()->calculateNow();
        QCOMPARE(window_->form()->listing(), before);
        QVERIFY(!window_->isModified());
    }

    void exportIsTheCommandLinesOutput_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("cliFormat");
        for (const char* name : {"reference_300", "reverse_3cm_jt4g_800"}) {
            QTest::addRow("%s_asm", name) << QString::fromLatin1(name) << int(OutputFormat::Asm) << "asm";
            QTest::addRow("%s_c", name) << QString::fromLatin1(name) << int(OutputFormat::C) << "c";
            QTest::addRow("%s_json", name) << QString::fromLatin1(name) << int(OutputFormat::Json) << "json";
        }
    }
    void exportIsTheCommandLinesOutput() {
        QFETCH(QString, name);
        QFETCH(int, format);
        QFETCH(QString, cliFormat);
        window_->form()->setInputs(beacon(name));
        QVERIFY(window_->saveBeaconTo(file("b.jt4dds")));
        const auto text = window_->exportText(OutputFormat(format), false);
        QVERIFY(text.has_value());
        const auto cli = jt4dds::testing_support::runTool(
            {"--beacon", file("b.jt4dds").toStdString(), "--format", cliFormat.toStdString()});
        QCOMPARE(*text, cli.out);
    }

    void deadWordsAreNotExportedUnlessForced() {
        QString why;
        QVERIFY(!window_->exportText(OutputFormat::C, false, &why).has_value());
        QVERIFY2(why.startsWith(QStringLiteral("error: Tones 0 to 7")), qPrintable(why));
        const auto forced = window_->exportText(OutputFormat::C, true);
        QVERIFY(forced.has_value());
        QVERIFY(forced->find("0x00, 0x00, 0x00, 0x00") != std::string::npos);
    }

    void badBeaconFileIsNamedAndChangesNothing_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("says");
        QTest::newRow("empty") << QByteArray() << "is empty";
        QTest::newRow("version_99") << QByteArray(R"({"format": "jt4dds-beacon", "version": 99})")
                                    << "this program reads versions 1 and 2";
        QTest::newRow("invalid_utf8") << QByteArray("{\"format\": \"\xFF\"}") << "is not UTF-8 text";
    }
    void badBeaconFileIsNamedAndChangesNothing() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, says);
        replaceText("Fref", QStringLiteral("300"));
        QFile out(file("bad.jt4dds"));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        out.close();
        QVERIFY(!window_->openBeacon(file("bad.jt4dds")));
        auto* box = window_->findChild<QMessageBox*>(QStringLiteral("FileProblem"));
        QVERIFY(box);
        QVERIFY(box->text().startsWith(file("bad.jt4dds")));
        QVERIFY2(box->text().contains(says), qPrintable(box->text()));
        QCOMPARE(field("Fref")->text(), QStringLiteral("300"));
        QVERIFY(window_->currentFile().isEmpty());
    }

    void ctrlSSavesToTheOpenedFile() {
        QVERIFY(window_->saveBeaconTo(file("b.jt4dds")));
        replaceText("Fref", QStringLiteral("300"));
        QVERIFY(window_->isModified());
        QTest::keyClick(window_.get(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!window_->isModified());
        QVERIFY(slurp(file("b.jt4dds")).find("\"fref\": \"300\"") != std::string::npos);
    }

    void ctrlOOpensAChosenBeacon() {
        Beacon saved = beacon("reverse_3cm_jt4g_800");
        QVERIFY(!jt4dds::saveBeaconFile(file("b.jt4dds").toStdString(), saved).has_value());
        QTest::keyClick(window_.get(), Qt::Key_O, Qt::ControlModifier);
        auto* dialog = window_->findChild<QFileDialog*>(QStringLiteral("OpenBeaconDialog"));
        QVERIFY(dialog);
        dialog->selectFile(file("b.jt4dds"));
        QMetaObject::invokeMethod(dialog, "accept");
        QTRY_COMPARE(field("Fout")->text(), QStringLiteral("9600"));
        QCOMPARE(window_->currentFile(), file("b.jt4dds"));
    }

    void enterInAFieldCalculates() {
        replaceText("Fref", QStringLiteral("300"));
        QTest::keyClick(field("Fref"), Qt::Key_Return);
        QVERIFY(window_->form()->listing().ends_with("Resolution  0.838Hz"));
        replaceText("Fout", QStringLiteral("144.4"));
        QTest::keyClick(field("Fout"), Qt::Key_Enter);
        QVERIFY(window_->form()->listing().find("Tone 4  144.4000000MHz") != std::string::npos);
    }

    void closingAsksOnlyAboutAChangedFile() {
        replaceText("Fref", QStringLiteral("300"));
        QVERIFY(window_->close());  // never touched a file: closes as before
        init();
        QVERIFY(window_->saveBeaconTo(file("b.jt4dds")));
        replaceText("Fref", QStringLiteral("400"));
        answerNextQuestion(QMessageBox::Cancel);
        QVERIFY(!window_->close());
        answerNextQuestion(QMessageBox::Save);
        QVERIFY(window_->close());
        QVERIFY(slurp(file("b.jt4dds")).find("\"fref\": \"400\"") != std::string::npos);
    }

    // New resets the one calculation window: the same widgets, every initial
    // value and the red cue, no results, nothing to undo, the title as specified.
    void newStartsOverWithTheRedCue() {
        const QWidget* before = window_->form();
        QVERIFY(window_->saveBeaconTo(file("b.jt4dds")));
        replaceText("Fout", QStringLiteral("144.4"));
        replaceText("Fref", QStringLiteral("9"));
        window_->form()->calculateNow();  // a warning, the SSB carrier and findings to clear
        window_->form()->applyFix({{jt4dds::Input::Multiplication, "25"}});  // a step to undo
        answerNextQuestion(QMessageBox::Discard);
        trigger(0, "&New");
        QCOMPARE(window_->form(), before);
        QCOMPARE(field("Fout")->text(), QStringLiteral("2320.1"));
        QCOMPARE(field("Fref")->text(), QStringLiteral("250"));
        QVERIFY(!field("Fout")->isUndoAvailable());
        for (const char* plan : {"Fout", "Mult", "Fref"})
            QCOMPARE(field(plan)->palette().color(QPalette::Text), QColor(255, 0, 0));
        QCOMPARE(window_->form()->listing(), std::string());
        for (const char* hidden : {"Warning", "SSBCarrier", "Label10"})
            QVERIFY2(!window_->form()->findChild<QWidget*>(QString::fromLatin1(hidden))->isVisible(), hidden);
        QVERIFY(field("Fref")->toolTip().isEmpty());
        QVERIFY(!window_->form()->canUndo());
        QVERIFY(!window_->form()->hasPressed());
        QCOMPARE(window_->windowTitle(), QStringLiteral("JT4 / PI4  - 32 bit DDS Design Utility     Arvok"));
        QVERIFY(!window_->isWindowModified());
        QCOMPARE(window_->centralWidget()->size(), QSize(726, 357));
        window_->form()->calculateNow();
        QCOMPARE(window_->form()->listing(), cli({}));
    }

    // The title names the beacon file, and its "*" follows edits, saves and opens.
    void titleNamesTheFileAndMarksChanges() {
        const QString specified = QStringLiteral("JT4 / PI4  - 32 bit DDS Design Utility     Arvok");
        QCOMPARE(window_->windowTitle(), specified);
        replaceText("Fref", QStringLiteral("300"));
        QVERIFY(!window_->isWindowModified());  // no file: nothing to differ from
        QVERIFY(window_->saveBeaconTo(file("b.jt4dds")));
        QCOMPARE(window_->windowTitle(), QStringLiteral("b.jt4dds[*] - ") + specified);
        QCOMPARE(window_->windowFilePath(), file("b.jt4dds"));
        QVERIFY(!window_->isWindowModified());
        replaceText("Fref", QStringLiteral("400"));
        QVERIFY(window_->isWindowModified());
        replaceText("Fref", QStringLiteral("300"));
        QVERIFY(!window_->isWindowModified());  // typed back to what the file holds
        window_->form()->findChild<QComboBox*>(QStringLiteral("JTMode"))->setCurrentIndex(6);
        QVERIFY(window_->isWindowModified());
        QVERIFY(window_->saveBeaconTo(file("c.jt4dds")));
        QCOMPARE(window_->windowTitle(), QStringLiteral("c.jt4dds[*] - ") + specified);
        QVERIFY(!window_->isWindowModified());
        QVERIFY(window_->openBeacon(file("b.jt4dds")));
        QCOMPARE(window_->windowTitle(), QStringLiteral("b.jt4dds[*] - ") + specified);
        QVERIFY(!window_->isWindowModified());
        window_->form()->findChild<QCheckBox*>(QStringLiteral("Ref800"))->setChecked(true);
        QVERIFY(window_->isWindowModified());
    }

    QLabel* statusLine() { return window_->statusLine(); }
    void trigger(int menu, const char* text) {
        for (QAction* a : window_->menuBar()->actions().at(menu)->menu()->actions())
            if (a->text() == QLatin1String(text)) return a->trigger();
        qFatal("no menu item %s", text);
    }
    std::string cli(std::vector<std::string> args) { return jt4dds::testing_support::runTool(std::move(args)).out; }

    // Words a finding says cannot make the beacon leave the window only when
    // the operator says yes, as jt4dds-cli --force writes them; a press that
    // stopped writes nothing and says why.
    void copyAsksBeforeWordsThatCannotWork_data() {
        QTest::addColumn<QString>("mult");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("cliFormat");
        QTest::addColumn<bool>("yes");
        QTest::newRow("c_header_yes") << "24"
                                      << "Copy as &C header"
                                      << "c" << true;
        QTest::newRow("c_header_no") << "24"
                                     << "Copy as &C header"
                                     << "c" << false;
        QTest::newRow("assembler_yes") << "24"
                                       << "Copy as &assembler include"
                                       << "asm" << true;
        QTest::newRow("stopped_press_never_asks") << "0"
                                                  << "Copy as &C header"
                                                  << "c" << false;
        // It copied the previous plan's words without a word.
        QTest::newRow("stopped_press_copies_no_listing") << "0"
                                                         << "Copy &listing"
                                                         << "listing" << false;
    }
    void copyAsksBeforeWordsThatCannotWork() {
        QFETCH(QString, mult);
        QFETCH(QString, item);
        QFETCH(QString, cliFormat);
        QFETCH(bool, yes);
        replaceText("Mult", mult);  // the initial 250 MHz reference is too low for every tone
        QApplication::clipboard()->setText(QStringLiteral("before"));
        QString asked;
        QTimer::singleShot(0, this, [&asked, yes] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible() && box->objectName().isEmpty()) {
                    asked = box->windowTitle();
                    box->button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
                }
        });
        trigger(1, item.toLatin1().constData());
        const bool stopped = mult == QStringLiteral("0");
        QCOMPARE(asked, stopped ? QString() : QStringLiteral("These words cannot make the beacon"));
        const std::string forced = cli({"--mult", mult.toStdString(), "--format", cliFormat.toStdString(), "--force"});
        QCOMPARE(QApplication::clipboard()->text().toStdString(), yes ? forced : std::string("before"));
        auto* told = window_->findChild<QMessageBox*>(QStringLiteral("FileProblem"));
        QCOMPARE(told != nullptr, stopped);
        if (told) QCOMPARE(told->windowTitle(), QStringLiteral("Nothing copied"));
    }

    // Edited and not pressed: the results are marked stale, and every copy
    // and export presses first, so the listing, Tone details and what leaves
    // the program describe one plan.
    void staleResultsAreMarkedAndCopiesPressFirst_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("cliFormat");
        QTest::newRow("copy_listing") << "Copy &listing"
                                      << "listing";
        QTest::newRow("copy_c_header") << "Copy as &C header"
                                       << "c";
        QTest::newRow("copy_assembler") << "Copy as &assembler include"
                                        << "asm";
    }
    void staleResultsAreMarkedAndCopiesPressFirst() {
        QFETCH(QString, item);
        QFETCH(QString, cliFormat);
        QVERIFY(statusLine()->property("stale").toBool());  // never pressed
        replaceText("Fref", QStringLiteral("300"));
        window_->form()->calculateNow();
        QVERIFY(!statusLine()->property("stale").toBool());
        replaceText("Fref", QStringLiteral("399.99"));
        QVERIFY(statusLine()->property("stale").toBool());
        QVERIFY2(statusLine()->text().startsWith(QStringLiteral("Not calculated")), qPrintable(statusLine()->text()));
        QVERIFY(window_->form()->listing().find("Ref 300.0MHz") != std::string::npos);
        trigger(1, item.toLatin1().constData());
        const std::string want = cli({"--fref", "399.99", "--format", cliFormat.toStdString()});
        QCOMPARE(QApplication::clipboard()->text().toStdString(), want);
        QCOMPARE(window_->form()->listing(), cli({"--fref", "399.99"}));
        QVERIFY(!statusLine()->property("stale").toBool());
        // Back to what was pressed is no longer stale either.
        replaceText("Fref", QStringLiteral("399.9"));
        QVERIFY(statusLine()->property("stale").toBool());
        replaceText("Fref", QStringLiteral("399.99"));
        QVERIFY(!statusLine()->property("stale").toBool());
    }

    void staleMarkFollowsEveryKindOfInput_data() {
        QTest::addColumn<int>("input");
        QTest::newRow("aux_field") << 0;
        QTest::newRow("submode_picked") << 1;
        QTest::newRow("submode_typed") << 2;
        QTest::newRow("ref800_box") << 3;
    }
    void staleMarkFollowsEveryKindOfInput() {
        QFETCH(int, input);
        window_->form()->calculateNow();
        QVERIFY(!statusLine()->property("stale").toBool());
        auto* mode = window_->form()->findChild<QComboBox*>(QStringLiteral("JTMode"));
        switch (input) {
            case 0:
                replaceText("SpTone", QStringLiteral("1100"));
                break;
            case 1:
                mode->setCurrentIndex(0);
                break;
            case 2:
                mode->lineEdit()->selectAll();
                QTest::keyClicks(mode->lineEdit(), QStringLiteral("G"));
                break;
            default:
                window_->form()->findChild<QCheckBox*>(QStringLiteral("Ref800"))->toggle();
                break;
        }
        QVERIFY(statusLine()->property("stale").toBool());
    }

    // The status line names the most severe finding and opens Tone details.
    void statusLineShowsTheMostSevereFinding_data() {
        QTest::addColumn<QString>("fref");
        QTest::addColumn<QString>("startsWith");
        QTest::newRow("error_before_warnings") << "250"
                                               << "error: Tones 0 to 7: ";
        QTest::newRow("warning_alone") << "300,5"
                                       << "warning: Master Reference: ";
        QTest::newRow("no_finding") << "300"
                                    << "Calculated: no findings";
    }
    void statusLineShowsTheMostSevereFinding() {
        QFETCH(QString, fref);
        QFETCH(QString, startsWith);
        replaceText("Fref", fref);
        window_->form()->calculateNow();
        QVERIFY2(statusLine()->text().startsWith(startsWith), qPrintable(statusLine()->text()));
        QTest::mouseClick(statusLine(), Qt::LeftButton);
        auto* details = window_->form()->findChild<QWidget*>(QStringLiteral("ToneDetails"));
        QVERIFY(details && details->isVisible());
    }

    // A PI4 message PI4 cannot send showed as a note, its text naming an
    // option of the command line.
    void statusLineNamesAMessageThatCannotBeSent() {
        Beacon pi4 = beacon("reference_300");
        pi4.mode = Pick::item(7);
        pi4.message = "G4XYZ IO91";
        QVERIFY(!jt4dds::saveBeaconFile(file("m.jt4dds").toStdString(), pi4).has_value());
        QVERIFY(window_->openBeacon(file("m.jt4dds")));
        const QString status = statusLine()->text();
        QVERIFY2(status.startsWith(QStringLiteral("error: Message: PI4 sends exactly 8 characters")),
                 qPrintable(status));
        for (const jt4dds::Finding& finding : window_->form()->lastFindings())
            QVERIFY2(jt4dds::findingLine(finding).find("--") == std::string::npos,
                     jt4dds::findingLine(finding).c_str());
    }

    void openingABeaconCalculatesIt() {
        QVERIFY(!jt4dds::saveBeaconFile(file("b.jt4dds").toStdString(), beacon("reverse_3cm_jt4g_800")).has_value());
        QVERIFY(window_->openBeacon(file("b.jt4dds")));
        QCOMPARE(window_->form()->listing(), cli({"--beacon", file("b.jt4dds").toStdString()}));
        QVERIFY(!statusLine()->property("stale").toBool());
    }

    // A beacon saved by jt4dds-cli used to ask "has changed. Save?" after a
    // mere press when the 800 Hz option wrote its "800".
    void cliSavedBeaconOpensAndPressesWithoutAPrompt_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("ref800") << QStringList{"--fref", "300", "--submode", "G", "--ref800"};
        QTest::newRow("plain") << QStringList{"--fref", "300"};
        QTest::newRow("typed_texts") << QStringList{"--fout", "2320,1 MHz", "--submode", "pi4", "--ref800"};
    }
    void cliSavedBeaconOpensAndPressesWithoutAPrompt() {
        QFETCH(QStringList, args);
        std::vector<std::string> argv;
        for (const QString& a : args) argv.push_back(a.toStdString());
        argv.insert(argv.end(), {"--save-beacon", file("cli.jt4dds").toStdString()});
        cli(argv);
        QVERIFY(window_->openBeacon(file("cli.jt4dds")));
        QVERIFY(!window_->isModified());
        window_->form()->calculateNow();
        QVERIFY(!window_->isModified());
        // The window writes the very file the command line wrote.
        QVERIFY(window_->saveBeaconTo(file("window.jt4dds")));
        QCOMPARE(slurp(file("window.jt4dds")), slurp(file("cli.jt4dds")));
    }

    // Ctrl+Z brings back the fields before an Open or a tick of the 800 Hz
    // box, and presses; typing in a field is the field's own to undo first.
    void undoBringsBackTheFieldsBeforeAChange_data() {
        QTest::addColumn<int>("change");
        QTest::newRow("open") << 0;
        QTest::newRow("ref800_tick") << 1;
        QTest::newRow("open_then_new_form_has_its_own") << 2;
    }
    void undoBringsBackTheFieldsBeforeAChange() {
        QFETCH(int, change);
        if (change == 2) trigger(0, "&New");
        replaceText("Fref", QStringLiteral("300"));
        window_->form()->calculateNow();
        const std::string before = jt4dds::beaconText(jt4dds::beaconOf(*window_->form()));
        const std::string listing = window_->form()->listing();
        if (change == 1) {
            QTest::mouseClick(window_->form()->findChild<QCheckBox*>(QStringLiteral("Ref800")), Qt::LeftButton, {},
                              QPoint(6, 8));
        } else {
            QVERIFY(
                !jt4dds::saveBeaconFile(file("b.jt4dds").toStdString(), beacon("reverse_3cm_jt4g_800")).has_value());
            QVERIFY(window_->openBeacon(file("b.jt4dds")));
        }
        QVERIFY(jt4dds::beaconText(jt4dds::beaconOf(*window_->form())) != before);
        field("Fout")->setFocus();
        QTest::keyClick(field("Fout"), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(jt4dds::beaconText(jt4dds::beaconOf(*window_->form())), before);
        QCOMPARE(window_->form()->listing(), listing);
        QVERIFY(!window_->form()->canUndo());
    }

    void typingIsUndoneByTheFieldFirst() {
        window_->form()->applyFix({{jt4dds::Input::Multiplication, "25"}});
        replaceText("Fref", QStringLiteral("400"));
        QTest::keyClick(field("Fref"), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(field("Fref")->text() != QStringLiteral("400"));  // the field undid its own typing
        QVERIFY(window_->form()->canUndo());
    }

    // Exports take the beacon's name from its file, as jt4dds-cli --beacon does,
    // and saving keeps it.
    void exportsTakeTheBeaconsName() {
        Beacon named = beacon("reference_300");
        named.name = "bake_2320";
        QVERIFY(!jt4dds::saveBeaconFile(file("b.jt4dds").toStdString(), named).has_value());
        QVERIFY(window_->openBeacon(file("b.jt4dds")));
        QCOMPARE(window_->firmwareName(), std::string("bake_2320"));
        const auto header = window_->exportText(OutputFormat::C, false);
        QVERIFY(header && header->find("uint32_t bake_2320_words[") != std::string::npos);
        QCOMPARE(*header, cli({"--beacon", file("b.jt4dds").toStdString(), "--format", "c"}));
        QVERIFY(window_->saveBeaconTo(file("c.jt4dds")));
        QVERIFY(slurp(file("c.jt4dds")).find("\"name\": \"bake_2320\"") != std::string::npos);
    }

    // The export and Save WAV dialogs opened with no file name (and Save WAV
    // on minute.wav in the working folder); they propose the beacon's name,
    // as the page names its downloads, in the folder last used.
    void saveDialogsProposeTheBeaconsName() {
        Beacon named = beacon("reference_300");
        named.name = "bake_2320";
        named.message = "CQ K1ABC FN42";
        QVERIFY(!jt4dds::saveBeaconFile(file("b.jt4dds").toStdString(), named).has_value());
        QVERIFY(window_->openBeacon(file("b.jt4dds")));
        // What the save dialog `dialogName` that `open` shows proposes.
        const auto proposed = [](const char* dialogName, const std::function<void()>& open) {
            QString selected;
            QTimer::singleShot(0, [&selected, dialogName] {
                for (QWidget* w : QApplication::topLevelWidgets())
                    if (auto* d = qobject_cast<QFileDialog*>(w); d && d->objectName() == QLatin1String(dialogName)) {
                        selected = d->selectedFiles().value(0);
                        d->reject();
                    }
            });
            open();
            return selected;
        };
        QCOMPARE(proposed("ExportDialog",
                          [this] {
                              for (QAction* a : window_->menuBar()->actions().at(0)->menu()->actions())
                                  if (a->text().startsWith(QStringLiteral("Export &C header"))) a->trigger();
                          }),
                 file("bake_2320.h"));
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        QTest::keyClick(window_.get(), Qt::Key_M, Qt::ControlModifier);
        auto* view = window_->findChild<jt4dds::TransmissionView*>(QStringLiteral("Transmission"));
        QVERIFY(view);
        QCOMPARE(
            proposed("SaveWavDialog", [view] { view->findChild<QPushButton*>(QStringLiteral("SaveWav"))->click(); }),
            file("bake_2320.wav"));
    }

    // Export firmware… in the Transmission view: the controller chosen there
    // and its clock make the file jt4dds-cli makes of the saved beacon, named
    // as the other exports are.
    void firmwareExportIsTheCommandLines() {
        Beacon named = beacon("reference_300");
        named.name = "bake_2320";
        named.message = "CQ K1ABC FN42";
        QVERIFY(!jt4dds::saveBeaconFile(file("b.jt4dds").toStdString(), named).has_value());
        QVERIFY(window_->openBeacon(file("b.jt4dds")));
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        QTest::keyClick(window_.get(), Qt::Key_M, Qt::ControlModifier);
        auto* view = window_->findChild<jt4dds::TransmissionView*>(QStringLiteral("Transmission"));
        QVERIFY(view);
        auto* mcu = view->findChild<QComboBox*>(QStringLiteral("Mcu"));
        QCOMPARE(mcu->currentText(), QStringLiteral("ATmega328P"));
        QTest::keyClick(mcu, Qt::Key_Down);
        QTest::keyClicks(view->findChild<QLineEdit*>(QStringLiteral("McuClock")), QStringLiteral("8000000"));
        QVERIFY(window_->saveBeaconTo(file("c.jt4dds")));
        const auto made = window_->firmwareText(false);
        QVERIFY(made.bytes);
        QCOMPARE(*made.bytes, cli({"--beacon", file("c.jt4dds").toStdString(), "--format", "firmware-pic"}));
        QVERIFY(made.bytes->find("; Clock 8000000 Hz; Timer1 at prescaler 1") != std::string::npos);
        QString proposedName;
        QTimer::singleShot(0, [&proposedName] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<QFileDialog*>(w);
                    d && d->objectName() == QLatin1String("ExportFirmwareDialog")) {
                    proposedName = d->selectedFiles().value(0);
                    d->reject();
                }
        });
        view->findChild<QPushButton*>(QStringLiteral("ExportFirmware"))->click();
        QCOMPARE(proposedName, file("bake_2320.asm"));
    }

    void copyCommandLineReproducesTheFields() {
        window_->form()->setInputs(beacon("reference_300"));
        for (QAction* a : window_->menuBar()->actions().at(1)->menu()->actions())
            if (a->text() == QLatin1String("Copy co&mmand line")) a->trigger();
        QCOMPARE(QApplication::clipboard()->text().toStdString(), jt4dds::cliCommand(beacon("reference_300")));
    }

    // The window has no view of the message yet: an opened beacon's message
    // and minute go into its saves, exports and command line untouched, and
    // New forgets them.
    void openedTransmissionIsKeptNotLost() {
        Beacon pi4 = beacon("reference_300");
        pi4.mode = Pick::item(7);
        pi4.message = "OZ7IGY";
        pi4.cwId = "OZ7IGY JO55";
        pi4.text(Input::KeyDownTone) = "1270";
        QVERIFY(!jt4dds::saveBeaconFile(file("m.jt4dds").toStdString(), pi4).has_value());
        QVERIFY(window_->openBeacon(file("m.jt4dds")));
        QVERIFY(!window_->isWindowModified());
        QVERIFY(window_->saveBeaconTo(file("copy.jt4dds")));
        QCOMPARE(slurp(file("copy.jt4dds")), slurp(file("m.jt4dds")));
        const auto header = window_->exportText(OutputFormat::C, false);
        QVERIFY(header);
        QVERIFY(header->find("copy_symbols[COPY_SYMBOL_COUNT]") != std::string::npos);
        QCOMPARE(*header, cli({"--beacon", file("copy.jt4dds").toStdString(), "--format", "c"}));
        trigger(1, "Copy co&mmand line");
        QVERIFY(QApplication::clipboard()->text().contains(QStringLiteral("--message OZ7IGY --cw-id 'OZ7IGY JO55'")));
        trigger(0, "&New");
        trigger(1, "Copy co&mmand line");
        QVERIFY(!QApplication::clipboard()->text().contains(QStringLiteral("--message")));
    }

    // Starting the program, or playing a minute, loads no Qt Multimedia (nor
    // the sound system behind it) into the window: the player is a program of
    // its own, where the window looks for it.
    void audioIsLoadedOnlyToPlay() {
        const auto mapped = [](const char* library) {
            QFile maps(QStringLiteral("/proc/self/maps"));
            return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(library);
        };
        QVERIFY(!mapped("libQt6Multimedia"));
        QVERIFY2(!jt4dds::AudioPlayer::playerPath().isEmpty(), "no jt4dds-play beside the program");
    }

    // Play took the window down (SIGSEGV in the media framework) with its
    // plugins missing, and Enter in a field started it. Now the player runs
    // apart: the window lives and the view says why nothing is heard.
    void playThatCannotWorkLeavesTheWindowAndSaysWhy() {
        const QByteArray emptied = dir_.path().toUtf8();
        qputenv("GST_PLUGIN_SYSTEM_PATH_1_0", emptied);
        qputenv("GST_PLUGIN_PATH_1_0", emptied);
        qputenv("GST_REGISTRY_1_0", dir_.filePath(QStringLiteral("registry.bin")).toUtf8());
        replaceText("Fref", QStringLiteral("300"));
        QTest::keyClick(window_.get(), Qt::Key_M, Qt::ControlModifier);
        auto* view = window_->findChild<jt4dds::TransmissionView*>(QStringLiteral("Transmission"));
        QVERIFY(view);
        auto* message = view->findChild<QLineEdit*>(QStringLiteral("Message"));
        QTest::keyClicks(message, QStringLiteral("G4XYZ IO91"));
        QTest::keyClick(message, Qt::Key_Return);
        QCOMPARE(view->findChild<jt4dds::AudioPlayer*>(), nullptr);  // Enter played nothing
        auto* play = view->findChild<QPushButton*>(QStringLiteral("Play"));
        play->click();
        auto* status = view->findChild<QLabel*>(QStringLiteral("PlayStatus"));
        QTRY_VERIFY_WITH_TIMEOUT(!status->text().isEmpty(), 30000);
        for (const char* name : {"GST_PLUGIN_SYSTEM_PATH_1_0", "GST_PLUGIN_PATH_1_0", "GST_REGISTRY_1_0"})
            qunsetenv(name);
        QVERIFY2(status->text().startsWith(QStringLiteral("cannot play: ")), qPrintable(status->text()));
        QCOMPARE(play->text(), QStringLiteral("&Play"));
        QVERIFY(window_->isVisible());
    }

    // Check with jt9 gives the figure jt4dds-cli --decode-check gives for the
    // same beacon and seeds, off the window's thread; without jt9 on the PATH
    // it says how to get it.
    void checkWithJt9AgreesWithTheToolOrSaysHowToGetIt() {
        replaceText("Fout", QStringLiteral("10368.9"));
        replaceText("Mult", QStringLiteral("192"));
        replaceText("Fref", QStringLiteral("176"));
        window_->form()->findChild<QComboBox*>(QStringLiteral("JTMode"))->setCurrentText(QStringLiteral("G"));
        QTest::keyClick(window_.get(), Qt::Key_M, Qt::ControlModifier);
        auto* view = window_->findChild<jt4dds::TransmissionView*>(QStringLiteral("Transmission"));
        QVERIFY(view);
        auto* message = view->findChild<QLineEdit*>(QStringLiteral("Message"));
        QTest::keyClicks(message, QStringLiteral("CQ K1ABC FN42"));
        window_->form()->calculateNow();
        auto* bar = view->findChild<jt4dds::DecodeCheckBar*>();
        QVERIFY(bar);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", dir_.path().toUtf8());
        bar->startOrCancel();
        QTRY_VERIFY_WITH_TIMEOUT(!bar->running(), 30000);
        qputenv("PATH", path);
        QVERIFY2(bar->result().contains(QStringLiteral("apt install wsjtx")), qPrintable(bar->result()));
        if (jt4dds::findJt9().empty()) QSKIP("no jt9 here to agree with");
        bar->startOrCancel();
        QVERIFY(bar->running());
        QVERIFY(window_->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!bar->running(), 60000);
        const auto tool = jt4dds::testing_support::runTool({"--fout", "10368.9", "--mult", "192", "--fref", "176",
                                                            "--submode", "G", "--message", "CQ K1ABC FN42",
                                                            "--decode-check", "6", "--snr", "-22", "--quiet"});
        QCOMPARE(bar->result().toStdString() + "\n", tool.out);
    }

    // An opened beacon's DDS chip and maximum clock are the window's: its
    // press judges the reference by them, its save and command line carry
    // them, and New forgets them.
    void openedDdsIsKeptAndJudged() {
        Beacon clocked = beacon("reference_300");
        clocked.dds = "AD9851";
        clocked.maxClockMHz = "200";
        QVERIFY(!jt4dds::saveBeaconFile(file("d.jt4dds").toStdString(), clocked).has_value());
        QVERIFY(window_->openBeacon(file("d.jt4dds")));
        QVERIFY(!window_->isWindowModified());
        bool above = false;
        for (const jt4dds::Finding& f : window_->form()->lastFindings())
            above = above || f.kind == jt4dds::FindingKind::ReferenceAboveMaxClock;
        QVERIFY(above);
        QVERIFY(window_->saveBeaconTo(file("d2.jt4dds")));
        QCOMPARE(slurp(file("d2.jt4dds")), slurp(file("d.jt4dds")));
        trigger(1, "Copy co&mmand line");
        QVERIFY(QApplication::clipboard()->text().endsWith(QStringLiteral(" --dds AD9851 --max-clock 200")));
        trigger(0, "&New");
        trigger(1, "Copy co&mmand line");
        QVERIFY(!QApplication::clipboard()->text().contains(QStringLiteral("--dds")));
    }

    // View, Transmission (Ctrl+M): the message typed there is the beacon's,
    // with its symbols as jt4dds-cli gives them, the minute drawn to scale, and
    // the findings about it; it goes into the file and the command line, and
    // the calculation window stays as it is.
    void transmissionViewPlansTheMinute_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("submode");
        QTest::addColumn<QString>("first");
        QTest::newRow("pi4") << 7 << "OZ7IGY"
                             << "PI4"
                             << "PI4 message from 0.000 s to 24.333 s: data tones 0 to 3";
        QTest::newRow("jt4g") << 6 << "CQ K1ABC FN42"
                              << "G"
                              << "JT4 message from 1.000 s to 48.086 s: data tones 0 to 3";
    }
    void transmissionViewPlansTheMinute() {
        QFETCH(int, mode);
        QFETCH(QString, message);
        QFETCH(QString, submode);
        QFETCH(QString, first);
        window_->form()->findChild<QComboBox*>(QStringLiteral("JTMode"))->setCurrentIndex(mode);
        replaceText("Fref", QStringLiteral("300"));
        QVERIFY(window_->saveBeaconTo(file("t.jt4dds")));
        QTest::keyClick(window_.get(), Qt::Key_M, Qt::ControlModifier);
        auto* view = window_->findChild<QDialog*>(QStringLiteral("Transmission"));
        QVERIFY(view && view->isVisible());
        QVERIFY(!window_->isWindowModified());
        QTest::keyClicks(view->findChild<QLineEdit*>(QStringLiteral("Message")), message);
        QVERIFY(window_->isWindowModified());
        const auto symbols =
            cli({"--submode", submode.toStdString(), "--message", message.toStdString(), "--format", "symbols"});
        QCOMPARE(view->findChild<QPlainTextEdit*>(QStringLiteral("Symbols"))->toPlainText().toStdString(), symbols);
        QTest::keyClicks(view->findChild<QLineEdit*>(QStringLiteral("CwId")), QStringLiteral("OZ7IGY JO55"));
        const QString parts = view->findChild<QWidget*>(QStringLiteral("MinuteTimeline"))->accessibleDescription();
        QVERIFY2(parts.startsWith(first), qPrintable(parts));
        QVERIFY2(parts.contains(QStringLiteral("CW identification from ")), qPrintable(parts));
        const QString findings = view->findChild<QLabel*>(QStringLiteral("TransmissionFindings"))->text();
        if (mode == 7)
            QVERIFY2(findings.contains(QStringLiteral("keys the CW identification on the carrier")),
                     qPrintable(findings));
        if (mode == 6) QVERIFY2(findings.contains(QStringLiteral("past its 60 s")), qPrintable(findings));
        trigger(1, "Copy co&mmand line");
        QVERIFY(QApplication::clipboard()->text().contains(QStringLiteral("--message ")));
        QVERIFY(QApplication::clipboard()->text().contains(QStringLiteral("--cw-id 'OZ7IGY JO55'")));
        QVERIFY(window_->saveBeaconTo(file("t.jt4dds")));
        QVERIFY(slurp(file("t.jt4dds")).find("\"cw_id\": \"OZ7IGY JO55\"") != std::string::npos);
        QVERIFY(!window_->isWindowModified());
        QCOMPARE(window_->centralWidget()->size(), QSize(726, 357));
        // A speed that fits JT4's minute clears the overrun.
        view->findChild<QSpinBox*>(QStringLiteral("Wpm"))->setValue(25);
        QVERIFY(!view->findChild<QLabel*>(QStringLiteral("TransmissionFindings"))
                     ->text()
                     .contains(QStringLiteral("past its 60 s")));
        QVERIFY(slurp(file("t.jt4dds")).find("\"wpm\": \"12\"") != std::string::npos);
        QVERIFY(window_->isWindowModified());
    }

    // The minute as its receiver hears it: the WAV the view saves is the
    // one jt4dds-cli writes, with and without noise; the receiver line is the
    // CLI's; the waterfall's brightest column lies on a data tone; the tone
    // grid states the plan check's measure.
    void transmissionViewHearsTheMinute_data() {
        QTest::addColumn<QString>("fout");
        QTest::addColumn<QString>("mult");
        QTest::addColumn<QString>("fref");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("submode");
        QTest::newRow("jt4d_13cm") << "2320.1"
                                   << "24"
                                   << "300" << 3 << "D";
        QTest::newRow("jt4g_3cm_500_off_its_grid") << "10368.9"
                                                   << "96"
                                                   << "500" << 6 << "G";
        QTest::newRow("pi4_13cm") << "2320.1"
                                  << "24"
                                  << "300" << 7 << "PI4";
    }
    void transmissionViewHearsTheMinute() {
        QFETCH(QString, fout);
        QFETCH(QString, mult);
        QFETCH(QString, fref);
        QFETCH(int, mode);
        QFETCH(QString, submode);
        replaceText("Fout", fout);
        replaceText("Mult", mult);
        replaceText("Fref", fref);
        window_->form()->findChild<QComboBox*>(QStringLiteral("JTMode"))->setCurrentIndex(mode);
        QTest::keyClick(window_.get(), Qt::Key_M, Qt::ControlModifier);
        auto* view = window_->findChild<jt4dds::TransmissionView*>(QStringLiteral("Transmission"));
        QVERIFY(view);
        QVERIFY(view->heardAudio().empty());
        QVERIFY(!view->findChild<QPushButton*>(QStringLiteral("Play"))->isEnabled());
        const QString message = mode == 7 ? QStringLiteral("OZ7IGY") : QStringLiteral("CQ K1ABC FN42");
        QTest::keyClicks(view->findChild<QLineEdit*>(QStringLiteral("Message")), message);
        QVERIFY(view->findChild<QPushButton*>(QStringLiteral("SaveWav"))->isEnabled());
        std::vector<std::string> args{"--fout",    fout.toStdString(),    "--mult",    mult.toStdString(),
                                      "--fref",    fref.toStdString(),    "--submode", submode.toStdString(),
                                      "--message", message.toStdString(), "--format",  "wav"};
        const auto clean = jt4dds::testing_support::runTool(args);
        QVERIFY(!view->saveWav(file("clean.wav")).has_value());
        QVERIFY(slurp(file("clean.wav")) == clean.out);
        const QString receiver = view->findChild<QLabel*>(QStringLiteral("Receiver"))->text();
        QVERIFY2(clean.err.find(receiver.toStdString()) != std::string::npos, qPrintable(receiver));
        view->findChild<QCheckBox*>(QStringLiteral("Noisy"))->setChecked(true);
        args.insert(args.end(), {"--snr", "-22", "--seed", "1"});
        QVERIFY(!view->saveWav(file("noisy.wav")).has_value());
        QVERIFY(slurp(file("noisy.wav")) == cli(args));
        view->findChild<QCheckBox*>(QStringLiteral("Noisy"))->setChecked(false);
        // The brightest column over the message lies on one of the data tones.
        const jt4dds::Spectrogram& s = view->findChild<jt4dds::Waterfall*>(QStringLiteral("Waterfall"))->spectrogram();
        QVERIFY(!s.image.isNull());
        int brightest = 0;
        long best = -1;
        for (int x = 0; x < s.image.width(); ++x) {
            long sum = 0;
            for (int y = 8; y < 90; ++y) sum += qGray(s.image.pixel(x, y));
            if (sum > best) best = sum, brightest = x;
        }
        const double hz = s.lowHz + (brightest + 0.5) * (s.highHz - s.lowHz) / s.image.width();
        const auto report =
            nlohmann::json::parse(cli({"--fout", fout.toStdString(), "--mult", mult.toStdString(), "--fref",
                                       fref.toStdString(), "--submode", submode.toStdString(), "--json"}));
        const double tone0 = report["receiver"]["data_tone0_audio_hz"];
        const double spacing = report["spacing"][0]["nominal_hz"];
        bool onATone = false;
        for (int k = 0; k < 4; ++k) onATone = onATone || std::fabs(hz - (tone0 + k * spacing)) < 12.0;
        QVERIFY2(onATone, qPrintable(QString::number(hz)));
        const QString grid = view->findChild<QWidget*>(QStringLiteral("ToneGrid"))->accessibleDescription();
        QVERIFY2(grid.startsWith(QStringLiteral("Data tones off their best even grid: ")), qPrintable(grid));
    }
};

QTEST_MAIN(ProgramWindowTest)
#include "program_window_test.moc"
