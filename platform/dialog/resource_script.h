// The dialog, menu and icon resources of a .rc script, read at run time from
// the same text the Windows resource compiler reads.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/dialog/window.h"

namespace layer {

struct ControlTemplate {
  std::string className;  // "Button", "Edit", "Static", "ListBox", "ComboBox" or as written
  std::string text;
  int id = 0;
  Rect rect;
  DWORD style = 0;  // with the statement's defaults applied
  DWORD exStyle = 0;
};

struct DialogTemplate {
  int id = 0;
  Rect rect;
  DWORD style = 0;
  DWORD exStyle = 0;
  std::string caption;
  int menuId = 0;
  int fontSize = 0;
  std::string fontName;
  std::vector<ControlTemplate> controls;
};

struct MenuTemplateItem {
  std::string text;
  UINT id = 0;
  UINT flags = 0;  // MF_SEPARATOR, MF_POPUP, MF_CHECKED, MF_GRAYED
  std::vector<MenuTemplateItem> items;  // a popup's items
};

struct ResourceScript {
  std::map<int, DialogTemplate> dialogs;
  std::map<int, std::vector<MenuTemplateItem>> menus;
  std::map<int, std::string> icons;  // id -> file name
  std::string error;  // first problem met; empty when the script read cleanly

  const DialogTemplate* Dialog(int id) const;
  const std::vector<MenuTemplateItem>* MenuItems(int id) const;
};

// Parses a script; names are resolved through the #defines of `header` and
// the Win32 style constants.
ResourceScript ParseResourceScript(const std::string& script, const std::string& header);

// The script the dialog manager makes dialogs, menus and icons from, handed
// to it by whoever starts it (the program's entry, a test); it must outlive
// its use. With none, every template is missing.
void UseResources(const ResourceScript* script);
const ResourceScript& Resources();

// A resource name as a Win32 call passes it: MAKEINTRESOURCE(id) or a text
// holding a number or "#number". 0 when it names nothing we know.
int ResourceId(LPCSTR name);

}  // namespace layer
