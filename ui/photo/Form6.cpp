// SPDX-License-Identifier: MIT
#include "ui/photo/Form6.h"

#include <QFileInfo>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QStringList>
#include <algorithm>
#include <cmath>

#include "model/Markings.h"
#include "ui/common/Controls.h"
#include "ui/common/Fonts.h"
#include "ui/common/Twips.h"

namespace zarnik {

namespace {

using ui::TwipsRect;

// Never seen: the load handler sizes the window before it is first shown.
constexpr double kDesignClientWidth = 5610;
constexpr double kDesignClientHeight = 5220;

constexpr TwipsRect kPicture = {120, 120, 5370, 3000};
constexpr TwipsRect kLabel1 = {120, 3240, 5370, 660};
constexpr std::array<TwipsRect, 2> kCommands = {{{120, 4020, 5370, 405}, {120, 4500, 5370, 405}}};

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

// What the bands read as; nothing where they are no marking.
std::optional<BandReading> ReadingOf(const std::vector<std::string>& bands)
{
    std::vector<const ColourCode*> colours;
    for (const std::string& name : bands) {
        colours.push_back(MarkingColourByName(name));
    }
    return ReadBands(colours);
}

}  // namespace

Form6::Form6(QWidget* decoder)
    : ui::SecondaryWindow(decoder, QStringLiteral("Form6"), QStringLiteral("Photo"), ui::FromRgb(ui::kWhiteRgb))
{
    resize(ui::ToPixels(kDesignClientWidth), ui::ToPixels(kDesignClientHeight));
    BuildControls();
    Form_Load();
    GrowOnOwnTimer(QStringLiteral("Timer1"));
}

void Form6::BuildControls()
{
    Picture1_ = new QLabel(Client());
    Picture1_->setObjectName(QStringLiteral("Picture1"));
    Picture1_->setAlignment(Qt::AlignCenter);
    Picture1_->setAccessibleName(QStringLiteral("Photo"));
    ui::SetTwipsGeometry(Picture1_, kPicture);

    Label1_ = new QLabel(Client());
    Label1_->setObjectName(QStringLiteral("Label1"));
    Label1_->setFont(ui::ValueFont());
    Label1_->setAlignment(Qt::AlignCenter);
    Label1_->setWordWrap(true);
    Label1_->setTextFormat(Qt::PlainText);
    Label1_->setAutoFillBackground(true);
    Label1_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Label1_->setAccessibleName(QStringLiteral("Reading"));
    QPalette palette = Label1_->palette();
    palette.setColor(QPalette::Window, ui::FromRgb(ui::kGreenRgb));
    palette.setColor(QPalette::WindowText, Qt::black);
    Label1_->setPalette(palette);
    ui::SetTwipsGeometry(Label1_, kLabel1);

    for (std::size_t i = 0; i < commands_.size(); ++i) {
        auto* command = new QPushButton(Client());
        command->setObjectName(QStringLiteral("Command%1").arg(i + 1));
        command->setFont(ui::ValueFont());
        ui::SetTwipsGeometry(command, kCommands[i]);
        command->hide();
        connect(command, &QPushButton::clicked, this, [this, i] { Command_Click(i); });
        commands_[i] = command;
    }
    QWidget::setTabOrder(commands_[0], commands_[1]);
}

void Form6::Form_Load()
{
    SetZeroSize();
    PlaceOnDecoderCorner();
}

QString Form6::ConfidenceText(double confidence)
{
    return QString::number(int(std::floor(std::clamp(confidence, 0.0, 1.0) * 100.0))) + QLatin1Char('%');
}

void Form6::ShowReading(const QString& file, const photo::PhotoReading& reading, const QImage& picture,
                        const QString& resultLine)
{
    picture_ = picture;
    ShowPicture();
    const QString name = QFileInfo(file).fileName();
    for (std::size_t i = 0; i < commands_.size(); ++i) {
        const std::size_t candidate = i + 1;
        const auto read = candidate < reading.candidates.size() ? ReadingOf(reading.candidates[candidate].bands)
                                                                : std::optional<BandReading>();
        alternatives_[i].clear();
        commands_[i]->setVisible(read.has_value());
        if (!read) {
            continue;
        }
        alternatives_[i] = reading.candidates[candidate].bands;
        QStringList colours;
        for (const std::string& band : alternatives_[i]) {
            colours.append(Text(band));
        }
        const QString value = QString::fromStdString(ReadingText(*read))
                                  .simplified()
                                  .replace(QStringLiteral("_+"), QStringLiteral("\u00B1"));
        const QString text = value + QStringLiteral(", ") + ConfidenceText(reading.candidates[candidate].confidence);
        commands_[i]->setText(text);
        commands_[i]->setToolTip(colours.join(QLatin1Char(' ')));
        commands_[i]->setAccessibleName(QStringLiteral("Other reading: ") + text);
        commands_[i]->setAccessibleDescription(colours.join(QLatin1Char(' ')));
    }
    if (reading.status == photo::PhotoStatus::NoResistor || reading.candidates.empty()) {
        Label1_->setText(QStringLiteral("No resistor found in ") + name);
    } else if (resultLine.isEmpty()) {
        Label1_->setText(QStringLiteral("Read from ") + name +
                         QStringLiteral(": the decoder's palettes cannot show these bands"));
    } else {
        Label1_->setText(resultLine + QLatin1Char('\n') + QStringLiteral("read from ") + name +
                         QStringLiteral(": confidence ") + ConfidenceText(reading.candidates.front().confidence));
    }
}

void Form6::ShowProblem(const QString& text)
{
    picture_ = QImage();
    ShowPicture();
    Label1_->setText(text);
    for (std::size_t i = 0; i < commands_.size(); ++i) {
        alternatives_[i].clear();
        commands_[i]->hide();
    }
}

void Form6::Command_Click(std::size_t index)
{
    if (!alternatives_[index].empty()) {
        emit bandsChosen(alternatives_[index]);
    }
}

void Form6::ShowPicture()
{
    if (picture_.isNull()) {
        Picture1_->clear();
        return;
    }
    // Drawn at the screen's own pixels, so the band names stay sharp at 2x.
    const double ratio = devicePixelRatioF();
    const QSize room = QSize(ui::ToPixels(kPicture.width), ui::ToPixels(kPicture.height)) * ratio;
    QPixmap pixmap = QPixmap::fromImage(picture_.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    pixmap.setDevicePixelRatio(ratio);
    Picture1_->setPixmap(pixmap);
}

}  // namespace zarnik
