//===- TPDFAnnotations.h - Page annotations: the common base and the link annotation -*- C++ -*-===//
//
// An annotation belongs to its page from construction on: the page's annotation list owns it and
// the page writes it. Rectangles are kept in points (y upwards).
//
#pragma once

#include "platform/ui/components/Colors.h"
#include "platform/ui/components/TypeInfo.h"

#include <cstdint>
#include <string>

struct TRect;
class TPDFAction;
class TPDFPage;

/// Member k stands for the annotation flag value 2 to the power k.
enum class TPDFAnnotationFlag { afInvisible, afHidden, afPrint, afNoZoom, afNoRotate, afNoView, afReadOnly };
using enum TPDFAnnotationFlag;
using TPDFAnnotationFlags = TSet<TPDFAnnotationFlag>;

class TPDFCustomAnnotation {
public:
    /// Takes a new object number and joins the page's annotation list, which owns it from here
    /// on. Without a page raises "Annotation must have TPDFPage as owner".
    explicit TPDFCustomAnnotation(TPDFPage* Owner);
    /// Leaves the page's list when still in it (a derived constructor that failed).
    virtual ~TPDFCustomAnnotation();
    TPDFCustomAnnotation(const TPDFCustomAnnotation&) = delete;
    TPDFCustomAnnotation& operator=(const TPDFCustomAnnotation&) = delete;

    /// Writes the annotation's objects.
    virtual void Save() = 0;

    TPDFPage& OwnerPage() const { return *FOwner; }
    int32_t ObjectNumber = 0;
    /// Points, y upwards.
    int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
    TPDFAnnotationFlags Flags;
    /// The "/Border" array as written.
    std::string Border = "[0 0 1]";
    /// Red in the low byte; yellow by default.
    TColor Color = 65535;

protected:
    /// "/Rect [left bottom right top]".
    std::string rectEntry() const;

private:
    TPDFPage* FOwner;
};

/// A link: a rectangle that runs an action when clicked.
class TPDFActionAnnotation : public TPDFCustomAnnotation {
public:
    using TPDFCustomAnnotation::TPDFCustomAnnotation;

    void Save() override;

    /// Device units in any corner order; stored in points, each edge rounded.
    void SetRect(const TRect& Rect);
    TPDFAction* GetAction() const { return FAction; }
    /// Registers Action with the document (which owns it from then on) and keeps it.
    void SetAction(TPDFAction* Action);

private:
    TPDFAction* FAction = nullptr;
};

/// The three colour components of a platform colour as "r g b", each byte / 255.
std::string PDFColorComponents(TColor Color);
