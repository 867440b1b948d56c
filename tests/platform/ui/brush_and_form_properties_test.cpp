//===- brush_and_form_properties_test.cpp - Pattern brushes; Ctl3D and scaling of forms read ===//
#include "tests/platform/ui/UiFixture.h"

#include "platform/ui/components/FormReader.h"
#include "platform/ui/components/FormResource.h"
#include "platform/ui/components/Published.h"
#include "platform/ui/controls/StdCtrls.h"
#include "platform/ui/graphics/TBitmap.h"
#include "platform/ui/graphics/TCanvas.h"
#include "platform/ui/controls/TCustomPanel.h"
#include "platform/ui/forms/TForm.h"

namespace {

class BrushBitmapTest : public UiTest {};

TEST_F(BrushBitmapTest, ABrushWithABitmapTilesItUntilTheBitmapIsTakenAway)
{
    TBitmap Tile;
    Tile.SetSize(2, 2);
    Tile.GetCanvas()->SetPixels(0, 0, clRed);
    Tile.GetCanvas()->SetPixels(1, 0, clWhite);
    Tile.GetCanvas()->SetPixels(0, 1, clWhite);
    Tile.GetCanvas()->SetPixels(1, 1, clRed);

    TBitmap Target;
    Target.SetSize(6, 6);
    TCanvas& Canvas = *Target.GetCanvas();
    Canvas.GetBrush()->SetColor(clBlue);
    Canvas.GetBrush()->SetBitmap(&Tile);
    Canvas.FillRect(Rect(0, 0, 6, 6));
    for (int Y = 0; Y < 6; ++Y)
        for (int X = 0; X < 6; ++X)
            ASSERT_EQ(Canvas.GetPixels(X, Y), (X + Y) % 2 == 0 ? clRed : clWhite) << X << "," << Y;

    Canvas.GetBrush()->SetBitmap(nullptr);
    Canvas.FillRect(Rect(0, 0, 6, 6));
    EXPECT_EQ(Canvas.GetPixels(1, 0), clBlue);
}

class TPropertiesForm : public TForm {
public:
    using TForm::TForm;
    TPanel* Inner = nullptr;
    TPanel* Own = nullptr;
    TButton* B = nullptr;
    TLabel* L = nullptr;
};

const PublishedClass& PropertiesFormClass =
    PublishClass<TPropertiesForm, TForm>("TPropertiesForm", [](Published<TPropertiesForm>& P) {
        P.Field("Inner", &TPropertiesForm::Inner);
        P.Field("Own", &TPropertiesForm::Own);
        P.Field("B", &TPropertiesForm::B);
        P.Field("L", &TPropertiesForm::L);
    });

class FormPropertiesTest : public UiTest {
protected:
    /// A form read from Text, a form resource of TPropertiesForm.
    TPropertiesForm* read(const std::string& Text)
    {
        auto* Form = new TPropertiesForm(Application);
        ReadComponent(ParseFormResource("test", Text), "test", *Form);
        return Form;
    }
};

TEST_F(FormPropertiesTest, Ctl3DFollowsTheParentUntilSetOrLetGo)
{
    TPropertiesForm* Form = read("object F: TPropertiesForm\n"
                                 "  Ctl3D = False\n"
                                 "  object Inner: TPanel\n"
                                 "  end\n"
                                 "  object Own: TPanel\n"
                                 "    Ctl3D = True\n"
                                 "  end\n"
                                 "end\n");
    TPanel* Inner = Form->Inner;
    TPanel* Own = Form->Own;
    EXPECT_FALSE(Form->GetCtl3D());
    EXPECT_FALSE(Inner->GetCtl3D());
    EXPECT_TRUE(Own->GetCtl3D());
    EXPECT_FALSE(Own->GetParentCtl3D());

    Inner->SetParentCtl3D(false);
    Form->SetCtl3D(true);
    EXPECT_FALSE(Inner->GetCtl3D()) << "letting go keeps what the parent gave";
}

TEST_F(FormPropertiesTest, AScaledFormOfAnotherResolutionIsScaledTo96DotsPerInch)
{
    const std::string Body = "  ClientWidth = 500\n"
                             "  ClientHeight = 250\n"
                             "  Font.Height = -15\n"
                             "  object B: TButton\n"
                             "    Left = 20\n"
                             "    Top = 40\n"
                             "    Width = 100\n"
                             "    Height = 30\n"
                             "  end\n"
                             "  object L: TLabel\n"
                             "    Font.Height = -20\n"
                             "    ParentFont = False\n"
                             "  end\n"
                             "end\n";
    struct Case {
        const char* Head;
        int ClientWidth, ButtonLeft, ButtonWidth, FormFont, LabelFont, PixelsPerInch;
    };
    const Case Cases[] = {
        { "object F: TPropertiesForm\n  PixelsPerInch = 120\n", 400, 16, 80, -12, -16, 96 },
        { "object F: TPropertiesForm\n  PixelsPerInch = 120\n  Scaled = False\n", 500, 20, 100, -15, -20, 120 },
        { "object F: TPropertiesForm\n  PixelsPerInch = 96\n", 500, 20, 100, -15, -20, 96 },
    };
    for (const Case& C : Cases) {
        TPropertiesForm* Form = read(C.Head + Body);
        TButton* Button = Form->B;
        TLabel* Label = Form->L;
        EXPECT_EQ(Form->GetClientWidth(), C.ClientWidth) << C.Head;
        EXPECT_EQ(Button->GetLeft(), C.ButtonLeft) << C.Head;
        EXPECT_EQ(Button->GetWidth(), C.ButtonWidth) << C.Head;
        EXPECT_EQ(Button->GetFont()->GetHeight(), C.FormFont) << C.Head;
        EXPECT_EQ(Label->GetFont()->GetHeight(), C.LabelFont) << C.Head;
        EXPECT_EQ(Form->PixelsPerInch, C.PixelsPerInch) << C.Head;
        delete Form;
    }
}

} // namespace
