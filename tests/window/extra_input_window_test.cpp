// SPDX-License-Identifier: GPL-3.0-or-later
// The window built with one input more than the program has
// (JT4DDS_TEST_EXTRA_INPUT), which only the input table names: it gets a
// caption and a field in a row under the form, the window grows by that
// row, the form stays where it was, and what is typed into the field is
// what a press, a beacon file and the copied command line take.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "calc/tuning/beacon.h"
#include "formats/beacon_file.h"
#include "formats/search_output.h"
#include "formats/window_layout.h"
#include "tests/window/window_fixture.h"
#include "window/main_window.h"

using jt4dds::Input;
using jt4dds::MainWindow;

static_assert(jt4dds::kInputCount == 8, "this build has the test's extra input");

class ExtraInputWindowTest : public jt4dds::testing_support::MainWindowFixture {
    Q_OBJECT

private slots:
    void init() { showWindow(); }
    void cleanup() { window_.reset(); }

    void hasACaptionedFieldUnderTheForm() {
        auto* field = control<QLineEdit>("TestExtra");
        QCOMPARE(field->text(), QStringLiteral("7"));  // the input table's initial text
        QCOMPARE(field->geometry(), QRect(2400 / 15, 4800 / 15, 1575 / 15, 285 / 15));
        auto* caption = control<QLabel>("test_extra");
        QCOMPARE(caption->text(), QStringLiteral("Test Extra"));
        QCOMPARE(caption->buddy(), field);
        QCOMPARE(field->accessibleName(), QStringLiteral("Test Extra"));
        QCOMPARE(caption->geometry().top(), field->geometry().top());
    }

    void theWindowGrowsByOneRowAndTheFormStays() {
        QCOMPARE(window_->size(), QSize(10890 / 15, (5355 + 360) / 15));
        for (const jt4dds::ControlPlace& place : jt4dds::kFormControls) {
            const QString name = QString::fromUtf8(place.name.data(), static_cast<qsizetype>(place.name.size()));
            QWidget* widget = control(name.toLatin1().constData());
            QCOMPARE(widget->geometry(), QRect(place.left / 15, place.top / 15, place.width / 15, place.height / 15));
        }
    }

    void tabReachesItLast() {
        control<QWidget>("Ref800")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), control<QLineEdit>("TestExtra"));
    }

    void whatIsTypedIsWhatThePressAndTheFilesTake() {
        auto* field = control<QLineEdit>("TestExtra");
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, QStringLiteral("9 Hz"));
        const jt4dds::Beacon typed = window_->typedBeacon();
        QCOMPARE(QString::fromStdString(typed.text(Input::TestExtra)), QStringLiteral("9 Hz"));
        QVERIFY(jt4dds::beaconText(typed).find("\"test_extra\": \"9 Hz\"") != std::string::npos);
        QVERIFY(jt4dds::cliCommand(typed).find("--test-extra '9 Hz'") != std::string::npos);
        // Enter in it presses Calculate, as in every field.
        QTest::keyClick(field, Qt::Key_Return);
        QVERIFY(control<QPlainTextEdit>("Text1")->toPlainText().contains(QStringLiteral("Tone")));
    }
};

QTEST_MAIN(ExtraInputWindowTest)
#include "extra_input_window_test.moc"
