#pragma once

#include <functional>

#include "tools/robot/robot.h"
#include "ui/modal_dialog.h"

// Runs the dialog modally on this thread while `drive` works it from a second thread through the
// robot, as a user would. The dialog is cancelled afterwards, whatever `drive` did.
void RunWithRobot(ModalDialog& dialog, const std::function<void(robot::DialogRobot&)>& drive);
