// Actions: one command with its caption, hint, shortcut and states, shared by the menu
// items and tool buttons bound to it (its clients): changing the action changes them all.
// An action list runs the actions' update handlers whenever the application is idle.
#pragma once
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/win/Menus.h"

namespace base::win {

class Action {
public:
  Action(std::string caption, std::string hint, ShortCut shortCut = {});
  Action(const Action&) = delete;
  Action& operator=(const Action&) = delete;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption) { Set(caption_, caption); }
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint) { Set(hint_, hint); }
  ShortCut GetShortCut() const { return shortCut_; }
  void SetShortCut(ShortCut shortCut) { Set(shortCut_, shortCut); }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled) { Set(enabled_, enabled); }
  bool Checked() const { return checked_; }
  void SetChecked(bool checked) { Set(checked_, checked); }
  bool Visible() const { return visible_; }
  void SetVisible(bool visible) { Set(visible_, visible); }
  int Tag = 0;

  std::function<void(Action&)> OnExecute;
  std::function<void(Action&)> OnUpdate;

  // Runs the update handler, then the execute handler when the action is enabled;
  // true when it ran. Menu items, tool buttons and shortcuts all come here.
  bool Execute();
  void Update();

  // Clients are told after every change; the token removes the client again.
  int AddClient(std::function<void()> changed);
  void RemoveClient(int token);

private:
  template <class T>
  void Set(T& field, const T& value) {
    if (field == value) return;
    field = value;
    Notify();
  }
  void Notify();

  std::string caption_, hint_;
  ShortCut shortCut_;
  bool enabled_ = true, checked_ = false, visible_ = true;
  std::map<int, std::function<void()>> clients_;
  int nextClient_ = 1;
};

class ActionList {
public:
  ActionList();
  ~ActionList();
  ActionList(const ActionList&) = delete;
  ActionList& operator=(const ActionList&) = delete;

  Action& Add(const std::string& caption, const std::string& hint, ShortCut shortCut = {},
              std::function<void(Action&)> onExecute = {});
  int Count() const { return static_cast<int>(actions_.size()); }
  Action& Actions(int index) const { return *actions_.at(static_cast<size_t>(index)); }
  // Runs every update handler (the application does so whenever it is idle).
  void UpdateActions();

private:
  std::vector<std::unique_ptr<Action>> actions_;
};

}  // namespace base::win
