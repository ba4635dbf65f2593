#include "platform/desktop/GtkWindows.h"

#include <gtk/gtk.h>
#include <wx/window.h>

namespace zintrel::platform {

namespace {

void SetCloseOnly(GtkWidget* widget) {
  GdkWindow* gdk = gtk_widget_get_window(widget);
  if (gdk == nullptr) return;
  // Sets _MOTIF_WM_HINTS: window managers derive the actions they offer
  // (_NET_WM_ALLOWED_ACTIONS, Alt+drag, the window menu) from it.
  gdk_window_set_functions(gdk, GDK_FUNC_CLOSE);
}

}  // namespace

void OfferNoMove(wxWindow& window) {
  GtkWidget* widget = window.GetHandle();
  if (widget == nullptr || !GTK_IS_WINDOW(widget)) return;
  if (gtk_widget_get_realized(widget)) SetCloseOnly(widget);
  // The hints live on the X window, which is made again whenever the
  // widget is realized again.
  g_signal_connect_after(widget, "realize",
                         G_CALLBACK(+[](GtkWidget* w, gpointer) { SetCloseOnly(w); }), nullptr);
}

void CentreGroupCaption(wxWindow& box) {
  GtkWidget* widget = box.GetHandle();
  if (widget == nullptr || !GTK_IS_FRAME(widget)) return;
  gtk_frame_set_label_align(GTK_FRAME(widget), 0.5f, 0.5f);
}

}  // namespace zintrel::platform
