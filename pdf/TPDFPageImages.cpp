//===- TPDFPageImages.cpp - Placing the document's images on a page -------===//
#include "pdf/TPDFPage.h"

#include "pdf/TPDFDocument.h"
#include "pdf/TPDFException.h"
#include "pdf/TPDFImages.h"

#include <algorithm>
#include <cmath>

void TPDFPage::ShowImagePt(int32_t Index, double X, double Y, double Width, double Height, double Angle)
{
    TPDFImages& Images = Document.Images();
    if (Index < 0 || Index > Images.Count() - 1)
        throw TPDFException(SOutOfRange);
    TPDFImage* Image = Images.Items(Index);
    if (Image->BitPerPixel == 1 || Image->GrayScale)
        UsesImageB = true;
    else
        UsesImageC = true;
    GSave();
    Translate(X, Y);
    if (std::abs(Angle) > 0.001)
        RotateCoordinates(Angle);
    Concat(Width, 0, 0, Height, 0, 0);
    AppendLine("/" + Image->ImageName + " Do");
    GRestore();
    if (std::find(UsedImages.begin(), UsedImages.end(), Image) == UsedImages.end())
        UsedImages.push_back(Image);
}

void TPDFPage::ShowImage(int32_t Index, double X, double Y, double Width, double Height, double Angle)
{
    const double W = Width / ScaleFactor, H = Height / ScaleFactor;
    ShowImagePt(Index, ToPtX(X), ToPtY(Y) - H, W, H, Angle);
}
