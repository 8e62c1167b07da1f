// SPDX-License-Identifier: MIT
#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <memory>

#include "ui/about/Form4.h"
#include "ui/common/Accessibility.h"
#include "ui/decoder/Form1.h"
#include "ui/encoder/Form2.h"
#include "ui/help/Form3.h"

namespace {

using Boundary = QAccessible::TextBoundaryType;

class AccessibilityTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { zarnik::ui::InstallAccessibility(); }

    // Every query at every offset, the end included, answers; the piece at an
    // offset holds it, the pieces before and after border it, and the pieces
    // at all offsets tile the text.
    void everyQueryAtEveryOffsetAnswers_data()
    {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QString>("read");  // the accessible text
        QTest::addColumn<QString>("wordAtEnd");
        QTest::newRow("value box") << "2.2" << false << "2.2"
                                   << "2.2";
        QTest::newRow("result line") << "4.7   K Ohm    _+5%" << true << "4.7   K Ohm    plus or minus 5 percent"
                                     << "percent";
        QTest::newRow("empty") << "" << false << ""
                               << "";
        QTest::newRow("Persian") << QString::fromUtf8("۲٫۲ اهم") << false << QString::fromUtf8("۲٫۲ اهم")
                                 << QString::fromUtf8("اهم");
    }
    void everyQueryAtEveryOffsetAnswers()
    {
        QFETCH(QString, shown);
        QFETCH(bool, readOnly);
        QFETCH(QString, read);
        QFETCH(QString, wordAtEnd);
        QLineEdit edit(shown);
        edit.setReadOnly(readOnly);
        QAccessibleTextInterface* text = QAccessible::queryAccessibleInterface(&edit)->textInterface();
        QVERIFY(text != nullptr);
        QCOMPARE(text->characterCount(), read.size());
        QCOMPARE(text->text(0, text->characterCount()), read);
        const int length = int(read.size());
        int start = 0;
        int end = 0;
        QCOMPARE(text->textAtOffset(length, QAccessible::WordBoundary, &start, &end), wordAtEnd);
        // Behind the last character, the caret is at no character.
        QCOMPARE(text->textAtOffset(length, QAccessible::CharBoundary, &start, &end), QString());
        QCOMPARE(std::pair(start, end), std::pair(length, length));

        for (const Boundary boundary : {QAccessible::CharBoundary, QAccessible::WordBoundary,
                                        QAccessible::SentenceBoundary, QAccessible::LineBoundary}) {
            int covered = 0;  // the pieces met so far reach this far
            for (int offset = 0; offset <= length; ++offset) {
                const QString at = text->textAtOffset(offset, boundary, &start, &end);
                QVERIFY(at == read.mid(start, end - start) && start <= offset && (offset < end || offset == length));
                QVERIFY(start <= covered);
                covered = std::max(covered, end);
                int from = 0;
                int to = 0;
                const QString before = text->textBeforeOffset(offset, boundary, &from, &to);
                QVERIFY(before == read.mid(from, to - from));
                QVERIFY(to <= start || (boundary == QAccessible::CharBoundary && to <= offset));
                const QString after = text->textAfterOffset(offset, boundary, &from, &to);
                QVERIFY(after == read.mid(from, to - from));
                QVERIFY(from >= end || (boundary == QAccessible::CharBoundary && offset == length));
            }
            QCOMPARE(covered, length);
            // Outside the text: nothing, at once.
            QCOMPARE(text->textAtOffset(length + 1, boundary, &start, &end), QString());
            QCOMPARE(text->textAtOffset(-2, boundary, &start, &end), QString());
        }
        // One attribute run over the whole text, from every offset.
        for (int offset = 0; offset <= length; ++offset) {
            text->attributes(offset, &start, &end);
            QCOMPARE(std::pair(start, end), std::pair(0, length));
        }
        // The caret maps between the shown and the read text.
        edit.setCursorPosition(int(shown.size()));
        QCOMPARE(text->cursorPosition(), length);
        text->setCursorPosition(0);
        QCOMPARE(edit.cursorPosition(), 0);
    }

