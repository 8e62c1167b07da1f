// SPDX-License-Identifier: MIT
#include "ui/partslist/Form7.h"

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QCollator>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <cerrno>
#include <cstring>

#include "ui/common/Accessibility.h"
#include "ui/common/Controls.h"
#include "ui/common/Fonts.h"
#include "ui/common/Twips.h"

namespace zarnik {

namespace {

using ui::TwipsRect;

// Never seen: the load handler sizes the window before it is first shown.
constexpr double kDesignClientWidth = 5610;
constexpr double kDesignClientHeight = 5220;

constexpr TwipsRect kLabel1 = {120, 60, 5370, 900};
constexpr TwipsRect kGrid1 = {120, 1020, 5370, 4080};

// The flags come early, so that the narrow window shows them unscrolled.
enum Column { kDesignators, kReadsAs, kFlags, kValue, kSeries, kBands, kCodes, kLine, kColumns };
constexpr const char* kHeadings[kColumns] = {"Designators", "Reads as", "Flags", "Value",
                                             "Series",      "Bands",    "Codes", "Line"};

// Where the row's part is kept, on its line cell, and what a cell sorts by.
constexpr int kPartRole = Qt::UserRole;
constexpr int kSortRole = Qt::UserRole + 1;

// The flags' colours, light enough for black text: amber for a value off
// its series or at odds with its description, red for one that cannot be
// read, grey for a part not to place, green for a sound one.
constexpr std::uint32_t kNotStandardRgb = 0xFFD27F;
constexpr std::uint32_t kUnreadableRgb = 0xFF9E9E;
constexpr std::uint32_t kDoNotPlaceRgb = 0xD4D4D4;
constexpr std::uint32_t kSoundRgb = 0xC8F0C8;

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

// A cell that sorts by its sort key: numbers by value, texts in natural
// order (R2 before R10).
class SortItem : public QTableWidgetItem {
public:
    SortItem(const QString& text, const QVariant& key) : QTableWidgetItem(text) { setData(kSortRole, key); }

