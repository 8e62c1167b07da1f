// SPDX-License-Identifier: MIT
#include "ui/codes/Form5.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QSignalBlocker>
#include <QTimer>
#include <algorithm>
#include <array>

#include "model/CapacitorCodes.h"
#include "model/Dielectrics.h"
#include "model/Encoding.h"
#include "model/InductorCodes.h"
#include "model/ResultFacts.h"
#include "model/SmdCodes.h"
#include "model/StandardValues.h"
#include "model/UnitScale.h"
#include "ui/common/Accessibility.h"
#include "ui/common/Controls.h"
#include "ui/common/Fonts.h"
#include "ui/common/Twips.h"
#include "ui/common/Window.h"

namespace zarnik {

namespace {

using ui::DrawnLine;
using ui::TwipsRect;

// Never seen: the load handler sizes the window before it is first shown.
constexpr double kDesignClientWidth = 5610;
constexpr double kDesignClientHeight = 5220;

// A thin frame around each of the two answers, as around the encoder's
// result line.
constexpr std::array<DrawnLine, 8> kLines = {{
    {"Line1", 300, 1320, 5310, 1320, 1},
    {"Line2", 300, 2520, 5310, 2520, 1},
    {"Line3", 300, 1320, 300, 2520, 1},
    {"Line4", 5310, 1320, 5310, 2520, 1},
    {"Line5", 300, 3480, 5310, 3480, 1},
    {"Line6", 300, 4920, 5310, 4920, 1},
    {"Line7", 300, 3480, 300, 4920, 1},
    {"Line8", 5310, 3480, 5310, 4920, 1},
}};

constexpr TwipsRect kLabel0 = {420, 300, 2160, 285};
constexpr TwipsRect kPart = {2640, 240, 2670, 405};
constexpr TwipsRect kLabel1 = {420, 840, 2160, 285};
constexpr TwipsRect kMark = {2640, 780, 1215, 405};
constexpr TwipsRect kMarkt = {420, 1380, 4770, 1080};
constexpr TwipsRect kLabel2 = {420, 2940, 2160, 285};
constexpr TwipsRect kValue = {2640, 2880, 1215, 405};
constexpr TwipsRect kUnit = {3975, 2880, 1335, 405};
constexpr TwipsRect kCodest = {420, 3540, 4770, 1320};

// Long enough for any code with a tolerance letter, short enough to stay a code.
constexpr int kMarkLength = 10;
constexpr int kValueLength = 24;

// Long enough that a code typed at an even pace is answered once, short
// enough that the answer follows the last key.
constexpr int kTypingPauseMs = 700;

const QString kCodePrompt = QStringLiteral("Please Write the code");
const QString kNoReading = QStringLiteral("No system reads this code");

NumberFormat UserNumberFormat() { return NumberFormat{QLocale::system().decimalPoint().toStdString()}; }

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

void SetColours(QWidget* control, std::uint32_t rgb)
{
    QPalette palette = control->palette();
    for (const QPalette::ColorRole role : {QPalette::Base, QPalette::Button, QPalette::Window}) {
        palette.setColor(role, ui::FromRgb(rgb));
    }
    for (const QPalette::ColorRole role : {QPalette::Text, QPalette::ButtonText, QPalette::WindowText}) {
        palette.setColor(role, Qt::black);
    }
    control->setPalette(palette);
}

QLineEdit* MakeBox(QWidget* parent, const QString& name, const QString& accessibleName, TwipsRect rect, int length)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setFont(ui::ValueFont());
    box->setAlignment(Qt::AlignCenter);
    box->setMaxLength(length);
    box->setAccessibleName(accessibleName);
    SetColours(box, ui::kGreenRgb);
    ui::SetTwipsGeometry(box, rect);
    return box;
}

// An answer: lines of the result font on green, centred, selectable with the
// mouse for copying.
QLabel* MakeAnswer(QWidget* parent, const QString& name, const QString& accessibleName, TwipsRect rect)
{
    auto* answer = new QLabel(parent);
    answer->setObjectName(name);
    answer->setWordWrap(true);
    answer->setFont(ui::ValueFont());
    answer->setAlignment(Qt::AlignCenter);
    answer->setAutoFillBackground(true);
    answer->setTextFormat(Qt::PlainText);
    answer->setTextInteractionFlags(Qt::TextSelectableByMouse);
    answer->setAccessibleName(accessibleName);
    SetColours(answer, ui::kGreenRgb);
    ui::SetTwipsGeometry(answer, rect);
    return answer;
}

// A caption whose access key takes the focus to its box.
QLabel* MakeCaption(QWidget* parent, const QString& name, const QString& text, TwipsRect rect, QWidget* buddy)
{
    auto* caption = new QLabel(text, parent);
    caption->setObjectName(name);
    caption->setFont(ui::OptionFont());
    caption->setBuddy(buddy);
    SetColours(caption, ui::kWhiteRgb);
    ui::SetTwipsGeometry(caption, rect);
    return caption;
}

}  // namespace

