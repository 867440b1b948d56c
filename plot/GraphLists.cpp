//===- GraphLists.cpp - The graph's series and annotation lists ===//
#include "plot/TPlotGraph.h"

#include "plot/PlotConsts.h"
#include "plot/TAxis.h"
#include "plot/TGenericAnnotation.h"
#include "plot/TSeries.h"
#include "platform/rtl/Exception.h"

// --- Series

TSeries* TPlotGraph::GetSeries(int Number)
{
    for (TSeries* S = FFirstSeries; S; S = S->next)
        if (S->GetSeriesNumber() == Number)
            return S;
    return CreateSeries(Number);
}

TSeries* TPlotGraph::CreateSeries(int Number)
{
    auto* S = new TSeries(*this, Number);
    TSeries** Link = &FFirstSeries;
    while (*Link && (*Link)->GetSeriesNumber() < Number)
        Link = &(*Link)->next;
    S->next = *Link;
    *Link = S;
    if (OnNewSeries)
        OnNewSeries(this, Number);
    return S;
}

bool TPlotGraph::HasSeriesData(const TAxis* Axis) const
{
    for (const TSeries* S = FFirstSeries; S; S = S->next)
        if (S->GetCount() > 0 && (!Axis || Axis == FXAxis.get() || Axis == S->GetAxis()))
            return true;
    return false;
}

void TPlotGraph::ClearSeries()
{
    const bool Was = FPlotting;
    FPlotting = false;
    while (FFirstSeries)
        delete FFirstSeries; // unlinks itself
    FPlotting = Was;
    if (Was)
        Paint();
}

// --- Annotations, in ascending ID

TGenericAnnotation* TPlotGraph::FindAnnotation(int32_t ID) const
{
    for (TGenericAnnotation* A = FFirstAnnotation; A; A = A->next)
        if (A->ID == ID)
            return A;
    return nullptr;
}

void TPlotGraph::AddAnnotation(TGenericAnnotation* Annotation)
{
    TGenericAnnotation** Link = &FFirstAnnotation;
    while (*Link && (*Link)->ID < Annotation->ID)
        Link = &(*Link)->next;
    if (*Link && (*Link)->ID == Annotation->ID)
        throw Exception(SDuplicateAnnotation); // the annotation stays the caller's
    Annotation->next = *Link;
    *Link = Annotation;
    Annotation->Graph = this;
    if (FPlotting)
        Paint();
}

bool TPlotGraph::RemoveAnnotation(int32_t ID)
{
    TGenericAnnotation** Link = &FFirstAnnotation;
    while (*Link && (*Link)->ID < ID)
        Link = &(*Link)->next;
    if (!*Link || (*Link)->ID != ID)
        return false;
    TGenericAnnotation* A = *Link;
    *Link = A->next;
    A->next = nullptr;
    A->Graph = nullptr;
    if (FPlotting)
        Paint();
    return true;
}

void TPlotGraph::ClearAnnotations()
{
    while (FFirstAnnotation)
        delete FFirstAnnotation; // removes itself
}
