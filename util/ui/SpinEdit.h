#pragma once
// A whole-number field with up/down arrows whose text may leave the range
// while it is typed: leaving the field brings the value to the nearer bound,
// and text that is not a number counts as the lower bound. Value() reads the
// text the same way, so a value still being typed is already in range.

#include <QSpinBox>

class TSpinEdit : public QSpinBox {
public:
    explicit TSpinEdit(QWidget* parent = nullptr);

    // The clamped value of the current text.
    int Value() const;

protected:
    QValidator::State validate(QString& input, int& pos) const override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    int ClampedValueOf(const QString& text) const;
};
