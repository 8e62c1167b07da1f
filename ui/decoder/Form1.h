// SPDX-License-Identifier: MIT
#pragma once

// The decoder window, and the program's start. A click on a swatch paints its
// band, writes the band's text into the band's hidden field and decodes the
// fields through the model into the result line `abcdt`. The option buttons
// switch between four, five and six bands; six bands add the temperature
// coefficient, shown beside the result line in `ppm`. The menu opens the
// encoder, codes, help, about, photo and parts-list windows, each growing out
// of this window's top-left corner, driven by this window's timers (encoder,
// about) or the window's own (codes, help, photo, parts list).

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <optional>
#include <string>
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
class Form5;
class Form6;
class Form7;

namespace ui {
class ClientArea;
class Swatch;
}  // namespace ui

class Form1 : public QMainWindow {
    Q_OBJECT

public:
    Form1();
    ~Form1() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    // The arrow keys, Home and End move the focus among the swatches.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // A file dropped on the window is read as a photo, or as a parts list
    // where it is one (see OpenPartsList).
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

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
    void ShowSixBandLayout();
    // Decodes the five fields in the window's band mode, or as five bands.
    void DecodeBands(bool fiveBands = false);
    void Swatch_Click(Band band, const ColourCode& colour, const ui::Swatch* swatch);
    // The swatch a navigation key moves the focus to from a swatch; nullptr
    // for any other key.
    [[nodiscard]] ui::Swatch* SwatchForKey(ui::Swatch* from, int key) const;
    // Places each band column at its Left in the band mode, or hides it (a
    // Left of 0), and shows the idle text.
    void PlaceBandColumns(const std::array<double, 6>& lefts);
    // The result line's note; in six-band mode it tells the coefficient too.
    void NoteResult(const std::optional<std::string>& note);
    // Reads the photo in `file` and shows what was read.
    void ReadPhoto(const QString& file);
    // Opens the parts-list window on `file` and reads it there.
    void OpenPartsList(const QString& file);
    // A dropped file is a parts list where its name ends in .csv, .tsv or
    // .txt, or where neither its name nor its bytes are a picture's and its
    // first block is text.
    [[nodiscard]] static bool IsPartsList(const QString& file);
    // Switches to the band mode of four or five colour names and takes each
    // as if its swatch were clicked, but silently (the window that gives the
    // bands tells what they read); false, and nothing changed, where a
    // colour has no swatch at its place.
    bool TakeBands(const std::vector<std::string>& names);

    // Menu handlers.
    void Show_Click();
    void Codes_Click();
    void Photo_Click();
    void Parts_Click();
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
    QLineEdit* ppm_ = nullptr;
    std::array<QLabel*, 6> bands_{};  // a, b, CG, c, d, e
    // Per band: its swatches top to bottom.
    std::array<std::vector<ui::Swatch*>, 6> swatches_;
    std::array<QLineEdit*, 6> fields_{};  // At, Bt, CGt, ct, Dt, Et
    QRadioButton* four_ = nullptr;
    QRadioButton* five_ = nullptr;
    QRadioButton* six_ = nullptr;
    QTimer* Timer1_ = nullptr;
    QTimer* Timer2_ = nullptr;
    bool takingBands_ = false;  // the clicks of TakeBands announce nothing

    QPointer<Form2> encoder_;
    QPointer<Form3> help_;
    QPointer<Form4> about_;
    QPointer<Form5> codes_;
    QPointer<Form6> photo_;
    QPointer<Form7> parts_;
};

}  // namespace zarnik
