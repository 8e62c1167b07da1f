#include "ui/about/Form4.h"

#include "ui/common/Twips.h"
#include "ui/common/Window.h"

namespace zarnik {

Form4::Form4(QWidget* decoder) : decoder_(decoder)
{
    ui::SetupFixedWindow(this, QStringLiteral("Form4"), QStringLiteral("About"));
    setAttribute(Qt::WA_DeleteOnClose);
    ui::SetOuterWidth(this, 0);
    ui::SetOuterHeight(this, 0);
    ui::SetOuterTop(this, ui::OuterTop(decoder));
    ui::SetOuterLeft(this, ui::OuterLeft(decoder));
}

}  // namespace zarnik
