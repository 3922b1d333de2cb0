#include "sdk/resource.h"

const DialogItem* DialogTemplate::Find(int control_id) const {
  if (control_id == IDC_STATIC) return nullptr;
  for (const DialogItem& i : items)
    if (i.id == control_id) return &i;
  return nullptr;
}

void ResourceTable::AddString(int id, const char* text) { strings_[id] = text ? text : ""; }

void ResourceTable::AddDialog(DialogTemplate dialog) {
  int id = dialog.id;
  dialogs_[id] = std::move(dialog);
}

const char* ResourceTable::FindString(int id) const {
  auto it = strings_.find(id);
  return it == strings_.end() ? nullptr : it->second.c_str();
}

const DialogTemplate* ResourceTable::FindDialog(int id) const {
  auto it = dialogs_.find(id);
  return it == dialogs_.end() ? nullptr : &it->second;
}

std::vector<int> ResourceTable::DialogIds() const {
  std::vector<int> ids;
  for (const auto& [id, d] : dialogs_) ids.push_back(id);
  return ids;
}
