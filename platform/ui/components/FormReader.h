//===- FormReader.h - Creates a form's components from its form resource -*- C++ -*-===//
#pragma once

#include "platform/rtl/Exception.h"

#include <string>
#include <string_view>

class TComponent;
struct TFormObject;

/// A form resource that names something its classes do not publish, or gives a value that does
/// not fit. The message names the resource and the line:
/// "Form resource TFORM_MAIN, line 12: Error reading btn_start.Captoin: Property Captoin does not exist".
class EFormReadError : public EReadError {
public:
    EFormReadError(std::string ResourceName, int Line, const std::string& Reason);

    const std::string& ResourceName() const { return FResourceName; }
    int Line() const { return FLine; }

private:
    std::string FResourceName;
    int FLine;
};

/// A class name that no class is published under.
class EClassNotFound : public EFormReadError {
public:
    using EFormReadError::EFormReadError;
};

/// No resource of that name.
class EResNotFound : public Exception {
public:
    using Exception::Exception;
};

/// Reads the form resource named ResourceName (found ignoring case) into Instance, whose class
/// must be the resource's root class or a descendant:
///  1. the root's name becomes Instance's name (with "_1", "_2" ... appended while another
///     component of Instance's owner has it, so a form may be made more than once);
///  2. each nested object becomes a component of its class, owned by Instance, named, given
///     the enclosing object's component through SetParentComponent, and stored in the field of
///     Instance's class that has its name;
///  3. properties are set in the order written, events bound to Instance's published methods;
///  4. component references are resolved once everything is read;
///  5. Loaded runs on Instance and then on every new component in reading order.
/// Raises EResNotFound, EParserError, EClassNotFound or EFormReadError; components created
/// before the fault stay owned by Instance, which frees them.
void ReadComponentRes(std::string_view ResourceName, TComponent& Instance);

/// The same for a resource that is already parsed; ResourceName only serves the messages.
void ReadComponent(const TFormObject& Root, std::string_view ResourceName, TComponent& Instance);
