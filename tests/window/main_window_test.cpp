// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTextDocumentFragment>

#include "calc/check/settings_search.h"

#include "calc/tuning/calculation_run.h"
#include "tests/form_state.h"
#include "tests/window/window_fixture.h"
#include "window/main_window.h"

using jt4dds::FormState;
using jt4dds::Input;
using jt4dds::MainWindow;
using jt4dds::Shown;

class MainWindowTest : public jt4dds::testing_support::MainWindowFixture {
    Q_OBJECT

private:
    void replaceText(const char* field, const QString& text) {
        auto* box = control<QLineEdit>(field);
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, text);
    }

    void clickCalculate() { QTest::mouseClick(control<QPushButton>("Command1"), Qt::LeftButton); }

    QMessageBox* stoppedMessage() { return window_->findChild<QMessageBox*>(QStringLiteral("CalculationStopped")); }

    static QColor textColour(QWidget* w) { return w->palette().color(QPalette::Text); }

    // A tooltip as the operator reads it: rich text shown as text.
    static QString shownTip(QWidget* w) {
        return QTextDocumentFragment::fromHtml(w->toolTip()).toPlainText().replace(QChar::LineSeparator, u'\n');
    }

    // A field's mark exists once the field has had a finding.
    bool markerShown(const char* field) {
        for (QAction* action : control<QLineEdit>(field)->actions())
            if (action->objectName() == QLatin1String("FindingMarker")) return action->isVisible();
        return false;
    }

    QTableWidget* toneTable() {
        auto* dialog = window_->findChild<QWidget*>(QStringLiteral("ToneDetails"));
        return dialog && dialog->isVisible() ? dialog->findChild<QTableWidget*>(QStringLiteral("ToneTable")) : nullptr;
    }

    // The state the window shows, as the calculation's own in-memory form would hold it.
    void expectSameAs(const FormState& form) {
        QCOMPARE(window_->listing(), form.listing());
        QCOMPARE(control("Warning")->isVisible(), form.isVisible(Shown::Warning));
        QCOMPARE(control<QLabel>("Warning")->text().toStdString(), form.warningCaption());
        QCOMPARE(control("SSBCarrier")->isVisible(), form.isVisible(Shown::SsbCarrier));
        QCOMPARE(control("Label10")->isVisible(), form.isVisible(Shown::SsbCaption));
        QCOMPARE(control<QLineEdit>("SSBCarrier")->text().toStdString(), form.ssbCarrier());
        QCOMPARE(control<QLineEdit>("RefTone")->text().toStdString(), form.text(Input::ReferenceTone));
    }

