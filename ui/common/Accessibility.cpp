// SPDX-License-Identifier: MIT
#include "ui/common/Accessibility.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextEdit>
#include <QTextLayout>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <utility>

#include "ui/common/Controls.h"

namespace zarnik::ui {

namespace {

constexpr const char* kHiddenProperty = "zarnikHiddenFromAccessibility";
const QString kAnnouncerName = QStringLiteral("announcer");

bool IsHidden(const QObject* object) { return object->property(kHiddenProperty).toBool(); }

// The pieces of a text that a boundary query walks: characters (grapheme
// clusters), words or sentences. Each piece runs from one start to the next;
// the space after a word belongs to the word, as screen readers expect.
std::vector<int> PieceStarts(const QString& text, QAccessible::TextBoundaryType boundary)
{
    std::vector<int> starts{0};
    if (boundary == QAccessible::LineBoundary || boundary == QAccessible::ParagraphBoundary ||
        boundary == QAccessible::NoBoundary) {
        return starts;  // one line: one piece
    }
    const auto type = boundary == QAccessible::CharBoundary   ? QTextBoundaryFinder::Grapheme
                      : boundary == QAccessible::WordBoundary ? QTextBoundaryFinder::Word
                                                              : QTextBoundaryFinder::Sentence;
    QTextBoundaryFinder finder(type, text);
    // Every step moves forward, so the walk ends after at most one step a
    // character.
    for (qsizetype at = finder.toNextBoundary(); at > 0 && at < text.size(); at = finder.toNextBoundary()) {
        if (type == QTextBoundaryFinder::Word && !(finder.boundaryReasons() & QTextBoundaryFinder::StartOfItem)) {
            continue;  // the end of a word: its spaces still belong to it
        }
        starts.push_back(int(at));
    }
    return starts;
}

// The piece holding `offset`: [start, end). The end of the text belongs to
// the last piece, so that the word or line at the caret behind the last
// character is that word or line; a character there is empty.
std::pair<int, int> PieceAt(const QString& text, QAccessible::TextBoundaryType boundary, int offset)
{
    const int length = int(text.size());
    if (boundary == QAccessible::CharBoundary && offset == length) {
        return {length, length};
    }
    const std::vector<int> starts = PieceStarts(text, boundary);
    const int probe = std::min(offset, std::max(length - 1, 0));
    const auto next = std::ranges::upper_bound(starts, probe);
    const int start = *std::prev(next);
    const int end = next == starts.end() ? length : *next;
    return {start, end};
}

// A text as an assistive tool reads it: every query at every offset answered,
// each in one walk over the text, and one attribute run over the whole text.
// What the text is, its attributes and its lines are the control's own.
class TextAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    TextAccessible(QWidget* control, QAccessible::Role role) : QAccessibleWidget(control, role) {}

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::TextInterface ? static_cast<QAccessibleTextInterface*>(this)
                                                  : QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Value ? All() : QAccessibleWidget::text(kind);
    }
    QString text(int start, int end) const override
    {
        const QString all = All();
        start = std::clamp(start, 0, int(all.size()));
        end = std::clamp(end < 0 ? int(all.size()) : end, start, int(all.size()));
        return all.mid(start, end - start);
    }
    int characterCount() const override { return int(All().size()); }
    void addSelection(int start, int end) override { setSelection(0, start, end); }

    QString attributes(int offset, int* start, int* end) const override
    {
        const int length = characterCount();
        if (offset < 0 || offset > length) {
            *start = *end = -1;
            return {};
        }
        *start = 0;
        *end = length;
        return RunAttributes();
    }
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary, int* start, int* end) const override
    {
        return Query(offset, boundary, -1, start, end);
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundary, int* start, int* end) const override
    {
        return Query(offset, boundary, 1, start, end);
    }
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundary, int* start, int* end) const override
    {
        return Query(offset, boundary, 0, start, end);
    }

protected:
    // The text as read.
    [[nodiscard]] virtual QString All() const = 0;
    // The attributes of the one run.
    [[nodiscard]] virtual QString RunAttributes() const = 0;
    // The piece holding `offset`: [start, end). A text of one line is one
    // line; a control that lays its text out in lines tells its own.
    [[nodiscard]] virtual std::pair<int, int> Piece(const QString& all, QAccessible::TextBoundaryType boundary,
                                                    int offset) const
    {
        return PieceAt(all, boundary, offset);
    }

