// SPDX-License-Identifier: MIT
#include "ui/decoder/Form1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QMimeData>
#include <QRadioButton>
#include <QShortcut>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <span>

#include "model/Decoding.h"
#include "model/ResultFacts.h"
#include "photo/module/PhotoModule.h"
#include "ui/about/Form4.h"
#include "ui/codes/Form5.h"
#include "ui/common/Accessibility.h"
#include "ui/common/Controls.h"
#include "ui/common/Fonts.h"
#include "ui/common/Placement.h"
#include "ui/common/Twips.h"
#include "ui/common/Window.h"
#include "ui/encoder/Form2.h"
#include "ui/help/Form3.h"
#include "ui/partslist/Form7.h"
#include "ui/photo/Form6.h"

namespace zarnik {

namespace {

using ui::DrawnLine;
using ui::TwipsRect;

// The resistor, and the frame around the result field.
constexpr auto kLines = ui::ResistorDrawing(0, std::array<DrawnLine, 4>{{
                                                   {"Line15", 1440, 120, 4080, 120, 1},
                                                   {"Line16", 1440, 600, 4080, 600, 1},
                                                   {"Line17", 1440, 120, 1440, 600, 1},
                                                   {"Line18", 4080, 120, 4080, 600, 1},
                                               }});
// Six bands frame the coefficient beside the result field as well.
constexpr auto kSixBandLines = ui::ResistorDrawing(0, std::array<DrawnLine, 8>{{
                                                          {"Line15", 1440, 120, 4080, 120, 1},
                                                          {"Line16", 1440, 600, 4080, 600, 1},
                                                          {"Line17", 1440, 120, 1440, 600, 1},
                                                          {"Line18", 4080, 120, 4080, 600, 1},
                                                          {"Line19", 4200, 120, 5460, 120, 1},
                                                          {"Line20", 4200, 600, 5460, 600, 1},
                                                          {"Line21", 4200, 120, 4200, 600, 1},
                                                          {"Line22", 5460, 120, 5460, 600, 1},
                                                      }});
constexpr TwipsRect kCoefficientRect = {4320, 240, 1035, 285};

constexpr double kOuterSize = 5700;
constexpr int kDesignClientLeft = 3180;
constexpr int kDesignClientTop = 2295;
constexpr int kDesignClientWidth = 5610;
constexpr int kDesignClientHeight = 4920;

// Band columns a, b, CG, c, d, e: the Left of each band label and its palette
// in each band mode; 0 where the mode hides the column. Six bands stand
// closer on the body: the digits and the multiplier 315 apart, then the
// tolerance, then the coefficient where the tolerance stands otherwise.
using ColumnLefts = std::array<double, 6>;
constexpr ColumnLefts kFourBandLefts = {1800, 2160, 0, 2520, 3480, 0};
constexpr ColumnLefts kFiveBandLefts = {1800, 2160, 2520, 2880, 3480, 0};
constexpr ColumnLefts kSixBandLefts = {1800, 2115, 2430, 2745, 3120, 3480};
constexpr double kBandTop = ui::kResistorBandTop;
constexpr double kBandWidth = 255;
constexpr double kBandHeight = 570;
constexpr double kFirstSwatchTop = 1680;
constexpr double kSwatchPitch = 240;
constexpr double kSwatchSize = 255;

constexpr std::uint32_t kWhite = ui::kWhiteRgb;
constexpr std::uint32_t kGreen = ui::kGreenRgb;

int Index(Band band) { return int(band); }

// Where a column is built: its five-band place, or its six-band place for
// the coefficient, which starts hidden.
double BuildLeft(Band band)
{
    const double left = kFiveBandLefts[Index(band)];
    return left != 0 ? left : kSixBandLefts[Index(band)];
}

// The colour each band has at start: Red, Red, Red, Red and Gold.
const ColourCode& StartColour(Band band) { return *ColourByName(band == Band::Tolerance ? "Gold" : "Red"); }

// The row of a colour in the palettes: its place in the colour table.
int Row(const ColourCode& colour) { return int(&colour - ColourTable().data()); }

NumberFormat UserNumberFormat() { return NumberFormat{QLocale::system().decimalPoint().toStdString()}; }

}  // namespace

Form1::Form1()
{
    ui::SetupFixedWindow(this, QStringLiteral("Form1"), QStringLiteral("ZRK_1"));
    client_ = new ui::ClientArea(this, ui::FromRgb(kWhite));
    client_->setObjectName(QStringLiteral("client"));
    client_->SetLines(kLines);
    setCentralWidget(client_);

    BuildMenu();
    BuildResistor();
    BuildPalettes();
    BuildBandModeButtons();
    BuildHiddenFields();

    Timer1_ = ui::MakeTimer(this, QStringLiteral("Timer1"), 1);
    Timer2_ = ui::MakeTimer(this, QStringLiteral("Timer2"), 1);
    connect(Timer1_, &QTimer::timeout, this, &Form1::Timer1_Timer);
    connect(Timer2_, &QTimer::timeout, this, &Form1::Timer2_Timer);

    // The design place and size, before the load handler sets the outer size.
    resize(ui::ToPixels(kDesignClientWidth), ui::ToPixels(kDesignClientHeight) + menuBar()->sizeHint().height());
    ui::SetClientPlace(this, kDesignClientLeft, kDesignClientTop);
    setAcceptDrops(true);
    Form_Load();
}

Form1::~Form1()
{
    // The program is ending: the other windows go without their close handlers.
    delete encoder_.data();
    delete help_.data();
    delete about_.data();
    delete codes_.data();
    delete photo_.data();
    delete parts_.data();
}

template <class Window>
Window* Form1::Instance(QPointer<Window>& window)
{
    if (!window) {
        window = new Window(this);
        connect(window, &ui::SecondaryWindow::closed, this, [&window] { window.clear(); });
    }
    return window;
}

void Form1::BuildMenu()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File"));
    QAction* show =
        file->addAction(QStringLiteral("S&how ZRK_2"), QKeySequence(Qt::CTRL | Qt::Key_S), this, &Form1::Show_Click);
    show->setObjectName(QStringLiteral("Show"));
    QAction* codes =
        file->addAction(QStringLiteral("S&MD codes"), QKeySequence(Qt::CTRL | Qt::Key_M), this, &Form1::Codes_Click);
    codes->setObjectName(QStringLiteral("Codes"));
    QAction* photo = file->addAction(QStringLiteral("Read a &photo..."), QKeySequence(Qt::CTRL | Qt::Key_O), this,
                                     &Form1::Photo_Click);
    photo->setObjectName(QStringLiteral("Photo"));
    QAction* parts = file->addAction(QStringLiteral("Check a &parts list..."), QKeySequence(Qt::CTRL | Qt::Key_L), this,
                                     &Form1::Parts_Click);
    parts->setObjectName(QStringLiteral("Parts"));
    file->addSeparator()->setObjectName(QStringLiteral("t1"));
    QAction* exit =
        file->addAction(QStringLiteral("E&Xit"), QKeySequence(Qt::CTRL | Qt::Key_Q), this, &Form1::Exit_Click);
    exit->setObjectName(QStringLiteral("Exit"));

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help"));
    QAction* help2 =
        help->addAction(QStringLiteral("&Help"), QKeySequence(Qt::CTRL | Qt::Key_H), this, &Form1::Help2_Click);
    help2->setObjectName(QStringLiteral("Help2"));
    QAction* about =
        help->addAction(QStringLiteral("&About"), QKeySequence(Qt::CTRL | Qt::Key_A), this, &Form1::About_Click);
    about->setObjectName(QStringLiteral("About"));

