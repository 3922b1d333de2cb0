#include "sdk/window.h"

std::unique_ptr<HWND__> CreateDialogFromTemplate(const DialogTemplate& dlg) {
  auto page = std::make_unique<HWND__>();
  page->dialog = dlg.id;
  page->w = dlg.width;
  page->h = dlg.height;
  for (const DialogItem& item : dlg.items) {
    auto c = std::make_unique<HWND__>();
    c->id = item.id;
    c->kind = item.kind;
    c->text = item.text ? item.text : "";
    c->enabled = !item.disabled;
    c->x = item.x;
    c->y = item.y;
    c->w = item.w;
    c->h = item.h;
    c->parent = page.get();
    page->children.push_back(std::move(c));
  }
  return page;
}
