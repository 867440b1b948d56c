//===- Tessaly.h - The energy statistics program's start -*- C++ -*-===//
#pragma once

/// Makes the main form (which binds to the link) and then the stop warning.
void CreateTessalyForms();

/// The whole program: title, forms, the message loop until the main form closes. Answers the
/// process's exit code.
int RunTessaly();
