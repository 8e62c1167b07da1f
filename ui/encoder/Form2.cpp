// SPDX-License-Identifier: MIT
#include "ui/encoder/Form2.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <array>
#include <functional>
#include <optional>
#include <utility>

#include "model/BandCapacity.h"
#include "model/ColourTable.h"
#include "model/Encoding.h"
#include "model/NumberText.h"
#include "model/ResultFacts.h"
#include "ui/common/Accessibility.h"
#include "ui/common/Controls.h"
#include "ui/common/Fonts.h"
#include "ui/common/Twips.h"
#include "ui/common/TypingLimit.h"
#include "ui/common/Window.h"

namespace zarnik {

namespace {

using ui::DrawnLine;
using ui::TwipsRect;

// The resistor, lower than in the decoder window, and the frame around the
// result line.
constexpr int kDrawingDown = 360;
constexpr auto kLines = ui::ResistorDrawing(kDrawingDown, std::array<DrawnLine, 4>{{
                                                              {"Line15", 1200, 480, 4320, 480, 1},
                                                              {"Line16", 1200, 480, 1200, 960, 1},
                                                              {"Line17", 4320, 480, 4320, 960, 1},
                                                              {"Line18", 1200, 960, 4320, 960, 1},
                                                          }});

constexpr std::uint32_t kWhite = ui::kWhiteRgb;
constexpr std::uint32_t kGreen = ui::kGreenRgb;

constexpr double kBandTop = ui::kResistorBandTop + kDrawingDown;
constexpr double kBandWidth = 255;
constexpr double kBandHeight = 570;
constexpr double kThirdBandLeft = 2520;
constexpr double kFiveBandMultiplierLeft = 2880;
constexpr double kFourBandMultiplierLeft = 2520;

constexpr int kStartLimit = 3;

const QString kStartValue = QStringLiteral("2.2");
const QStringList kUnits = [] {
    QStringList texts;
    for (const Unit& unit : Units()) {
        texts.append(QString::fromUtf8(unit.text.data(), qsizetype(unit.text.size())));
    }
    return texts;
}();
const QStringList kTolerances = [] {
    QStringList texts;
    for (const std::string_view text : ToleranceTexts()) {
        texts.append(QString::fromUtf8(text.data(), qsizetype(text.size())));
    }
    return texts;
}();
const QString kStartUnit = QStringLiteral("Ohm");
const QString kStartTolerance = QStringLiteral("_+5%");

QString PromptText() { return QString::fromUtf8(kPromptText.data(), qsizetype(kPromptText.size())); }

NumberFormat UserNumberFormat() { return NumberFormat{QLocale::system().decimalPoint().toStdString()}; }

std::optional<double> NumberValue(const QString& text) { return Parse(text.toStdString(), UserNumberFormat()); }

// The five-band limit looks for a decimal point; the user's own separator
// counts as one, as the value test reads both.
bool HasDecimalPoint(const QString& text)
{
    return text.contains(QLatin1Char('.')) || text.contains(QLocale::system().decimalPoint());
}

void SetBackground(QWidget* control, QPalette::ColorRole role, std::uint32_t rgb)
{
    QPalette palette = control->palette();
    palette.setColor(role, ui::FromRgb(rgb));
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::WindowText, Qt::black);
    control->setPalette(palette);
}

QComboBox* MakeListBox(QWidget* parent, const QString& name, TwipsRect rect, const QString& text)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(true);
    // The text line only ever shows a list item: typed text is never added to
    // the list nor completed from it.
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setCompleter(nullptr);
    box->setFont(ui::ValueFont());
    SetBackground(box, QPalette::Base, kGreen);
    box->setEditText(text);
    ui::SetTwipsGeometry(box, rect);
    return box;
}

