// Files dropped on a window: DragAcceptFiles, WM_DROPFILES and its HDROP.
#include <cstring>
#include <string>
#include <vector>

#include "platform/dialog/manager.h"

struct HDROP__ {
  std::vector<std::string> paths;
};

namespace layer {

bool DropFiles(HWND window, const std::vector<std::string>& paths) {
  Window* w = FromHandle(window);
  if (!w || paths.empty()) return false;
  w = w->TopLevel();
  if (!(w->exStyle & WS_EX_ACCEPTFILES) || !w->Enabled()) return false;
  // The window's procedure owns the drop from here and ends it with DragFinish.
  auto* drop = new HDROP__{paths};
  Send(w, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
  return true;
}

}  // namespace layer

void WINAPI DragAcceptFiles(HWND window, BOOL accept) {
  layer::Window* w = layer::FromHandle(window);
  if (!w) return;
  if (accept) w->exStyle |= WS_EX_ACCEPTFILES;
  else w->exStyle &= ~static_cast<DWORD>(WS_EX_ACCEPTFILES);
}

UINT WINAPI DragQueryFileA(HDROP drop, UINT index, LPSTR buffer, UINT size) {
  if (!drop) return 0;
  if (index == 0xFFFFFFFF) return static_cast<UINT>(drop->paths.size());
  if (index >= drop->paths.size()) return 0;
  const std::string& path = drop->paths[index];
  if (!buffer) return static_cast<UINT>(path.size());
  if (size == 0) return 0;
  // Cut to the buffer, as Windows does; the count copied without the terminator.
  size_t n = path.size() < size ? path.size() : size - 1;
  std::memcpy(buffer, path.data(), n);
  buffer[n] = '\0';
  return static_cast<UINT>(n);
}

void WINAPI DragFinish(HDROP drop) { delete drop; }
