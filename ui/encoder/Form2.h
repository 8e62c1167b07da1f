#pragma once

// The encoder window. The user types a value into `a12`, which a12_Change keeps
// numeric and within its typing limit; picks a unit in `Z` and a tolerance in
// `T` (typing there puts the start text back); chooses four or five bands; and
// presses "&OK". Command1_Click hands the three texts to the model's encoding
// and writes what it returns into the hidden boxes, the band labels and the
// result line `abcdt`. The decoder window opens this window and stays disabled
// until it closes.

#include "ui/common/SecondaryWindow.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace zarnik {

struct Encoding;

namespace ui {
class TypingLimit;
}  // namespace ui

class Form2 : public ui::SecondaryWindow {
    Q_OBJECT

public:
    // Form_Load: the window is created at zero size on the decoder window's
    // top-left corner and disables the decoder window.
    explicit Form2(QWidget* decoder);

protected:
    void Form_Unload() override;

private:
    void BuildValueControls();
    void BuildResistor();
    void BuildBandModeButtons();
    void BuildHiddenBoxes();
    void SetTabOrder();
    void Form_Load();

    // Event handlers.
    void a12_Change();
    void Z_Change();
    void T_Change();
    void Command1_Click();
    void four_Click();
    void five_Click();

    void SetFourBandLayout();
    void SetFiveBandLayout();
    void ApplyEncoding(const Encoding& encoding);
    void ShowWrongValueBox();
    // The prompt in the result line, which then tells nothing more.
    void ShowPrompt();
    // The four-band typing limit of the value, also applied by SetFourBandLayout.
    void ApplyFourBandLimit(double value);

    QLineEdit* a12_ = nullptr;
    ui::TypingLimit* a12Limit_ = nullptr;
    QComboBox* Z_ = nullptr;
    QComboBox* T_ = nullptr;
    QPushButton* Command1_ = nullptr;
    QLineEdit* abcdt_ = nullptr;
    QRadioButton* four_ = nullptr;
    QRadioButton* five_ = nullptr;
    QLabel* a_ = nullptr;
    QLabel* b_ = nullptr;
    QLabel* CG_ = nullptr;
    QLabel* c_ = nullptr;
    QLabel* d_ = nullptr;
    QLineEdit* a123_ = nullptr;
    QLineEdit* a1_ = nullptr;
    QLineEdit* b1_ = nullptr;
    QLineEdit* CG1_ = nullptr;
    QLineEdit* c1_ = nullptr;
    QTimer* Timer2_ = nullptr;
};

}  // namespace zarnik
