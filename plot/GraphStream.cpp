//===- GraphStream.cpp - The graph stream: settings, series with points, marks, annotations ===//
#include "plot/TPlotGraph.h"

#include "plot/PlotConsts.h"
#include "plot/TAppearance.h"
#include "plot/TAxis.h"
#include "plot/TDimensions.h"
#include "plot/TGenericAnnotation.h"
#include "plot/TLegend.h"
#include "plot/TPlotReader.h"
#include "plot/TPlotWriter.h"
#include "plot/TSeries.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TStream.h"

#include <cstdint>

namespace {

constexpr const char* GraphSignature = "plgr03.20";
constexpr int GraphBufSize = 4096;
constexpr int MarkBufSize = 200;

int64_t BytesLeft(TStream& Stream) { return Stream.GetSize() - Stream.GetPosition(); }

void WriteInt32(TStream& Stream, int32_t Value)
{
    const auto U = static_cast<uint32_t>(Value);
    const uint8_t Bytes[4] = { uint8_t(U), uint8_t(U >> 8), uint8_t(U >> 16), uint8_t(U >> 24) };
    Stream.WriteBuffer(Bytes, 4);
}

int32_t ReadInt32(TStream& Stream)
{
    uint8_t B[4];
    Stream.ReadBuffer(B, 4);
    return static_cast<int32_t>(uint32_t(B[0]) | uint32_t(B[1]) << 8 | uint32_t(B[2]) << 16 | uint32_t(B[3]) << 24);
}

void WriteCount(TPlotWriter& Writer, uint16_t Count)
{
    Writer.WriteString("I");
    Writer.WriteInteger(Count);
}

// The count is stored behind the bare tag "I" (no index digits); the text form stores it as a
// string behind some other tag. Every block needs bytes of its own, so a count beyond the bytes
// left is damage, not data.
uint16_t ReadCount(TPlotReader& Reader, TStream& Stream)
{
    const std::string Tag = Reader.ReadString();
    int32_t Count;
    if (!Tag.empty() && Tag.back() == tkInteger)
        Count = Reader.ReadInteger();
    else
        Count = StrToInt(Reader.ReadString());
    if (Count < 0 || Count > 0xFFFF || Count > BytesLeft(Stream) + GraphBufSize)
        throw EReadError(SReadError);
    return static_cast<uint16_t>(Count);
}

bool IsMark(const TGenericAnnotation* A) { return dynamic_cast<const TMark*>(A) != nullptr; }

} // namespace

// --- Counts

void TPlotGraph::WriteSeriesCount(TPlotWriter& Writer)
{
    int N = 0;
    for (TSeries* S = FFirstSeries; S; S = S->next)
        ++N;
    FSeriesCount = uint16_t(N);
    WriteCount(Writer, FSeriesCount);
}

void TPlotGraph::WriteMarkCount(TPlotWriter& Writer)
{
    int N = 0;
    for (TGenericAnnotation* A = FFirstAnnotation; A; A = A->next)
        N += IsMark(A);
    FMarkCount = uint16_t(N);
    WriteCount(Writer, FMarkCount);
}

void TPlotGraph::WriteAnnotationCount(TPlotWriter& Writer)
{
    int N = 0;
    for (TGenericAnnotation* A = FFirstAnnotation; A; A = A->next)
        N += !IsMark(A);
    FAnnotationCount = uint16_t(N);
    WriteCount(Writer, FAnnotationCount);
}

void TPlotGraph::ReadSeriesCount(TPlotReader& Reader, TStream& Stream) { FSeriesCount = ReadCount(Reader, Stream); }

void TPlotGraph::ReadMarkCount(TPlotReader& Reader, TStream& Stream) { FMarkCount = ReadCount(Reader, Stream); }

void TPlotGraph::ReadAnnotationCount(TPlotReader& Reader, TStream& Stream)
{
    FAnnotationCount = ReadCount(Reader, Stream);
}

// --- Blocks

void TPlotGraph::WriteSeriesInfo(TStream& Stream)
{
    if (FSeriesCount == 0)
        throw Exception(SFilingError);
    TPlotWriter Writer(Stream, GraphBufSize);
    for (TSeries* S = FFirstSeries; S; S = S->next)
        S->WriteSection(Writer, FWithPoints);
}

void TPlotGraph::ReadSeriesInfo(TStream& Stream)
{
    if (FSeriesCount == 0)
        throw Exception(SFilingError);
    TPlotReader Reader(Stream, GraphBufSize);
    // Stored series are numbered anew from 1, whatever their numbers were.
    for (int I = 1; I <= FSeriesCount; ++I)
        CreateSeries(I)->ReadFromStream(Reader);
}

void TPlotGraph::WriteMarksInfo(TStream& Stream)
{
    if (FMarkCount == 0)
        throw Exception(SFilingError2);
    TPlotWriter Writer(Stream, MarkBufSize);
    for (TGenericAnnotation* A = FFirstAnnotation; A; A = A->next)
        if (auto* M = dynamic_cast<TMark*>(A))
            M->WriteSection(Writer);
}

