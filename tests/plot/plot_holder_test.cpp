//===- plot_holder_test.cpp - Data holders on forms and data modules, found by ID ===//
#include "plot/TDataSeries.h"

#include "plot/TPlotHolder.h"
#include "tests/platform/ui/UiFixture.h"

#include "platform/ui/components/Published.h"
#include "platform/ui/components/TDataModule.h"
#include "platform/ui/forms/TForm.h"

#include <vector>

namespace {

class TPlotDataModule : public TDataModule {
public:
    using TDataModule::TDataModule;
    TPlotHolder* Rows = nullptr;
};

const PublishedClass& PlotDataModuleClass = PublishClass<TPlotDataModule, TDataModule>(
    "TPlotDataModule", [](Published<TPlotDataModule>& P) { P.Field("Rows", &TPlotDataModule::Rows); });

class PlotHolderTest : public UiTest {};

TPlotHolder* HolderOn(TComponent* Owner, const std::string& ID)
{
    auto* Holder = new TPlotHolder(Owner);
    Holder->ID = ID;
    return Holder;
}

TEST_F(PlotHolderTest, AHolderIsReadFromItsResourceAndFeedsASeries)
{
    auto* Module = TDataModule::Create<TPlotDataModule>(Application);
    ASSERT_NE(Module->Rows, nullptr);
    const TPlotHolder& H = *Module->Rows;
    EXPECT_EQ(H.GetTextseparators(), "T;");
    EXPECT_EQ(H.TextMarkers, "\"");
    EXPECT_EQ(H.XPaddingPolicy, ppTotal);
    EXPECT_EQ(H.YPaddingPolicy, ppExtra);
    EXPECT_EQ(H.YPadCount, 4);
    ASSERT_EQ(H.Getdata().Count(), 3);

    // The series splits the rows with its own separators, not the holder's.
    TDataSeries S;
    S.DataSource = 5;
    S.DatasourceInfo = "energies";
    S.TextSeparators = ",";
    S.ReloadFromSource();
    EXPECT_EQ(S.GetCount(), 0);
    S.TextSeparators = ";";
    S.ReloadFromSource();
    std::vector<std::pair<double, double>> Points;
    for (const TPointNode* N = S.FirstPoint(); N; N = N->Next)
        Points.push_back({ N->X, N->Y });
    EXPECT_EQ(Points, (std::vector<std::pair<double, double>> { { 1, 2 }, { 3, 4 } }));
}

TEST_F(PlotHolderTest, DataModulesAreSearchedBeforeFormsAndIDsMatchExactly)
{
    auto* Form = new TForm(Application);
    HolderOn(Form, "other");
    const TPlotHolder* OnForm = HolderOn(Form, "rows");
    auto* Module = new TDataModule(Application);
    const TPlotHolder* InModule = HolderOn(Module, "rows");
    EXPECT_EQ(FindPlotHolder("rows"), InModule);
    EXPECT_EQ(FindPlotHolder("Rows"), nullptr);
    delete Module;
    EXPECT_EQ(FindPlotHolder("rows"), OnForm);
    EXPECT_EQ(FindPlotHolder(""), nullptr);
}

TEST_F(PlotHolderTest, SettingTheRowsCopiesThemAndTellsTheOwner)
{
    TPlotHolder H(nullptr);
    EXPECT_EQ(H.GetTextseparators(), "T,"); // TAB and comma, the TAB shown as T
    int Changes = 0;
    H.OnChange = [&](TObject*) { ++Changes; };
    TStringList Rows;
    Rows.Add("1,2");
    H.Setdata(Rows);
    Rows.Add("3,4");
    EXPECT_EQ(H.Getdata().Count(), 1);
    EXPECT_EQ(Changes, 1);
}

} // namespace
