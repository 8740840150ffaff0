// Test seams of the window layer: a test answers the next message, folder, file, colour
// or font dialog, counts beeps and help requests, and scripts what happens once a form shows.
// With no seam armed, users see exactly the real dialogs.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/win/Dialogs.h"

namespace base::win {
class Form;
}

namespace base::win::seams {

struct ShownMessage {
  std::string Text;
  std::string Caption;
  MsgDlgType Type = MsgDlgType::Custom;
  unsigned Buttons = 0;      // mb* bits for MessageDlg; MessageBoxA flags for AppMessageBox
  bool FromMessageBox = false;
  int Answer = 0;            // the result returned to the program
  bool Answered = false;     // false: no answer was queued (the dialog's first button was taken)
};

// Arms the seams: every later message dialog is answered from the queue (mrYes, mrNo,
// mrOk, ... or IDYES/IDOK for AppMessageBox) and recorded instead of shown.
void Arm();
// Disarms and forgets everything (queues, records, scripts, counters).
void Reset();
bool Armed();

void QueueMessageAnswer(int answer);
const std::vector<ShownMessage>& Messages();
void ClearMessages();

// Folder/file dialogs: the queued path is taken (nullopt: Cancel).
void QueueFolderAnswer(std::optional<std::string> folder);
void QueueFileAnswer(std::optional<std::string> fileName);
// What the folder dialogs were opened on, in order.
const std::vector<std::string>& FolderRequests();

// Colour and font dialogs: the queued choice is taken (nullopt: Cancel); what each dialog
// was opened on is recorded, in order.
void QueueColorAnswer(std::optional<Color> color);
void QueueFontAnswer(std::optional<Font> font);
const std::vector<Color>& ColorRequests();
const std::vector<Font>& FontRequests();

int BeepCount();
const std::vector<int>& HelpRequests();

// A script runs inside the modal loop of the next form that shows and that it accepts
// (dynamic type, for WhenShown<T>), after the form's own start-up messages. Scripts are
// offered in the order they were added; each runs once.
void WhenShownAny(std::function<bool(Form&)> script);
template <class F>
void WhenShown(std::function<void(F&)> script) {
  WhenShownAny([script](Form& form) {
    F* f = dynamic_cast<F*>(&form);
    if (!f) return false;
    script(*f);
    return true;
  });
}
int PendingScripts();

// Layer side.
std::optional<int> TakeMessageAnswer(ShownMessage shown);
std::optional<std::optional<std::string>> TakeFolderAnswer(const std::string& initial);
std::optional<std::optional<std::string>> TakeFileAnswer();
std::optional<std::optional<Color>> TakeColorAnswer(Color initial);
std::optional<std::optional<Font>> TakeFontAnswer(const Font& initial);
bool CountBeep();  // true when the beep was recorded instead of sounded
bool CountHelp(int context);
void RunShownScripts(Form& form);

// Ends the process with exit code 3 and a line on stderr unless destroyed within
// `seconds`: a stuck modal run fails its test instead of hanging it.
class Watchdog {
public:
  explicit Watchdog(int seconds, std::string what = "modal run");
  ~Watchdog();
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

private:
  struct State;
  State* state_;
};

}  // namespace base::win::seams