    // The assistive tool edits as the user would: through the line's own
    // limits, not past them.
    void editingGoesThroughTheLine()
    {
        QLineEdit edit(QStringLiteral("2.2"));
        edit.setMaxLength(4);
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&edit);
        face->editableTextInterface()->replaceText(0, 1, QStringLiteral("47"));
        QCOMPARE(edit.text(), QString("47.2"));
        face->editableTextInterface()->insertText(4, QStringLiteral("9"));
        QCOMPARE(edit.text(), QString("47.2"));
        edit.setReadOnly(true);
        QVERIFY(face->editableTextInterface() == nullptr);
        QVERIFY(face->state().readOnly && !face->state().editable);
    }

    // The encoder, help and about windows: windows to assistive tools, each
    // with something to focus, closed by Escape as by their close box.
    void escapeClosesTheSecondaryWindows_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("focused");
        QTest::newRow("encoder") << 2 << "a12";
        QTest::newRow("help") << 3 << "RichTextBox1";
        QTest::newRow("about") << 4 << "a";
    }
    void escapeClosesTheSecondaryWindows()
    {
        QFETCH(int, kind);
        QFETCH(QString, focused);
        zarnik::Form1 decoder;
        decoder.show();
        QPointer<zarnik::ui::SecondaryWindow> window;
        if (kind == 2) {
            window = new zarnik::Form2(&decoder);
        } else if (kind == 3) {
            window = new zarnik::Form3(&decoder);
        } else {
            window = new zarnik::Form4(&decoder);
        }
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QCOMPARE(QAccessible::queryAccessibleInterface(window)->role(), QAccessible::Window);
        QCOMPARE(QApplication::focusWidget()->objectName(), focused);
        QSignalSpy closed(window.data(), &zarnik::ui::SecondaryWindow::closed);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QCOMPARE(closed.size(), 1);
        QVERIFY(decoder.isEnabled());  // the encoder's unload ran
        QTRY_VERIFY(window.isNull());
    }

    // From the result line, a Tab stop, the menu's shortcuts still work; F10
    // opens the menu bar.
    void menuKeysWorkFromTheResultLine()
    {
        zarnik::Form1 decoder;
        decoder.show();
        decoder.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&decoder));
        auto* result = decoder.findChild<QLineEdit*>("abcdt");
        result->setFocus(Qt::TabFocusReason);
        for (const auto& [key, timer] : {std::pair{Qt::Key_A, "Timer2"}, std::pair{Qt::Key_S, "Timer1"}}) {
            QTest::keyClick(result, key, Qt::ControlModifier);
            QVERIFY2(decoder.findChild<QTimer*>(timer)->isActive(), timer);
            decoder.findChild<QTimer*>(timer)->stop();
        }
        const auto help = [] {
            const QWidgetList windows = QApplication::topLevelWidgets();
            const auto found = std::ranges::find_if(windows, [](QWidget* w) { return w->objectName() == "Form3"; });
            return found == windows.end() ? nullptr : *found;
        };
        QTest::keyClick(result, Qt::Key_H, Qt::ControlModifier);
        QVERIFY(help() != nullptr);
        delete help();
        decoder.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&decoder));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F10);
        QCOMPARE(decoder.menuBar()->activeAction(), decoder.menuBar()->actions().front());
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
    }

    // The help text reads by line, in Persian.
    void helpTextTellsItsNameLinesAndLanguage()
    {
        zarnik::Form1 decoder;
        zarnik::Form3 help(&decoder);
        help.resize(400, 400);
        help.show();
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(help.findChild<QTextEdit*>());
        QCOMPARE(face->text(QAccessible::Name), QString("Help text"));
        QAccessibleTextInterface* text = face->textInterface();
        int start = 0;
        int end = 0;
        QCOMPARE(text->attributes(0, &start, &end), QString("language:fa;"));
        QCOMPARE(end, text->characterCount());
        const QString line = text->textAtOffset(0, QAccessible::LineBoundary, &start, &end);
        QVERIFY(start == 0 && end > 0 && !line.contains(QChar::ParagraphSeparator));
        const QString next = text->textAfterOffset(0, QAccessible::LineBoundary, &start, &end);
        QCOMPARE(start, int(line.size()));
        QCOMPARE(next, text->text(start, end));
        QCOMPARE(text->textAtOffset(text->characterCount(), QAccessible::LineBoundary, &start, &end).isEmpty(), false);
    }

    void spokenTextMapsEveryOffset()
    {
        const zarnik::ui::SpokenText spoken = zarnik::ui::Spoken(QStringLiteral("1 _+0.5%"));
        QCOMPARE(spoken.text, QString("1 plus or minus 0.5 percent"));
        QCOMPARE(spoken.offsets, (std::vector<int>{0, 1, 2, 16, 16, 17, 18, 19, 27}));
    }
};

}  // namespace

QTEST_MAIN(AccessibilityTest)
#include "AccessibilityTest.moc"
