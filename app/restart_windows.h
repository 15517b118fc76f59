#pragma once

// Asks Windows to restart at once, applications closed by force, with the shutdown privilege
// enabled for the request. True when the request was accepted; false when the privilege could
// not be enabled (the user does not hold it) or Windows refused.
bool RestartWindows();
