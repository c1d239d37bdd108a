#include "launch/Commands.h"

#include <string>

#include "app/Identity.h"
#include "launch/Launch.h"
#include "weblinks/WebLinks.h"

namespace startboard {

void Install(ShellServices& shell, const Action& action) {
  if (!action.showFirst.empty()) {
    const std::string shown = GetShortName(shell, CdPath(shell, action.showFirst));
    // Shown in its viewer while the question is asked, without waiting for
    // it; a document that cannot be opened does not stop the install.
    shell.Execute(shell.DesktopWindow(), "open", shown, "", "", kShowNormal);
  }
  if (!action.question.empty() &&
      shell.Message(action.question, Buttons::YesNo, action.questionTitle) != kAnswerYes) {
    return;
  }
  // A failed installer start is deliberately silent.
  OpenWithShell(shell, CdPath(shell, action.path));
}

void RunAction(ShellServices& shell, const Action& action) {
  switch (action.kind) {
    case ActionKind::Open:
      ShowDocument(shell, action.path, action.noProgram);
      break;
    case ActionKind::Install:
      Install(shell, action);
      break;
    case ActionKind::Web:
      OpenWebLink(shell, action.url);
      break;
    case ActionKind::About:
      shell.ShowModal(Form::About);
      break;
    case ActionKind::Quit:
      shell.EndProgram();
      break;
    case ActionKind::None:
      break;
  }
}

}  // namespace startboard