// Shows a list item in the text line; the list's current item follows, so
// the open list shows where the text stands.
void SelectItem(QComboBox* box, const QString& text)
{
    box->setCurrentIndex(box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
    box->setEditText(text);
}

// Sets a list box's text from the program. That is a change of its text, so
// its change handler runs at once, nested; setting the text it already shows,
// as the nested run does, is no change.
void SetListText(QComboBox* box, const QString& text, const std::function<void()>& changed)
{
    const int item = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (box->currentText() == text && box->currentIndex() == item) {
        return;
    }
    SelectItem(box, text);
    changed();
}

QString Text(const std::string& text) { return QString::fromStdString(text); }

void SetBand(QLabel* band, Band kind, const ColourCode* colour)
{
    if (colour == nullptr) {
        return;  // no colour for this band: it keeps the one it has
    }
    ui::SetLabelColour(band, ui::FromRgb(colour->rgb));
    ui::SetBandMeaning(band, Text(BandMeaning(kind, *colour, UserNumberFormat())),
                       Text(SpokenBandMeaning(kind, *colour, UserNumberFormat())));
}

}  // namespace

Form2::Form2(QWidget* decoder)
    : ui::SecondaryWindow(decoder, QStringLiteral("Form2"), QStringLiteral("ZRK_2"), ui::FromRgb(kWhite))
{
    Client()->SetLines(kLines);

    BuildResistor();
    BuildValueControls();
    BuildBandModeButtons();
    BuildHiddenBoxes();
    SetTabOrder();

    // Closing shows no animation: the window goes at once (see Form_Unload).
    Timer2_ = ui::MakeTimer(this, QStringLiteral("Timer2"), 1);

    a12_->setFocus();
    Form_Load();
}

void Form2::BuildValueControls()
{
    a12_ = new QLineEdit(kStartValue, Client());
    a12_->setObjectName(QStringLiteral("a12"));
    a12_->setFont(ui::ValueFont());
    a12_->setAlignment(Qt::AlignCenter);
    SetBackground(a12_, QPalette::Base, kGreen);
    a12_->setAccessibleName(QStringLiteral("Value"));
    ui::SetTwipsGeometry(a12_, {600, 2400, 975, 405});
    a12Limit_ = new ui::TypingLimit(a12_, kStartLimit);
    // Every change of the text, the program's included, runs the handler.
    connect(a12_, &QLineEdit::textChanged, this, &Form2::a12_Change);

    Z_ = MakeListBox(Client(), QStringLiteral("Z"), {1920, 2400, 1335, 375}, kStartUnit);
    T_ = MakeListBox(Client(), QStringLiteral("T"), {3600, 2400, 1095, 375}, kStartTolerance);
    // On Linux Qt reads a list box's own text as its name, so the name sits
    // on its text field as well, and on the box as its description.
    for (const auto& [box, name] :
         {std::pair{Z_, QStringLiteral("Unit")}, std::pair{T_, QStringLiteral("Tolerance")}}) {
        box->setAccessibleName(name);
        box->setAccessibleDescription(name);
        box->lineEdit()->setAccessibleName(name);
    }
    // Only typing runs the change handlers; a pick from the list does not.
    connect(Z_->lineEdit(), &QLineEdit::textEdited, this, &Form2::Z_Change);
    connect(T_->lineEdit(), &QLineEdit::textEdited, this, &Form2::T_Change);

    Command1_ = new QPushButton(QStringLiteral("&OK"), Client());
    Command1_->setObjectName(QStringLiteral("Command1"));
    ui::SetTwipsGeometry(Command1_, {1920, 2880, 1335, 495});
    connect(Command1_, &QPushButton::clicked, this, &Form2::Command1_Click);
    // OK is the window's default button: Enter in the value box presses it.
    Command1_->setDefault(true);
    connect(a12_, &QLineEdit::returnPressed, Command1_, &QPushButton::click);
}

