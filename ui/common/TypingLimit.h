// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>

class QLineEdit;

namespace zarnik::ui {

// A typing limit on a line edit: it limits what the user types or pastes,
// never what the program sets. A text already longer than a new, lower limit
// stays as it is; it can be shortened and grows no further.
class TypingLimit : public QObject {
public:
    TypingLimit(QLineEdit* edit, int limit);

    void SetLimit(int limit);
    [[nodiscard]] int Limit() const { return limit_; }

    // Sets the text from the program: never cut to the limit.
    void SetText(const QString& text);

private:
    void Refresh();

    QLineEdit* edit_;
    int limit_;
};

}  // namespace zarnik::ui
