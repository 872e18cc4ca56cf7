#pragma once
// Stopping and starting the two other programs of the installation.

// Terminates TolvanClient, then MerivoSiteSystem (the first process whose
// executable name contains the program's name), waiting for each to end. True
// when at least one of them was running.
bool StopPrograms();

// Starts the program folder's TolvanClient by its full path, without
// arguments; the client starts the tray tool itself.
bool StartClient();
