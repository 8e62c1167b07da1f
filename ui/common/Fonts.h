#pragma once

#include <QFont>
#include <QString>

namespace zarnik::ui {

// The font of a control that shows numbers in the user's notation (the
// result lines, the value box), named by its Windows family as for
// DesignFont(). Where that font lacks the user's decimal separator (Persian
// "٫"), the separator comes from a font whose line is no taller once rounded:
// a line edit centres its text on the tallest line in it, and the system's
// own Arabic fallback has lines so tall that the whole text would rise and
// lose its top row.
[[nodiscard]] QFont LatinTextFont(const QString& family, double pointSize, QFont::Style style);

// The two fonts the windows' Latin controls use at their design size of
// 11.25 pt: Times New Roman italic for the numbers (result lines, value and
// list boxes), Courier New bold for the option buttons.
inline constexpr double kDesignPointSize = 11.25;
[[nodiscard]] QFont ValueFont();
[[nodiscard]] QFont OptionFont();

}  // namespace zarnik::ui