private:
    // The piece at, before (-1) or after (1) the one holding `offset`.
    QString Query(int offset, QAccessible::TextBoundaryType boundary, int step, int* start, int* end) const
    {
        const QString all = All();
        const int length = int(all.size());
        if (offset == -1) {
            offset = length;
        }
        *start = *end = -1;
        if (offset < 0 || offset > length) {
            return {};
        }
        auto [from, to] = Piece(all, boundary, offset);
        if (step < 0) {
            // The character before an offset is the one just before it.
            const int before = boundary == QAccessible::CharBoundary ? offset : from;
            std::tie(from, to) = before == 0 ? std::pair{0, 0} : Piece(all, boundary, before - 1);
        } else if (step > 0) {
            std::tie(from, to) = to >= length ? std::pair{length, length} : Piece(all, boundary, to);
        }
        *start = from;
        *end = to;
        return all.mid(from, to - from);
    }
};

// A line edit's text. Qt 6.4's own interface never answers a word query at
// the end of the text and reports attribute runs of no length. A read-only
// line (a result line) is read as spoken: its offsets map to the shown
// text's. An editable one edits as the user would.
class LineEditAccessible : public TextAccessible, public QAccessibleEditableTextInterface {
public:
    explicit LineEditAccessible(QLineEdit* edit) : TextAccessible(edit, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::EditableTextInterface && !Edit()->isReadOnly()) {
            return static_cast<QAccessibleEditableTextInterface*>(this);
        }
        return TextAccessible::interface_cast(type);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.editable = !Edit()->isReadOnly();
        state.readOnly = Edit()->isReadOnly();
        state.selectableText = true;
        state.passwordEdit = Edit()->echoMode() != QLineEdit::Normal;
        return state;
    }

    // Text interface.
    void selection(int index, int* start, int* end) const override
    {
        *start = *end = 0;
        if (index == 0 && Edit()->hasSelectedText()) {
            *start = ToAccessible(Edit()->selectionStart());
            *end = ToAccessible(Edit()->selectionEnd());
        }
    }
    int selectionCount() const override { return Edit()->hasSelectedText() ? 1 : 0; }
    void removeSelection(int) override { Edit()->deselect(); }
    void setSelection(int, int start, int end) override
    {
        const int from = ToShown(start);
        Edit()->setSelection(from, ToShown(end) - from);
    }
    int cursorPosition() const override { return ToAccessible(Edit()->cursorPosition()); }
    void setCursorPosition(int position) override { Edit()->setCursorPosition(ToShown(position)); }

    QRect characterRect(int offset) const override
    {
        const QString shown = Edit()->displayText();
        const int at = std::clamp(ToShown(offset), 0, int(shown.size()));
        const QFontMetrics metrics(Edit()->font());
        const int left = TextLeft() + metrics.horizontalAdvance(shown.left(at));
        const int width = at < shown.size() ? metrics.horizontalAdvance(shown.mid(at, 1)) : 0;
        const QRect local(left, (Edit()->height() - metrics.height()) / 2, width, metrics.height());
        return QRect(Edit()->mapToGlobal(local.topLeft()), local.size());
    }
    int offsetAtPoint(const QPoint& point) const override
    {
        const QPoint local = Edit()->mapFromGlobal(point);
        if (!Edit()->rect().contains(local)) {
            return -1;
        }
        const QString shown = Edit()->displayText();
        const QFontMetrics metrics(Edit()->font());
        int at = 0;
        while (at < shown.size() && TextLeft() + metrics.horizontalAdvance(shown.left(at + 1)) <= local.x()) {
            ++at;
        }
        return ToAccessible(at);
    }
    void scrollToSubstring(int, int) override {}

    // Editable text interface: as if the user had typed or deleted, so the
    // line's own limits and handlers apply.
    void deleteText(int start, int end) override { replaceText(start, end, QString()); }
    void insertText(int offset, const QString& text) override { replaceText(offset, offset, text); }
    void replaceText(int start, int end, const QString& text) override
    {
        const int from = ToShown(start);
        Edit()->setSelection(from, ToShown(end) - from);
        Edit()->insert(text);
    }

protected:
    QString All() const override { return Content().text; }
    // One run over the whole line: it has one font and one colour.
    QString RunAttributes() const override
    {
        const QFont font = Edit()->font();
        return QStringLiteral("font-family:\"%1\";font-size:%2pt;font-weight:%3;")
            .arg(font.family())
            .arg(font.pointSizeF())
            .arg(font.bold() ? QStringLiteral("bold") : QStringLiteral("normal"));
    }

