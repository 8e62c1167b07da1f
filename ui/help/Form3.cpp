#include "ui/help/Form3.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QPixmap>
#include <QTextEdit>
#include <QTimer>

#include "ui/common/Controls.h"
#include "ui/common/Twips.h"
#include "ui/common/Window.h"
#include "ui/help/RtfReader.h"

namespace zarnik {

namespace {

// Never seen: the load handler sizes the window before it is first shown.
constexpr double kDesignClientWidth = 5610;
constexpr double kDesignClientHeight = 5220;

constexpr ui::TwipsRect kRichTextBox1 = {240, 240, 5055, 3615};

constexpr int kTimer1Interval = 1;

}  // namespace

Form3::Form3(QWidget* decoder) : decoder_(decoder)
{
    ui::SetupFixedWindow(this, QStringLiteral("Form3"), QStringLiteral("Help"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(ui::ToPixels(kDesignClientWidth), ui::ToPixels(kDesignClientHeight));

    // Where the client area reaches beyond the picture, the button face shows.
    client_ = new ui::ClientArea(this, QApplication::palette().color(QPalette::Button));
    client_->setObjectName(QStringLiteral("client"));
    client_->SetPicture(QPixmap(QStringLiteral(":/help_background.jpg")));
    client_->setGeometry(rect());
    BuildRichTextBox();

    Timer1_ = ui::MakeTimer(this, QStringLiteral("Timer1"), kTimer1Interval);
    connect(Timer1_, &QTimer::timeout, this, &Form3::Timer1_Timer);
    Timer1_->start();

    Form_Load();
}

void Form3::BuildRichTextBox()
{
    RichTextBox1_ = new QTextEdit(client_);
    RichTextBox1_->setObjectName(QStringLiteral("RichTextBox1"));
    ui::SetTwipsGeometry(RichTextBox1_, kRichTextBox1);
    // Nothing typed here could be kept, so the box only reads: the text can
    // still be selected and copied, and scrolled by mouse and keyboard.
    RichTextBox1_->setReadOnly(true);
    RichTextBox1_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
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
    ui::SetOuterWidth(this, 0);
    ui::SetOuterHeight(this, 0);
    if (decoder_) {
        ui::SetOuterTop(this, ui::OuterTop(decoder_));
        ui::SetOuterLeft(this, ui::OuterLeft(decoder_));
    }
}

void Form3::Timer1_Timer()
{
    // Without the decoder window there is no height to grow to: the growth ends
    // where it is, so nothing keeps reading a window the user has closed.
    if (!decoder_ || decoder_->isHidden()) {
        Timer1_->stop();
        return;
    }
    if (ui::GrowSquare(this, decoder_)) {
        Timer1_->stop();
    }
}

void Form3::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    client_->setGeometry(rect());
}

void Form3::closeEvent(QCloseEvent* event)
{
    // A closed window is gone, even before it is deleted: it grows no more.
    Timer1_->stop();
    QWidget::closeEvent(event);
}

}  // namespace zarnik
