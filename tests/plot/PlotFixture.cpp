//===- PlotFixture.cpp - A graph that counts its paints and rescales, for tests ===//
#include "tests/plot/PlotFixture.h"

#include "plot/TAxis.h"
#include "tests/support/TestSupport.h"

#include "platform/gdi/metafile/EnhMetaFile.h"
#include "platform/ui/forms/TApplication.h"
#include "platform/ui/graphics/TMetafile.h"

namespace plottest {

void PlotTest::SetUp()
{
    testsupport::UsePrivateSession();
    Application->Initialize();
    Graph = new CountingGraph(nullptr);
    Graph->OnRescale = [this](TObject*) { ++Graph->Rescales; };
    Graph->SetScaleValid(true);
    Graph->SetPlotSize(200, 200);
}

void PlotTest::TearDown() { delete Graph; }

std::string Recording(CountingGraph& Graph, const std::function<void()>& Draw)
{
    TMetafile Picture;
    Picture.SetWidth(Graph.GetPlotWidth());
    Picture.SetHeight(Graph.GetPlotHeight());
    {
        TMetafileCanvas Canvas(Picture, nullptr);
        Graph.DrawOn(&Canvas);
        Draw();
        Graph.DrawOn(Graph.GetCanvas());
    }
    return Picture.GetHandle() ? DumpEnhMetaFile(Picture.GetHandle()->Bytes()) : std::string();
}

std::vector<std::string> Records(const std::string& Dump, std::string_view Name)
{
    std::vector<std::string> Lines;
    const std::string Token = " " + std::string(Name) + " ";
    size_t Start = 0;
    while (Start < Dump.size()) {
        size_t End = Dump.find('\n', Start);
        if (End == std::string::npos)
            End = Dump.size();
        const std::string Line = Dump.substr(Start, End - Start);
        if (Line.find(Token) != std::string::npos)
            Lines.push_back(Line);
        Start = End + 1;
    }
    return Lines;
}

void Range(TAxis& Axis, double Min, double Max)
{
    Axis.SetMin(Min);
    Axis.SetMax(Max);
    CalcMetrics(Axis);
}

} // namespace plottest
