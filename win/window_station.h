#pragma once

// Whether anyone can see a window of this process. Not in a window station without WSF_VISIBLE
// (a service's, or one made for programs run out of sight), nor in session 0, where since Windows
// Vista only services run and no user logs on: there a dialog or a message box waits for an
// answer that never comes. Where the system cannot tell, it says yes, as for a person's desktop.
bool WindowsCanBeSeen();
