#pragma once
// An update that an earlier Fetchwell left in the middle (it was killed, or
// the machine went down, while files were being replaced).

// Resolves a replace journal left in the update folder, before anything else
// happens: a replacement that had not committed is rolled back to the old
// installation, a committed one is finished. Each outcome is logged. False
// when the old installation could not be restored; the run must then end
// (the journal stays, and the next start tries again).
bool RecoverInterruptedUpdate();
