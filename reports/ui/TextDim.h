// The text-dimensions dialog: the width and height, in characters, of a
// plain-text report file.
//
// The dialog keeps the values last confirmed with OK (80 and 0 at first)
// between uses; Cancel brings them back into the edits. Both lie in
// 0..MaxDimension; 0 keeps its meaning: natural widths, one endless page.
#pragma once

#include <cstdint>

#include <QDialog>

class QSpinBox;

namespace mivo {

class TPrompts;

class TTextDimForm : public QDialog {
    Q_OBJECT

public:
    static constexpr std::int32_t MaxDimension = 1000;

    explicit TTextDimForm(QWidget* parent = nullptr);

    // The values last confirmed.
    std::int32_t GetTextWidth() const { return width_; }
    std::int32_t GetTextHeight() const { return height_; }

    // Shows the dialog through the prompt layer (as "TextDimensions") with
    // the confirmed values; OK confirms what the edits hold, anything else
    // restores the confirmed values. True on OK.
    bool Execute(TPrompts& prompts);

    QSpinBox& EditWidth() const { return *editWidth_; }
    QSpinBox& EditHeight() const { return *editHeight_; }

    void done(int result) override;

private:
    void Confirm();
    void Restore();

    QSpinBox* editWidth_;
    QSpinBox* editHeight_;
    std::int32_t width_ = 80;
    std::int32_t height_ = 0;
};

}  // namespace mivo
