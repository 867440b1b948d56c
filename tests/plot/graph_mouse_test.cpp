//===- graph_mouse_test.cpp - Zoom, restore, legend drag, cross wire and window corners ===//
#include "plot/TAppearance.h"

#include "plot/TAxis.h"
#include "plot/TLegend.h"
#include "plot/TPlotGraph.h"
#include "tests/platform/ui/support/UiTestSupport.h"
#include "tests/support/TestSupport.h"

#include "platform/ui/controls/Mouse.h"
#include "platform/ui/forms/TApplication.h"
#include "platform/ui/graphics/TCanvas.h"
#include "platform/ui/forms/TForm.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

/// A painted default graph of 200 x 200 on a form; the plot starts at control pixel (1, 1).
class GraphMouseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsupport::UsePrivateSession();
        Application->Initialize();
        Host = new TForm(Application);
        Host->SetClientWidth(400);
        Host->SetClientHeight(300);
        Graph = new TPlotGraph(Host);
        Graph->SetParent(Host);
        Graph->SetLeft(10);
        Graph->SetTop(10);
        Graph->Paint();
        // The window loop follows a mouse that moves 10 pixels right and down, then lets go.
        Previous = SetMoveSizeHook([](TWinControl&) {
            POINT P {};
            GetCursorPos(&P);
            return std::vector<TPoint> { { P.x + 10, P.y + 10 } };
        });
    }
    void TearDown() override
    {
        SetMoveSizeHook(Previous);
        delete Host;
    }

    void Drag(int X1, int Y1, int X2, int Y2, TShiftState Shift)
    {
        uitest::MousePress(*Graph, mbLeft, X1, Y1, Shift);
        uitest::MouseMove(*Graph, X2, Y2, Shift);
        uitest::MouseRelease(*Graph, mbLeft, X2, Y2, Shift);
    }
    std::vector<TColor> Picture()
    {
        std::vector<TColor> P;
        for (int Y = 0; Y < 200; ++Y)
            for (int X = 0; X < 200; ++X)
                P.push_back(Graph->GetCanvas()->GetPixels(X, Y));
        return P;
    }

    TForm* Host = nullptr;
    TPlotGraph* Graph = nullptr;
    TMoveSizeHook Previous;
};

// x of a control pixel p is (p - 41) / 143, y is 1 - (p - 31) / 128.
TEST_F(GraphMouseTest, ShiftDragZoomsAllAxesFromTheRangesBeforeTheZoom)
{
    Drag(70, 55, 127, 111, { ssShift });
    const TAxis& X = *Graph->GetXAxis();
    const TAxis& Y = *Graph->GetYAxis();
    EXPECT_NEAR(X.GetMin(), 29.0 / 143, 1e-12);
    EXPECT_NEAR(X.GetMax(), 86.0 / 143, 1e-12) << "Max from the scale before Min moved";
    EXPECT_NEAR(Y.GetMin(), 1 - 80.0 / 128, 1e-12);
    EXPECT_NEAR(Y.GetMax(), 1 - 24.0 / 128, 1e-12);
    EXPECT_TRUE(Graph->GetPlotting());
}

TEST_F(GraphMouseTest, ClickAfterTwoZoomsRestoresTheRangesAndAutoSizingOfTheFirst)
{
    Graph->GetYAxis()->SetAutoSizing(true);
    Graph->GetXAxis()->SetMin(0);
    Graph->GetXAxis()->SetMax(1);
    Drag(70, 55, 127, 111, { ssShift });
    Drag(60, 60, 150, 150, { ssShift });
    EXPECT_FALSE(Graph->GetYAxis()->GetAutoSizing()) << "the zoom's setters switch it off";
    Drag(100, 100, 100, 100, { ssShift });
    EXPECT_EQ(Graph->GetXAxis()->GetMin(), 0);
    EXPECT_EQ(Graph->GetXAxis()->GetMax(), 1);
    EXPECT_TRUE(Graph->GetYAxis()->GetAutoSizing());
}

TEST_F(GraphMouseTest, ThinDragRestoresInsteadOfZooming)
{
    Drag(50, 100, 150, 103, { ssShift });
    EXPECT_EQ(Graph->GetXAxis()->GetMin(), 0);
    EXPECT_EQ(Graph->GetXAxis()->GetMax(), 1);
}

TEST_F(GraphMouseTest, CrossWireDrawnTwiceLeavesThePictureUnchanged)
{
    Graph->GetAppearance()->CrossWire = true;
    const std::vector<TColor> Before = Picture();
    uitest::MouseMove(*Graph, 100, 100);
    ASSERT_TRUE(Graph->GetCrossShown());
    EXPECT_NE(Picture(), Before);
    uitest::MouseMove(*Graph, 5, 100); // onto the margin: removed, none drawn
    EXPECT_FALSE(Graph->GetCrossShown());
    EXPECT_EQ(Picture(), Before);
}

struct CornerRow {
    const char* Name;
    int X, Y;
    bool DragAllowed;
    int Left, Width; // after the loop
};

TEST_F(GraphMouseTest, CornersMoveAndSizeTheWindowOnlyWhenAllowed)
{
    const CornerRow Rows[] = {
        { "bottom-right sizes", 190, 190, true, 10, 210 },
        { "top-left moves", 5, 5, true, 20, 200 },
        { "not allowed: handles instead", 190, 190, false, 10, 200 },
    };
    for (const CornerRow& R : Rows) {
        Graph->SetBounds(10, 10, 200, 200);
        Graph->DragAllowed = R.DragAllowed;
        uitest::MousePress(*Graph, mbLeft, R.X, R.Y);
        uitest::MouseRelease(*Graph, mbLeft, R.X, R.Y);
        EXPECT_EQ(Graph->GetLeft(), R.Left) << R.Name;
        EXPECT_EQ(Graph->GetWidth(), R.Width) << R.Name;
    }
}

TEST_F(GraphMouseTest, DraggedLegendMovesByTheDrag)
{
    TLegend& L = *Graph->GetLegend();
    L.Setvisible(true);
    const int Left = L.Getleft(), Top = L.Gettop();
    Drag(20, 15, 50, 15, {});
    EXPECT_EQ(L.Getleft(), Left + 30);
    EXPECT_EQ(L.Gettop(), Top);
}

TEST_F(GraphMouseTest, CtrlClickAsksForTheDesignerAndStartsNothing)
{
    int Asked = 0;
    Graph->OnWantDesigner = [&](TObject*) { ++Asked; };
    Drag(70, 55, 127, 111, { ssCtrl });
    EXPECT_EQ(Asked, 1);
    EXPECT_EQ(Graph->GetXAxis()->GetMax(), 1) << "no zoom";
}

} // namespace
