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
