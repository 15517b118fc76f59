#pragma once

#include <windows.h>

// Holds the calling thread for `milliseconds` while its windows keep answering: every message
// sent to them is handled, and they repaint, as soon as it comes and at the latest every 100 ms.
// Nothing the user does acts meanwhile, then or later: keyboard and mouse input, and posted
// clicks, commands and close requests, are taken from the queue and dropped. Windows marks a
// window whose thread leaves a message unanswered for 5 s as not responding and offers to end
// the program; a pause that only slept would invite that.
void PauseAnswering(DWORD milliseconds);

// Handles, in the same way, what waits for the thread's windows now, without waiting for more:
// between steps of work that would otherwise leave them unanswered for seconds together.
void AnswerWaitingMessages();
