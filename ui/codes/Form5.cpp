// SPDX-License-Identifier: MIT
#include "ui/codes/Form5.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QTimer>
#include <array>

#include "model/Encoding.h"
#include "model/ResultFacts.h"
#include "model/StandardValues.h"
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
    {"Line1", 300, 1080, 5310, 1080, 1},
    {"Line2", 300, 2160, 5310, 2160, 1},
    {"Line3", 300, 1080, 300, 2160, 1},
    {"Line4", 5310, 1080, 5310, 2160, 1},
    {"Line5", 300, 3360, 5310, 3360, 1},
    {"Line6", 300, 4800, 5310, 4800, 1},
    {"Line7", 300, 3360, 300, 4800, 1},
    {"Line8", 5310, 3360, 5310, 4800, 1},
}};

constexpr TwipsRect kLabel1 = {420, 480, 2160, 285};
constexpr TwipsRect kMark = {2640, 420, 1215, 405};
constexpr TwipsRect kMarkt = {420, 1200, 4770, 840};
constexpr TwipsRect kLabel2 = {420, 2760, 2160, 285};
constexpr TwipsRect kValue = {2640, 2700, 1215, 405};
constexpr TwipsRect kUnit = {3975, 2700, 1335, 405};
constexpr TwipsRect kCodest = {420, 3480, 4770, 1200};

// Long enough for any code with a tolerance letter, short enough to stay a code.
constexpr int kMarkLength = 10;
constexpr int kValueLength = 24;

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
    BuildCodeControls();
    BuildValueControls();
    QWidget::setTabOrder(mark_, value_);
    QWidget::setTabOrder(value_, unit_);

    Timer1_ = ui::MakeTimer(this, QStringLiteral("Timer1"), 1);
    connect(Timer1_, &QTimer::timeout, this, &Form5::Timer1_Timer);
    Timer1_->start();

    ShowReadings();
    ShowCodes();
    mark_->setFocus();
    Form_Load();
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
    for (const Unit& unit : Units()) {
        unit_->addItem(Text(unit.text));
    }
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
    // A closed window is gone, even before it is deleted: it grows no more.
    Timer1_->stop();
}

void Form5::Timer1_Timer()
{
    if (GrowStep()) {
        Timer1_->stop();
    }
}

void Form5::mark_Change()
{
    code_ = std::string(TrimBlanks(mark_->text().toStdString()));
    readings_ = ReadCode(code_);
    ShowReadings();
}

void Form5::value_Change()
{
    ohms_.reset();
    const std::optional<Decimal> typed = ReadDecimal(value_->text().toStdString(), UserNumberFormat());
    const int unit = unit_->currentIndex();
    if (typed && typed->coefficient >= 0 && unit >= 0 && unit < int(Units().size())) {
        ohms_ = Shifted(*typed, Units()[std::size_t(unit)].exponent);
    }
    ShowCodes();
}

void Form5::ShowReadings()
{
    QStringList lines;
    for (const CodeReading& reading : readings_) {
        lines.append(QString::fromStdString(CodeReadingText(reading, UserNumberFormat())));
    }
    if (code_.empty()) {
        markt_->setText(kCodePrompt);
    } else {
        markt_->setText(lines.isEmpty() ? kNoReading : lines.join(QLatin1Char('\n')));
    }
    // Typing in the code box, a screen reader hears the answer as the box's
    // description.
    mark_->setAccessibleDescription(markt_->text().replace(QLatin1Char('\n'), QStringLiteral("; ")));
}

void Form5::ShowCodes()
{
    std::optional<std::string> note;
    if (!ohms_) {
        codest_->setText(Text(kPromptText));
    } else {
        QStringList lines;
        for (const CodeSystem system : CodeSystems()) {
            const QString name = Text(CodeSystemName(system));
            const std::optional<std::string> code = CodeOf(*ohms_, system);
            lines.append(code ? QString::fromStdString(*code) + QStringLiteral(" (") + name + QLatin1Char(')')
                              : QStringLiteral("no ") + name + QStringLiteral(" code"));
        }
        codest_->setText(lines.join(QLatin1Char('\n')));
        if (ohms_->coefficient > 0) {
            note = OhmsText(*ohms_, UserNumberFormat()) + ": " + SeriesText(SeriesOf(*ohms_));
        }
    }
    ui::SetResultNote(codest_, note);
    value_->setAccessibleDescription(codest_->text().replace(QLatin1Char('\n'), QStringLiteral("; ")));
}

}  // namespace zarnik
