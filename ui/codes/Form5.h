// SPDX-License-Identifier: MIT
#pragma once

// The codes window: the codes printed on resistors, capacitors and inductors,
// both ways, for the part chosen in `part`. A code typed into `mark` is read
// by every system of the part that reads it, one reading a line in `markt`
// (on a capacitor, a dielectric code too); a value typed into `value` with
// its unit from `unit` gets its code in each system, one a line in `codest`.
// Both answer as the user types, and once typing pauses (`Timer2`) a screen
// reader is told the new answer. The window keeps what it shows in members
// and writes the controls from them. Created, it sits at zero size on the
// decoder window's top-left corner; its own `Timer1` then grows it as the
// help window grows.

#include <optional>
#include <string>
#include <vector>

#include "model/Decimal.h"
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
    enum class Part { Resistor, Capacitor, Inductor };

    void BuildPartControls();
    void BuildCodeControls();
    void BuildValueControls();
    void Form_Load();

    // Event handlers.
    void part_Change();
    void mark_Change();
    void value_Change();
    void Timer2_Timer();

    // Write the controls from the members.
    void ShowReadings();
    void ShowCodes();
    void ShowUnits();
    // Tells a screen reader the answer once typing pauses.
    void AnnounceLater(const QString& answer);

    [[nodiscard]] std::vector<std::string> ReadingLines() const;
    [[nodiscard]] std::vector<std::string> CodeLines() const;

    QComboBox* part_ = nullptr;
    QLineEdit* mark_ = nullptr;
    QLabel* markt_ = nullptr;
    QLineEdit* value_ = nullptr;
    QComboBox* unit_ = nullptr;
    QLabel* codest_ = nullptr;
    QTimer* Timer2_ = nullptr;

    Part chosen_ = Part::Resistor;
    // The code as typed, blanks around it left out.
    std::string code_;
    // The value in the part's base unit (ohm, farad, henry); nothing while
    // the value box holds no value.
    std::optional<Decimal> amount_;
    // What a screen reader is told when Timer2 ticks.
    QString announcement_;
};

}  // namespace zarnik