void TPlotGraph::ReadMarksInfo(TStream& Stream)
{
    if (FMarkCount == 0)
        throw Exception(SFilingError2);
    TPlotReader Reader(Stream, MarkBufSize);
    for (int I = 0; I < FMarkCount; ++I)
        TMark::ReadSection(Reader, *this);
}

void TPlotGraph::WriteAnnotationInfo(TStream& Stream)
{
    if (FAnnotationCount == 0)
        throw Exception(SFilingError2);
    TPlotWriter Writer(Stream, MarkBufSize);
    for (TGenericAnnotation* A = FFirstAnnotation; A; A = A->next)
        if (!IsMark(A))
            A->WriteAnnotationSection(Writer);
}

// No annotation kind but the mark exists, and marks have their own block: any annotation
// section names a kind that cannot be made.
void TPlotGraph::ReadAnnotationInfo(TStream& Stream)
{
    if (FAnnotationCount == 0)
        throw Exception(SFilingError2);
    TPlotReader Reader(Stream, MarkBufSize);
    std::string TypeName = "Uninitialised";
    for (int Index = Reader.ReadTag(); Index != SectionEndIndex; Index = Reader.ReadTag()) {
        if (Index == 1) {
            TypeName = Reader.ReadAsString();
        } else if (Index >= 2 && Index <= 5) {
            Reader.Skip();
        } else {
            Reader.Skip();
            break;
        }
    }
    throw Exception(SUnknownAnnotationType + TypeName);
}

// --- The whole graph

void TPlotGraph::SaveToStream(TStream& Stream, bool WithPoints)
{
    FWithPoints = WithPoints;
    {
        TPlotWriter Writer(Stream, GraphBufSize);
        Writer.WriteString(GraphSignature);
        FAppearance->WriteSection(Writer);
        FDimensions->WriteSection(Writer);
        FXAxis->WriteSection(Writer);
        FYAxis->WriteSection(Writer);
        FYAxis_Second->WriteSection(Writer);
        FLegend->WriteSection(Writer);
        WriteSeriesCount(Writer);
        WriteMarkCount(Writer);
    }
    if (FSeriesCount != 0)
        WriteSeriesInfo(Stream);
    if (FMarkCount != 0)
        WriteMarksInfo(Stream);
    const int64_t P = Stream.GetPosition();
    WriteInt32(Stream, 0);
    {
        TPlotWriter Writer(Stream, GraphBufSize);
        WriteAnnotationCount(Writer);
    }
    if (FAnnotationCount != 0)
        WriteAnnotationInfo(Stream);
    const int64_t E = Stream.GetPosition();
    WriteInt32(Stream, 0);
    Stream.SetPosition(P);
    WriteInt32(Stream, int32_t(E - P));
    Stream.SetPosition(E);
}

void TPlotGraph::LoadFromStream(TStream& Stream)
{
    const bool Was = FPlotting;
    SetPlotting(false);
    struct Restore {
        TPlotGraph& Graph;
        bool Value;
        ~Restore() noexcept(false)
        {
            if (std::uncaught_exceptions() == 0) {
                Graph.SetPlotting(Value);
                return;
            }
            // The load's own exception is the one the caller sees.
            try {
                Graph.SetPlotting(Value);
            } catch (...) {
            }
        }
    } Guard { *this, Was };
    ClearSeries();
    ClearAnnotations();
    ResetToDefaults();
    {
        TPlotReader Reader(Stream, GraphBufSize);
        const std::string Signature = Reader.ReadString();
        if (Signature.size() < 4 || Signature.compare(0, 4, "plgr") != 0)
            throw Exception(SNotAGraphFile);
        // A bare "plgr" has no version character at all.
        if (Signature.size() < 5 || Signature[4] != '0')
            throw Exception(SWrongGraphVersion);
        FAppearance->ReadSection(Reader);
        FDimensions->ReadSection(Reader);
        FXAxis->ReadSection(Reader);
        FYAxis->ReadSection(Reader);
        FYAxis_Second->ReadSection(Reader);
        FLegend->ReadSection(Reader);
        ReadSeriesCount(Reader, Stream);
        ReadMarkCount(Reader, Stream);
    }
    if (FSeriesCount != 0)
        ReadSeriesInfo(Stream);
    if (FMarkCount != 0)
        ReadMarksInfo(Stream);
    if (ReadInt32(Stream) == 0)
        return;
    {
        TPlotReader Reader(Stream, GraphBufSize);
        ReadAnnotationCount(Reader, Stream);
    }
    if (FAnnotationCount != 0)
        ReadAnnotationInfo(Stream);
    const int32_t N = ReadInt32(Stream);
    if (N < 0 || N > BytesLeft(Stream))
        throw EReadError(SReadError);
    Stream.Seek(N, soFromCurrent);
}

void TPlotGraph::Assign(const TPersistent& Source)
{
    const auto* From = dynamic_cast<const TPlotGraph*>(&Source);
    if (!From)
        return;
    TMemoryStream Stream;
    // A save refreshes the source's count fields and nothing else.
    const_cast<TPlotGraph*>(From)->SaveToStream(Stream, true);
    Stream.SetPosition(0);
    LoadFromStream(Stream);
}