void Form2::BuildResistor()
{
    abcdt_ = new QLineEdit(PromptText(), Client());
    abcdt_->setObjectName(QStringLiteral("abcdt"));
    // Only the program writes the result line; Tab comes back to it after OK.
    ui::MakeResultStop(abcdt_);
    abcdt_->setFrame(false);
    abcdt_->setAlignment(Qt::AlignCenter);
    abcdt_->setFont(ui::ValueFont());
    abcdt_->setAccessibleName(QStringLiteral("Result"));
    SetBackground(abcdt_, QPalette::Base, kGreen);
    ui::SetTwipsGeometry(abcdt_, {1320, 570, 2895, 315});

    struct BandLabel {
        QLabel** label;
        const char* name;
        Band kind;
        double left;
    };
    const BandLabel bands[] = {
        {&a_, "a", Band::First, 1800},
        {&b_, "b", Band::Second, 2160},
        {&CG_, "CG", Band::Third, kThirdBandLeft},
        {&c_, "c", Band::Multiplier, kFiveBandMultiplierLeft},
        {&d_, "d", Band::Tolerance, 3480},
    };
    for (const BandLabel& band : bands) {
        const ColourCode* colour = &EncoderStartColour(band.kind);
        *band.label = ui::MakeColourLabel(Client(), QString::fromLatin1(band.name),
                                          {band.left, kBandTop, kBandWidth, kBandHeight}, colour->rgb, true);
        SetBand(*band.label, band.kind, colour);
    }
}

void Form2::BuildBandModeButtons()
{
    five_ = new QRadioButton(QStringLiteral("5 Color"), Client());
    four_ = new QRadioButton(QStringLiteral("4 Color"), Client());
    five_->setObjectName(QStringLiteral("five"));
    four_->setObjectName(QStringLiteral("four"));
    for (QRadioButton* button : {four_, five_}) {
        button->setFont(ui::OptionFont());
        // A button fills its background with the Button role.
        button->setAutoFillBackground(true);
        SetBackground(button, QPalette::Button, kWhite);
    }
    ui::SetTwipsGeometry(five_, {3960, 3000, 1335, 255});
    ui::SetTwipsGeometry(four_, {120, 3000, 1575, 255});
    five_->setChecked(true);
    // A click on the selected button runs its handler again.
    connect(four_, &QRadioButton::clicked, this, &Form2::four_Click);
    connect(five_, &QRadioButton::clicked, this, &Form2::five_Click);
}

void Form2::BuildHiddenBoxes()
{
    struct Box {
        QLineEdit** edit;
        const char* name;
        const char* text;
        TwipsRect rect;
    };
    const Box boxes[] = {
        {&a123_, "a123", "", {120, 4080, 1215, 495}},  {&a1_, "a1", "Text1", {1560, 3840, 660, 300}},
        {&b1_, "b1", "Text2", {1560, 4320, 660, 300}}, {&CG1_, "CG1", "Text1", {3120, 4080, 735, 285}},
        {&c1_, "c1", "Text3", {2400, 3840, 540, 300}},
    };
    for (const Box& box : boxes) {
        *box.edit = new QLineEdit(QString::fromLatin1(box.text), Client());
        (*box.edit)->setObjectName(QString::fromLatin1(box.name));
        ui::SetTwipsGeometry(*box.edit, box.rect);
        ui::HideFromAccessibility(*box.edit);
        (*box.edit)->hide();
    }
}

void Form2::SetTabOrder()
{
    const std::array<QWidget*, 7> order = {a12_, Z_, Command1_, abcdt_, T_, five_, four_};
    for (std::size_t i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }
}

void Form2::Form_Load()
{
    SetZeroSize();
    if (Decoder() != nullptr) {
        Decoder()->setEnabled(false);
    }
    Z_->addItems(kUnits);
    T_->addItems(kTolerances);
    // Filling a list selects its first item; the boxes keep their start texts.
    SelectItem(Z_, kStartUnit);
    SelectItem(T_, kStartTolerance);
    PlaceOnDecoderCorner();
}

void Form2::Form_Unload()
{
    if (Decoder() != nullptr) {
        Decoder()->setEnabled(true);
    }
    // Timer2 is never started: the window is discarded as it closes, so a
    // shrinking animation could never tick.
}