    // F10 opens the menu bar at its first menu, as on other desktops.
    auto* menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
    menuKey->setObjectName(QStringLiteral("menuKey"));
    connect(menuKey, &QShortcut::activated, this, [this] { menuBar()->setActiveAction(menuBar()->actions().front()); });
}

void Form1::BuildResistor()
{
    abcdt_ = new QLineEdit(QString::fromUtf8(kIdleText.data(), qsizetype(kIdleText.size())), client_);
    abcdt_->setObjectName(QStringLiteral("abcdt"));
    // Only the program writes the result line; Tab comes back to it after
    // the palettes.
    ui::MakeResultStop(abcdt_);
    abcdt_->setFrame(false);
    abcdt_->setAlignment(Qt::AlignCenter);
    abcdt_->setTextMargins(0, 0, 0, 0);
    abcdt_->setFont(ui::ValueFont());
    QPalette palette = abcdt_->palette();
    palette.setColor(QPalette::Base, ui::FromRgb(kGreen));
    palette.setColor(QPalette::Text, Qt::black);
    abcdt_->setPalette(palette);
    abcdt_->setAccessibleName(QStringLiteral("Result"));
    ui::SetTwipsGeometry(abcdt_, {1560, 240, 2415, 285});

    for (const BandRule& rule : BandRules()) {
        const std::uint32_t rgb = StartColour(rule.band).rgb;
        QLabel* label = ui::MakeColourLabel(client_, QString::fromUtf8(rule.label.data(), qsizetype(rule.label.size())),
                                            {BuildLeft(rule.band), kBandTop, kBandWidth, kBandHeight}, rgb, true);
        bands_[Index(rule.band)] = label;
    }
    BandLabel(Band::Coefficient)->hide();

    // The coefficient, shown in six-band mode only. Like the result line it
    // only shows what the program writes.
    ppm_ = new QLineEdit(client_);
    ppm_->setObjectName(QStringLiteral("ppm"));
    ppm_->setReadOnly(true);
    ppm_->setFocusPolicy(Qt::NoFocus);
    ppm_->setFrame(false);
    ppm_->setAlignment(Qt::AlignCenter);
    ppm_->setTextMargins(0, 0, 0, 0);
    ppm_->setFont(ui::ValueFont());
    ppm_->setPalette(abcdt_->palette());
    ppm_->setAccessibleName(QStringLiteral("Temperature coefficient"));
    ui::SetTwipsGeometry(ppm_, kCoefficientRect);
    ppm_->hide();
}

