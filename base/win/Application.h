// The application object: title, program name, command line, message pumping, the
// string table, and the last word on exceptions that reach a window procedure.
#pragma once
#include <windows.h>

#include <exception>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "base/win/StringTable.h"

namespace base::win {

class Form;

class Application {
public:
  static Application& Instance();

  // Common controls, the rich edit library and the layer's window classes; safe to repeat.
  void Initialize();

  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& title) { title_ = title; }
  const std::string& HelpFile() const { return helpFile_; }
  void SetHelpFile(const std::string& file) { helpFile_ = file; }

  std::string ExeName() const;  // full path of the running program
  HINSTANCE Handle() const;     // the module whose resources hold the forms

  // The command line split as the class library splits it: blanks separate, double
  // quotes group and are removed. ParamStr(0) is the program, past ParamCount "".
  int ParamCount() const;
  std::string ParamStr(int index) const;
  // Tests: use this command line in place of the process's own ("" goes back to it).
  void SetCommandLine(const std::string& commandLine);

  // Dispatches every pending message (dialog keys go to the form that is running modally).
  void ProcessMessages();
  void Terminate();
  bool Terminated() const { return terminated_; }

  // Opens the help file on a context (through the test seam when one records help). A
  // help file that is not there is said in a message, and the focus goes back where it was.
  void HelpContext(int context);
  // The help file's full name: a bare name is taken from the program's folder.
  std::string HelpFilePath() const;

  // The hint of what the mouse is over ("short|long" texts give their long part) goes to
  // the hint handler, as the class library's OnHint does.
  void SetOnHint(std::function<void(const std::string&)> handler) { onHint_ = std::move(handler); }
  void SetHint(const std::string& hint);
  const std::string& Hint() const { return hint_; }

  // Work run each time the message queue runs dry (action updates); keyed by the owner.
  void AddIdleHandler(const void* owner, std::function<void()> handler);
  void RemoveIdleHandler(const void* owner);
  void Idle();  // runs them now (the loops call it; tests may)

  // Keyboard shortcuts of a top-level window (menus, actions): offered every key press
  // that reaches a window of it before the dialog manager sees it; true eats the key.
  void SetShortCutHandler(HWND topLevel, std::function<bool(UINT key, unsigned shift)> handler);
  void RemoveShortCutHandler(HWND topLevel);
  bool IsShortCut(const MSG& msg);

  // The class library's exception box: the message with a full stop, title, OK.
  void ShowException(const std::exception& e);
  void ShowException(const std::string& message);

  // Runs the form as the main window until it closes or Terminate is called.
  void Run(Form& mainForm);

  // The forms running modally, innermost last.
  const std::vector<Form*>& ModalForms() const { return modal_; }
  void PushModal(Form* form) { modal_.push_back(form); }
  void PopModal(Form* form);
  // The window a new form or message box should belong to.
  HWND ActiveOwner() const;
  // Whether a message was eaten by the dialog manager of a form that holds its window.
  bool DialogMessage(MSG& msg);
  void AddModeless(Form* form);
  void RemoveModeless(Form* form);

private:
  Application() = default;
  std::vector<std::string> Params() const;

  std::string title_;
  std::string helpFile_;
  bool initialized_ = false;
  bool terminated_ = false;
  bool commandLineSet_ = false;
  std::string commandLine_;
  std::vector<Form*> modal_;
  std::vector<Form*> modeless_;
  std::function<void(const std::string&)> onHint_;
  std::string hint_;
  std::vector<std::pair<const void*, std::function<void()>>> idle_;
  std::map<HWND, std::function<bool(UINT, unsigned)>> shortCuts_;
};

// "Short|Long" hints: the part before the bar (tool tips) and after it (status bar).
std::string GetShortHint(const std::string& hint);
std::string GetLongHint(const std::string& hint);

inline Application& App() { return Application::Instance(); }

int ScreenWidth();
int ScreenHeight();

}  // namespace base::win
