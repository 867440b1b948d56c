//===- FontEngine_p.h - Font engine entry points for the platform's own use -*- C++ -*-===//
#pragma once

#include "platform/gdi/fonts/FontEngine.h"

#include <memory>
#include <string>

namespace gdi_private {

/// Realizes a LOGFONT on face FaceIndex of a given file instead of the one its name resolves
/// to. A file that is no usable face is reported on stderr (once per file) and the font is
/// realized by name as Realize would. Never null.
std::shared_ptr<const RealizedFont> realizeFontFromFile(const std::string& Path, int FaceIndex, const LOGFONTA& Font);

} // namespace gdi_private