void Form1::BuildPalettes()
{
    const NumberFormat format = UserNumberFormat();
    for (const BandRule& rule : BandRules()) {
        for (const ColourCode* colour : rule.entries) {
            const bool white = colour->rgb == kWhite;
            const bool noBand = IsNoBand(*colour);
            const std::string name = SwatchName(rule.band, *colour);
            // b8 stands 240 high; all other swatches are square and overlap the
            // next row by one pixel.
            const double height = name == "b8" ? 240 : kSwatchSize;
            ui::Swatch* swatch = ui::MakeSwatch(
                client_, QString::fromStdString(name),
                {BuildLeft(rule.band), kFirstSwatchTop + kSwatchPitch * Row(*colour), kSwatchSize, height},
                noBand ? kWhite : colour->rgb, white || noBand);
            swatch->setToolTip(QString::fromStdString(BandMeaning(rule.band, *colour, format)));
            swatch->setAccessibleName(QString::fromStdString(SpokenBandMeaning(rule.band, *colour, format)));
            // A column's swatches are its band's colours: the one it has is
            // checked.
            swatch->setChecked(colour == &StartColour(rule.band));
            swatch->installEventFilter(this);
            connect(swatch, &ui::Swatch::clicked, this,
                    [this, band = rule.band, colour, swatch] { Swatch_Click(band, *colour, swatch); });
            // Tab stops once per column, at the swatch last focused there.
            swatch->setFocusPolicy(swatches_[Index(rule.band)].empty() ? Qt::TabFocus : Qt::NoFocus);
            swatches_[Index(rule.band)].push_back(swatch);
            // The coefficient's palette shows in six-band mode only.
            if (kFiveBandLefts[Index(rule.band)] == 0) {
                swatch->hide();
            }
        }
    }
    // The band labels tell their initial colour the same way.
    for (const BandRule& rule : BandRules()) {
        const ColourCode& initial = StartColour(rule.band);
        ui::SetBandMeaning(BandLabel(rule.band), QString::fromStdString(BandMeaning(rule.band, initial, format)),
                           QString::fromStdString(SpokenBandMeaning(rule.band, initial, format)));
    }
}

