//===- graph_stream.cpp - Fuzzes whole stored graphs: load, draw, save and load again ===//
//
// The input is a graph stream as a file holds it. What loads (all of it, or what was read
// before a refusal) is drawn into a metafile through the paint core, saved and loaded into a
// second graph, which must accept what the first one wrote and save it again byte for byte.
//
#include "plot/TAppearance.h"
#include "plot/TPlotGraph.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/TStream.h"
#include "platform/ui/graphics/TMetafile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    TMemoryStream Stream;
    Stream.WriteBuffer(Data, static_cast<int32_t>(Size));
    Stream.SetPosition(0);
    TPlotGraph Graph(nullptr);
    try {
        Graph.LoadFromStream(Stream);
    } catch (const Exception&) {
        // A refusal keeps what was read so far; that is drawn and saved below.
    }
    try {
        TMetafile Picture;
        Graph.DrawToMetafile(Picture);
    } catch (const Exception&) {
        // Ranges the axis computations refuse (CalcMetrics, GetStep) raise out of a paint.
    }
    TMemoryStream Copy;
    Graph.SaveToStream(Copy, true);
    Copy.SetPosition(0);
    TPlotGraph Again(nullptr);
    try {
        Again.LoadFromStream(Copy);
    } catch (const Exception& E) {
        // What a graph writes, a graph reads.
        std::abort();
    }
    // Whatever the reader kept or mended on the way in, a saved graph reloads to the same graph,
    // but for the one loss the stream's order makes: MinSteps is read (and refused) while
    // MaxSteps is still the default.
    constexpr double DefaultMaxSteps = 50;
    TAppearance& A = *Again.GetAppearance();
    const uint16_t Stored = Graph.GetAppearance()->GetMinSteps();
    if (A.GetMinSteps() != Stored && !(Stored < DefaultMaxSteps / 2.5))
        A.SetMinSteps(Stored);
    TMemoryStream Twice;
    Again.SaveToStream(Twice, true);
    if (Twice.GetSize() != Copy.GetSize() || std::memcmp(Twice.Memory(), Copy.Memory(), size_t(Copy.GetSize())) != 0)
        std::abort();
    return 0;
}
