#pragma once

// Stops the print spooler service and starts it again with the system's net command. The commands
// are not waited for: a pause of two seconds after the stop and four after the start is all the
// time the service is given.
void RestartSpoolerService();