void Form1::BuildBandModeButtons()
{
    four_ = new QRadioButton(QStringLiteral("4 Color"), client_);
    five_ = new QRadioButton(QStringLiteral("5 Color"), client_);
    six_ = new QRadioButton(QStringLiteral("6 Color"), client_);
    four_->setObjectName(QStringLiteral("four"));
    five_->setObjectName(QStringLiteral("five"));
    six_->setObjectName(QStringLiteral("six"));
    for (QRadioButton* button : {four_, five_, six_}) {
        button->setFont(ui::OptionFont());
        button->setAutoFillBackground(true);
        QPalette palette = button->palette();
        palette.setColor(QPalette::Window, ui::FromRgb(kWhite));
        palette.setColor(QPalette::Button, ui::FromRgb(kWhite));
        button->setPalette(palette);
    }
    ui::SetTwipsGeometry(four_, {120, 2800, 1575, 255});
    ui::SetTwipsGeometry(five_, {120, 3480, 1575, 255});
    ui::SetTwipsGeometry(six_, {120, 4160, 1575, 255});
    five_->setChecked(true);
    // A click on the selected button runs its handler again, as a click on an
    // option button does.
    connect(four_, &QRadioButton::clicked, this, &Form1::ShowFourBandLayout);
    connect(five_, &QRadioButton::clicked, this, &Form1::ShowFiveBandLayout);
    connect(six_, &QRadioButton::clicked, this, &Form1::ShowSixBandLayout);

    // Tab runs left to right: the option buttons, then the palettes column by
    // column. The window starts with the focus on the selected option button,
    // so the palettes show no focus ring until the user tabs into them.
    five_->setFocus();
    setTabOrder(five_, six_);
    QWidget* previous = six_;
    for (const std::vector<ui::Swatch*>& column : swatches_) {
        for (ui::Swatch* swatch : column) {
            setTabOrder(previous, swatch);
            previous = swatch;
        }
    }
    // The result line after the palettes. Qt moves a widget in the Tab chain
    // only behind one that takes Tab itself, as the last swatch may not.
    const Qt::FocusPolicy policy = previous->focusPolicy();
    previous->setFocusPolicy(Qt::TabFocus);
    setTabOrder(previous, abcdt_);
    previous->setFocusPolicy(policy);
}

void Form1::BuildHiddenFields()
{
    // Each band's hidden field, named by its rule, holds the text of the
    // band's start colour: "2", "2", "2", "100", "_+5%", "50 ppm/K".
    constexpr TwipsRect kFieldRects[] = {
        {120, 4440, 255, 285},  {480, 4440, 255, 285},  {840, 4440, 255, 285},
        {1200, 4440, 255, 285}, {1560, 4440, 615, 285}, {2280, 4440, 975, 285},
    };
    const NumberFormat format = UserNumberFormat();
    for (const BandRule& rule : BandRules()) {
        const QString text = QString::fromStdString(BandText(rule.band, StartColour(rule.band), format));
        auto* edit = new QLineEdit(text, client_);
        edit->setObjectName(QString::fromUtf8(rule.field.data(), qsizetype(rule.field.size())));
        ui::SetTwipsGeometry(edit, kFieldRects[Index(rule.band)]);
        ui::HideFromAccessibility(edit);
        edit->hide();
        fields_[Index(rule.band)] = edit;
    }
    ppm_->setText(BandField(Band::Coefficient)->text());
}

void Form1::Form_Load() { ui::SetOuterSize(this, kOuterSize, kOuterSize); }

