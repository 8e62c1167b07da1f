// SPDX-License-Identifier: MIT
#pragma once

// The codes window: the codes printed on surface-mount parts, both ways. A
// code typed into `mark` is read by every system that reads it, one reading a
// line in `markt`; a value typed into `value` with its unit from `unit` gets
// its code in each system, one a line in `codest`. Both answer as the user
// types. The window keeps what it shows in members and writes the controls
// from them. Created, it sits at zero size on the decoder window's top-left
// corner; its own `Timer1` then grows it as the help window grows.

#include <optional>
#include <string>
#include <vector>

#include "model/Decimal.h"
#include "model/SmdCodes.h"
#include "ui/common/SecondaryWindow.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QTimer;

namespace zarnik {

class Form5 : public ui::SecondaryWindow {
    Q_OBJECT

public:
    explicit Form5(QWidget* decoder);

protected:
    void Form_Unload() override;

private:
    void BuildCodeControls();
    void BuildValueControls();
    void Form_Load();

    // Event handlers.
    void mark_Change();
    void value_Change();
    void Timer1_Timer();

    // Write the controls from the members.
    void ShowReadings();
    void ShowCodes();

    QLineEdit* mark_ = nullptr;
    QLabel* markt_ = nullptr;
    QLineEdit* value_ = nullptr;
    QComboBox* unit_ = nullptr;
    QLabel* codest_ = nullptr;
    QTimer* Timer1_ = nullptr;

    // The code as typed, blanks around it left out, and its readings.
    std::string code_;
    std::vector<CodeReading> readings_;
    // The value in ohms; nothing while the value box holds no value.
    std::optional<Decimal> ohms_;
};

}  // namespace zarnik
