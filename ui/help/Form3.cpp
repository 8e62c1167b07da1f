#include "ui/help/Form3.h"

#include "ui/common/Twips.h"
#include "ui/common/Window.h"

namespace zarnik {

Form3::Form3(QWidget* decoder) : decoder_(decoder)
{
    ui::SetupFixedWindow(this, QStringLiteral("Form3"), QStringLiteral("Help"));
    setAttribute(Qt::WA_DeleteOnClose);
    ui::SetOuterWidth(this, 0);
    ui::SetOuterHeight(this, 0);
    ui::SetOuterTop(this, ui::OuterTop(decoder));
    ui::SetOuterLeft(this, ui::OuterLeft(decoder));
}

}  // namespace zarnik
