// SPDX-License-Identifier: MIT
#pragma once

// The help window: the Persian help document in a read-only rich-text box
// over the help background picture. Created, it sits at zero size on the
// decoder window's top-left corner; its own `Timer1` then grows it, 75 twips
// of height a tick with the width following the height, until it is as tall
// as the decoder window.

#include "ui/common/SecondaryWindow.h"

class QTextEdit;

namespace zarnik {

class Form3 : public ui::SecondaryWindow {
    Q_OBJECT

public:
    // Creating the window loads it: the help document goes into
    // `RichTextBox1`, the window shrinks to zero size on the decoder window's
    // top-left corner and `Timer1` starts.
    explicit Form3(QWidget* decoder);

private:
    void BuildRichTextBox();
    void Form_Load();

    QTextEdit* RichTextBox1_ = nullptr;
};

}  // namespace zarnik
