#include "session/LogView.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

#include "util/ui/UiUtils.h"

TLogView::TLogView(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setUndoRedoEnabled(false);
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(13);
    setFont(font);
}

void TLogView::AppendLine(const std::string& text, const QColor& colour) {
    QTextCharFormat format;
    format.setForeground(colour);
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    // The document starts with one empty block; the first line takes it.
    if (!document()->isEmpty()) cursor.insertBlock();
    cursor.insertText(ToQt(text), format);
    if (const int lines = LineCount(); lines >= MaxLines + TrimBlock) DropOldestLines(lines - MaxLines);
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    viewport()->update();
}

// One selection from the first line to the start of the first line kept,
// found by its number: moving the cursor there line by line took about 30 ms
// for 1,000 lines, the jump and the removal together a few.
void TLogView::DropOldestLines(int count) {
    QTextCursor cursor(document());
    cursor.setPosition(document()->findBlockByNumber(count).position(), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

int TLogView::LineCount() const { return document()->isEmpty() ? 0 : document()->blockCount(); }

std::string TLogView::LineText(int index) const { return FromQt(document()->findBlockByNumber(index).text()); }

QColor TLogView::LineColour(int index) const {
    const QTextBlock block = document()->findBlockByNumber(index);
    for (auto it = block.begin(); !it.atEnd(); ++it) return it.fragment().charFormat().foreground().color();
    return {};
}
