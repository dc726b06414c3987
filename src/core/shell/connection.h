#pragma once
// When the program is connected to a programming unit, what the user is told
// about it, and the one way a communication failure is reported.

#include "core/link/device_notice.h"
#include "core/link/transfer.h"
#include "core/shell/app.h"

namespace tavio {

// Registers for device notices, connects to the first usable unit, reads
// its block and refreshes the window; explains what to do when there is none.
void StartDeviceLink(App& app);
// Arrival connects while not connected; removal of the open unit disconnects.
// True for arrival and removal-complete events, whatever was done.
bool OnDeviceChange(App& app, const DeviceNotice& notice);
// The user chose a unit, or none, where a program may only open what the
// user chose (a browser's device chooser): while not connected, connects as
// at start, and a unit that cannot be opened is explained as at start, not
// passed over in silence as a plug-in is.
void OnUnitChosen(App& app);
// Unregisters the notices and closes the link.
void StopDeviceLink(App& app);

// Closes the link, refreshes the window and shows the error boxes.
void ReportCommError(App& app, const CommError& error);
// A reporter for the link's transfers that ends in ReportCommError.
CommErrorReporter CommErrorReporterFor(App& app);

// The message, a blank line and the connection instructions, in an
// information box.
void ShowInstructionBox(App& app, StringId message, TextView extra_break = u"", TextView appendix = u"");

}  // namespace tavio
