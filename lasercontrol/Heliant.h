//===- Heliant.h - The laser control program's start -*- C++ -*-===//
#pragma once

/// Makes the program's forms, the main form first, in the order the program needs them; each
/// is reached through its global reference afterwards. A form resource that cannot be read
/// raises its reader's exception.
void CreateHeliantForms();

/// The whole program: title, forms, the link, the message loop until the main form closes.
/// Answers the process's exit code.
int RunHeliant();
