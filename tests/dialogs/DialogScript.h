// Runs a test's script inside the modal loop of a dialog the driver expects, once the dialog
// is fully set up: the script sends commands, reads controls and ends the dialog. A dialog
// the script leaves open is cancelled, so a failing script cannot hang the test.
#pragma once

#include "tests/support/DialogDriver.h"

#include <windows.h>

#include <functional>

using DialogScript = std::function<void(HWND dialog)>;

void ExpectDialog(CDialogDriver& driver, DialogScript script);

// What scripts do.
void SendCommand(HWND dialog, int id);
void SendClick(HWND dialog, int id); // a radio button clicked: checked, then its notification
bool IsItemVisible(HWND dialog, int id);
bool IsChecked(HWND dialog, int id);
// The focused control of the dialog. Another process taking the foreground in a parallel test
// run deactivates the dialog and clears the focus; activating it again brings back the control
// that had the focus.
HWND DialogFocus(HWND dialog);
// The menu bar the shell stand-in made for the dialog, or nullptr.
HWND FindCommandBar(HWND dialog);
// Whether the bar has a button for the command, and whether it is enabled.
bool HasBarButton(HWND bar, int command);
bool IsBarButtonEnabled(HWND bar, int command);
