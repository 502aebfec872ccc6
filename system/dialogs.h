// The program's one message dialog and its default error box. Every window of
// the program shows its questions and messages through these, so the button
// captions are the program's own German ones on a Windows of any language.
#pragma once

#include "system/program_end.h"
#include "system/win.h"

#include <exception>
#include <stdexcept>
#include <string>

// Kinds of message; each has its title and icon, the plain box has neither
// icon nor a title of its own (it shows the application title).
enum class DialogKind { Warning, Error, Information, Confirmation, Plain };

// Buttons, combined with "|"; shown in this order. The result of a dialog is
// the Win32 id of the button pressed (IDYES, IDNO, IDOK, IDCANCEL).
enum DialogButtons : unsigned {
  dbYes = 1,
  dbNo = 2,
  dbOK = 4,
  dbCancel = 8,
};

// The application title: the taskbar text and the title of the plain box and
// of the error box.
void SetApplicationTitle(const std::string& title);
const std::string& ApplicationTitle();

// Raised when a dialog cannot be shown (the system refused to create it).
// Nobody answered, so no caller may go on as if the user had agreed,
// declined or cancelled: the exception leaves the event handler and reaches
// the default error box, which names the message that could not be shown.
class EDialogFailed : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// Shows text modally and returns the id of the button pressed. defaultButton
// is an id (IDYES...) or 0 for the usual one (OK, otherwise Yes). Closing the
// dialog by its title bar returns IDCANCEL. Raises EDialogFailed when the
// dialog cannot be shown.
int MessageDlg(const std::string& text, DialogKind kind, unsigned buttons, int defaultButton = 0);
// The plain box: application title, no icon, "OK". Raises EDialogFailed as
// MessageDlg does.
void ShowMessage(const std::string& text);
// The plain box for a message after which the program ends. Raises nothing:
// when the program's dialog cannot be shown, the system's message box shows
// the text.
void ShowFinalMessage(const std::string& text) noexcept;

// The text the error box shows for an exception's message: a full stop is
// appended unless the text is empty or its last character sorts at or
// before ".".
std::string ErrorBoxText(const std::string& message);
// The default error box for an exception that left an event handler. Raises
// nothing: when the program's dialog cannot be shown, the system's message
// box shows the text.
// With /SUPPRESSMSGBOXES nothing is shown, and the run, which nobody can go
// on with, ends with ecFilesGivenUp.
void ShowErrorBox(const std::string& message) noexcept;
// The error box (or with /SUPPRESSMSGBOXES its entry in the run's account),
// then the end with code.
[[noreturn]] void EndWithErrorBox(const std::string& message, ExitCode code) noexcept;

// Runs one event handler at a window procedure's boundary: an exception that
// leaves it goes to the default error box, and the window lives on. False
// when the handler ended that way.
template <typename Handler>
bool CallHandler(Handler&& handler) noexcept {
  try {
    handler();
    return true;
  } catch (const std::exception& e) {
    ShowErrorBox(e.what());
  } catch (...) {
    ShowErrorBox("");
  }
  return false;
}
