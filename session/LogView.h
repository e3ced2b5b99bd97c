#pragma once
// The read-only, fixed-pitch log pane: one colour per line.

#include <QColor>
#include <QPlainTextEdit>
#include <string>

class TLogView : public QPlainTextEdit {
public:
    explicit TLogView(QWidget* parent = nullptr);

    // Appends one line drawn in `colour`; the view scrolls to it.
    void AppendLine(const std::string& text, const QColor& colour);
    int LineCount() const;
    std::string LineText(int index) const;
    QColor LineColour(int index) const;
};
