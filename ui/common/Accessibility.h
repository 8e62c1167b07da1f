// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <vector>

class QLineEdit;
class QWidget;

namespace zarnik::ui {

// Our own accessibility for the controls where Qt's falls short: line edits
// (every boundary query of their text answered in bounded time, attribute
// runs over the whole text, a read-only line read in words), swatches (radio
// buttons of their column, checked when their band has their colour, named
// without a second, repeated description), read-only rich texts (read by
// line, in their own language) and controls kept out of the tree.
// Installed once; every window's setup calls it.
void InstallAccessibility();

// Tells assistive tools which control has the focus each time the window
// becomes active, after the activation.
void RetellFocusOnActivation(QWidget* window);

// What a screen reader says for a text the screen shows: "_+5%" is "plus or
// minus 5 percent". `offsets` maps each offset of the shown text (its end
// included) to the offset in the spoken one.
struct SpokenText {
    QString text;
    std::vector<int> offsets;
};
[[nodiscard]] SpokenText Spoken(const QString& shown);

// Makes a screen reader say `text` (as spoken) at once, whatever has the
// focus: the window's notification, an accessible object of no size, shows
// with it as its name. Screen readers drop a new text of an unfocused line,
// and Qt tells a new name or description of the focused control without its
// text; a notification they speak as it shows.
void Announce(QWidget* window, const QString& text);

// A result line the user can reach with Tab and read, but not edit: the
// window's shortcuts (the menu's Ctrl keys) still reach the menu from it.
void MakeResultStop(QLineEdit* line);

// Keeps a control that is never shown out of the accessibility tree: no
// screen reader lists it or hears its changes.
void HideFromAccessibility(QWidget* control);

}  // namespace zarnik::ui
