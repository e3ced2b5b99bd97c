#pragma once
// The read-only, fixed-pitch log pane: one colour per line. It keeps at least
// the last MaxLines lines: once TrimBlock more have gathered, the oldest are
// dropped in one step, so memory stays bounded over a long session while
// appending stays cheap.

#include <QColor>
#include <QPlainTextEdit>
#include <string>

class TLogView : public QPlainTextEdit {
public:
    static constexpr int MaxLines = 10000;
    static constexpr int TrimBlock = 1000;

    explicit TLogView(QWidget* parent = nullptr);

    // Appends one line drawn in `colour`; the view scrolls to it.
    void AppendLine(const std::string& text, const QColor& colour);
    int LineCount() const;
    std::string LineText(int index) const;
    QColor LineColour(int index) const;

private:
    void DropOldestLines(int count);
};
