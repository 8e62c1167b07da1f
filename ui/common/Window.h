#pragma once

#include <QFont>
#include <QString>

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

}  // namespace zarnik::ui
