//===- FormImage.h - A picture of a form as its controls painted themselves -*- C++ -*-===//
#pragma once

#include <memory>

class TBitmap;
class TForm;

/// The form's client area: its colour, then each visible control in its parent's order, as the
/// control paints itself (painted again now). Push buttons, which the platform draws itself, are
/// drawn here in the classic raised look with their caption.
std::unique_ptr<TBitmap> FormImage(TForm& Form);