void Form1::closeEvent(QCloseEvent* event)
{
    // While the encoder window is open this window takes no input at all, not
    // even the window manager's close.
    if (!isEnabled()) {
        event->ignore();
        return;
    }
    // Closing the window ends its opening animations with it; the other
    // windows stay open. An about window still growing finishes its growth on
    // its own, to this window's last size, rather than stay a stump.
    Timer1_->stop();
    if (Timer2_->isActive()) {
        Timer2_->stop();
        if (about_) {
            about_->FinishGrowthAlone();
        }
    }
    QMainWindow::closeEvent(event);
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    auto* swatch = qobject_cast<ui::Swatch*>(watched);
    if (swatch != nullptr && event->type() == QEvent::FocusIn) {
        // However the focus came (Tab, arrows, a screen reader), the swatch
        // becomes its column's one Tab stop.
        for (const std::vector<ui::Swatch*>& column : swatches_) {
            if (std::ranges::find(column, swatch) != column.end()) {
                for (ui::Swatch* other : column) {
                    other->setFocusPolicy(other == swatch ? Qt::TabFocus : Qt::NoFocus);
                }
            }
        }
    } else if (swatch != nullptr && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            if (ui::Swatch* target = SwatchForKey(swatch, key->key())) {
                target->setFocus(Qt::OtherFocusReason);
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

ui::Swatch* Form1::SwatchForKey(ui::Swatch* from, int key) const
{
    if (from == nullptr) {
        return nullptr;
    }
    int column = 0;
    const int columns = int(swatches_.size());
    while (column < columns && std::ranges::find(swatches_[column], from) == swatches_[column].end()) {
        ++column;
    }
    if (column == columns) {
        return nullptr;
    }
    const std::vector<ui::Swatch*>& swatches = swatches_[column];
    const auto at = std::ranges::find(swatches, from) - swatches.begin();
    switch (key) {
    case Qt::Key_Up: return swatches[std::max<std::ptrdiff_t>(at - 1, 0)];
    case Qt::Key_Down: return swatches[std::min<std::ptrdiff_t>(at + 1, std::ssize(swatches) - 1)];
    case Qt::Key_Home: return swatches.front();
    case Qt::Key_End: return swatches.back();
    case Qt::Key_Left:
    case Qt::Key_Right: {
        // The next shown column that way (the third digit's hides in
        // four-band mode, the coefficient's in four- and five-band mode), at
        // the swatch nearest the same height.
        const int step = key == Qt::Key_Left ? -1 : 1;
        for (int next = column + step; next >= 0 && next < columns; next += step) {
            if (swatches_[next].front()->isHidden()) {
                continue;
            }
            return *std::ranges::min_element(
                swatches_[next], {}, [from](const ui::Swatch* swatch) { return std::abs(swatch->y() - from->y()); });
        }
        return from;  // the last column keeps the focus
    }
    default: return nullptr;
    }
}

QLabel* Form1::BandLabel(Band band) const { return bands_[Index(band)]; }
QLineEdit* Form1::BandField(Band band) const { return fields_[Index(band)]; }
std::string Form1::FieldText(Band band) const { return BandField(band)->text().toStdString(); }

void Form1::Swatch_Click(Band band, const ColourCode& colour, const ui::Swatch* swatch)
{
    const NumberFormat format = UserNumberFormat();
    for (ui::Swatch* other : swatches_[Index(band)]) {
        other->setChecked(other == swatch);
    }
    QLabel* label = BandLabel(band);
    if (IsNoBand(colour)) {
        // No band: the band is not drawn, its colour is kept.
        label->hide();
    } else {
        ui::SetLabelColour(label, swatch->Colour());
    }
    ui::SetBandMeaning(label, QString::fromStdString(BandMeaning(band, colour, format)),
                       QString::fromStdString(SpokenBandMeaning(band, colour, format)));
    BandField(band)->setText(QString::fromStdString(BandText(band, colour, format)));

    if (band == Band::Tolerance && !IsNoBand(colour)) {
        ui::SetLabelBorder(label, true);
        label->show();
    }
    if (band == Band::Coefficient) {
        ppm_->setText(BandField(band)->text());
    }
    // The third-digit swatches show only in five- and six-band mode, the
    // coefficient's only in six: both decode the five bands before it.
    DecodeBands(band == Band::Third || band == Band::Coefficient);
    // In six-band mode the coefficient is heard with the result it stands beside.
    const QString coefficient = six_->isChecked() ? QStringLiteral(", ") + ppm_->text() : QString();
    if (!takingBands_) {
        ui::Announce(this, abcdt_->text() + coefficient);
    }
}

void Form1::DecodeBands(bool fiveBands)
{
    const NumberFormat format = UserNumberFormat();
    const std::string first = FieldText(Band::First);
    const std::string second = FieldText(Band::Second);
    const std::string third = FieldText(Band::Third);
    const std::string multiplier = FieldText(Band::Multiplier);
    const std::string tolerance = FieldText(Band::Tolerance);
    if (!fiveBands && four_->isChecked()) {
        abcdt_->setText(QString::fromStdString(DecodeFourBands(first, second, multiplier, tolerance, format)));
        ui::SetResultNote(abcdt_, DescribeFourBands(first, second, multiplier, tolerance, format));
    } else {
        abcdt_->setText(QString::fromStdString(DecodeFiveBands(first, second, third, multiplier, tolerance, format)));
        NoteResult(DescribeFiveBands(first, second, third, multiplier, tolerance, format));
    }
}

void Form1::NoteResult(const std::optional<std::string>& note)
{
    // A reader of the result line hears the coefficient there too.
    if (note && six_->isChecked()) {
        ui::SetResultNote(abcdt_, *note + "; temperature coefficient " + FieldText(Band::Coefficient));
    } else {
        ui::SetResultNote(abcdt_, note);
    }
}

void Form1::PlaceBandColumns(const ColumnLefts& lefts)
{
    for (const BandRule& rule : BandRules()) {
        std::vector<QWidget*> column{BandLabel(rule.band)};
        column.insert(column.end(), swatches_[Index(rule.band)].begin(), swatches_[Index(rule.band)].end());
        const double left = lefts[Index(rule.band)];
        // A column the last mode hid comes back; the others keep their
        // visibility (the tolerance band may be "no band").
        const bool hidden = swatches_[Index(rule.band)].front()->isHidden();
        for (QWidget* control : column) {
            if (left == 0) {
                control->hide();
                continue;
            }
            ui::SetTwipsLeft(control, left);
            if (hidden) {
                control->show();
            }
        }
    }
    const bool six = lefts[Index(Band::Coefficient)] != 0;
    ppm_->setVisible(six);
    client_->SetLines(six ? std::span<const DrawnLine>(kSixBandLines) : std::span<const DrawnLine>(kLines));
    abcdt_->setText(QString::fromUtf8(kIdleText.data(), qsizetype(kIdleText.size())));
    ui::SetResultNote(abcdt_, std::nullopt);
}

void Form1::ShowFourBandLayout() { PlaceBandColumns(kFourBandLefts); }

void Form1::ShowFiveBandLayout() { PlaceBandColumns(kFiveBandLefts); }

void Form1::ShowSixBandLayout() { PlaceBandColumns(kSixBandLefts); }

void Form1::Show_Click() { Timer1_->start(); }

void Form1::Codes_Click()
{
    Form5* window = Instance(codes_);
    window->show();
    window->raise();
    window->activateWindow();
}

void Form1::Photo_Click()
{
    const QString file = QFileDialog::getOpenFileName(
        this, QStringLiteral("Read a photo"), QString(),
        QStringLiteral("Photos (*.jpg *.jpeg *.png *.bmp *.tif *.tiff *.webp);;All files (*)"));
    if (!file.isEmpty()) {
        ReadPhoto(file);
    }
}

void Form1::dragEnterEvent(QDragEnterEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.front().isLocalFile()) {
        event->acceptProposedAction();
    }
}

void Form1::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.front().isLocalFile()) {
        event->acceptProposedAction();
        const QString file = urls.front().toLocalFile();
        if (IsPartsList(file)) {
            OpenPartsList(file);
        } else {
            ReadPhoto(file);
        }
    }
}

