// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QGuiApplication>
#include <QHeaderView>
#include <QLocale>
#include <QScreen>
#include <QScrollBar>
#include <QString>
#include <QTableWidget>
#include <algorithm>
#include <array>
#include <string>
#include <string_view>

namespace jt4dds {

// The core's UTF-8 text as a QString.
inline QString qs(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// The decimal separator of the operator's locale, as Qt reads it from the
// environment: the one the window writes the listing's numbers with.
inline std::string localeDecimalSeparator() { return QLocale().decimalPoint().toStdString(); }

// A tooltip that shows `text` as typed: Qt would render a tooltip that looks
// like markup ("<b>") as rich text, so it is escaped into rich text that
// shows it literally, line breaks and runs of blanks kept. Empty stays empty.
inline QString plainToolTip(const QString& text) {
    if (text.isEmpty()) return text;
    return QStringLiteral("<p style='white-space:pre-wrap'>") + text.toHtmlEscaped() + QStringLiteral("</p>");
}

// Sizes `dialog` to at most `wanted` and to the screen, and puts it beside
// `anchor`'s window: right of it where the screen has room, else left of
// it, else as near as the screen allows, so that it covers the
// calculation as little as the screen lets it.
inline void placeBeside(QWidget* dialog, const QWidget* anchor, QSize wanted) {
    const QWidget* main = anchor->window();
    const QScreen* screen = main->screen() ? main->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect room = screen->availableGeometry();
    const QRect frame = main->frameGeometry();
    const QSize size = wanted.boundedTo(room.size());
    dialog->resize(size);
    constexpr int kGap = 8;
    int x = frame.right() + kGap;
    if (x + size.width() > room.right()) x = frame.left() - kGap - size.width();
    if (x < room.left()) x = room.right() - size.width();
    const int y = std::clamp(frame.top(), room.top(), std::max(room.top(), room.bottom() - size.height()));
    dialog->move(std::max(x, room.left()), y);
}

// The height a table needs to show `rows` rows whole, with its header.
inline int heightForRows(const QTableWidget* table, int rows) {
    return table->horizontalHeader()->height() + rows * table->verticalHeader()->defaultSectionSize() +
           2 * table->frameWidth() + table->horizontalScrollBar()->sizeHint().height();
}

// A read-only table of text cells with these column headings, named for tests.
template <std::size_t N>
QTableWidget* textTable(QWidget* parent, const QString& name, const std::array<std::string_view, N>& headings) {
    auto* table = new QTableWidget(0, static_cast<int>(N), parent);
    table->setObjectName(name);
    QStringList labels;
    for (std::string_view heading : headings) labels << qs(heading);
    table->setHorizontalHeaderLabels(labels);
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return table;
}

// Fills row `row` with `cells`; the first `rightAligned` columns hold numbers.
template <std::size_t N>
void setTextRow(QTableWidget* table, int row, const std::array<std::string, N>& cells, std::size_t rightAligned) {
    for (std::size_t col = 0; col < N; ++col) {
        auto* item = new QTableWidgetItem(qs(cells[col]));
        if (col < rightAligned) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table->setItem(row, static_cast<int>(col), item);
    }
}

}  // namespace jt4dds
