#include "ui/encoder/Form2.h"

#include "ui/common/Twips.h"
#include "ui/common/Window.h"

namespace zarnik {

Form2::Form2(QWidget* decoder) : decoder_(decoder)
{
    ui::SetupFixedWindow(this, QStringLiteral("Form2"), QStringLiteral("ZRK_2"));
    setAttribute(Qt::WA_DeleteOnClose);
    ui::SetOuterWidth(this, 0);
    ui::SetOuterHeight(this, 0);
    ui::SetOuterTop(this, ui::OuterTop(decoder));
    ui::SetOuterLeft(this, ui::OuterLeft(decoder));
}

}  // namespace zarnik
