#pragma once

#include <QFont>
#include <QPointer>
#include <QString>
#include <span>

class QTimer;
class QWidget;

namespace zarnik::ui {

// Gives a top-level window the program's look: a fixed single border with a
// close box and no minimise or maximise box, the application icon and the
// caption.
void SetupFixedWindow(QWidget* window, const QString& objectName, const QString& caption);

// The font of a control whose texts are Latin (digits, units, the result
// line), named by its Windows family ("Times New Roman", "Courier New", "MS
// Sans Serif"): that family where the system has it, otherwise its metric
// twin. Persian texts keep the plain family name, whose substitutes bring an
// Arabic-script font.
[[nodiscard]] QFont DesignFont(const QString& family);

// A stopped timer with a millisecond interval, named for tests and tools.
[[nodiscard]] QTimer* MakeTimer(QObject* parent, const QString& objectName, int intervalMs);

// One step of a window opening out of the decoder window's corner: its Height
// grows by 75 twips and its Width follows the Height read back, so it stays
// square. True once the window is at least as tall as the decoder window.
bool GrowSquare(QWidget* window, const QWidget* decoder);

// One instance of a window, created on first use and created afresh, with its
// design state, after it was closed (a closed window deletes itself).
template <class Window>
class SingleWindow {
public:
    [[nodiscard]] Window* Existing() const { return Closed() ? nullptr : instance_.data(); }

    template <class Create>
    Window* Get(Create create)
    {
        if (!instance_ || Closed()) {
            instance_ = create();
        }
        return instance_.data();
    }

    // Ends the window without running its close handler: the program is ending.
    void Discard() { delete instance_.data(); }

private:
    // A closed window deletes itself only when the event loop comes round
    // again (Qt clears its delete-on-close mark when it schedules that); from
    // its close on it is gone, so a timer tick in between creates a new one.
    [[nodiscard]] bool Closed() const
    {
        return instance_ && instance_->isHidden() && !instance_->testAttribute(Qt::WA_DeleteOnClose);
    }

    QPointer<Window> instance_;
};

}  // namespace zarnik::ui
