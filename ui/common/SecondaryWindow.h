// SPDX-License-Identifier: MIT
#pragma once

#include <QPointer>
#include <QWidget>

class QTimer;

namespace zarnik::ui {

class ClientArea;

// A window that opens out of the decoder window: the encoder, help and about
// windows. It loads at its smallest size on the decoder window's outer top-left
// corner and grows from there, square, 75 twips a step, until it is as tall as
// the decoder window. Closed, it tells so through closed() and deletes itself.
class SecondaryWindow : public QWidget {
    Q_OBJECT

public:
    // One step of the growth: Height grows by 75 twips and Width follows the
    // Height read back. True once the window is at least as tall as the
    // decoder window; once that window is gone, as tall as it was last seen.
    bool GrowStep();

    // Grows the window to its full size on a timer of its own: for a growth
    // whose driver, the decoder window, has gone.
    void FinishGrowthAlone();

    // Grows the window from its smallest size on a timer of its own, named
    // `timerName`, that the close stops: for a window the decoder window
    // does not drive.
    void GrowOnOwnTimer(const QString& timerName);

signals:
    void closed();

protected:
    SecondaryWindow(QWidget* decoder, const QString& objectName, const QString& caption, const QColor& background);

    [[nodiscard]] ClientArea* Client() const { return client_; }
    [[nodiscard]] QWidget* Decoder() const { return decoder_; }

    // The two halves of every load handler: the window at zero size (its
    // smallest), and the window's outer top-left on the decoder window's.
    void SetZeroSize();
    void PlaceOnDecoderCorner();

    // What the window does as it closes, before it is gone.
    virtual void Form_Unload() {}

    // While a hold lives the window outlives its own close: a handler that runs
    // a nested event loop (a modal box) keeps its controls until it returns.
    class DeletionHold {
    public:
        explicit DeletionHold(SecondaryWindow* window);
        ~DeletionHold();
        DeletionHold(const DeletionHold&) = delete;
        DeletionHold& operator=(const DeletionHold&) = delete;

    private:
        QPointer<SecondaryWindow> window_;
    };

    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Escape closes the window as its close box does; assistive tools see it
    // as a window.
    void SetupWindowKeysAndRole();
    // The growth's own timer, made on first use under that name.
    QTimer* GrowthTimer(const QString& name);

    QPointer<QWidget> decoder_;
    ClientArea* client_ = nullptr;
    QTimer* growth_ = nullptr;
    double decoderHeight_ = 0;
    int holds_ = 0;
    bool closed_ = false;
};

}  // namespace zarnik::ui
