#pragma once
// SIGTERM, SIGINT and SIGHUP, which end a test device cleanly, arrive on a descriptor, so that every
// wait of the device can watch for them; -1 when the system gives none.
int endingSignalsDescriptor();