    bool operator<(const QTableWidgetItem& other) const override
    {
        const QVariant a = data(kSortRole);
        const QVariant b = other.data(kSortRole);
        if (a.typeId() == QMetaType::Double && b.typeId() == QMetaType::Double) {
            return a.toDouble() < b.toDouble();
        }
        static const QCollator collator = [] {
            QCollator c;
            c.setNumericMode(true);
            c.setCaseSensitivity(Qt::CaseInsensitive);
            return c;
        }();
        return collator.compare(a.toString(), b.toString()) < 0;
    }
};

QString Joined(const std::vector<std::string>& words, const QString& gap)
{
    QStringList texts;
    for (const std::string& word : words) {
        texts.append(Text(word));
    }
    return texts.join(gap);
}

QString ReadAs(const CheckedPart& part)
{
    if (!part.value) {
        return QStringLiteral("-");
    }
    QString text = Text(ValueText(part.kind, *part.value, NumberFormat{QLocale().decimalPoint().toStdString()}));
    if (part.tolerancePercent) {
        text += QStringLiteral(" \u00B1") + Text(DecimalText(*part.tolerancePercent)) + QLatin1Char('%');
    }
    if (part.volts) {
        text += QLatin1Char(' ') + Text(DecimalText(*part.volts)) + QStringLiteral(" V");
    }
    return text;
}

std::uint32_t FlagColour(const CheckedPart& part)
{
    if (!part.unreadable.empty()) {
        return kUnreadableRgb;
    }
    if (part.notStandard || part.described) {
        return kNotStandardRgb;
    }
    return part.doNotPlace ? kDoNotPlaceRgb : kSoundRgb;
}

}  // namespace

Form7::Form7(QWidget* decoder)
    : ui::SecondaryWindow(decoder, QStringLiteral("Form7"), QStringLiteral("Parts list"), ui::FromRgb(ui::kWhiteRgb))
{
    resize(ui::ToPixels(kDesignClientWidth), ui::ToPixels(kDesignClientHeight));
    BuildControls();
    Form_Load();
    GrowOnOwnTimer(QStringLiteral("Timer1"));
}

void Form7::BuildControls()
{
    Label1_ = new QLabel(Client());
    Label1_->setObjectName(QStringLiteral("Label1"));
    Label1_->setWordWrap(true);
    Label1_->setTextFormat(Qt::PlainText);
    Label1_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Label1_->setAccessibleName(QStringLiteral("Summary"));
    ui::SetTwipsGeometry(Label1_, kLabel1);

    Grid1_ = new QTableWidget(0, kColumns, Client());
    Grid1_->setObjectName(QStringLiteral("Grid1"));
    Grid1_->setAccessibleName(QStringLiteral("Parts"));
    QStringList headings;
    for (const char* heading : kHeadings) {
        headings.append(QString::fromLatin1(heading));
    }
    Grid1_->setHorizontalHeaderLabels(headings);
    Grid1_->verticalHeader()->hide();
    Grid1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid1_->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grid1_->setSelectionMode(QAbstractItemView::SingleSelection);
    // Tab leaves the table; the arrow keys, Home, End and Page keys move in it.
    Grid1_->setTabKeyNavigation(false);
    Grid1_->setWordWrap(false);
    Grid1_->setAlternatingRowColors(true);
    Grid1_->horizontalHeader()->setSortIndicatorShown(true);
    Grid1_->horizontalHeader()->setHighlightSections(false);
    Grid1_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // Rows as tight as their text: the window is as small as the decoder.
    Grid1_->verticalHeader()->setDefaultSectionSize(Grid1_->fontMetrics().height() + 6);
    Grid1_->horizontalHeader()->setMinimumSectionSize(ui::ToPixels(300));
    ui::SetTwipsGeometry(Grid1_, kGrid1);
    connect(Grid1_, &QTableWidget::currentCellChanged, this, [this](int row, int, int previous, int) {
        if (row != previous) {
            Grid1_CurrentRowChanged(row);
        }
    });
    setFocusProxy(Grid1_);
}

void Form7::Form_Load()
{
    SetZeroSize();
    PlaceOnDecoderCorner();
}

void Form7::ReadList(const QString& file)
{
    parts_.clear();
    Grid1_->setSortingEnabled(false);
    Grid1_->setRowCount(0);
    const QString name = QFileInfo(file).fileName();
    const int fd = open(QFile::encodeName(file).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const QString why = name + QStringLiteral(": cannot read it: ") + QString::fromLocal8Bit(std::strerror(errno));
        Label1_->setText(why);
        ui::Announce(this, why);
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    PartsListReader reader(FileSource(fd));
    ListSummary summary;
    CheckedPart part;
    while (reader.Next(part)) {
        summary.Add(part);
        if ((part.kind != PartKind::Other || part.damaged) && parts_.size() < std::size_t(kMostRows)) {
            parts_.push_back(std::move(part));
            part = CheckedPart{};
        }
    }
    ::close(fd);
    Grid1_->setRowCount(int(parts_.size()));
    for (std::size_t i = 0; i < parts_.size(); ++i) {
        AddRow(parts_[i]);
    }
    Grid1_->resizeColumnsToContents();
    // Room for the sort indicator beside each heading.
    for (int column = 0; column < kColumns; ++column) {
        Grid1_->setColumnWidth(column, Grid1_->columnWidth(column) + ui::ToPixels(90));
    }
    Grid1_->setSortingEnabled(true);
    Grid1_->sortByColumn(kLine, Qt::AscendingOrder);
    QApplication::restoreOverrideCursor();

    QString told;
    if (!reader.Fatal().empty()) {
        told = name + QStringLiteral(": ") + Text(reader.Fatal());
    } else {
        told = name + QStringLiteral(": ") + Text(summary.Text());
        if (summary.rows > 0 && std::size_t(summary.parts) > parts_.size() && parts_.size() == std::size_t(kMostRows)) {
            told += QStringLiteral("; the first %1 rows shown").arg(kMostRows);
        }
    }
    Label1_->setText(told);
    if (Grid1_->rowCount() > 0) {
        Grid1_->setCurrentCell(0, kDesignators);
    }
    ui::Announce(this, told);
}

void Form7::AddRow(const CheckedPart& part)
{
    const int row = int(&part - parts_.data());
    const QString references = Joined(part.references, QStringLiteral(" "));
    const QString readAs = ReadAs(part);
    std::vector<std::string> flags = FlagWords(part);
    const std::string note = FlagNote(part);
    QString flagText = flags.empty() ? QStringLiteral("ok") : Joined(flags, QStringLiteral(", "));
    if (!note.empty()) {
        flagText += QStringLiteral(" (") + Text(note) + QLatin1Char(')');
    }
    QStringList codes;
    for (const NamedCode& code : part.codes) {
        codes.append(Text(code.code));
    }
    const QString bands = part.bands.empty() ? QStringLiteral("-") : Text(BandsText(part.bands));
    const QVariant valueKey = part.value ? QVariant(ToDouble(*part.value)) : QVariant(-1.0);
    const QString written = part.written.empty() ? QStringLiteral("-") : Text(part.written);
    const QVariant cells[kColumns][2] = {
        {references, references},
        {readAs, valueKey},
        {flagText, flagText},
        {written, valueKey},
        {part.series && part.series->series ? Text(SeriesName(*part.series->series))
         : part.series                      ? QStringLiteral("none")
                                            : QStringLiteral("-"),
         QString()},
        {bands, bands},
        {codes.isEmpty() ? QStringLiteral("-") : codes.join(QLatin1Char(' ')), codes.join(QLatin1Char(' '))},
        {QString::number(part.line), double(part.line)},
    };
    // What a screen reader hears on every cell of the row as the focus
    // moves: the designators, the value and the flags.
    const QString spoken =
        references + QStringLiteral(", ") + (part.value ? readAs : written) + QStringLiteral(", ") + flagText;
    const QString heard =
        ui::Spoken(QString(spoken).replace(QStringLiteral("\u00B1"), QStringLiteral("plus or minus "))).text;
    for (int column = 0; column < kColumns; ++column) {
        const QVariant key = column == kSeries ? cells[column][0] : cells[column][1];
        auto* item = new SortItem(cells[column][0].toString(), key);
        item->setData(Qt::AccessibleTextRole, heard);
        item->setData(kPartRole, row);
        if (column == kFlags) {
            item->setBackground(ui::FromRgb(FlagColour(part)));
            item->setForeground(Qt::black);
        }
        Grid1_->setItem(row, column, item);
    }
}

void Form7::Grid1_CurrentRowChanged(int row)
{
    const QTableWidgetItem* item = row >= 0 ? Grid1_->item(row, kLine) : nullptr;
    if (item == nullptr) {
        return;
    }
    const CheckedPart& part = parts_[std::size_t(item->data(kPartRole).toInt())];
    if (part.kind != PartKind::Resistor || part.bands.size() < 3) {
        return;
    }
    std::vector<std::string> names;
    for (const ColourCode* band : part.bands) {
        names.emplace_back(band->name);
    }
    // Without a written tolerance the bands carry none; the decoder keeps its own.
    if (ResistorToleranceColour(part.tolerancePercent) == nullptr) {
        names.emplace_back();
    }
    emit bandsChosen(names);
}

}  // namespace zarnik
