// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/results_box.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>
#include <QTextCursor>
#include <QTextDocumentFragment>

namespace jt4dds {
namespace {

QString withCrLf(QString text) { return text.replace(QLatin1Char('\n'), QLatin1String("\r\n")); }

}  // namespace

ResultsBox::ResultsBox(QWidget* parent) : QPlainTextEdit(parent) {
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setTabChangesFocus(true);
}

std::string ResultsBox::listingText() const { return withCrLf(toPlainText()).toStdString(); }

void ResultsBox::setListingText(std::string_view text) {
    // The document keeps lines, not line-end characters: CR LF (or a lone
    // CR or LF) becomes one line break.
    QString lines = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    setPlainText(lines);
}

QMimeData* ResultsBox::createMimeDataFromSelection() const {
    auto* mime = new QMimeData;
    mime->setText(withCrLf(textCursor().selection().toPlainText()));
    return mime;
}

void ResultsBox::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu(event->pos());
    menu->addSeparator();
    QAction* details = menu->addAction(QStringLiteral("Tone details\u2026"), this, &ResultsBox::toneDetailsRequested);
    details->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    details->setObjectName(QStringLiteral("ToneDetailsAction"));
    QAction* find = menu->addAction(QStringLiteral("Find settings\u2026"), this, &ResultsBox::findSettingsRequested);
    find->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    find->setObjectName(QStringLiteral("FindSettingsAction"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

}  // namespace jt4dds
