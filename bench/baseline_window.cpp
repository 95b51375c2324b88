// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/baseline_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <utility>
#include <vector>

namespace jt4dds::bench {
namespace {

struct Field {
    int top;
    const char* caption;
    const char* text;
};

}  // namespace

// The same texts as the main window, so both paint the same glyphs; no
// colours, fonts, signals or accessibility names.
BaselineWindow::BaselineWindow() {
    setWindowTitle(QStringLiteral("JT4 / PI4  - 32 bit DDS Design Utility     Arvok"));
    resize(726, 357);
    const Field fields[] = {
        {32, "Output Frequency  MHz", "2320.1"}, {56, "RF Multiplication", "24"},
        {80, "Master Reference  MHz", "250"},    {160, "Reference Tone   Hz", "1270"},
        {184, "FSK CW  (key up) Tone", "400"},   {208, "FSK CW (key down) Tone", "800"},
        {232, "Aux Tone  Hz", "1000"},
    };
    for (const Field& f : fields) {
        (new QLabel(QString::fromLatin1(f.caption), this))->setGeometry(24, f.top, 129, 17);
        (new QLineEdit(QString::fromLatin1(f.text), this))->setGeometry(160, f.top, 105, 19);
    }
    const QStringList submodes{"A", "B", "C", "D", "E", "F", "G", "PI4"};
    const QStringList configs{"Direct Freq Gen", "Reverse DDS"};
    const std::pair<int, const QStringList*> selectors[] = {{104, &submodes}, {256, &configs}};
    for (const auto& [top, items] : selectors) {
        (new QLabel(QString::fromLatin1(top < 200 ? "JT4 Submode or PI4" : "Configuration"), this))
            ->setGeometry(24, top, 129, 17);
        auto* box = new QComboBox(this);
        box->setEditable(true);
        box->addItems(*items);
        box->setGeometry(160, top, 105, 21);
    }
    (new QCheckBox(QStringLiteral("JT4G Reference Tone0 = 800Hz"), this))->setGeometry(48, 136, 217, 17);
    (new QPushButton(QStringLiteral("Calculate"), this))->setGeometry(160, 280, 105, 33);
    (new QPlainTextEdit(this))->setGeometry(296, 48, 409, 217);
    auto* hiddenLabel = new QLabel(QStringLiteral("Warning"), this);
    hiddenLabel->setGeometry(328, 8, 305, 33);
    hiddenLabel->hide();
    auto* hiddenCaption = new QLabel(QStringLiteral("SSB Carrier, Tuning Point"), this);
    hiddenCaption->setGeometry(384, 272, 129, 17);
    hiddenCaption->hide();
    auto* hiddenBox = new QLineEdit(this);
    hiddenBox->setGeometry(520, 272, 105, 19);
    hiddenBox->hide();
}

BaselineProgram::BaselineProgram() {
    setWindowTitle(QStringLiteral("JT4 / PI4  - 32 bit DDS Design Utility     Arvok"));
    auto* form = new BaselineWindow;
    setCentralWidget(form);
    struct Entry {
        const char* text;
        QKeySequence keys;
    };
    const std::pair<const char*, std::vector<Entry>> menus[] = {
        {"&File",
         {{"&New", QKeySequence::New},
          {"&Open beacon\u2026", QKeySequence::Open},
          {"&Save beacon", QKeySequence::Save},
          {"Save beacon &as\u2026", QKeySequence::SaveAs},
          {"&Recent beacons", {}},
          {"Export assembler &include\u2026", {}},
          {"Export &C header\u2026", {}},
          {"Export &JSON report\u2026", {}},
          {"&Quit", QKeySequence::Quit}}},
        {"&Edit",
         {{"&Undo", QKeySequence::Undo},
          {"&Redo", QKeySequence::Redo},
          {"Copy &listing", {}},
          {"Copy as &assembler include", {}},
          {"Copy as &C header", {}},
          {"Copy co&mmand line", {}}}},
        {"&View",
         {{"&Tone details\u2026", {}},
          {"&Find settings\u2026", {}},
          {"T&ransmission\u2026", QKeySequence(Qt::CTRL | Qt::Key_M)}}},
        {"&Help", {{"&Help", QKeySequence::HelpContents}, {"&About jt4dds", {}}}},
    };
    for (const auto& [title, entries] : menus) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf8(title));
        for (const Entry& entry : entries) menu->addAction(QString::fromUtf8(entry.text), entry.keys, [] {});
    }
    statusBar()->addWidget(new QLabel(QStringLiteral("Calculate to see the words"), this), 1);
    statusBar()->setSizeGripEnabled(false);
    resize(form->width(), form->height() + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
}

}  // namespace jt4dds::bench
