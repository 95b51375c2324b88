// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPlainTextEdit>
#include <string>
#include <string_view>

namespace jt4dds {

// The multi-line results box. It holds the listing's lines and gives them
// back, and to the clipboard, with CR LF line ends, so what the operator
// copies is the listing byte for byte.
class ResultsBox final : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit ResultsBox(QWidget* parent = nullptr);

    std::string listingText() const;
    void setListingText(std::string_view text);

signals:
    // "Tone details…" was chosen from the context menu.
    void toneDetailsRequested();
    // "Find settings…" was chosen from the context menu.
    void findSettingsRequested();

protected:
    QMimeData* createMimeDataFromSelection() const override;
    void contextMenuEvent(QContextMenuEvent* event) override;
};

}  // namespace jt4dds
