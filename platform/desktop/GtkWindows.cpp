#include "platform/desktop/GtkWindows.h"

#include <gtk/gtk.h>
#include <wx/window.h>

#include <utility>

namespace zintrel::platform {

namespace {

void SetCloseOnly(GtkWidget* widget) {
  GdkWindow* gdk = gtk_widget_get_window(widget);
  if (gdk == nullptr) return;
  // Sets _MOTIF_WM_HINTS: window managers derive the actions they offer
  // (_NET_WM_ALLOWED_ACTIONS, Alt+drag, the window menu) from it.
  gdk_window_set_functions(gdk, GDK_FUNC_CLOSE);
}

struct DisabledClicks {
  GtkWidget* window = nullptr;
  std::function<void(int x, int y)> onRightClick;
};

DisabledClicks& Watched() {
  static DisabledClicks watched;
  return watched;
}

// Sees every event before GTK dispatches it, and dispatches it unchanged.
void WatchEvent(GdkEvent* event, gpointer) {
  const DisabledClicks& watched = Watched();
  if (watched.window != nullptr && event->type == GDK_BUTTON_PRESS && event->button.button == 3) {
    GtkWidget* target = gtk_get_event_widget(event);
    if (target != nullptr && !gtk_widget_is_sensitive(target) &&
        gtk_widget_get_toplevel(target) == watched.window) {
      watched.onRightClick(static_cast<int>(event->button.x_root),
                           static_cast<int>(event->button.y_root));
    }
  }
  gtk_main_do_event(event);
}

}  // namespace

void OfferNoMove(wxWindow& window) {
  GtkWidget* widget = window.GetHandle();
  if (widget == nullptr || !GTK_IS_WINDOW(widget)) return;
  if (gtk_widget_get_realized(widget)) SetCloseOnly(widget);
  // wx writes its own hints (with moving allowed) when it realizes the
  // window, so they are set again each time it is about to be mapped.
  g_signal_connect(widget, "map", G_CALLBACK(+[](GtkWidget* w, gpointer) { SetCloseOnly(w); }),
                   nullptr);
}

void CentreGroupCaption(wxWindow& box) {
  GtkWidget* widget = box.GetHandle();
  if (widget == nullptr || !GTK_IS_FRAME(widget)) return;
  gtk_frame_set_label_align(GTK_FRAME(widget), 0.5f, 0.5f);
}

}  // namespace zintrel::platform

namespace zintrel::platform {

void OnRightClickOnDisabled(wxWindow& window, std::function<void(int x, int y)> onRightClick) {
  DisabledClicks& watched = Watched();
  watched.window = window.GetHandle();
  watched.onRightClick = std::move(onRightClick);
  static const bool installed = [] {
    gdk_event_handler_set(WatchEvent, nullptr, nullptr);
    return true;
  }();
  (void)installed;
}

void ForgetRightClicksOnDisabled(wxWindow& window) {
  DisabledClicks& watched = Watched();
  if (watched.window != window.GetHandle()) return;
  watched.window = nullptr;
  watched.onRightClick = nullptr;
}

}  // namespace zintrel::platform
