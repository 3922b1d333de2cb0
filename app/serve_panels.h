// The command panel as `gramora serve` shows it: the rollouts of the one thing being edited (a
// node's object or one of its modifiers), opened through its own BeginEditParams so the SDK builds
// them from the plug-in's dialog templates and runs its panel procedures, and the user's actions
// on their controls. Nothing here knows any class.
#pragma once
#include <functional>
#include <nlohmann/json.hpp>

#include "sdk/node.h"

class Texmap;

class PanelEditor {
 public:
  // Makes a texture map from a scene-file description (the caller confines its paths).
  using MapMaker = std::function<Texmap*(const nlohmann::json& spec)>;

  PanelEditor() = default;
  ~PanelEditor() { Close(); }
  PanelEditor(const PanelEditor&) = delete;
  PanelEditor& operator=(const PanelEditor&) = delete;

  // Opens the panels of a node's stack entry (0: its object, k: its k-th modifier counted from
  // the bottom), closing whatever was open; nothing happens when that entry is already open.
  void Open(INode* node, int entry);
  // Closes the open panels (EndEditParams); the scene must not change under open panels.
  void Close();
  INode* Node() const { return node_; }
  int Entry() const { return entry_; }

  // Shows every bound parameter's value at the host's current time in the open panels.
  void Refresh();
  // The open rollouts: page, title, open state, size, and every control with its kind, label or
  // text, rectangle (dialog units and pixels), enabled and checked state, spinner value and
  // limits, and the parameter it is bound to.
  nlohmann::json Describe() const;
  // A user action on control `id` of page `page` (-1: the first page that has it): {"value": v}
  // types a number into a spinner or its edit field, {"map": spec or null} drops a texture map on
  // a map button, {} clicks a check box, radio button or button. Throws InputError naming the
  // control when it is absent, disabled or does not take that action.
  void Act(int id, int page, const nlohmann::json& action, const MapMaker& makeMap);
  // Opens or rolls up a page of the open panels; throws InputError for a page that is not there.
  void SetPageOpen(int page, bool open);

 private:
  INode* node_ = nullptr;
  int entry_ = 0;
  Animatable* edited_ = nullptr;
};

// Pixels of a rectangle in dialog units: a dialog unit is a quarter of the 8-point system font's
// average character width (6 pixels) across and an eighth of its height (13 pixels) down.
int DialogUnitsToPixelsX(int du);
int DialogUnitsToPixelsY(int du);