bool Form1::IsPartsList(const QString& file)
{
    const QString suffix = QFileInfo(file).suffix().toLower();
    if (suffix == QLatin1String("csv") || suffix == QLatin1String("tsv") || suffix == QLatin1String("txt")) {
        return true;
    }
    // A picture's name, or a picture's bytes, go to the photo reader, which
    // says what is wrong with a picture that is none.
    if (QImageReader::supportedImageFormats().contains(suffix.toLatin1()) ||
        !QImageReader::imageFormat(file).isEmpty()) {
        return false;
    }
    QFile opened(file);
    if (!opened.open(QIODevice::ReadOnly)) {
        return false;  // the photo reader says why
    }
    const QByteArray start = opened.read(4096);
    return !start.isEmpty() && !start.contains('\0');
}

void Form1::Parts_Click()
{
    const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("Check a parts list"), QString(),
                                                      QStringLiteral("Parts lists (*.csv *.tsv *.txt);;All files (*)"));
    if (!file.isEmpty()) {
        OpenPartsList(file);
    }
}

void Form1::OpenPartsList(const QString& file)
{
    const bool opening = !parts_;
    Form7* window = Instance(parts_);
    if (opening) {
        connect(window, &Form7::bandsChosen, this, [this](std::vector<std::string> bands) {
            // A band the list gives no colour for keeps the decoder's own.
            if (!bands.empty() && bands.back().empty()) {
                const ColourCode* tolerance = ColourByTolerance(FieldText(Band::Tolerance));
                if (tolerance != nullptr) {
                    bands.back() = std::string(tolerance->name);
                }
            }
            TakeBands(bands);
        });
    }
    window->show();
    window->raise();
    window->activateWindow();
    window->ReadList(file);
}

