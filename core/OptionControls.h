// The one road from the option controls of the main window to what the core reads. The core's
// routines read their options from ConversionOptions (the run), ClosedCaptionsEnabled (the job
// list), ScanHost() (intake and scans) and DetectionHost() (identification and DVD titles); the
// option pages show and store them in the controls of Form1. ApplyOptionControls copies every
// control into those places; LinkOptionControls makes every change of an option control call it,
// so whatever sets a control (the user, the settings store, a saved profile, Skip unticking
// "Convert automatically") reaches the core at once.
//
// Contract:
// - After ApplyOptionControls each option field equals its control (names in the fields'
//   comments); fields that no control holds (the runner, the dialogs, the window hooks) are left
//   as they are.
// - LinkOptionControls keeps every handler a control already has and runs it after the copy; linking
//   twice links once. Controls without a change event (the before/after command labels, the
//   destination label) are read by every ApplyOptionControls, which the window also calls at
//   the start of each Go.
#pragma once

// Copies the option controls of Form1 into ConversionOptions, ClosedCaptionsEnabled, ScanHost()
// and DetectionHost(). Does nothing without Form1.
void ApplyOptionControls();
// Hooks the change events of Form1's option controls to ApplyOptionControls.
void LinkOptionControls();
