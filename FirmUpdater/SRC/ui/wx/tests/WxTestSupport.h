#pragma once
// For the tests of the desktop interface: a private X server with the toolkit started on
// it once per test process, and ways to reach the GTK windows the toolkit shows.

#include <gtk/gtk.h>

#include <functional>
#include <string>
#include <vector>

namespace ui {
class WxMessageBox;
class WxUi;
}  // namespace ui

namespace wxtest {

// The interface on the private display; null when it could not start (WhyNot says why).
ui::WxUi* Ui();
const std::string& WhyNot();

// Calls `act` on the GUI thread once `find` returns a window that is shown. Polls from
// whichever loop runs then (a dialog's or a message box's).
void WhenShown(std::function<GtkWidget*()> find, std::function<void(GtkWidget*)> act);

// The message box shown now, or null.
ui::WxMessageBox* VisibleMessageBoxWindow();
GtkWidget* VisibleMessageBox();
// The push buttons with a label, in the order of the widget tree.
std::vector<GtkWidget*> Buttons(GtkWidget* window);
std::vector<std::string> ButtonLabels(GtkWidget* window);
// Clicks the button with this label; false when there is none.
bool ClickButton(GtkWidget* window, const std::string& label);
// Sends a key press to the window as the display would.
void SendKey(GtkWidget* window, unsigned keyval);
// Whether the window asks to be kept above others (_NET_WM_STATE_ABOVE).
bool IsKeptAbove(GtkWidget* window);

// Draws the window into build/<preset>/screenshots/<name>.png. The window's push buttons
// must carry `labels` (in any order), each shown, and the picture must show each of them
// drawn with its label.
void SaveScreenshot(GtkWidget* window, const std::string& name,
                    const std::vector<std::string>& labels);

}  // namespace wxtest
