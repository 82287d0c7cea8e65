// Files in the desktop window: the common file dialogs answered by GTK's
// native chooser (the desktop portal's where there is one), and files dropped
// on a window handed to it as WM_DROPFILES.
#include <gio/gio.h>

#include <string>
#include <vector>

#include "platform/dialog/desktop.h"
#include "platform/dialog/input.h"
#include "platform/gtk/gtk_views.h"

namespace gtkfe {

namespace {

struct Chooser {
  bool done = false;
  int response = GTK_RESPONSE_CANCEL;
};

GtkFileFilter* FilterOf(const std::pair<std::string, std::string>& filter) {
  GtkFileFilter* gtkFilter = gtk_file_filter_new();
  gtk_file_filter_set_name(gtkFilter, filter.first.c_str());
  const std::string& patterns = filter.second;
  size_t start = 0;
  while (start <= patterns.size()) {
    size_t end = patterns.find(';', start);
    if (end == std::string::npos) end = patterns.size();
    std::string one = patterns.substr(start, end - start);
    if (one == "*.*" || one == "*") {
      gtk_file_filter_add_pattern(gtkFilter, "*");
    } else if (one.size() > 2 && one.compare(0, 2, "*.") == 0 && one.find_first_of("*?[", 2) == std::string::npos) {
      // A suffix matches in any case, as names do on Windows.
      gtk_file_filter_add_suffix(gtkFilter, one.c_str() + 2);
    } else if (!one.empty()) {
      gtk_file_filter_add_pattern(gtkFilter, one.c_str());
    }
    start = end + 1;
  }
  return gtkFilter;
}

}  // namespace

std::optional<layer::FileDialogAnswer> GtkFrontEnd::ChooseFile(const layer::FileDialogRequest& request) {
  Sync();  // the owner shown as it is now
  GtkWindow* parent = nullptr;
  if (layer::Window* owner = layer::FromHandle(request.owner))
    if (WindowView* view = ViewOf(owner->TopLevel())) parent = GTK_WINDOW(view->gtkWindow);
  GtkFileChooserNative* native = gtk_file_chooser_native_new(
      request.title.c_str(), parent, request.save ? GTK_FILE_CHOOSER_ACTION_SAVE : GTK_FILE_CHOOSER_ACTION_OPEN,
      request.save ? "_Save" : "_Open", "_Cancel");
  GtkFileChooser* chooser = GTK_FILE_CHOOSER(native);
  gtk_native_dialog_set_modal(GTK_NATIVE_DIALOG(native), TRUE);
  std::vector<GtkFileFilter*> filters;
  for (const auto& filter : request.filters) {
    GtkFileFilter* gtkFilter = FilterOf(filter);
    filters.push_back(gtkFilter);
    gtk_file_chooser_add_filter(chooser, gtkFilter);  // the chooser takes its own reference
    g_object_unref(gtkFilter);
  }
  if (request.filterIndex >= 0 && request.filterIndex < static_cast<int>(filters.size()))
    gtk_file_chooser_set_filter(chooser, filters[static_cast<size_t>(request.filterIndex)]);
  if (!request.folder.empty()) {
    GFile* folder = g_file_new_for_path(request.folder.c_str());
    gtk_file_chooser_set_current_folder(chooser, folder, nullptr);
    g_object_unref(folder);
  }
  if (request.save && !request.name.empty()) gtk_file_chooser_set_current_name(chooser, request.name.c_str());

  Chooser state;
  g_signal_connect(native, "response", Callback(+[](GtkNativeDialog*, int response, gpointer data) {
                     auto* s = static_cast<Chooser*>(data);
                     s->response = response;
                     s->done = true;
                   }),
                   &state);
  gtk_native_dialog_show(GTK_NATIVE_DIALOG(native));
  // The program waits for its answer as for a modal dialog's; what the
  // person does meanwhile in other windows waits in the queue.
  while (!state.done && !closing_) g_main_context_iteration(nullptr, TRUE);
  if (!state.done) gtk_native_dialog_hide(GTK_NATIVE_DIALOG(native));

  layer::FileDialogAnswer answer;
  if (state.done && state.response == GTK_RESPONSE_ACCEPT) {
    if (GFile* file = gtk_file_chooser_get_file(chooser)) {
      if (char* path = g_file_get_path(file)) {
        answer.chosen = true;
        answer.path = path;
        g_free(path);
      }
      g_object_unref(file);
    }
    GtkFileFilter* chosen = gtk_file_chooser_get_filter(chooser);
    for (size_t i = 0; i < filters.size(); ++i)
      if (filters[i] == chosen) answer.filterIndex = static_cast<int>(i);
  }
  g_object_unref(native);
  dirty_ = true;
  return answer;
}

// Files dropped on a window that accepts them (DragAcceptFiles) reach the
// program as WM_DROPFILES at the next turn of its modal loop.
void ConnectDrop(WindowView* view) {
  GtkDropTarget* target = gtk_drop_target_new(GDK_TYPE_FILE_LIST, GDK_ACTION_COPY);
  g_signal_connect(target, "drop", Callback(+[](GtkDropTarget*, const GValue* value, double, double, gpointer data) {
                     const WindowRef& ref = static_cast<WindowView*>(data)->ref;
                     layer::Window* w = ref.Live();
                     if (!w || !(w->exStyle & WS_EX_ACCEPTFILES) || !G_VALUE_HOLDS(value, GDK_TYPE_FILE_LIST))
                       return gboolean(FALSE);
                     std::vector<std::string> paths;
                     for (GSList* item = static_cast<GSList*>(g_value_get_boxed(value)); item; item = item->next) {
                       if (char* path = g_file_get_path(G_FILE(item->data))) {
                         paths.push_back(path);
                         g_free(path);
                       }
                     }
                     if (paths.empty()) return gboolean(FALSE);
                     current->QueueFor(ref, [paths](HWND window) { layer::DropFiles(window, paths); });
                     return gboolean(TRUE);
                   }),
                   view);
  gtk_widget_add_controller(view->gtkWindow, GTK_EVENT_CONTROLLER(target));
}

}  // namespace gtkfe
