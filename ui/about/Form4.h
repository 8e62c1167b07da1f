#pragma once

// The about window: eight centred credit lines over a painted background.
// The decoder window grows it out of its own top-left corner; the window
// itself lets the credit lines rise from below its bottom edge into place,
// 30 twips per tick of its `Timer1`.

#include "ui/common/SecondaryWindow.h"
#include <array>

class QLabel;
class QTimer;

namespace zarnik {

class Form4 : public ui::SecondaryWindow {
    Q_OBJECT

public:
    // Creating the window loads it: zero size, on the decoder window's
    // top-left corner, the credit lines moved below the visible area.
    explicit Form4(QWidget* decoder);

private:
    void BuildCredits();
    void Form_Load();
    // One step of the credit animation.
    void Timer1_Timer();

    // The credit lines a to h, top to bottom.
    std::array<QLabel*, 8> credits_{};
    QTimer* Timer1_ = nullptr;
};

}  // namespace zarnik
