#include "base/win/Actions.h"

#include "base/win/Application.h"

namespace base::win {

Action::Action(std::string caption, std::string hint, ShortCut shortCut)
    : caption_(std::move(caption)), hint_(std::move(hint)), shortCut_(shortCut) {}

void Action::Update() {
  if (OnUpdate) {
    auto handler = OnUpdate;
    handler(*this);
  }
}

bool Action::Execute() {
  Update();
  if (!enabled_ || !OnExecute) return false;
  auto handler = OnExecute;  // the handler may replace itself
  handler(*this);
  return true;
}

int Action::AddClient(std::function<void()> changed) {
  int token = nextClient_++;
  clients_[token] = std::move(changed);
  return token;
}

void Action::RemoveClient(int token) { clients_.erase(token); }

void Action::Notify() {
  auto clients = clients_;
  for (auto& [token, changed] : clients) changed();
}

ActionList::ActionList() {
  App().AddIdleHandler(this, [this] { UpdateActions(); });
}

ActionList::~ActionList() { App().RemoveIdleHandler(this); }

Action& ActionList::Add(const std::string& caption, const std::string& hint, ShortCut shortCut,
                        std::function<void(Action&)> onExecute) {
  actions_.push_back(std::make_unique<Action>(caption, hint, shortCut));
  actions_.back()->OnExecute = std::move(onExecute);
  return *actions_.back();
}

void ActionList::UpdateActions() {
  for (auto& a : actions_) a->Update();
}

}  // namespace base::win
