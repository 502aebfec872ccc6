// The message dialog and the default error box, shown for real and answered
// from a second thread through the UI driver, as a user would.
#include "system/dialogs.h"
#include "tests/startup/test_support.h"
#include "tests/support/answer_dialog.h"

#include <functional>
#include <map>
#include <stdexcept>

namespace {

using wine_test::Press;
using wine_test::ShowAndAnswer;
using wine_test::Shown;

std::function<void(HWND)> Key(WPARAM key) {
  return [key](HWND dialog) {
    HWND focused = GetDlgItem(dialog, uidriver::ReadDialog(dialog).defaultId);
    PostMessageA(focused, WM_KEYDOWN, key, 0);
    PostMessageA(focused, WM_KEYUP, key, 0);
  };
}

class Dialogs : public ::testing::Test {
protected:
  const uidriver::ScreenLock screen_;

  void SetUp() override { SetApplicationTitle("Setup"); }
};

TEST_F(Dialogs, KindsHaveTheirTitlesAndIcons) {
  struct Case {
    DialogKind kind;
    const char* title;
    bool icon;
  } cases[] = {
      {DialogKind::Warning, "Warnung", true},
      {DialogKind::Error, "Fehler", true},
      {DialogKind::Information, "Information", true},
      {DialogKind::Confirmation, "Bestätigung", true},
      {DialogKind::Plain, "Setup", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    const Shown shown = ShowAndAnswer([&] { return MessageDlg("Text", c.kind, dbOK); }, Press("OK"));
    EXPECT_EQ(shown.view.title, c.title);
    EXPECT_EQ(shown.view.hasIcon, c.icon);
    EXPECT_EQ(shown.view.text, "Text");
  }
}

TEST_F(Dialogs, ButtonsCarryTheProgramsCaptionsAndAnswerTheirIds) {
  struct Case {
    unsigned buttons;
    std::vector<std::string> captions;
  } cases[] = {
      {dbYes | dbNo, {"&Ja", "&Nein"}},
      {dbOK | dbCancel, {"OK", "Abbrechen"}},
      {dbYes | dbNo | dbCancel, {"&Ja", "&Nein", "Abbrechen"}},
      {dbOK, {"OK"}},
  };
  const std::map<std::string, int> ids = {
      {"&Ja", IDYES}, {"&Nein", IDNO}, {"OK", IDOK}, {"Abbrechen", IDCANCEL}};
  for (const Case& c : cases) {
    for (const std::string& press : c.captions) {
      SCOPED_TRACE(std::to_string(c.buttons) + " pressing " + press);
      const Shown shown = ShowAndAnswer(
          [&] { return MessageDlg("Frage?", DialogKind::Confirmation, c.buttons); }, Press(press));
      EXPECT_EQ(shown.view.buttons, c.captions);
      EXPECT_EQ(shown.result, ids.at(press));
    }
  }
}

TEST_F(Dialogs, ClosingByTheTitleBarIsCancel) {
  for (unsigned buttons : {dbYes | dbNo, unsigned{dbOK}, dbOK | dbCancel}) {
    SCOPED_TRACE(buttons);
    const Shown shown = ShowAndAnswer(
        [&] { return MessageDlg("Frage?", DialogKind::Confirmation, buttons); },
        [](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); });
    EXPECT_EQ(shown.result, IDCANCEL);
  }
}

TEST_F(Dialogs, DefaultButtonAndKeys) {
  struct Case {
    const char* name;
    unsigned buttons;
    int defaultButton;
    WPARAM key;
    int expectedDefault;
    int expectedResult;
  } cases[] = {
      {"Yes/No, Enter", dbYes | dbNo, 0, VK_RETURN, IDYES, IDYES},
      {"Yes/No named No, Enter", dbYes | dbNo, IDNO, VK_RETURN, IDNO, IDNO},
      {"Yes/No, Escape", dbYes | dbNo, 0, VK_ESCAPE, IDYES, IDNO},
      {"OK/Cancel, Enter", dbOK | dbCancel, 0, VK_RETURN, IDOK, IDOK},
      {"OK/Cancel, Escape", dbOK | dbCancel, 0, VK_ESCAPE, IDOK, IDCANCEL},
      {"Yes/No/Cancel named Cancel, Enter", dbYes | dbNo | dbCancel, IDCANCEL, VK_RETURN, IDCANCEL,
       IDCANCEL},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Shown shown = ShowAndAnswer(
        [&] { return MessageDlg("Frage?", DialogKind::Warning, c.buttons, c.defaultButton); },
        Key(c.key));
    EXPECT_EQ(shown.view.defaultId, c.expectedDefault);
    EXPECT_EQ(shown.result, c.expectedResult);
  }
}

TEST_F(Dialogs, LongTextWithCarriageReturnsFitsTheDialog) {
  const std::string text =
      "Die Installation wurde abgeschlossen.\r\rSoll das Programm Demo Manager jetzt "
      "gestartet werden?\rDas Programm liegt in C:\\Programme\\Demo Manager.";
  const Shown shown = ShowAndAnswer(
      [&] { return MessageDlg(text, DialogKind::Confirmation, dbYes | dbNo | dbCancel); },
      [](HWND dialog) {
        testsupport::SaveShot(dialog, "dialog-confirmation");
        HWND label = uidriver::FindChild(dialog, "Static", "");
        for (HWND c : uidriver::Descendants(dialog)) {
          if (uidriver::Text(c).find("Installation") != std::string::npos) label = c;
        }
        const RECT r = uidriver::ScreenRect(label);
        // Four lines of text at least: the two CRs make an empty line.
        EXPECT_GT(r.bottom - r.top, 3 * GetSystemMetrics(SM_CYMENU) / 2);
        uidriver::PressDialogButton(dialog, "&Nein");
      });
  EXPECT_EQ(shown.view.text, text);
  EXPECT_EQ(shown.result, IDNO);
}

TEST(ErrorBoxText, FullStopUnlessEmptyOrEndingAtOrBeforeDot) {
  struct Case {
    std::string message;
    std::string expected;
  } cases[] = {
      {"", ""},
      {"Fehler", "Fehler."},
      {"Fehler.", "Fehler."},
      {"Fehler!", "Fehler!"},
      {"Wert (3)", "Wert (3)"},
      {"Datei C:\\a.txt kann nicht geöffnet werden", "Datei C:\\a.txt kann nicht geöffnet werden."},
      {"Pfad C:\\", "Pfad C:\\."},
      {"Pfad a/", "Pfad a/."},
      {"Zahl 7", "Zahl 7."},
      {"Größe", "Größe."},
      {"Strich-", "Strich-"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    EXPECT_EQ(ErrorBoxText(c.message), c.expected);
  }
}

TEST_F(Dialogs, ExceptionLeavingAHandlerShowsTheErrorBoxAndReturns) {
  bool after = false;
  const Shown shown = ShowAndAnswer(
      [&] {
        CallHandler([] { throw std::runtime_error("nach C:\\a.ini kann nicht geschrieben werden"); });
        after = true;
        return 0;
      },
      Press("OK"));
  EXPECT_TRUE(after);
  EXPECT_EQ(shown.view.title, "Setup");
  EXPECT_TRUE(shown.view.hasIcon);
  EXPECT_EQ(shown.view.buttons, std::vector<std::string>{"OK"});
  EXPECT_EQ(shown.view.text, "nach C:\\a.ini kann nicht geschrieben werden.");
}

// Makes the creation of the next windows of this thread fail, as the system
// does when it runs out of resources.
class FailingWindows {
public:
  explicit FailingWindows(int count) {
    remaining_ = count;
    hook_ = SetWindowsHookExA(WH_CBT, Refuse, nullptr, GetCurrentThreadId());
    EXPECT_TRUE(hook_);
  }
  ~FailingWindows() { UnhookWindowsHookEx(hook_); }
  FailingWindows(const FailingWindows&) = delete;
  FailingWindows& operator=(const FailingWindows&) = delete;

private:
  static LRESULT CALLBACK Refuse(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_CREATEWND && remaining_ > 0) {
      --remaining_;
      return 1;
    }
    return CallNextHookEx(nullptr, code, wp, lp);
  }
  static inline int remaining_ = 0;
  HHOOK hook_;
};

TEST_F(Dialogs, ADialogThatCannotBeShownGivesNoAnswer) {
  struct Case {
    const char* what;
    std::function<void()> show;
  } cases[] = {
      {"Yes/No", [] { MessageDlg("Weiter?", DialogKind::Confirmation, dbYes | dbNo); }},
      {"OK/Cancel", [] { MessageDlg("Weiter?", DialogKind::Warning, dbOK | dbCancel); }},
      {"Yes/No/Cancel", [] { MessageDlg("Weiter?", DialogKind::Confirmation, dbYes | dbNo | dbCancel); }},
      {"plain box", [] { ShowMessage("Weiter?"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const FailingWindows failing(1);
    try {
      c.show();
      ADD_FAILURE() << "no exception";
    } catch (const EDialogFailed& e) {
      EXPECT_EQ(std::string(e.what()), "Die Meldung \"Weiter?\" kann nicht angezeigt werden (Fehler 1400)");
    }
  }
}

TEST_F(Dialogs, FailedQuestionInAHandlerReachesTheErrorBoxAndNothingGoesAhead) {
  // The uninstall run's question: anything but No goes ahead.
  bool wentAhead = false;
  const Shown shown = ShowAndAnswer(
      [&] {
        const FailingWindows failing(1);
        CallHandler([&] {
          if (MessageDlg("Soll Demo entfernt werden?", DialogKind::Confirmation, dbYes | dbNo) != IDNO)
            wentAhead = true;
        });
        return 0;
      },
      Press("OK"));
  EXPECT_FALSE(wentAhead);
  EXPECT_EQ(shown.view.title, "Setup");
  EXPECT_TRUE(shown.view.hasIcon);
  EXPECT_EQ(shown.view.text,
            "Die Meldung \"Soll Demo entfernt werden?\" kann nicht angezeigt werden (Fehler 1400)");
}

TEST_F(Dialogs, LastBoxesFallBackToTheSystemsMessageBox) {
  struct Case {
    const char* what;
    int failing;  // windows that cannot be created
    std::function<void()> show;
    std::string text;
  } cases[] = {
      {"error box", 1, [] { ShowErrorBox("Kaputt"); }, "Kaputt."},
      {"final message", 1, [] { ShowFinalMessage("Datei Setup.lst nicht gefunden"); },
       "Datei Setup.lst nicht gefunden"},
      {"a failed question, then its error box", 2,
       [] { CallHandler([] { MessageDlg("Weiter?", DialogKind::Confirmation, dbYes | dbNo); }); },
       "Die Meldung \"Weiter?\" kann nicht angezeigt werden (Fehler 1400)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Shown shown = ShowAndAnswer(
        [&] {
          const FailingWindows failing(c.failing);
          c.show();
          return 0;
        },
        Press("OK"));
    EXPECT_EQ(shown.view.title, "Setup");
    EXPECT_EQ(shown.view.text, c.text);
  }
}

}  // namespace
