#pragma once

// What of the model a look finds on the machine. The second look after a run and the read-only
// check make this one look, so that what a run reports left and what a check reports there cannot
// come apart: a deployment tool asks the check before and after the run, and must hear the same.

#include <string>
#include <vector>

#include "engine/uninstall_sequence.h"

struct Finding {
  enum class Kind {
    // A thing of the model on the machine.
    Present,
    // A file or folder of the model that Windows deletes at the next restart: it counts as gone.
    GoesAtRestart,
    // What cannot be looked at: the printers, where the spooler cannot list them.
    Unknown,
  };

  Kind kind = Kind::Present;
  // Described for the user and the log ("printer \"Front Desk (Bar 2)\"").
  std::string what;
};

// Looks for each thing that `plan` removes: the printers it deletes, and where the whole package
// goes, every other printer of the model, the model's driver, everything the leftover look-up
// finds, and the product's Uninstall key. In that order. The print spooler's service is no part of
// the model: where it does not answer, the printers cannot be listed.
std::vector<Finding> LookForWhatThePlanRemoves(const UninstallPlan& plan);

// The plan that removes everything of the model, whatever is there: what the check looks for.
UninstallPlan PlanForEverything();