Form5::Form5(QWidget* decoder)
    : ui::SecondaryWindow(decoder, QStringLiteral("Form5"), QStringLiteral("Codes"), ui::FromRgb(ui::kWhiteRgb))
{
    resize(ui::ToPixels(kDesignClientWidth), ui::ToPixels(kDesignClientHeight));
    Client()->SetLines(kLines);
    BuildPartControls();
    BuildCodeControls();
    BuildValueControls();
    QWidget::setTabOrder(part_, mark_);
    QWidget::setTabOrder(mark_, value_);
    QWidget::setTabOrder(value_, unit_);

    Timer2_ = ui::MakeTimer(this, QStringLiteral("Timer2"), kTypingPauseMs);
    Timer2_->setSingleShot(true);
    connect(Timer2_, &QTimer::timeout, this, &Form5::Timer2_Timer);

    ShowUnits();
    ShowReadings();
    ShowCodes();
    mark_->setFocus();
    Form_Load();
    GrowOnOwnTimer(QStringLiteral("Timer1"));
}

void Form5::BuildPartControls()
{
    part_ = new QComboBox(Client());
    part_->setObjectName(QStringLiteral("part"));
    part_->setFont(ui::ValueFont());
    part_->setAccessibleName(QStringLiteral("Part"));
    part_->addItems({QStringLiteral("Resistor"), QStringLiteral("Capacitor"), QStringLiteral("Inductor")});
    SetColours(part_, ui::kGreenRgb);
    ui::SetTwipsGeometry(part_, kPart);
    MakeCaption(Client(), QStringLiteral("Label0"), QStringLiteral("P&art"), kLabel0, part_);
    connect(part_, &QComboBox::currentIndexChanged, this, &Form5::part_Change);
}

void Form5::BuildCodeControls()
{
    mark_ = MakeBox(Client(), QStringLiteral("mark"), QStringLiteral("Printed code"), kMark, kMarkLength);
    MakeCaption(Client(), QStringLiteral("Label1"), QStringLiteral("&Printed code"), kLabel1, mark_);
    markt_ = MakeAnswer(Client(), QStringLiteral("markt"), QStringLiteral("Readings"), kMarkt);
    connect(mark_, &QLineEdit::textChanged, this, &Form5::mark_Change);
}

void Form5::BuildValueControls()
{
    value_ = MakeBox(Client(), QStringLiteral("value"), QStringLiteral("Value"), kValue, kValueLength);
    MakeCaption(Client(), QStringLiteral("Label2"), QStringLiteral("&Value"), kLabel2, value_);
    unit_ = new QComboBox(Client());
    unit_->setObjectName(QStringLiteral("unit"));
    unit_->setFont(ui::ValueFont());
    unit_->setAccessibleName(QStringLiteral("Unit"));
    SetColours(unit_, ui::kGreenRgb);
    ui::SetTwipsGeometry(unit_, kUnit);
    codest_ = MakeAnswer(Client(), QStringLiteral("codest"), QStringLiteral("Codes"), kCodest);
    connect(value_, &QLineEdit::textChanged, this, &Form5::value_Change);
    connect(unit_, &QComboBox::currentIndexChanged, this, &Form5::value_Change);
}

void Form5::Form_Load()
{
    SetZeroSize();
    PlaceOnDecoderCorner();
}

void Form5::Form_Unload()
{
    // A closed window is gone, even before it is deleted: it says nothing
    // more (its growth stops with it).
    Timer2_->stop();
}

void Form5::Timer2_Timer()
{
    if (!announcement_.isEmpty()) {
        // One reading a line on the screen, one a clause in speech.
        ui::Announce(this, QString(announcement_).replace(QLatin1Char('\n'), QStringLiteral("; ")));
    }
}

void Form5::part_Change()
{
    chosen_ = Part(std::max(0, part_->currentIndex()));
    ShowUnits();
    mark_Change();
    value_Change();
    // The answer of the box in use: the code's where one is typed.
    AnnounceLater(code_.empty() ? codest_->text() : markt_->text());
}

void Form5::mark_Change()
{
    code_ = std::string(TrimBlanks(mark_->text().toStdString()));
    ShowReadings();
    AnnounceLater(markt_->text());
}

void Form5::value_Change()
{
    amount_.reset();
    const std::optional<Decimal> typed = ReadDecimal(value_->text().toStdString(), UserNumberFormat());
    const int unit = unit_->currentIndex();
    if (typed && typed->coefficient >= 0 && unit >= 0) {
        if (chosen_ == Part::Resistor && unit < int(Units().size())) {
            amount_ = Shifted(*typed, Units()[std::size_t(unit)].exponent);
        } else if (chosen_ != Part::Resistor) {
            const UnitFamily family = chosen_ == Part::Capacitor ? FaradUnits() : HenryUnits();
            amount_ = unit < int(family.size()) ? Shifted(*typed, family[std::size_t(unit)].exponent) : std::nullopt;
        }
    }
    ShowCodes();
    AnnounceLater(codest_->text());
}

