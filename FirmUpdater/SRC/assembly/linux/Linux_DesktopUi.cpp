#include "Linux_DesktopUi.h"

#ifdef FU_HAVE_DESKTOP_UI
#include "WxUi.h"
#endif

ui::DesktopUiFactory Linux_DesktopUi() {
#ifdef FU_HAVE_DESKTOP_UI
    return [](std::string& whyNot) -> std::unique_ptr<ui::UiBackend> {
        return ui::WxUi::Create(whyNot);
    };
#else
    return nullptr;
#endif
}
