// What a click on a menu zone or an About link runs.
#pragma once

#include "brand/Types.h"
#include "shell/ShellServices.h"

namespace startboard {

// Optionally shows a document (by its short name) and asks a Yes/No
// question, then starts the program; a failed start is silent.
void Install(ShellServices& shell, const Action& action);

void RunAction(ShellServices& shell, const Action& action);

}  // namespace startboard
