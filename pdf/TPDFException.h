//===- TPDFException.h - The PDF writer's exception and its message texts -*- C++ -*-===//
#pragma once

#include "platform/rtl/Exception.h"

/// Raised by the PDF writer for misuse (a generation in progress or not begun, a page whose size
/// can no longer change) and for objects it cannot build.
class TPDFException : public Exception {
public:
    using Exception::Exception;
};

// --- Document
inline constexpr const char* SGenerationInProgress = "Generation PDF file in progress";
inline constexpr const char* SGenerationNotActivated = "Generation PDF file not activated";
inline constexpr const char* SCannotChangeValue = "Cannot change this value";
inline constexpr const char* SOutOfRange = "Out of range";
// --- Pages
inline constexpr const char* SPageInProgress = "Page in progress";
inline constexpr const char* SCanvasAlreadyCreated = "Canvas for this page already created";
inline constexpr const char* SCannotConvertText = "Cannot convert text to unicode";
inline constexpr const char* SCannotCreateURL = "Cannot create URL to watermark";
// --- Annotations, actions and form controls
inline constexpr const char* SAnnotationNeedsPage = "Annotation must have TPDFPage as owner";
inline constexpr const char* SURLCannotBeEmpty = "URL cannot be empty";
inline constexpr const char* SExportValuePresent = "In this radiogroup such exportvalue present";
inline constexpr const char* SEmptyExportValue = "Cannot set empty export value for radiobutton";
// --- Metafile player
inline constexpr const char* SMetafileNotLoaded = "Metafile not loaded";
// --- Images
inline constexpr const char* SMaskCannotHaveMask = "Mask Image cannot have mask";
inline constexpr const char* SUnknownMaskImage = "Unknow Mask Image. Out of bound.";
inline constexpr const char* SMaskNotMarked = "Mask Image not marked as \"Mask Image\".";
inline constexpr const char* SMaskOnlyForBitmap = "Create Mask available only for bitmap images";
inline constexpr const char* SNotValidImage = "Not valid image.";
inline constexpr const char* SCCITTOnlyForBitmap = "CCITT compression work only for bitmap";
// --- Security (raised as the base exception)
inline constexpr const char* SRC4InvalidKeyLength = "RC4: Invalid key length";
// --- Fonts
inline constexpr const char* SCannotReceiveFontData = "Cannot recieve data from font";
inline constexpr const char* SIncorrectFontFormat = "Incorrect or unknown font format";
inline constexpr const char* SOffsetError = "Offset Error";
