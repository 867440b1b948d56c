//===- TPDFAnnotations.cpp - Page annotations: the common base and the link annotation -===//
#include "pdf/TPDFAnnotations.h"

#include "pdf/PdfPrimitives.h"
#include "pdf/TPDFActions.h"
#include "pdf/TPDFDocument.h"
#include "pdf/TPDFException.h"
#include "pdf/TPDFPage.h"

#include "platform/rtl/SysUtils.h"
#include "platform/ui/controls/UiTypes.h"

#include <algorithm>

std::string PDFColorComponents(TColor Color)
{
    return FloatToPDFStr((Color & 0xFF) / 255.0) + " " + FloatToPDFStr((Color >> 8 & 0xFF) / 255.0) + " "
           + FloatToPDFStr((Color >> 16 & 0xFF) / 255.0);
}

// --- TPDFCustomAnnotation

namespace {

TPDFPage* checkedOwner(TPDFPage* Owner)
{
    if (!Owner)
        throw TPDFException(SAnnotationNeedsPage);
    return Owner;
}

} // namespace

TPDFCustomAnnotation::TPDFCustomAnnotation(TPDFPage* Owner) : FOwner(checkedOwner(Owner))
{
    ObjectNumber = FOwner->Document.NewObjectNumber();
    FOwner->Annotations.emplace_back(this);
}

TPDFCustomAnnotation::~TPDFCustomAnnotation()
{
    auto& List = FOwner->Annotations;
    auto It = std::find_if(List.begin(), List.end(), [this](const auto& A) { return A.get() == this; });
    if (It != List.end()) {
        It->release();
        List.erase(It);
    }
}

std::string TPDFCustomAnnotation::rectEntry() const
{
    return "/Rect [" + IntToStr(Left) + " " + IntToStr(Bottom) + " " + IntToStr(Right) + " " + IntToStr(Top) + "]";
}

// --- TPDFActionAnnotation

void TPDFActionAnnotation::SetRect(const TRect& Rect)
{
    TRect R = Rect;
    NormalizeRect(R);
    TPDFPage& Page = OwnerPage();
    Left = static_cast<int32_t>(Round(Page.ToPtX(R.Left)));
    Right = static_cast<int32_t>(Round(Page.ToPtX(R.Right)));
    Top = static_cast<int32_t>(Round(Page.ToPtY(R.Top)));
    Bottom = static_cast<int32_t>(Round(Page.ToPtY(R.Bottom)));
}

void TPDFActionAnnotation::SetAction(TPDFAction* Action)
{
    if (Action)
        OwnerPage().Document.RegisterAction(Action);
    FAction = Action;
}

void TPDFActionAnnotation::Save()
{
    TPDFDocument& Doc = OwnerPage().Document;
    Doc.StartObject(ObjectNumber);
    Doc.WriteText("/Type /Annot");
    Doc.WriteText("/Subtype /Link");
    Doc.WriteText("/Border " + Border);
    Doc.WriteText("/F " + IntToStr(static_cast<int64_t>(Flags.Bits() & 0x7F)));
    Doc.WriteText("/C [" + PDFColorComponents(Color) + " ]");
    Doc.WriteText(rectEntry());
    // A link without an action would otherwise point at object 0, which does not exist.
    if (FAction)
        Doc.WriteText("/A " + ObjectRef(FAction->ObjectNumber));
    Doc.CloseDictionary();
    Doc.CloseObject();
}
