// One running copy per state directory (per user and profile).
//
// The running copy holds an exclusive lock on "quimo.lock" in its state
// directory and keeps its process id in it. The lock goes with the process,
// however it ends, so a crashed copy never blocks the next start. A second
// start finds the lock taken and asks the running copy (SIGUSR1) to bring
// its settings window to the front.
#pragma once

enum InstanceClaim {
    INSTANCE_FIRST,          // the lock is ours
    INSTANCE_RUNNING,        // another copy holds it
    INSTANCE_UNLOCKED,       // no lock possible here (read-only folder, no locking): run anyway
};

// Takes the lock in dir. The request id (instance_show_request_id) must
// be set up before, so that a second copy never signals us unprepared.
InstanceClaim instance_claim(const char *dir);
// Asks the copy holding the lock in dir to show its settings window. False
// when no process id could be read or the signal could not be sent.
bool instance_ask_running(const char *dir);
// The event id posted when another start asks us to show the settings
// window; created (and the signal handler installed) on the first call.
int instance_show_request_id(void);
