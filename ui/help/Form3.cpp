// SPDX-License-Identifier: MIT
#include "ui/help/Form3.h"

#include <QApplication>
#include <QFile>
#include <QLocale>
#include <QPixmap>
#include <QTextEdit>

#include "rtf/RtfReader.h"
#include "ui/common/Controls.h"
#include "ui/common/SecondaryWindow.h"
#include "ui/common/Twips.h"
#include "ui/common/Window.h"

namespace zarnik {

namespace {

// Never seen: the load handler sizes the window before it is first shown.
constexpr double kDesignClientWidth = 5610;
constexpr double kDesignClientHeight = 5220;

constexpr ui::TwipsRect kRichTextBox1 = {240, 240, 5055, 3615};

}  // namespace

// Where the client area reaches beyond the picture, the button face shows.
Form3::Form3(QWidget* decoder)
    : ui::SecondaryWindow(decoder, QStringLiteral("Form3"), QStringLiteral("Help"),
                          QApplication::palette().color(QPalette::Button))
{
    resize(ui::ToPixels(kDesignClientWidth), ui::ToPixels(kDesignClientHeight));
    Client()->SetPicture(QPixmap(QStringLiteral(":/help_background.jpg")));
    BuildRichTextBox();
    Form_Load();
    // Once the decoder window is gone the growth ends at its last height.
    GrowOnOwnTimer(QStringLiteral("Timer1"));
}

void Form3::BuildRichTextBox()
{
    RichTextBox1_ = new QTextEdit(Client());
    RichTextBox1_->setObjectName(QStringLiteral("RichTextBox1"));
    ui::SetTwipsGeometry(RichTextBox1_, kRichTextBox1);
    // Nothing typed here could be kept, so the box only reads: the text can
    // still be selected and copied, and read with the caret keys, as a screen
    // reader user reads it line by line.
    RichTextBox1_->setReadOnly(true);
    RichTextBox1_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    RichTextBox1_->setAccessibleName(QStringLiteral("Help text"));
    // The document is Persian: screen readers take the voice from this.
    RichTextBox1_->setLocale(QLocale(QLocale::Persian, QLocale::Iran));
    RichTextBox1_->setLineWrapMode(QTextEdit::WidgetWidth);
    RichTextBox1_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    RichTextBox1_->setFocusPolicy(Qt::StrongFocus);
    // The box's background is the system window colour, its palette's Base.

    QFile file(QStringLiteral(":/help.rtf"));
    if (file.open(QIODevice::ReadOnly)) {
        ReadRtf(file.readAll(), *RichTextBox1_->document());
    }
    // The reader sees the document from its start; so does the box.
    RichTextBox1_->moveCursor(QTextCursor::Start);
    RichTextBox1_->setFocus();
}

void Form3::Form_Load()
{
    SetZeroSize();
    PlaceOnDecoderCorner();
}

}  // namespace zarnik
