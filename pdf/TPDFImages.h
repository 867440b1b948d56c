//===- TPDFImages.h - Image XObjects of a document: coded when added, written once -*- C++ -*-===//
#pragma once

#include "platform/ui/components/Colors.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TGraphic;
class TMemoryStream;
class TPDFDocument;

/// One picture, coded as it is added (kind 0 deflated RGB, 1 JPEG, 2 to 4 CCITT fax) and held until
/// Save writes it.
class TPDFImage {
public:
    TPDFImage(TPDFDocument* ADocument, const TGraphic& Graphic, int32_t Kind, TColor TransparentColor, bool IsMask,
              int32_t AMaskIndex);
    ~TPDFImage();
    TPDFImage(const TPDFImage&) = delete;
    TPDFImage& operator=(const TPDFImage&) = delete;

    /// Writes the image object (its mask first) once; a second call does nothing.
    void Save(TPDFDocument& Document);

    int32_t Compression = 0;
    std::string ImageName;
    int32_t ObjectNumber = -1;
    int32_t Height = 0, Width = 0;
    int32_t BitPerPixel = 8;
    bool GrayScale = false;
    bool Saved = false;
    bool IsMask = false;
    int32_t MaskIndex = -1;
    bool BlackIs1 = false;
    std::unique_ptr<TMemoryStream> Data;

private:
    TPDFDocument* FDocument;
};

/// The document's images, in the order added.
class TPDFImages {
public:
    explicit TPDFImages(TPDFDocument* ADocument);
    ~TPDFImages();

    /// Codes the graphic (raising TPDFException or Exception before anything is added), names
    /// it "Im" and its index, appends it.
    TPDFImage* Add(const TGraphic& Graphic, int32_t Kind, TColor TransparentColor, bool IsMask, int32_t MaskIndex);
    void Clear();
    int Count() const { return static_cast<int>(FItems.size()); }
    TPDFImage* Items(int Index) const { return FItems.at(static_cast<size_t>(Index)).get(); }

private:
    TPDFDocument* FDocument;
    std::vector<std::unique_ptr<TPDFImage>> FItems;
};
