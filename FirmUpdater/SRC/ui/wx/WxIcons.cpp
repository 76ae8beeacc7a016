#include "WxIcons.h"

#include <wx/bitmap.h>
#include <wx/image.h>
#include <wx/mstream.h>

#include "ProgramIcon.h"

namespace ui {

const wxIconBundle& ProgramIconBundle() {
    static const wxIconBundle bundle = [] {
        if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr) {
            wxImage::AddHandler(new wxPNGHandler);
        }
        wxIconBundle icons;
        for (const auto& image : res::ProgramIconImages()) {
            wxMemoryInputStream stream(image.png.data(), image.png.size());
            const wxImage decoded(stream, wxBITMAP_TYPE_PNG);
            if (decoded.IsOk()) {
                wxIcon icon;
                icon.CopyFromBitmap(wxBitmap(decoded));
                icons.AddIcon(icon);
            }
        }
        return icons;
    }();
    return bundle;
}

}  // namespace ui