private slots:
    // The listing's separator is the operator's; the tests compare with ".".
    void init() { showWindow(); }
    void cleanup() { window_.reset(); }

    void initialState() {
        QCOMPARE(window_->windowTitle(), QStringLiteral("JT4 / PI4  - 32 bit DDS Design Utility     Arvok"));
        QCOMPARE(window_->size(), QSize(726, 357));
        QVERIFY(!window_->windowIcon().isNull());
        QCOMPARE(QApplication::focusWidget(), control("Fout"));
        const QColor red(255, 0, 0);
        for (const char* field : {"Fout", "Mult", "Fref"}) QCOMPARE(textColour(control(field)), red);
        QCOMPARE(control<QLineEdit>("Fout")->text(), QStringLiteral("2320.1"));
        QCOMPARE(control<QComboBox>("JTMode")->currentText(), QStringLiteral("D"));
        QCOMPARE(control<QComboBox>("JTMode")->count(), 8);
        QCOMPARE(control<QComboBox>("Config")->currentText(), QStringLiteral("Direct Freq Gen"));
        QVERIFY(!control<QCheckBox>("Ref800")->isChecked());
        for (const char* hidden : {"Warning", "Label10", "SSBCarrier"}) QVERIFY2(!control(hidden)->isVisible(), hidden);
        QCOMPARE(control<QLabel>("Warning")->palette().color(QPalette::WindowText), red);
        QCOMPARE(control<QLabel>("Label1")->buddy(), control("Fout"));
        QCOMPARE(control("Fout")->accessibleName(), QStringLiteral("Output Frequency  MHz"));
        QVERIFY(!control<QPushButton>("Command1")->isDefault());
        // Nothing but the load has happened: the in-memory form starts the same.
        expectSameAs(FormState());
    }

    void geometry_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("twips");
        const auto row = [](const char* name, int left, int top, int width, int height) {
            QTest::newRow(name) << QString::fromLatin1(name) << QRect(left, top, width, height);
        };
        row("Label1", 360, 480, 1935, 255);
        row("Fout", 2400, 480, 1575, 285);
        row("Label2", 360, 840, 1935, 255);
        row("Mult", 2400, 840, 1575, 285);
        row("Label3", 360, 1200, 1935, 255);
        row("Fref", 2400, 1200, 1575, 285);
        row("Label4", 360, 1560, 1935, 255);
        row("JTMode", 2400, 1560, 1575, 315);
        row("Ref800", 720, 2040, 3255, 255);
        row("Label5", 360, 2400, 1935, 255);
        row("RefTone", 2400, 2400, 1575, 285);
        row("Label6", 360, 2760, 1935, 255);
        row("UpTone", 2400, 2760, 1575, 285);
        row("Label7", 360, 3120, 1935, 255);
        row("DownTone", 2400, 3120, 1575, 285);
        row("Label9", 360, 3480, 1935, 255);
        row("SpTone", 2400, 3480, 1575, 285);
        row("Label8", 360, 3840, 1935, 255);
        row("Config", 2400, 3840, 1575, 315);
        row("Command1", 2400, 4200, 1575, 495);
        row("Warning", 4920, 120, 4575, 495);
        row("Text1", 4440, 720, 6135, 3255);
        row("Label10", 5760, 4080, 1935, 255);
        row("SSBCarrier", 7800, 4080, 1575, 285);
    }
    void geometry() {
        QFETCH(QString, name);
        QFETCH(QRect, twips);
        const QRect pixels(twips.left() / 15, twips.top() / 15, twips.width() / 15, twips.height() / 15);
        QWidget* widget = control(name.toLatin1().constData());
        QCOMPARE(widget->geometry(), pixels);
        window_->resize(1200, 700);  // resizing moves nothing
        QCOMPARE(widget->geometry(), pixels);
    }

    void colourCue_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("turnsBlack");
        QTest::newRow("Fout") << "Fout" << true;
        QTest::newRow("Mult") << "Mult" << true;
        QTest::newRow("Fref") << "Fref" << true;
        QTest::newRow("RefTone") << "RefTone" << false;
        QTest::newRow("UpTone") << "UpTone" << false;
        QTest::newRow("DownTone") << "DownTone" << false;
        QTest::newRow("SpTone") << "SpTone" << false;
    }
    void colourCue() {
        QFETCH(QString, field);
        QFETCH(bool, turnsBlack);
        auto* box = control<QLineEdit>(field.toLatin1().constData());
        const QColor before = textColour(box);
        box->setFocus();
        box->end(false);
        QTest::keyClick(box, Qt::Key_5);
        QCOMPARE(textColour(box), turnsBlack ? QColor(0, 0, 0) : before);
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(textColour(box), turnsBlack ? QColor(0, 0, 0) : before);  // one way only
    }

    void typedReference300MatchesTheInMemoryRun() {
        replaceText("Fref", QStringLiteral("300"));
        clickCalculate();
        FormState form;
        form.setText(Input::Reference, "300");
        QVERIFY(jt4dds::pressOn(form).completed());
        expectSameAs(form);
        QVERIFY(window_->listing().ends_with("\r\n\r\nResolution  0.838Hz"));
        QVERIFY(!stoppedMessage());
    }

    void initialValuesRaiseTheWarning() {
        clickCalculate();
        FormState form;
        jt4dds::pressOn(form);
        expectSameAs(form);
        QVERIFY(control("Warning")->isVisible());
    }

    void ref800LeavesRefToneAt800() {
        replaceText("Fref", QStringLiteral("300"));
        QTest::mouseClick(control<QCheckBox>("Ref800"), Qt::LeftButton, {}, QPoint(6, 8));
        QVERIFY(control<QCheckBox>("Ref800")->isChecked());
        clickCalculate();
        QCOMPARE(control<QLineEdit>("RefTone")->text(), QStringLiteral("800"));
        QCOMPARE(control<QLabel>("Warning")->text(), QStringLiteral("Tone0 offset / wrong mode - check"));
        QCOMPARE(control<QLineEdit>("SSBCarrier")->text(), QStringLiteral("2320.0992"));
    }

    void secondPressReplacesTheListing() {
        replaceText("Fref", QStringLiteral("300"));
        clickCalculate();
        const std::string first = window_->listing();
        clickCalculate();
        QCOMPARE(window_->listing(), first);
    }

    void earlyEndKeepsTheListingAndTellsWhy() {
        replaceText("Fref", QStringLiteral("300"));
        clickCalculate();
        const std::string listing = window_->listing();
        replaceText("Mult", QString());
        clickCalculate();
        QCOMPARE(window_->listing(), listing);
        QVERIFY(!control("Warning")->isVisible());
        QMessageBox* message = stoppedMessage();
        QVERIFY(message);
        QVERIFY(message->text().contains(QStringLiteral("RF Multiplication reads 0")));
        QVERIFY(window_->isVisible());
        clickCalculate();  // a second press replaces the message rather than stacking another
        int shown = 0;
        for (auto* box : window_->findChildren<QMessageBox*>()) shown += box->isVisible() ? 1 : 0;
        QCOMPARE(shown, 1);
    }

    void hostileTextGetsTheSameOutcomeAsInMemory_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::newRow("nul_in_the_middle") << "Fref" << QString::fromUtf16(u"30\u00000");
        QTest::newRow("megabyte_of_digits") << "Mult" << QString(1 << 20, QLatin1Char('9'));
        QTest::newRow("beyond_range") << "SpTone" << QStringLiteral("-1e400");
        QTest::newRow("non_ascii") << "Fout" << QStringLiteral("2320.1\u00a0MHz \u2014");
    }
    void hostileTextGetsTheSameOutcomeAsInMemory() {
        QFETCH(QString, field);
        QFETCH(QString, text);
        control<QLineEdit>(field.toLatin1().constData())->setText(text);
        clickCalculate();
        FormState form;
        form.setText(field == QLatin1String("Fref")     ? Input::Reference
                     : field == QLatin1String("Mult")   ? Input::Multiplication
                     : field == QLatin1String("SpTone") ? Input::AuxTone
                                                        : Input::OutputFrequency,
                     text.toStdString());
        const bool completed = jt4dds::pressOn(form).completed();
        expectSameAs(form);
        QCOMPARE(stoppedMessage() == nullptr, completed);
    }

    void typedSelectorTextIsTakenWhenItNamesAnItem() {
        replaceText("Fref", QStringLiteral("300"));
        auto* mode = control<QComboBox>("JTMode");
        mode->lineEdit()->selectAll();
        QTest::keyClicks(mode->lineEdit(), QStringLiteral("pi4"));
        clickCalculate();
        QVERIFY(window_->listing().starts_with(
            "FreqData                                ;Direct Freq Gen   JT4PI4   Ref 300.0MHz\r\n"));
        QCOMPARE(mode->count(), 8);  // typing never adds an item
    }

    void typedSelectorTextNamingNoItemStopsTheRun() {
        auto* config = control<QComboBox>("Config");
        config->lineEdit()->selectAll();
        QTest::keyClicks(config->lineEdit(), QStringLiteral("sideways"));
        clickCalculate();
        QVERIFY(stoppedMessage());
        QVERIFY(stoppedMessage()->text().contains(QStringLiteral("No configuration is selected")));
        QCOMPARE(window_->listing(), std::string());
        QCOMPARE(config->count(), 2);
    }

    void copiedListingKeepsCrLf() {
        replaceText("Fref", QStringLiteral("300"));
        clickCalculate();
        auto* results = control<QPlainTextEdit>("Text1");
        results->setFocus();
        results->selectAll();
        results->copy();
        QCOMPARE(QApplication::clipboard()->text().toStdString(), window_->listing());
        QVERIFY(QApplication::clipboard()->text().contains(QStringLiteral("0.838Hz")));
    }

    void fieldWithAFindingGetsAMarkerAndATooltip() {
        const QRect before = control("Fout")->geometry();
        replaceText("Fout", QStringLiteral("2320,1"));
        replaceText("Fref", QStringLiteral("300"));
        clickCalculate();
        QCOMPARE(shownTip(control("Fout")),
                 QStringLiteral("reads 2320 MHz; ',1' ignored (the decimal point is '.'); type 2320.1"));
        QVERIFY(markerShown("Fout"));
        QVERIFY(!markerShown("Fref"));
        QCOMPARE(shownTip(control("Fref")), QString());
        QCOMPARE(control("Fout")->geometry(), before);
        QCOMPARE(textColour(control("Fout")), QColor(0, 0, 0));
        replaceText("Fout", QStringLiteral("2320.1"));
        clickCalculate();  // the next press takes the marker away again
        QVERIFY(!markerShown("Fout"));
    }

    void warningTooltipListsEveryFindingWithItsFix() {
        QTest::mouseClick(control<QCheckBox>("Ref800"), Qt::LeftButton, {}, QPoint(6, 8));
        clickCalculate();
        QCOMPARE(control<QLabel>("Warning")->text(), QStringLiteral("Ref too low, check values"));
        const QStringList lines = shownTip(control("Warning")).split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[0].startsWith(QStringLiteral("warning: JT4G Reference Tone0 = 800Hz: ")));
        QVERIFY(lines[1].startsWith(QStringLiteral("error: Tones 0 to 7: ")));
        QVERIFY(lines[1].contains(QStringLiteral("Fix: a Master Reference of at least")));
    }

    void toneDetailsFollowEveryPress() {
        QVERIFY(!toneTable());
        replaceText("Fref", QStringLiteral("300"));
        clickCalculate();
        QTest::keyClick(window_.get(), Qt::Key_T, Qt::ControlModifier);
        QTableWidget* table = toneTable();
        QVERIFY(table);
        QCOMPARE(table->rowCount(), 8);
        QCOMPARE(table->item(0, 5)->text(), QStringLiteral("527E10B4"));
        replaceText("Fref", QStringLiteral("250"));
        clickCalculate();
        QCOMPARE(table->item(0, 3)->text(), QStringLiteral("over limit"));
        auto* findings = window_->findChild<QPlainTextEdit*>(QStringLiteral("Findings"));
        QVERIFY(findings->toPlainText().startsWith(QStringLiteral("error: Tones 0 to 7: ")));
    }

    void toneDetailsFromTheResultsBoxMenu() {
        clickCalculate();
        auto* results = control<QPlainTextEdit>("Text1");
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10), results->mapToGlobal(QPoint(10, 10)));
        QApplication::sendEvent(results->viewport(), &event);
        QAction* details = nullptr;
        for (QMenu* menu : results->findChildren<QMenu*>())
            if (auto* a = menu->findChild<QAction*>(QStringLiteral("ToneDetailsAction"))) details = a;
        QVERIFY(details);
        details->trigger();
        QVERIFY(toneTable());
        QCOMPARE(toneTable()->item(7, 3)->text(), QStringLiteral("over limit"));
    }

    void listingTakesTheSeparatorItIsGiven() {
        window_ = std::make_unique<MainWindow>(",");
        window_->show();
        replaceText("Fref", QStringLiteral("300"));
        clickCalculate();
        QVERIFY(window_->listing().starts_with(
            "FreqData                                ;Direct Freq Gen   JT4D   Ref 300,0MHz\r\n"));
        QCOMPARE(control<QLineEdit>("SSBCarrier")->text(), QStringLiteral("2320,09873"));
        // Findings say what to type, which is read with "." everywhere.
        replaceText("Fref", QStringLiteral("300,5"));
        clickCalculate();
        QVERIFY(shownTip(control("Fref")).endsWith(QStringLiteral("type 300.5")));
    }

    // Typed text used to be painted black on a dark desktop's near-black.
    void typedPlanFieldsTakeTheDesktopsTextColour() {
        const QPalette before = QApplication::palette();
        QPalette dark = before;
        dark.setColor(QPalette::Base, QColor(30, 30, 30));
        dark.setColor(QPalette::Text, QColor(230, 230, 230));
        QApplication::setPalette(dark);
        window_ = std::make_unique<MainWindow>(".");
        window_->show();
        for (const char* name : {"Fout", "Mult", "Fref"}) {
            QCOMPARE(textColour(control(name)), QColor(255, 0, 0));  // the red cue as before
            replaceText(name, QStringLiteral("1"));
            QCOMPARE(textColour(control(name)), QColor(230, 230, 230));
        }
        QApplication::setPalette(before);
    }

    // A tooltip quotes what was typed as text: markup in a field is not rendered.
    void tooltipsShowTypedMarkupLiterally() {
        replaceText("Fref", QStringLiteral("300<b>x</b>"));
        clickCalculate();
        QVERIFY2(shownTip(control("Fref")).contains(QStringLiteral("'<b>x</b>'")),
                 qPrintable(shownTip(control("Fref"))));
        QVERIFY(shownTip(control("Warning")).contains(QStringLiteral("<b>x</b>")));
    }

    // Tone details and Find settings open beside the calculation, inside the
    // screen, and Tone details shows all eight rows without scrolling.
    void viewsOpenBesideTheWindowInsideTheScreen() {
        window_->move(0, 0);
        replaceText("Fref", QStringLiteral("300"));
        clickCalculate();
        window_->showToneDetails();
        window_->showFindSettings();
        const QRect room = window_->screen()->availableGeometry();
        for (const char* name : {"ToneDetails", "FindSettings"}) {
            auto* view = window_->findChild<QWidget*>(QString::fromLatin1(name));
            QVERIFY2(view && view->isVisible(), name);
            QVERIFY2(room.contains(view->frameGeometry().topLeft()) && view->width() <= room.width(), name);
            QVERIFY2(view->x() >= window_->frameGeometry().right() || view->x() + view->width() <= window_->x() ||
                         view->width() > room.width() - window_->width(),
                     name);
        }
        QTableWidget* table = toneTable();
        QVERIFY(table->rowViewportPosition(7) + table->rowHeight(7) <= table->viewport()->height());
    }

    // A 1280 × 720 screen at 200 %: 640 × 360 logical pixels, less a panel.
    // Both views fit it, and Tone details still shows all eight rows there.
    void viewsFitASmallScreenAtTwiceTheScale() {
        const QSize room(640, 330);
        clickCalculate();
        window_->showToneDetails();
        window_->showFindSettings();
        for (const char* name : {"ToneDetails", "FindSettings"}) {
            auto* view = window_->findChild<QWidget*>(QString::fromLatin1(name));
            QVERIFY2(view->minimumSizeHint().width() <= room.width(), name);
            QVERIFY2(view->minimumSizeHint().height() <= room.height(), name);
        }
        auto* details = window_->findChild<QWidget*>(QStringLiteral("ToneDetails"));
        details->resize(room);
        QApplication::processEvents();
        QTableWidget* table = toneTable();
        QVERIFY(table->rowViewportPosition(7) + table->rowHeight(7) <= table->viewport()->height());
    }

    void captionsFitTheirLabelsLegibly_data() {
        QTest::addColumn<QString>("label");
        for (const char* name :
             {"Label1", "Label2", "Label3", "Label4", "Label5", "Label6", "Label7", "Label8", "Label9"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void captionsFitTheirLabelsLegibly() {
        QFETCH(QString, label);
        auto* caption = control<QLabel>(label.toLatin1().constData());
        const QFontMetrics metrics(caption->font());
        QVERIFY2(metrics.horizontalAdvance(caption->text()) <= caption->width(), qPrintable(caption->text()));
        QVERIFY(metrics.height() <= caption->height() + 2);
        QVERIFY(caption->font().pointSizeF() >= 6.0);
    }

    static std::vector<jt4dds::CandidateValue> candidates(std::string_view list) {
        return std::get<0>(jt4dds::parseCandidateList(list));
    }

    QWidget* findSettingsDialog() {
        QTest::keyClick(window_.get(), Qt::Key_F, Qt::ControlModifier);
        auto* dialog = window_->findChild<QWidget*>(QStringLiteral("FindSettings"));
        if (!dialog || !dialog->isVisible()) qFatal("Find settings did not open");
        return dialog;
    }

    // Opens Find settings and starts a search over those lists.
    QWidget* searchFor(const QString& mults, const QString& refs) {
        QWidget* dialog = findSettingsDialog();
        dialog->findChild<QLineEdit*>(QStringLiteral("Multiplications"))->setText(mults);
        dialog->findChild<QLineEdit*>(QStringLiteral("References"))->setText(refs);
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Search")), Qt::LeftButton);
        return dialog;
    }

    void findSettingsTypesTheChosenPairAndCalculates() {
        QWidget* dialog = searchFor(QStringLiteral("24"), QStringLiteral("250, 300"));
        auto* table = dialog->findChild<QTableWidget*>(QStringLiteral("Candidates"));
        QTRY_COMPARE(table->rowCount(), 1);
        QCOMPARE(table->item(0, 2)->text(), QStringLiteral("300"));
        QVERIFY(dialog->findChild<QLabel*>(QStringLiteral("SearchStatus"))
                    ->text()
                    .startsWith(QStringLiteral("2 candidates judged, 1 rejected.")));
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Use")), Qt::LeftButton);
        QCOMPARE(control<QLineEdit>("Fref")->text(), QStringLiteral("300"));
        QCOMPARE(textColour(control("Fref")), QColor(0, 0, 0));
        FormState form;
        form.setText(Input::Reference, "300");
        jt4dds::pressOn(form);
        expectSameAs(form);
    }

    void findSettingsSaysWhyNothingFits() {
        replaceText("Fout", QStringLiteral("2320,1"));
        QWidget* dialog = findSettingsDialog();
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Search")), Qt::LeftButton);
        auto* status = dialog->findChild<QLabel*>(QStringLiteral("SearchStatus"));
        QTRY_VERIFY(status->text().contains(QStringLiteral("Output Frequency: reads 2320 MHz")));
        dialog->findChild<QLineEdit*>(QStringLiteral("References"))->setText(QStringLiteral("10-5"));
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Search")), Qt::LeftButton);
        QVERIFY(status->text().startsWith(QStringLiteral("Master references: '10-5': a range runs")));
    }

    // A click on a heading sorts by the number the column shows ("8" before
    // "24"); Use takes the row chosen, wherever the sort put it.
    void findSettingsSortsByAHeadingAndUsesTheRowChosen() {
        QWidget* dialog = searchFor(QStringLiteral("8,16,24,96"), QStringLiteral("100-1000/100"));
        auto* table = dialog->findChild<QTableWidget*>(QStringLiteral("Candidates"));
        QTRY_VERIFY(table->rowCount() > 3);
        // Best first, as the search ranks them, until a heading is clicked.
        const auto ranked =
            jt4dds::findSettings(window_->typedBeacon(), candidates("8,16,24,96"), candidates("100-1000/100"));
        for (int row = 0; row < table->rowCount(); ++row)
            QCOMPARE(table->item(row, 2)->text().toStdString() + "@" + table->item(row, 0)->text().toStdString(),
                     ranked.best[static_cast<std::size_t>(row)].frefMHz.text + "@" +
                         ranked.best[static_cast<std::size_t>(row)].mult.text);
        QHeaderView* header = table->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(0) + 4, header->height() / 2));
        QStringList mults;
        for (int row = 0; row < table->rowCount(); ++row) {
            mults << table->item(row, 0)->text();
            if (row > 0) QVERIFY(mults[row - 1].toDouble() <= mults[row].toDouble());
        }
        // Text would sort "16" and "24" before "8".
        QVERIFY2(mults.first() == QStringLiteral("8") && mults.last() == QStringLiteral("24"),
                 qPrintable(mults.join(u',')));
        const int last = table->rowCount() - 1;
        table->selectRow(last);
        const QString ref = table->item(last, 2)->text();
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Use")), Qt::LeftButton);
        QCOMPARE(control<QLineEdit>("Mult")->text(), QStringLiteral("24"));
        QCOMPARE(control<QLineEdit>("Fref")->text(), ref);
    }

    // A DDS chip chosen bounds the default references and every candidate,
    // the window's own press judges its reference by it, and the rejected
    // pairs are listed on request.
    void findSettingsKeepsToTheDdsChip() {
        QWidget* dialog = findSettingsDialog();
        auto* chip = dialog->findChild<QComboBox*>(QStringLiteral("DdsChip"));
        auto* refs = dialog->findChild<QLineEdit*>(QStringLiteral("References"));
        QCOMPARE(refs->text(), QStringLiteral("10-1000/0.5"));
        chip->setCurrentIndex(chip->findData(QStringLiteral("AD9851")));
        QCOMPARE(refs->text(), QStringLiteral("10-180/0.5"));
        QCOMPARE(window_->typedBeacon().dds, std::string("AD9851"));
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Search")), Qt::LeftButton);
        auto* table = dialog->findChild<QTableWidget*>(QStringLiteral("Candidates"));
        QTRY_VERIFY(table->rowCount() > 0);
        for (int row = 0; row < table->rowCount(); ++row) QVERIFY(table->item(row, 2)->text().toDouble() <= 180.0);
        auto* show = dialog->findChild<QPushButton*>(QStringLiteral("ShowRejected"));
        auto* rejected = dialog->findChild<QLabel*>(QStringLiteral("Rejected"));
        QVERIFY(show->isEnabled());
        QVERIFY(!rejected->isVisibleTo(dialog));
        QTest::mouseClick(show, Qt::LeftButton);
        QVERIFY(rejected->isVisibleTo(dialog));
        QVERIFY2(rejected->text().contains(QStringLiteral(" by limit-exceeded")), qPrintable(rejected->text()));
        // A maximum clock typed over the chip's: a reference above it is an error.
        auto* clock = dialog->findChild<QLineEdit*>(QStringLiteral("MaxClock"));
        QTest::keyClicks(clock, QStringLiteral("150"));
        QCOMPARE(refs->text(), QStringLiteral("10-150/0.5"));
        replaceText("Fref", QStringLiteral("160"));
        clickCalculate();
        bool above = false;
        for (const jt4dds::Finding& f : window_->lastFindings())
            above = above || f.kind == jt4dds::FindingKind::ReferenceAboveMaxClock;
        QVERIFY(above);
    }

    void windowAnswersAPressDuringALongSearch() {
        QWidget* dialog = searchFor(QStringLiteral("1-20"), QStringLiteral("1-1000/0.001"));
        auto* status = dialog->findChild<QLabel*>(QStringLiteral("SearchStatus"));
        QCOMPARE(status->text(), QStringLiteral("Searching\u2026"));
        replaceText("Fref", QStringLiteral("300"));
        clickCalculate();
        QVERIFY(window_->listing().ends_with("\r\n\r\nResolution  0.838Hz"));
        QCOMPARE(status->text(), QStringLiteral("Searching\u2026"));  // still going, beside the window
        dialog->close();  // stops the search; closing the window then waits for nothing long
    }

    void focusOrderByTab() {
        clickCalculate();  // shows SSBCarrier, which takes part in the order
        const char* order[] = {"Fout",     "Mult",  "Fref",   "RefTone", "UpTone",     "DownTone", "JTMode",
                               "Command1", "Text1", "Config", "SpTone",  "SSBCarrier", "Ref800",   "Fout"};
        control("Fout")->setFocus();
        for (std::size_t i = 1; i < std::size(order); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* focused = QApplication::focusWidget();
            // A selector's text area has the focus on the selector's behalf.
            while (focused && focused->objectName().isEmpty()) focused = focused->parentWidget();
            QVERIFY(focused);
            QCOMPARE(focused->objectName(), QString::fromLatin1(order[i]));
        }
    }

    // "Apply fix" in Tone details, for each kind of finding with a fix: one
    // click types the edit (a plan field turns black as typing turns it),
    // presses Calculate, and the finding is gone; Undo brings the texts back.
    void applyFixTypesPressesAndUndoes_data() {
        QTest::addColumn<QStringList>("typed");  // field=text, typed first
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("kind");
        QTest::newRow("limit_by_the_reference") << QStringList{} << "&Apply fix: Master Reference 276.203 MHz"
                                                << "Fref"
                                                << "276.203"
                                                << "limit-exceeded";
        QTest::newRow("limit_by_the_multiplication") << QStringList{} << "Apply fix &2: RF Multiplication 27"
                                                     << "Mult"
                                                     << "27"
                                                     << "limit-exceeded";
        QTest::newRow("resolution_by_the_multiplication")
            << QStringList{"Mult=200", "Fref=100"} << "Apply fix &2: RF Multiplication 192"
            << "Mult"
            << "192"
            << "resolution";
        QTest::newRow("reference_above_the_maximum_clock")
            << QStringList{"MaxClock=400", "Fout=2320.1", "Fref=450"} << "&Apply fix: Master Reference 400 MHz"
            << "Fref"
            << "400"
            << "reference-above-max-clock";
        QTest::newRow("decimal_comma") << QStringList{"Fout=2320,1", "Fref=300"}
                                       << "&Apply fix: Output Frequency 2320.1 MHz"
                                       << "Fout"
                                       << "2320.1"
                                       << "ignored-text";
        QTest::newRow("sign_before_the_multiplication")
            << QStringList{"Mult=x24", "Fref=300"} << "&Apply fix: RF Multiplication 24"
            << "Mult"
            << "24"
            << "no-number";
        QTest::newRow("kilohertz_tone") << QStringList{"UpTone=0.4 kHz", "Fref=300"}
                                        << "&Apply fix: FSK CW (key up) Tone 400 Hz"
                                        << "UpTone"
                                        << "400"
                                        << "ignored-text";
    }
    void applyFixTypesPressesAndUndoes() {
        QFETCH(QStringList, typed);
        QFETCH(QString, button);
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, kind);
        for (const QString& pair : typed) {
            if (pair.startsWith(QStringLiteral("MaxClock=")))
                window_->setDds({}, pair.section(u'=', 1).toStdString());
            else
                replaceText(pair.section(u'=', 0, 0).toLatin1().constData(), pair.section(u'=', 1));
        }
        clickCalculate();
        const std::string before = window_->listing();
        const QString typedText = control<QLineEdit>(field.toLatin1().constData())->text();
        window_->showToneDetails();
        auto* details = window_->findChild<QWidget*>(QStringLiteral("ToneDetails"));
        QPushButton* apply = nullptr;
        QStringList offered;
        for (auto* b : details->findChildren<QPushButton*>(QStringLiteral("ApplyFix"))) {
            offered << b->text();
            if (b->text() == button) apply = b;
        }
        QVERIFY2(apply, qPrintable(offered.join(QStringLiteral(" | "))));
        QTest::mouseClick(apply, Qt::LeftButton);
        auto* box = control<QLineEdit>(field.toLatin1().constData());
        QCOMPARE(box->text(), text);
        QCOMPARE(textColour(box), QApplication::palette(box).color(QPalette::Text));
        QCOMPARE(window_->listing(), jt4dds::calculate(window_->typedBeacon()).listing.value_or(std::string()));
        for (const jt4dds::Finding& f : window_->lastFindings())
            QVERIFY2(jt4dds::kindName(f.kind) != kind.toStdString(), jt4dds::findingLine(f).c_str());
        // Undo presses again: a press that stops before the header leaves the box as it is.
        const std::string fixedListing = window_->listing();
        QVERIFY(window_->undo());
        QCOMPARE(box->text(), typedText);
        QCOMPARE(window_->listing(), before.empty() ? fixedListing : before);
    }

    // A click on a field's mark types the one fix its finding has.
    void clickOnTheMarkTypesTheFix() {
        replaceText("Fout", QStringLiteral("2320,1"));
        replaceText("Fref", QStringLiteral("300"));
        clickCalculate();
        QVERIFY(markerShown("Fout"));
        QAction* marker = nullptr;
        for (QAction* action : control<QLineEdit>("Fout")->actions())
            if (action->objectName() == QLatin1String("FindingMarker")) marker = action;
        QVERIFY(marker->toolTip().contains(QStringLiteral("Click to type Output Frequency 2320.1 MHz")));
        marker->trigger();
        QCOMPARE(control<QLineEdit>("Fout")->text(), QStringLiteral("2320.1"));
        QVERIFY(!markerShown("Fout"));
        QVERIFY(window_->listing().find("Ref 300.0MHz") != std::string::npos);
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
