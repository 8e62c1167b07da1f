// SPDX-License-Identifier: MIT
#pragma once

// The parts-list window: a parts list read and checked by the model, one
// table row per resistor, capacitor or inductor row of the file. `Label1`
// names the file and tells the summary (announced once the list is read),
// `Grid1` shows each row's designators, value, reading, series, bands and
// codes, and its flags in words and in colour; it sorts by any column. The
// row the focus moves to is what a screen reader hears (designators, value,
// flags), and a resistor's row puts its bands in the decoder window.
// Created, it sits at zero size on the decoder window's top-left corner and
// grows from there on its own `Timer1`.

#include <QString>
#include <string>
#include <vector>

#include "model/PartsList.h"
#include "ui/common/SecondaryWindow.h"

class QLabel;
class QTableWidget;

namespace zarnik {

class Form7 : public ui::SecondaryWindow {
    Q_OBJECT

public:
    explicit Form7(QWidget* decoder);

    // Reads and checks the parts list in `file`, shows its rows and
    // announces the summary (or why the file cannot be read).
    void ReadList(const QString& file);

    // The most rows the table shows; the summary counts them all.
    static constexpr int kMostRows = 100000;

signals:
    // A resistor's row was chosen: its colour names, first digit first, ""
    // for a tolerance band the list does not give.
    void bandsChosen(const std::vector<std::string>& bands);

private:
    void BuildControls();
    void Form_Load();
    void AddRow(const CheckedPart& part);
    void Grid1_CurrentRowChanged(int row);

    QLabel* Label1_ = nullptr;
    QTableWidget* Grid1_ = nullptr;

    // The parts shown, in the order read; each row of the table keeps its
    // index here, whatever the sorting.
    std::vector<CheckedPart> parts_;
};

}  // namespace zarnik