private:
    QLineEdit* Edit() const { return static_cast<QLineEdit*>(widget()); }

    SpokenText Content() const
    {
        const QString shown = Edit()->displayText();
        if (Edit()->isReadOnly()) {
            return Spoken(shown);
        }
        SpokenText same{shown, {}};
        same.offsets.resize(std::size_t(shown.size()) + 1);
        for (std::size_t i = 0; i < same.offsets.size(); ++i) {
            same.offsets[i] = int(i);
        }
        return same;
    }
    int ToAccessible(int shown) const
    {
        const SpokenText content = Content();
        return content.offsets[std::size_t(std::clamp(shown, 0, int(content.offsets.size()) - 1))];
    }
    // The first shown offset at or after an accessible one.
    int ToShown(int offset) const
    {
        const std::vector<int> offsets = Content().offsets;
        const auto at = std::ranges::lower_bound(offsets, offset);
        return at == offsets.end() ? int(offsets.size()) - 1 : int(at - offsets.begin());
    }
    int TextLeft() const
    {
        const QRect contents = Edit()->contentsRect().marginsRemoved(Edit()->textMargins());
        const int width = QFontMetrics(Edit()->font()).horizontalAdvance(Edit()->displayText());
        // QLineEdit keeps two pixels free on either side of its text.
        constexpr int kMargin = 2;
        if (Edit()->alignment() & Qt::AlignHCenter) {
            return contents.left() + (contents.width() - width) / 2;
        }
        if (Edit()->alignment() & Qt::AlignRight) {
            return contents.right() - kMargin - width;
        }
        return contents.left() + kMargin;
    }
};

// A read-only rich text (the help text) read by a screen reader: by
// character, word, sentence, line as shown, or paragraph, with its language
// (the control's own locale) in its attributes so that the right voice
// reads it. Qt's own interface has no language.
class TextViewAccessible : public TextAccessible {
public:
    explicit TextViewAccessible(QTextEdit* view) : TextAccessible(view, QAccessible::EditableText) {}

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        state.multiLine = true;
        state.selectableText = true;
        return state;
    }

    void selection(int index, int* start, int* end) const override
    {
        const QTextCursor cursor = View()->textCursor();
        *start = *end = 0;
        if (index == 0 && cursor.hasSelection()) {
            *start = cursor.selectionStart();
            *end = cursor.selectionEnd();
        }
    }
    int selectionCount() const override { return View()->textCursor().hasSelection() ? 1 : 0; }
    void removeSelection(int) override
    {
        QTextCursor cursor = View()->textCursor();
        cursor.clearSelection();
        View()->setTextCursor(cursor);
    }
    void setSelection(int, int start, int end) override
    {
        QTextCursor cursor = Cursor(start);
        cursor.setPosition(Clamp(end), QTextCursor::KeepAnchor);
        View()->setTextCursor(cursor);
    }
    int cursorPosition() const override { return View()->textCursor().position(); }
    void setCursorPosition(int position) override { View()->setTextCursor(Cursor(position)); }
    QRect characterRect(int offset) const override
    {
        const QRect rect = View()->cursorRect(Cursor(offset));
        return QRect(View()->viewport()->mapToGlobal(rect.topLeft()), rect.size());
    }
    int offsetAtPoint(const QPoint& point) const override
    {
        const QPoint local = View()->viewport()->mapFromGlobal(point);
        return View()->viewport()->rect().contains(local) ? View()->cursorForPosition(local).position() : -1;
    }
    void scrollToSubstring(int start, int) override
    {
        const QTextCursor keep = View()->textCursor();
        View()->setTextCursor(Cursor(start));
        View()->ensureCursorVisible();
        View()->setTextCursor(keep);
    }

protected:
    // Offsets of the plain text are the document's cursor positions.
    QString All() const override { return View()->document()->toPlainText(); }
    QString RunAttributes() const override { return QStringLiteral("language:%1;").arg(View()->locale().bcp47Name()); }
    std::pair<int, int> Piece(const QString& all, QAccessible::TextBoundaryType boundary, int offset) const override
    {
        if (boundary == QAccessible::LineBoundary || boundary == QAccessible::ParagraphBoundary) {
            const int length = int(all.size());
            return LineAt(std::min(offset, std::max(length - 1, 0)), boundary == QAccessible::ParagraphBoundary);
        }
        return PieceAt(all, boundary, offset);
    }

