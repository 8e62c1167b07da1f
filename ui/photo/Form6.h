// SPDX-License-Identifier: MIT
#pragma once

// The photo window: what the photo reader found in a photo. `Picture1` shows
// the photo with the body outlined and each band named, `Label1` the reading
// the decoder window took and how sure the reader is of it, and `Command1`
// and `Command2` the next likeliest readings, each of which puts its bands in
// the decoder window when pressed. A photo with no resistor in it, or no
// photo at all, is said in `Label1`. Created, it sits at zero size on the
// decoder window's top-left corner and grows from there on its own `Timer1`.

#include <QImage>
#include <QString>
#include <array>
#include <string>
#include <vector>

#include "photo/PhotoReading.h"
#include "ui/common/SecondaryWindow.h"

class QLabel;
class QPushButton;

namespace zarnik {

class Form6 : public ui::SecondaryWindow {
    Q_OBJECT

public:
    explicit Form6(QWidget* decoder);

    // What was read from `file`: the reading, the annotated photo (or the
    // photo itself where no resistor was found), and the decoder's result
    // line for the best reading ("" where the decoder could not show it).
    void ShowReading(const QString& file, const photo::PhotoReading& reading, const QImage& picture,
                     const QString& resultLine);
    // Nothing to show but why: the file is no photo, or the reader is missing.
    void ShowProblem(const QString& text);

    // "83%".
    [[nodiscard]] static QString ConfidenceText(double confidence);

signals:
    // An alternative reading was chosen: its colour names, first digit first.
    void bandsChosen(const std::vector<std::string>& bands);

private:
    void BuildControls();
    void Form_Load();
    void Command_Click(std::size_t index);
    void ShowPicture();

    QLabel* Picture1_ = nullptr;
    QLabel* Label1_ = nullptr;
    std::array<QPushButton*, 2> commands_{};

    QImage picture_;
    // The alternatives' bands, as the buttons show them.
    std::array<std::vector<std::string>, 2> alternatives_;
};

}  // namespace zarnik
