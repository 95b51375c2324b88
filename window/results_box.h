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

protected:
    QMimeData* createMimeDataFromSelection() const override;
};

}  // namespace jt4dds