void Form1::ReadPhoto(const QString& file)
{
    std::string problem;
    photo::PhotoReading reading;
    QImage picture;
    // The reader, and OpenCV behind it, load on the first photo.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const photo::PhotoModule* module = photo::LoadPhotoModule(problem);
    if (module != nullptr) {
        const std::string path = QFile::encodeName(file).toStdString();
        reading = module->readFile(path);
        if (reading.status == photo::PhotoStatus::Read) {
            const std::vector<unsigned char> png = module->annotatedPng(path, reading);
            picture.loadFromData(png.data(), int(png.size()), "PNG");
        } else if (reading.status == photo::PhotoStatus::NoResistor) {
            picture.load(file);
        }
    }
    QApplication::restoreOverrideCursor();

    const bool opening = !photo_;
    Form6* window = Instance(photo_);
    if (opening) {
        connect(window, &Form6::bandsChosen, this, [this](const std::vector<std::string>& bands) { TakeBands(bands); });
    }
    window->show();
    window->raise();
    window->activateWindow();
    const QString name = QFileInfo(file).fileName();
    QString heard;
    if (module == nullptr) {
        heard = QString::fromStdString(problem);
        window->ShowProblem(heard);
    } else if (reading.status != photo::PhotoStatus::Read && reading.status != photo::PhotoStatus::NoResistor) {
        heard = name + QLatin1Char(' ') + QString::fromStdString(reading.problem);
        window->ShowProblem(heard);
    } else {
        const bool taken = !reading.candidates.empty() && TakeBands(reading.candidates.front().bands);
        window->ShowReading(file, reading, picture, taken ? abcdt_->text() : QString());
        heard = taken ? QStringLiteral("Read from the photo: ") + abcdt_->text() + QStringLiteral(", confidence ") +
                            Form6::ConfidenceText(reading.candidates.front().confidence)
                      : QStringLiteral("No resistor found in the photo");
    }
    // Told by the photo window, the one that has just opened and takes the focus.
    ui::Announce(window, heard);
}

bool Form1::TakeBands(const std::vector<std::string>& names)
{
    static constexpr Band kFour[] = {Band::First, Band::Second, Band::Multiplier, Band::Tolerance};
    static constexpr Band kFive[] = {Band::First, Band::Second, Band::Third, Band::Multiplier, Band::Tolerance};
    const std::span<const Band> places = names.size() == 4   ? std::span<const Band>(kFour)
                                         : names.size() == 5 ? std::span<const Band>(kFive)
                                                             : std::span<const Band>();
    struct Choice {
        Band band;
        const ColourCode* colour;
        ui::Swatch* swatch;
    };
    std::vector<Choice> choices;
    for (std::size_t i = 0; i < places.size(); ++i) {
        const ColourCode* colour = ColourByName(names[i]);
        if (colour == nullptr) {
            return false;
        }
        const QString swatchName = QString::fromStdString(SwatchName(places[i], *colour));
        const std::vector<ui::Swatch*>& column = swatches_[Index(places[i])];
        const auto swatch =
            std::ranges::find_if(column, [&](const ui::Swatch* s) { return s->objectName() == swatchName; });
        if (swatch == column.end()) {
            return false;
        }
        choices.push_back({places[i], colour, *swatch});
    }
    if (choices.empty()) {
        return false;
    }
    if (names.size() == 4) {
        four_->setChecked(true);
        ShowFourBandLayout();
    } else {
        five_->setChecked(true);
        ShowFiveBandLayout();
    }
    takingBands_ = true;
    for (const Choice& choice : choices) {
        Swatch_Click(choice.band, *choice.colour, choice.swatch);
    }
    takingBands_ = false;
    return true;
}

void Form1::Exit_Click()
{
    // Ends the program at once: no window's close handler runs.
    QCoreApplication::exit(0);
}

void Form1::Help2_Click()
{
    Form3* window = Instance(help_);
    window->show();
    window->raise();
    window->activateWindow();
}

void Form1::About_Click() { Timer2_->start(); }

void Form1::Timer1_Timer()
{
    Form2* window = Instance(encoder_);
    window->show();
    if (window->GrowStep()) {
        Timer1_->stop();
        window->update();
    }
}

void Form1::Timer2_Timer()
{
    Form4* window = Instance(about_);
    window->show();
    window->raise();
    if (window->GrowStep()) {
        Timer2_->stop();
    }
}

}  // namespace zarnik