void Form5::AnnounceLater(const QString& answer)
{
    announcement_ = answer;
    Timer2_->start();
}

void Form5::ShowUnits()
{
    QStringList texts;
    if (chosen_ == Part::Resistor) {
        for (const Unit& unit : Units()) {
            texts.append(Text(unit.text));
        }
    } else {
        for (const ScaleUnit& unit : chosen_ == Part::Capacitor ? FaradUnits() : HenryUnits()) {
            texts.append(Text(unit.text));
        }
    }
    const QSignalBlocker quiet(unit_);
    unit_->clear();
    unit_->addItems(texts);
    unit_->setCurrentIndex(0);
}

std::vector<std::string> Form5::ReadingLines() const
{
    const NumberFormat format = UserNumberFormat();
    std::vector<std::string> lines;
    switch (chosen_) {
    case Part::Resistor:
        for (const CodeReading& reading : ReadCode(code_)) {
            lines.push_back(CodeReadingText(reading, format));
        }
        break;
    case Part::Capacitor:
        for (const CapacitorReading& reading : ReadCapacitorCode(code_)) {
            lines.push_back(CapacitorReadingText(reading, format));
        }
        if (const auto dielectric = ReadDielectric(code_)) {
            lines.push_back("dielectric " + DielectricText(*dielectric, format) + " (EIA-198)");
        }
        break;
    case Part::Inductor:
        for (const InductorReading& reading : ReadInductorCode(code_)) {
            lines.push_back(InductorReadingText(reading, format));
        }
        break;
    }
    return lines;
}

std::vector<std::string> Form5::CodeLines() const
{
    std::vector<std::string> lines;
    const auto add = [&](const std::optional<std::string>& code, std::string_view system) {
        lines.push_back(code ? *code + " (" + std::string(system) + ")" : "no " + std::string(system) + " code");
    };
    switch (chosen_) {
    case Part::Resistor:
        for (const CodeSystem system : CodeSystems()) {
            add(CodeOf(*amount_, system), CodeSystemName(system));
        }
        break;
    case Part::Capacitor:
        for (const CapacitorSystem system : CapacitorSystems()) {
            add(CapacitorCodeOf(*amount_, system), CapacitorSystemName(system));
        }
        break;
    case Part::Inductor: {
        for (const InductorSystem system : InductorCodeSystems()) {
            add(InductorCodeOf(*amount_, system), InductorSystemName(system));
        }
        std::string bands;
        for (const ColourCode* colour : InductorBands(*amount_).value_or(std::vector<const ColourCode*>{})) {
            bands += (bands.empty() ? "" : " ") + std::string(colour->name);
        }
        lines.push_back(bands.empty() ? std::string("no bands") : bands + " (bands)");
        break;
    }
    }
    return lines;
}

void Form5::ShowReadings()
{
    QStringList lines;
    for (const std::string& line : ReadingLines()) {
        lines.append(QString::fromStdString(line));
    }
    if (code_.empty()) {
        markt_->setText(kCodePrompt);
    } else {
        markt_->setText(lines.isEmpty() ? kNoReading : lines.join(QLatin1Char('\n')));
    }
    // Where Am I finds the answer as the box's description; the announcement
    // speaks it as it comes.
    mark_->setAccessibleDescription(markt_->text().replace(QLatin1Char('\n'), QStringLiteral("; ")));
}

void Form5::ShowCodes()
{
    std::optional<std::string> note;
    const NumberFormat format = UserNumberFormat();
    // A value of nothing is no part but a resistor's zero-ohm link.
    const bool none = !amount_ || (chosen_ != Part::Resistor && amount_->coefficient == 0);
    if (none) {
        const QString unit = chosen_ == Part::Resistor    ? QString()
                             : chosen_ == Part::Capacitor ? QStringLiteral("Please Write the value of Farad")
                                                          : QStringLiteral("Please Write the value of Henry");
        codest_->setText(unit.isEmpty() ? Text(kPromptText) : unit);
    } else {
        QStringList lines;
        for (const std::string& line : CodeLines()) {
            lines.append(QString::fromStdString(line));
        }
        codest_->setText(lines.join(QLatin1Char('\n')));
        if (amount_->coefficient > 0) {
            const std::string scaled = chosen_ == Part::Resistor    ? OhmsText(*amount_, format)
                                       : chosen_ == Part::Capacitor ? ScaledText(*amount_, FaradUnits(), format)
                                                                    : ScaledText(*amount_, HenryUnits(), format);
            note = scaled + ": " + SeriesText(SeriesOf(*amount_));
        }
    }
    ui::SetResultNote(codest_, note);
    value_->setAccessibleDescription(codest_->text().replace(QLatin1Char('\n'), QStringLiteral("; ")));
}

}  // namespace zarnik
