// SPDX-License-Identifier: MIT
#include "ui/about/Form4.h"

#include <QApplication>
#include <QLabel>
#include <QPalette>
#include <QPixmap>
#include <QTimer>

#include "ui/common/Controls.h"
#include "ui/common/Fonts.h"
#include "ui/common/Twips.h"
#include "ui/common/Window.h"

namespace zarnik {

namespace {

// Every credit line is centred on this vertical line of the client area.
constexpr double kCentreLine = 2662.5;
// The credit lines start this far below their places and rise this much a tick
// until `a` is back at its place or above it.
constexpr double kLoadDrop = 5500;
constexpr double kRiseStep = 30;
constexpr double kFirstLineRest = 480;
constexpr int kTimer1Interval = 10;

// Never seen: the load handler sizes the window before it is first shown.
constexpr double kDesignClientWidth = 5625;
constexpr double kDesignClientHeight = 5385;

struct Credit {
    const char* name;
    const char* text;  // UTF-8
    double top;
    double pointSize;
};

// The Persian build-tool line keeps "C++" in one left-to-right run: the mark
// after it stops the plus signs from moving to the other side of the C.
constexpr Credit kCredits[] = {
    {"a", "Zarnik", 480, ui::kDesignPointSize},
    {"b", "Zarnik", 960, ui::kDesignPointSize},
    {"c", "Programmer: Zarnik team", 1560, ui::kDesignPointSize},
    {"d", "برنامه نويس : گروه زرنيک", 2040, ui::kDesignPointSize},
    {"e", "Made with C++ and Qt", 2640, ui::kDesignPointSize},
    {"f", "ساخته شده با C++\u200E و Qt", 3120, ui::kDesignPointSize},
    {"g", "Summer_86", 3720, 12},
    {"h", "تابستان 86", 4200, ui::kDesignPointSize},
};

QLabel* MakeCredit(QWidget* parent, const Credit& credit)
{
    auto* label = new QLabel(QString::fromUtf8(credit.text), parent);
    label->setObjectName(QString::fromLatin1(credit.name));
    label->setAutoFillBackground(false);  // the picture shows through
    label->setAlignment(Qt::AlignCenter);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
    QFont font(QStringLiteral("Courier New"));
    font.setPointSizeF(credit.pointSize);
    font.setBold(true);
    label->setFont(font);
    // Persian lines read right to left, numbers and Latin words in them kept
    // in their places.
    if (label->text().isRightToLeft()) {
        label->setLayoutDirection(Qt::RightToLeft);
    }

    // Sized to its text, centred on the centre line whatever the text's width.
    const QSize size = label->sizeHint();
    const double width = double(size.width()) * ui::kTwipsPerPixel;
    const double height = double(size.height()) * ui::kTwipsPerPixel;
    ui::SetTwipsGeometry(label, {kCentreLine - width / 2, credit.top, width, height});
    return label;
}

}  // namespace

// Where the client area reaches beyond the picture, the button face shows.
Form4::Form4(QWidget* decoder)
    : ui::SecondaryWindow(decoder, QStringLiteral("Form4"), QStringLiteral("About"),
                          QApplication::palette().color(QPalette::Button))
{
    resize(ui::ToPixels(kDesignClientWidth), ui::ToPixels(kDesignClientHeight));
    Client()->SetPicture(QPixmap(QStringLiteral(":/about_background.jpg")));
    BuildCredits();

    Timer1_ = ui::MakeTimer(this, QStringLiteral("Timer1"), kTimer1Interval);
    connect(Timer1_, &QTimer::timeout, this, &Form4::Timer1_Timer);
    Timer1_->start();

    Form_Load();
}

void Form4::BuildCredits()
{
    for (std::size_t i = 0; i < credits_.size(); ++i) {
        credits_[i] = MakeCredit(Client(), kCredits[i]);
        // A keyboard or screen reader user reads the credits one by one with
        // Tab; a label shows no focus, so the window looks as ever.
        credits_[i]->setFocusPolicy(Qt::TabFocus);
    }
    credits_.front()->setFocus();
}

void Form4::Form_Load()
{
    SetZeroSize();
    PlaceOnDecoderCorner();
    for (QLabel* credit : credits_) {
        ui::SetTwipsTop(credit, ui::TwipsTop(credit) + kLoadDrop);
    }
}

void Form4::Timer1_Timer()
{
    for (QLabel* credit : credits_) {
        ui::SetTwipsTop(credit, ui::TwipsTop(credit) - kRiseStep);
    }
    if (ui::TwipsTop(credits_.front()) <= kFirstLineRest) {
        Timer1_->stop();
    }
}

}  // namespace zarnik
