#include "window/results_box.h"

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

}  // namespace jt4dds