void Form2::a12_Change()
{
    const QString text = a12_->text();
    const std::optional<double> value = NumberValue(text);
    if (!value) {
        QPointer<Form2> self(this);
        ShowWrongValueBox();
        if (self) {
            // Runs this handler again, nested, for a text that is numeric.
            a12Limit_->SetText(QStringLiteral("0"));
        }
        return;
    }
    const double v = *value;
    if (four_->isChecked()) {
        ApplyFourBandLimit(v);
    } else {
        a12Limit_->SetLimit(v < 1 ? 2 : (v > 1 && HasDecimalPoint(text)) ? 4 : 3);
    }
    if (v == 0) {
        ShowPrompt();
    }
}

void Form2::ApplyFourBandLimit(double value) { a12Limit_->SetLimit(value >= 0.1 && value < 1 ? 4 : 3); }

void Form2::ShowWrongValueBox()
{
    // The box runs its own event loop inside a12's change signal. Should the
    // window be closed meanwhile, deleting it there would free a12 under that
    // signal; the deletion waits until the box is gone, and the box goes with
    // the window.
    const DeletionHold hold(this);
    QPointer<QMessageBox> box =
        new QMessageBox(QMessageBox::Critical, QStringLiteral("Wrong!"),
                        QStringLiteral("Please Write the value of Ohm True!"), QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("WrongValueBox"));
    box->exec();
    delete box.data();
}

void Form2::Z_Change()
{
    SetListText(Z_, kStartUnit, [this] { Z_Change(); });
}

void Form2::T_Change()
{
    SetListText(T_, kStartTolerance, [this] { T_Change(); });
}

void Form2::Command1_Click()
{
    const std::string value = a12_->text().toStdString();
    const std::string unit = Z_->currentText().toStdString();
    const std::string tolerance = T_->currentText().toStdString();
    const NumberFormat format = UserNumberFormat();
    const Encoding encoding = four_->isChecked() ? EncodeFourBands(value, unit, tolerance, format)
                                                 : EncodeFiveBands(value, unit, tolerance, format);
    ApplyEncoding(encoding);
    // The result line names what the bands show; the note tells when that is
    // less than was typed.
    auto note = DescribeEncoding(encoding, tolerance, format);
    if (const auto shortened = ShortenedNote(encoding, value, unit, format); note && shortened) {
        *note += "; " + *shortened;
    }
    ui::SetResultNote(abcdt_, note);
    ui::Announce(this, abcdt_->text());
}

void Form2::ApplyEncoding(const Encoding& encoding)
{
    const bool fiveBands = !four_->isChecked();
    a123_->setText(Text(encoding.microOhmText));
    a1_->setText(Text(encoding.firstDigitText));
    b1_->setText(Text(encoding.secondDigitText));
    if (fiveBands) {
        CG1_->setText(Text(encoding.thirdDigitText));
    }
    c1_->setText(Text(encoding.exponentCountText));

    SetBand(d_, Band::Tolerance, encoding.tolerance);
    d_->setVisible(encoding.toleranceShown);
    SetBand(a_, Band::First, encoding.first);
    SetBand(b_, Band::Second, encoding.second);
    if (fiveBands) {
        SetBand(CG_, Band::Third, encoding.third);
    }
    SetBand(c_, Band::Multiplier, encoding.multiplier);
    abcdt_->setText(Text(encoding.resultText));
}

void Form2::ShowPrompt()
{
    abcdt_->setText(PromptText());
    ui::SetResultNote(abcdt_, std::nullopt);
}

void Form2::four_Click() { SetFourBandLayout(); }

void Form2::five_Click() { SetFiveBandLayout(); }

void Form2::SetFourBandLayout()
{
    CG_->hide();
    ui::SetTwipsLeft(c_, kFourBandMultiplierLeft);
    ShowPrompt();
    if (four_->isChecked()) {
        ApplyFourBandLimit(NumberValue(a12_->text()).value_or(0));
    }
}

void Form2::SetFiveBandLayout()
{
    ui::SetTwipsLeft(c_, kFiveBandMultiplierLeft);
    CG_->show();
    ui::SetTwipsLeft(CG_, kThirdBandLeft);
    ShowPrompt();
    a12Limit_->SetLimit(kStartLimit);
}

}  // namespace zarnik
