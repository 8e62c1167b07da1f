#pragma once

// The decoder window, and the program's start. A click on a swatch paints its
// band, writes the band's text into the band's hidden field and decodes all
// five fields through the model into the result line `abcdt`. The option
// buttons switch between four and five bands. The menu opens the encoder, help
// and about windows, each growing out of this window's top-left corner, driven
// by this window's timers (encoder, about) or the help window's own.

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <vector>

#include "model/ColourTable.h"

class QAction;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTimer;

namespace zarnik {

class Form2;
class Form3;
class Form4;

namespace ui {
class ClientArea;
class Swatch;
}

class Form1 : public QMainWindow {
    Q_OBJECT

public:
    Form1();
    ~Form1() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    // The arrow keys, Home and End move the focus among the swatches.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenu();
    void BuildResistor();
    void BuildPalettes();
    void BuildBandModeButtons();
    void BuildHiddenFields();
    void Form_Load();

    // The band-mode switch, run by the option buttons.
    void ShowFourBandLayout();
    void ShowFiveBandLayout();
    // Decodes the five fields in the window's band mode, or as five bands.
    void DecodeBands(bool fiveBands = false);
    void Swatch_Click(Band band, const ColourCode& colour, const ui::Swatch* swatch);
    // The swatch a navigation key moves the focus to from a swatch; nullptr
    // for any other key.
    [[nodiscard]] ui::Swatch* SwatchForKey(ui::Swatch* from, int key) const;
    void PlaceBandColumns(double multiplierLeft, bool thirdShown);

    // Menu handlers.
    void Show_Click();
    void Exit_Click();
    void Help2_Click();
    void About_Click();

    // The opening animations of the encoder and about windows.
    void Timer1_Timer();
    void Timer2_Timer();

    // A secondary window: the one open, or a new one. A closed window is gone
    // at once, even before Qt deletes it.
    template <class Window>
    Window* Instance(QPointer<Window>& window);

    [[nodiscard]] QLabel* BandLabel(Band band) const;
    [[nodiscard]] QLineEdit* BandField(Band band) const;
    [[nodiscard]] std::string FieldText(Band band) const;

    ui::ClientArea* client_ = nullptr;
    QLineEdit* abcdt_ = nullptr;
    std::array<QLabel*, 5> bands_{};   // a, b, CG, c, d
    // Per band: its swatches top to bottom.
    std::array<std::vector<ui::Swatch*>, 5> swatches_;
    std::array<QLineEdit*, 5> fields_{};   // At, Bt, CGt, ct, Dt
    QRadioButton* four_ = nullptr;
    QRadioButton* five_ = nullptr;
    QTimer* Timer1_ = nullptr;
    QTimer* Timer2_ = nullptr;

    QPointer<Form2> encoder_;
    QPointer<Form3> help_;
    QPointer<Form4> about_;
};

}  // namespace zarnik
