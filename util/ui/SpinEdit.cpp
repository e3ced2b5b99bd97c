#include "util/ui/SpinEdit.h"

#include <QLineEdit>
#include <algorithm>

TSpinEdit::TSpinEdit(QWidget* parent) : QSpinBox(parent) {}

int TSpinEdit::ClampedValueOf(const QString& text) const {
    bool ok = false;
    const qlonglong number = text.trimmed().toLongLong(&ok);
    if (!ok) {
        // Digits beyond any integer still mean "too large".
        const QString t = text.trimmed();
        const bool allDigits = !t.isEmpty() && std::all_of(t.begin(), t.end(), [](QChar c) { return c.isDigit(); });
        return allDigits ? maximum() : minimum();
    }
    if (number < minimum()) return minimum();
    if (number > maximum()) return maximum();
    return static_cast<int>(number);
}

int TSpinEdit::Value() const { return ClampedValueOf(lineEdit()->text()); }

QValidator::State TSpinEdit::validate(QString& input, int& pos) const {
    (void)pos;
    const QString t = input.trimmed();
    if (t.isEmpty() || t == QLatin1String("-")) return QValidator::Intermediate;
    bool ok = false;
    const qlonglong number = t.toLongLong(&ok);
    const bool digits =
        std::all_of(t.begin() + (t.startsWith(QLatin1Char('-')) ? 1 : 0), t.end(), [](QChar c) { return c.isDigit(); });
    if (!digits) return QValidator::Invalid;
    if (!ok || number < minimum() || number > maximum()) return QValidator::Intermediate;
    return QValidator::Acceptable;
}

void TSpinEdit::focusOutEvent(QFocusEvent* event) {
    const int clamped = Value();
    setValue(clamped);
    // setValue leaves the text alone when the value did not change.
    lineEdit()->setText(textFromValue(clamped));
    QSpinBox::focusOutEvent(event);
}
