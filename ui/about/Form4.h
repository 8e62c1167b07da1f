#pragma once

#include <QPointer>
#include <QWidget>

namespace zarnik {

// TODO(scaffolding): the window is being built; this placeholder only lets the
// decoder window open it.
class Form4 : public QWidget {
public:
    explicit Form4(QWidget* decoder);

private:
    QPointer<QWidget> decoder_;
};

}  // namespace zarnik
