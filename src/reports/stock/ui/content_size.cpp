#include "reports/stock/ui/content_size.h"

#include "skin/border_strip.h"
#include "skin/caption_bar.h"
#include "skin/skinned_window.h"

namespace zambrel::stock {

void keepContentSize(skin::SkinnedWindow *window, QSize content)
{
    const auto fit = [window, content] {
        window->setFixedSize(
            content.width() + window->leftBorder->thickness() + window->rightBorder->thickness(),
            content.height() + window->captionBar->barHeight() + window->bottomBorder->thickness());
    };
    QObject::connect(window->captionBar, &skin::CaptionBar::heightChanged, window, fit);
    for (skin::BorderStrip *strip : {window->leftBorder, window->rightBorder, window->bottomBorder})
        QObject::connect(strip, &skin::BorderStrip::thicknessChanged, window, fit);
    fit();
}

} // namespace zambrel::stock
