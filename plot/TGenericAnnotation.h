//===- TGenericAnnotation.h - Annotations a graph draws at one moment of its painting -*- C++ -*-===//
//
// TGenericAnnotation is the base; TMark (a vertical or horizontal line, a box or a free line,
// each with a caption) is the one kind. An annotation in a graph's list removes itself from the
// list when it is freed.
//
#pragma once

#include "platform/ui/components/Colors.h"
#include "platform/ui/components/TComponent.h"

#include <cstdint>
#include <string>

class TPlotGraph;
class TPlotReader;
class TPlotWriter;

class TGenericAnnotation : public TObject {
public:
    TGenericAnnotation(int32_t AID, const std::string& ACaption, uint8_t ADrawTime);
    /// Leaves its graph; a chain of annotations that is in no graph goes with it.
    ~TGenericAnnotation() override;
    TGenericAnnotation(const TGenericAnnotation&) = delete;
    TGenericAnnotation& operator=(const TGenericAnnotation&) = delete;

    virtual std::string TypeName() const = 0;
    virtual void Draw() = 0;
    virtual void WriteOwnData(TPlotWriter& Writer) = 0;
    virtual void ReadOwnData(TPlotReader& Reader) = 0;

    bool GetVisible() const { return FVisible; }
    void SetVisible(bool Value);

    /// The "Annotation" section of a kind other than TMark (type name, ID, caption, draw time,
    /// visibility), followed by the kind's own data.
    void WriteAnnotationSection(TPlotWriter& Writer);

    /// The next annotation of the graph's list.
    TGenericAnnotation* next = nullptr;
    int32_t ID;
    std::string Caption;
    /// The graph whose list holds it; set and cleared by the graph.
    TPlotGraph* Graph = nullptr;
    /// 0 after the background, 1 after the axes and grid, 2 after the series, 3 after the legend.
    uint8_t DrawTime;

protected:
    /// Repaints the graph at once when the annotation is in one that is plotting.
    void RepaintRequest();

private:
    bool FVisible = true;
};

class TMark : public TGenericAnnotation {
public:
    using TGenericAnnotation::TGenericAnnotation;

    std::string TypeName() const override { return "Mark"; }
    /// By TypeOfMark: 0 vertical line, 1 horizontal line, 2 box, 3 free line; others nothing.
    void Draw() override;
    /// Marks are stored by the graph's mark section: both raise "not coded yet".
    void WriteOwnData(TPlotWriter& Writer) override;
    void ReadOwnData(TPlotReader& Reader) override;

    // --- Settings; each repaints on a change
    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value);
    double GetX1() const { return FX1; }
    void SetX1(double Value);
    double GetY1() const { return FY1; }
    void SetY1(double Value);
    /// For a box, the half size in pixels.
    double GetX2() const { return FX2; }
    void SetX2(double Value);
    double GetY2() const { return FY2; }
    void SetY2(double Value);
    uint8_t GetMarkType() const { return FTypeOfMark; }
    void SetMarkType(uint8_t Value);
    /// Caption place of a horizontal line: 0 above left, 1 below left, 2 above right, 3 below right.
    uint8_t GetMarkPosition() const { return FMarkPosition; }
    void SetMarkPosition(uint8_t Value);

    // --- The "Mark" section of the graph stream
    void WriteSection(TPlotWriter& Writer) const;
    /// Reads a section into a new mark and hands it to the graph; a refused mark is freed and
    /// the exception passes on.
    static TMark* ReadSection(TPlotReader& Reader, TPlotGraph& Graph);

private:
    template <class V>
    void Store(V& Field, V Value);
    void RotatedCaption(int X, int Y, int Distance, double Angle);
    void DrawVertical();
    void DrawHorizontal();
    void DrawBox();
    void DrawFreeLine();

    TColor FColor = 0;
    double FX1 = 0, FY1 = 0, FX2 = 0, FY2 = 0;
    uint8_t FTypeOfMark = 0, FMarkPosition = 0;
};
