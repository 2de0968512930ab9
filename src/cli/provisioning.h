#pragma once
// The entry of "alarmgsm write" and "alarmgsm read", callable from any main: the window's
// executable and a console twin alike. It needs no display: the application it makes is a core
// one, and no window is ever made.

// Whether the arguments name one of the actions.
bool isProvisioningCommand(int argc, char* argv[]);

// The process's exit status.
int runProvisioning(int argc, char* argv[]);
