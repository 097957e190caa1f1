#include "skin_window.h"

#include "skin/js_border.h"
#include "skin/js_caption.h"
#include "skin/skinned_window.h"

namespace zambrel::skin {

void SkinWindow(SkinnedWindow *window, const QString &skinPath)
{
    if (!window)
        return;
    window->JSCAPTION1->setPath(skinPath);
    window->JSBORDER1->setPath(skinPath);
    window->JSBORDER2->setPath(skinPath);
    window->JSBORDER3->setPath(skinPath);
    window->JSCAPTION1->REDRAW();
}

} // namespace zambrel::skin
