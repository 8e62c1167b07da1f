#pragma once

#include <QPointer>
#include <QWidget>

namespace zarnik {

// TODO(scaffolding): the window is being built; this placeholder only lets the
// decoder window open it.
class Form2 : public QWidget {
public:
    explicit Form2(QWidget* decoder);

private:
    QPointer<QWidget> decoder_;
};

}  // namespace zarnik