private:
    QTextEdit* View() const { return static_cast<QTextEdit*>(widget()); }
    int Clamp(int offset) const { return std::clamp(offset, 0, characterCount()); }
    QTextCursor Cursor(int offset) const
    {
        QTextCursor cursor(View()->document());
        cursor.setPosition(Clamp(offset));
        return cursor;
    }

    // A line as laid out, or a paragraph: [start, end) holding `offset`.
    std::pair<int, int> LineAt(int offset, bool paragraph) const
    {
        const QTextBlock block = View()->document()->findBlock(offset);
        if (!block.isValid()) {
            return {offset, offset};
        }
        const int blockEnd = block.position() + block.length();  // past its paragraph separator
        const QTextLayout* layout = block.layout();
        if (paragraph || layout == nullptr || layout->lineCount() == 0) {
            return {block.position(), std::min(blockEnd, characterCount())};
        }
        const QTextLine line = layout->lineForTextPosition(offset - block.position());
        if (!line.isValid()) {
            return {block.position(), std::min(blockEnd, characterCount())};
        }
        const int start = block.position() + line.textStart();
        const bool last = line.lineNumber() == layout->lineCount() - 1;
        return {start, std::min(last ? blockEnd : start + line.textLength(), characterCount())};
    }
};

// A swatch: one of its column's radio buttons, checked while its band has its
// colour. Its name says band, colour and meaning; its tooltip says the same
// without the band, so it is not repeated as a description.
class SwatchAccessible : public QAccessibleWidget {
public:
    explicit SwatchAccessible(QAbstractButton* swatch) : QAccessibleWidget(swatch, QAccessible::RadioButton) {}

    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Description ? widget()->accessibleDescription() : QAccessibleWidget::text(kind);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = Button()->isChecked();
        return state;
    }
    QStringList actionNames() const override { return QStringList{pressAction()} + QAccessibleWidget::actionNames(); }
    void doAction(const QString& name) override
    {
        if (name == pressAction()) {
            Button()->click();
        } else {
            QAccessibleWidget::doAction(name);
        }
    }

private:
    QAbstractButton* Button() const { return static_cast<QAbstractButton*>(widget()); }
};

// A container whose children marked hidden are left out of the tree.
class ContainerAccessible : public QAccessibleWidget {
public:
    explicit ContainerAccessible(QWidget* widget) : QAccessibleWidget(widget, QAccessible::Client) {}

    int childCount() const override { return int(Children().size()); }
    QAccessibleInterface* child(int index) const override
    {
        const QList<QWidget*> children = Children();
        return index >= 0 && index < children.size() ? QAccessible::queryAccessibleInterface(children[index]) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child != nullptr && child->object() != nullptr ? int(Children().indexOf(child->object())) : -1;
    }

private:
    QList<QWidget*> Children() const
    {
        QList<QWidget*> children;
        for (QObject* object : widget()->children()) {
            auto* child = qobject_cast<QWidget*>(object);
            if (child != nullptr && !child->isWindow() && !IsHidden(child)) {
                children.append(child);
            }
        }
        return children;
    }
};

// The object a window announces through: a control of no size (nothing to
// see, nothing to click) whose accessible role is a notification. Screen
// readers speak a notification as it shows, whatever has the focus.
class Notifier : public QWidget {
public:
    explicit Notifier(QWidget* window) : QWidget(window)
    {
        setObjectName(kAnnouncerName);
        setFocusPolicy(Qt::NoFocus);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setGeometry(0, 0, 0, 0);
        show();
    }

    void Say(const QString& text)
    {
        setAccessibleName(text);
        // A window that has just opened is not yet the active one: screen
        // readers drop what it shows before they know the window, and what
        // comes in the burst of events of its opening (Orca prunes a long
        // queue). It is told a moment after the window becomes active, or
        // after a while where the window manager never makes it so.
        if (!window()->isActiveWindow()) {
            if (!waiting_) {
                waiting_ = true;
                window()->installEventFilter(this);
                QTimer::singleShot(kLongestWait, this, &Notifier::TellWaiting);
            }
            return;
        }
        if (!waiting_) {
            Tell();
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == window() && event->type() == QEvent::WindowActivate) {
            window()->removeEventFilter(this);
            QTimer::singleShot(kAfterOpening, this, &Notifier::TellWaiting);
        }
        return false;
    }

private:
    static constexpr int kAfterOpening = 700;  // ms
    static constexpr int kLongestWait = 2500;

    void TellWaiting()
    {
        if (waiting_) {
            waiting_ = false;
            window()->removeEventFilter(this);
            Tell();
        }
    }

    void Tell()
    {
        // Shown again, even with the same text: a choice was made.
        QAccessibleEvent event(this, QAccessible::ObjectShow);
        QAccessible::updateAccessibility(&event);
    }

