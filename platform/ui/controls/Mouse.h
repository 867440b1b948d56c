//===- Mouse.h - Where the mouse is, and moving or sizing a window with it -*- C++ -*-===//
//
// A window control handles the system commands SC_MOVE and SC_SIZE (sent with Perform or
// SendMessage as WM_SYSCOMMAND) with a loop that follows the mouse until its button is released:
// the move command moves the control by as much as the mouse moves, the size command with the
// edge code WMSZ_BOTTOMRIGHT (SC_SIZE + 8) moves the bottom-right corner. Escape puts the control
// back where it was. The size command's other edges are not handled.
//
#pragma once

#include "platform/gdi/GdiTypes.h"
#include "platform/ui/controls/UiTypes.h"
#include "platform/user/Messages.h"

#include <functional>
#include <vector>

class TWinControl;

/// The mouse position in screen coordinates. Always succeeds once the application is initialised.
bool GetCursorPos(POINT* Point);

/// The mouse during one move or size loop: the screen positions it passes through, the last one
/// being where its button is released.
using TMoveSizeHook = std::function<std::vector<TPoint>(TWinControl& Control)>;
/// Tests answer the loop with it instead of the mouse; answers the old hook. An empty hook
/// restores the mouse.
TMoveSizeHook SetMoveSizeHook(TMoveSizeHook Hook);

/// Runs the loop for the WM_SYSCOMMAND code Command on Control; false for a code it does not
/// handle. Starts from GetCursorPos and ends when a mouse button is released or pressed, or at
/// Enter (the control stays) or Escape (it goes back).
bool RunMoveSizeLoop(TWinControl& Control, WPARAM Command);
