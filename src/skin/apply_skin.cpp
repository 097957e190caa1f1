#include "apply_skin.h"

#include "skin/border_strip.h"
#include "skin/caption_bar.h"
#include "skin/skinned_window.h"

namespace zambrel::skin {

void applySkin(SkinnedWindow *window, const QString &skinPath)
{
    if (!window)
        return;
    window->captionBar->setSkinPath(skinPath);
    window->leftBorder->setSkinPath(skinPath);
    window->rightBorder->setSkinPath(skinPath);
    window->bottomBorder->setSkinPath(skinPath);
    window->captionBar->redraw();
}

} // namespace zambrel::skin
