//===- UiConsts.h - Message texts of the component layer and the form reader -*- C++ -*-===//
#pragma once

// Components
inline constexpr const char* SDuplicateName = "A component named %s already exists";
inline constexpr const char* SInvalidName = "'%s' is not a valid component name";
inline constexpr const char* SAssignError = "Cannot assign a %s to a %s";
inline constexpr const char* SNotOwned = "%s is not owned by %s";
inline constexpr const char* SAlreadyOwned = "%s already belongs to %s";

// Published tables
inline constexpr const char* SDuplicateClass = "Class %s is published twice";
inline constexpr const char* SParentNotPublished = "The base class of %s is not published";
inline constexpr const char* SWrongPropertyKind = "%s: %s is not a property of this kind";
inline constexpr const char* SValueOutOfRange = "Value %d is out of range for %s (%d..%d)";
inline constexpr const char* SNotInTable = "%d is not a value of %s";
inline constexpr const char* SReadOnlyProperty = "%s is read-only";

// Form resources: every message starts with the resource and the line
inline constexpr const char* SFormErrorAt = "Form resource %s, line %d: %s";
inline constexpr const char* SUnterminatedString = "Unterminated string";
inline constexpr const char* SExpected = "%s expected";
inline constexpr const char* SInvalidCharacter = "Invalid character %s";
inline constexpr const char* SInvalidNumber = "Invalid number %s";
inline constexpr const char* SCharCodeRange = "Character code %d is outside 0..255";
inline constexpr const char* SNotSupported = "%s are not supported";
inline constexpr const char* SOddBinary = "Binary data has an odd number of hex digits";
inline constexpr const char* SMissingEnd = "'end' of object %s (line %d) expected";
inline constexpr const char* STextAfterEnd = "Text after the last 'end'";
inline constexpr const char* SNestedTooDeep = "Objects and lists nested deeper than %d levels";

// The form reader
inline constexpr const char* SResNotFound = "Resource %s not found";
inline constexpr const char* SClassNotFound = "Class %s not found";
inline constexpr const char* SCannotCreate = "Class %s cannot be created from a form resource";
inline constexpr const char* SNotInstanceOf = "The form is a %s, not a %s";
inline constexpr const char* SErrorReading = "Error reading %s: %s";
inline constexpr const char* SPropertyNotFound = "Property %s does not exist";
inline constexpr const char* SNotObjectProperty = "%s is not an object property";
inline constexpr const char* SNoObject = "%s holds no object";
inline constexpr const char* SIsObjectProperty = "%s is an object; set its properties instead";
inline constexpr const char* SValueExpected = "%s expected for %s";
inline constexpr const char* SUnknownIdent = "'%s' is not a value of %s";
inline constexpr const char* SBinaryNotSupported = "Binary data is not supported for %s";
inline constexpr const char* SMethodNotFound = "Method %s not found in %s";
inline constexpr const char* SMethodMismatch = "Method %s (%s) does not fit event %s (%s)";
inline constexpr const char* SFieldNotFound = "Field %s not found in %s";
inline constexpr const char* SFieldMismatch = "Field %s of %s is a %s and cannot hold a %s";
inline constexpr const char* SReferenceNotFound = "Component %s not found";
inline constexpr const char* SReferenceMismatch = "Component %s (%s) does not fit property %s (%s)";

// Controls and forms
inline constexpr const char* SControlParentSelf = "A control cannot have itself as its parent";
inline constexpr const char* SCannotFocus = "Cannot focus a disabled or invisible window";
inline constexpr const char* SCannotShowModal = "Cannot make a visible window modal";
inline constexpr const char* SNoCanvasHandle = "Canvas does not allow drawing";
inline constexpr const char* SInvalidBitmap = "Bitmap image is not valid";
inline constexpr const char* SInvalidPixelFormat = "Invalid pixel format";
inline constexpr const char* SMenuIndexError = "Menu index out of range";
inline constexpr const char* SMenuReinserted = "Menu inserted twice";
inline constexpr const char* SNoWidgets =
    "A window cannot be made: the program already has a non-widget Qt application";
