#pragma once

// The about window: eight centred credit lines over a painted background.
// The decoder window grows it out of its own top-left corner; the window
// itself lets the credit lines rise from below its bottom edge into place,
// 30 twips per tick of its `Timer1`.

#include <QPointer>
#include <QWidget>
#include <array>

class QLabel;
class QTimer;

namespace zarnik {

namespace ui {
class ClientArea;
}

class Form4 : public QWidget {
public:
    // Creating the window loads it: zero size, on the decoder window's
    // top-left corner, the credit lines moved below the visible area.
    explicit Form4(QWidget* decoder);

    // One step of the credit animation.
    void Timer1_Timer();

    // The credit lines a to h, top to bottom.
    [[nodiscard]] const std::array<QLabel*, 8>& Credits() const { return credits_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildCredits();
    void Form_Load();

    QPointer<QWidget> decoder_;
    ui::ClientArea* client_ = nullptr;
    std::array<QLabel*, 8> credits_{};
    QTimer* Timer1_ = nullptr;
};

}  // namespace zarnik