    bool waiting_ = false;
};

class NotifierAccessible : public QAccessibleWidget {
public:
    explicit NotifierAccessible(QWidget* notifier) : QAccessibleWidget(notifier, QAccessible::Notification) {}

    QString text(QAccessible::Text kind) const override
    {
        // The name alone: a description would be spoken after it.
        return kind == QAccessible::Name ? widget()->accessibleName() : QString();
    }
};

QAccessibleInterface* Factory(const QString&, QObject* object)
{
    if (!object->isWidgetType()) {
        return nullptr;
    }
    auto* widget = static_cast<QWidget*>(object);
    if (IsHidden(widget)) {
        // Out of the tree, and with no text: its changes are not sent.
        return new QAccessibleWidget(widget, QAccessible::NoRole);
    }
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        return new LineEditAccessible(edit);
    }
    if (auto* notifier = dynamic_cast<Notifier*>(widget)) {
        return new NotifierAccessible(notifier);
    }
    if (auto* view = qobject_cast<QTextEdit*>(widget); view != nullptr && view->isReadOnly()) {
        return new TextViewAccessible(view);
    }
    if (auto* swatch = qobject_cast<Swatch*>(widget)) {
        return new SwatchAccessible(swatch);
    }
    if (dynamic_cast<ClientArea*>(widget) != nullptr) {
        return new ContainerAccessible(widget);
    }
    return nullptr;
}

// Lets the window's shortcuts through a result line, which would otherwise
// keep Ctrl+A (select all) and the like for itself.
class ShortcutPassage : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::ShortcutOverride) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const QKeySequence pressed(key->keyCombination());
            auto* widget = static_cast<QWidget*>(watched);
            for (const QAction* action : widget->window()->findChildren<QAction*>()) {
                if (action->shortcut() == pressed) {
                    event->ignore();
                    return true;
                }
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

// Tells assistive tools once more, after a window has become active, which
// control has the focus: the focus event that came before the window's
// activation is dropped by a screen reader, which then says only the
// window's title.
class FocusRetold : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::WindowActivate) {
            auto* window = static_cast<QWidget*>(watched);
            QTimer::singleShot(0, this, [window] {
                QWidget* focused = window->focusWidget();
                if (window->isActiveWindow() && focused != nullptr) {
                    QAccessibleEvent focus(focused, QAccessible::Focus);
                    QAccessible::updateAccessibility(&focus);
                }
            });
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

void RetellFocusOnActivation(QWidget* window) { window->installEventFilter(new FocusRetold(window)); }

void InstallAccessibility()
{
    static bool installed = false;
    if (!installed) {
        installed = true;
        QAccessible::installFactory(&Factory);
    }
}

SpokenText Spoken(const QString& shown)
{
    // "_+" stands for the plus-minus sign; a percent sign is read as a word.
    SpokenText spoken;
    spoken.offsets.reserve(std::size_t(shown.size()) + 1);
    for (qsizetype i = 0; i < shown.size(); ++i) {
        spoken.offsets.push_back(int(spoken.text.size()));
        if (shown.mid(i, 2) == QLatin1String("_+")) {
            spoken.text += QStringLiteral("plus or minus ");
            spoken.offsets.push_back(int(spoken.text.size()));
            ++i;
        } else if (shown[i] == QLatin1Char('%')) {
            spoken.text += QStringLiteral(" percent");
        } else {
            spoken.text += shown[i];
        }
    }
    spoken.offsets.push_back(int(spoken.text.size()));
    return spoken;
}

void Announce(QWidget* window, const QString& text)
{
    auto* notifier = dynamic_cast<Notifier*>(window->findChild<QWidget*>(kAnnouncerName, Qt::FindDirectChildrenOnly));
    if (notifier == nullptr) {
        notifier = new Notifier(window);
    }
    notifier->Say(Spoken(text).text.simplified());
}

void MakeResultStop(QLineEdit* line)
{
    line->setReadOnly(true);
    // Tab reaches it; a click does not take the focus, so the mouse user's
    // window looks as ever.
    line->setFocusPolicy(Qt::TabFocus);
    line->installEventFilter(new ShortcutPassage(line));
}

void HideFromAccessibility(QWidget* control)
{
    control->setProperty(kHiddenProperty, true);
    // Qt may have made the control's interface already (setting a text in its
    // constructor tells assistive tools); the next one it makes is hidden.
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(QAccessible::queryAccessibleInterface(control)));
}

}  // namespace zarnik::ui
