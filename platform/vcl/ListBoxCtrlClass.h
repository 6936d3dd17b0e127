// The "LISTBOX" window class: a list of strings (or owner-drawn items) with single, multiple or
// extended selection, one or many columns, LB_ messages and LBN_ notifications to the parent.
#pragma once

#include "platform/vcl/ListCtrlsConsts.h"

// Registers the class once (later calls do nothing); true when it is registered.
bool RegisterListBoxClass();
