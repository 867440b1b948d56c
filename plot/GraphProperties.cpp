//===- GraphProperties.cpp - The graph's stored properties in form resources ===//
//
// A form resource stores a graph's series, marks and annotations beside its published
// settings: three count values, each the value list the count writer puts in the graph stream
// ( 'I' 2 ), and the series, mark and annotation blocks of the graph stream as binary data.
//
#include "plot/TPlotGraph.h"

#include "plot/TPlotReader.h"
#include "plot/TPlotWriter.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/TStream.h"
#include "platform/ui/components/Filer.h"
#include "platform/ui/components/FormResource.h"

#include <cstdint>

namespace {

using CountReader = void (TPlotGraph::*)(TPlotReader&, TStream&);
using CountWriter = void (TPlotGraph::*)(TPlotWriter&);

constexpr int CountBufSize = 64;

// The values of the resource go back into the value stream, so the count reader takes the
// text form ('SeriesCount01S' '2') as it does in a stored graph.
void WriteFormValue(TPlotWriter& Writer, const TFormValue& Value)
{
    switch (Value.Kind) {
    case TFormValueKind::List:
        for (const TFormValue& Item : Value.Items)
            WriteFormValue(Writer, Item);
        return;
    case TFormValueKind::String: Writer.WriteString(Value.Text); return;
    case TFormValueKind::Integer:
        if (Value.Integer < INT32_MIN || Value.Integer > INT32_MAX)
            throw EReadError(SReadError);
        Writer.WriteInteger(int32_t(Value.Integer));
        return;
    default: throw EReadError(SReadError);
    }
}

void DefineCount(TFiler& Filer, TPlotGraph& Graph, std::string_view Name, CountReader Read, CountWriter Write)
{
    Filer.DefineProperty(
        Name,
        [&Graph, Read](const TFormValue& Value) {
            TMemoryStream Stream;
            {
                TPlotWriter Writer(Stream, CountBufSize);
                WriteFormValue(Writer, Value);
            }
            Stream.SetPosition(0);
            TPlotReader Reader(Stream, CountBufSize);
            (Graph.*Read)(Reader, Stream);
        },
        [&Graph, Write] {
            TMemoryStream Stream;
            {
                TPlotWriter Writer(Stream, CountBufSize);
                (Graph.*Write)(Writer); // also refreshes the graph's count
            }
            Stream.SetPosition(0);
            TPlotReader Reader(Stream, CountBufSize);
            TFormValue Tag, Count, List;
            Tag.Kind = TFormValueKind::String;
            Tag.Text = Reader.ReadString();
            Count.Integer = Reader.ReadInteger();
            List.Kind = TFormValueKind::List;
            List.Items = { Tag, Count };
            return List;
        },
        true);
}

} // namespace

void TPlotGraph::DefineProperties(TFiler& Filer)
{
    TCustomPanel::DefineProperties(Filer);
    DefineCount(Filer, *this, "SeriesCount", &TPlotGraph::ReadSeriesCount, &TPlotGraph::WriteSeriesCount);
    DefineCount(Filer, *this, "MarkCount", &TPlotGraph::ReadMarkCount, &TPlotGraph::WriteMarkCount);
    DefineCount(Filer, *this, "AnnotationCount", &TPlotGraph::ReadAnnotationCount, &TPlotGraph::WriteAnnotationCount);
    // When storing, the count writers above have just refreshed the counts read here.
    Filer.DefineBinaryProperty(
        "SeriesInfo", [this](TStream& S) { ReadSeriesInfo(S); }, [this](TStream& S) { WriteSeriesInfo(S); },
        FSeriesCount != 0);
    Filer.DefineBinaryProperty(
        "MarksInfo", [this](TStream& S) { ReadMarksInfo(S); }, [this](TStream& S) { WriteMarksInfo(S); },
        FMarkCount != 0);
    Filer.DefineBinaryProperty(
        "AnnotationInfo", [this](TStream& S) { ReadAnnotationInfo(S); }, [this](TStream& S) { WriteAnnotationInfo(S); },
        FAnnotationCount != 0);
}
