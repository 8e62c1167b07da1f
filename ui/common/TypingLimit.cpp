// SPDX-License-Identifier: MIT
#include "ui/common/TypingLimit.h"

#include <QLineEdit>
#include <algorithm>

namespace zarnik::ui {

// Qt's own maxLength cuts any text that exceeds it, including the program's;
// held at the larger of the limit and the current length, it stops only growth.
TypingLimit::TypingLimit(QLineEdit* edit, int limit) : QObject(edit), edit_(edit), limit_(limit)
{
    Refresh();
    connect(edit_, &QLineEdit::textChanged, this, &TypingLimit::Refresh);
}

void TypingLimit::SetLimit(int limit)
{
    limit_ = std::max(0, limit);
    Refresh();
}

void TypingLimit::SetText(const QString& text)
{
    edit_->setMaxLength(std::max<int>({limit_, int(text.size()), int(edit_->text().size())}));
    edit_->setText(text);
    Refresh();
}

void TypingLimit::Refresh()
{
    const int maxLength = std::max<int>(limit_, int(edit_->text().size()));
    if (edit_->maxLength() == maxLength) {
        return;
    }
    // Setting maxLength puts the cursor at the end and drops the selection;
    // the user keeps both.
    const int cursor = edit_->cursorPosition();
    const int selectionStart = edit_->selectionStart();
    const int selectionLength = int(edit_->selectedText().size());
    edit_->setMaxLength(maxLength);
    if (selectionLength > 0) {
        const bool backwards = cursor == selectionStart;
        edit_->setSelection(backwards ? selectionStart + selectionLength : selectionStart,
                            backwards ? -selectionLength : selectionLength);
    } else {
        edit_->setCursorPosition(cursor);
    }
}

}  // namespace zarnik::ui
