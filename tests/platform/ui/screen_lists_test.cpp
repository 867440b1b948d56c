//===- screen_lists_test.cpp - The screen's forms and data modules, window handles ===//
#include "tests/platform/ui/UiFixture.h"

#include "platform/ui/components/Published.h"
#include "platform/ui/controls/StdCtrls.h"
#include "platform/ui/components/TDataModule.h"
#include "platform/ui/forms/TForm.h"
#include "platform/ui/forms/TScreen.h"

#include <string>
#include <vector>

namespace {

// A component that a data module holds, found by its ID as the plot's holder lookup does.
class TUiDataHolder : public TComponent {
public:
    using TComponent::TComponent;
    std::string ID;
};

class TUiDataModule : public TDataModule {
public:
    using TDataModule::TDataModule;
    TUiDataHolder* Holder1 = nullptr;
    TUiDataHolder* Holder2 = nullptr;
    int Created = 0;
    void DataModuleCreate(TObject*) { ++Created; }
};

const PublishedClass& UiDataHolderClass = PublishClass<TUiDataHolder, TComponent>(
    "TUiDataHolder", [](Published<TUiDataHolder>& P) { P.String("ID", &TUiDataHolder::ID); });

const PublishedClass& UiDataModuleClass =
    PublishClass<TUiDataModule, TDataModule>("TUiDataModule", [](Published<TUiDataModule>& P) {
        P.Notify("DataModuleCreate", &TUiDataModule::DataModuleCreate);
        P.Field("Holder1", &TUiDataModule::Holder1);
        P.Field("Holder2", &TUiDataModule::Holder2);
    });

class ScreenListsTest : public UiTest {};

std::vector<TForm*> screenForms()
{
    std::vector<TForm*> Forms;
    for (int I = 0; I < Screen->FormCount(); ++I)
        Forms.push_back(Screen->Forms(I));
    return Forms;
}

std::vector<TDataModule*> screenDataModules()
{
    std::vector<TDataModule*> Modules;
    for (int I = 0; I < Screen->DataModuleCount(); ++I)
        Modules.push_back(Screen->DataModules(I));
    return Modules;
}

TEST_F(ScreenListsTest, FormsAndDataModulesAreListedInCreationOrderUntilFreed)
{
    auto* A = new TForm(Application);
    auto* M1 = new TDataModule(Application);
    auto* B = new TForm(Application);
    auto* M2 = new TDataModule(Application);
    auto* C = new TForm(Application);
    // Activating a later form must not reorder the list: lookups walk it in creation order.
    A->Show();
    C->Show();
    B->Show();
    EXPECT_EQ(screenForms(), (std::vector<TForm*> { A, B, C }));
    EXPECT_EQ(screenDataModules(), (std::vector<TDataModule*> { M1, M2 }));

    delete B;
    delete M1;
    EXPECT_EQ(screenForms(), (std::vector<TForm*> { A, C }));
    EXPECT_EQ(screenDataModules(), (std::vector<TDataModule*> { M2 }));
    EXPECT_THROW(Screen->Forms(2), EListError);
    EXPECT_THROW(Screen->DataModules(-1), EListError);
}

TEST_F(ScreenListsTest, ADataModuleIsReadFromItsResourceAndNeverBecomesTheMainForm)
{
    TUiDataModule* Module = nullptr;
    Application->CreateForm(Module);
    ASSERT_NE(Module, nullptr);
    EXPECT_EQ(Application->GetMainForm(), nullptr);
    EXPECT_EQ(Module->GetName(), "UiDataModule");
    EXPECT_EQ(Module->Created, 1);
    EXPECT_EQ(Module->Width, 215);
    ASSERT_EQ(Module->ComponentCount(), 2);
    EXPECT_EQ(Module->Components(0), Module->Holder1);
    EXPECT_EQ(Module->Holder1->ID, "rows");
    EXPECT_EQ(Module->Components(1), Module->Holder2);
    EXPECT_EQ(Module->Holder2->ID, "more rows");
    EXPECT_EQ(screenDataModules(), (std::vector<TDataModule*> { Module }));

    auto* Second = TDataModule::Create<TUiDataModule>(nullptr);
    EXPECT_EQ(Second->GetName(), "UiDataModule");
    EXPECT_EQ(screenDataModules(), (std::vector<TDataModule*> { Module, Second }));
    delete Second;
}

TEST_F(ScreenListsTest, AControlHasAHandleOnlyOnceItSitsOnAForm)
{
    auto* Form = new TForm(Application);
    auto* Button = new TButton(Form);
    EXPECT_TRUE(Form->HandleAllocated());
    EXPECT_FALSE(Button->HandleAllocated());
    Button->SetParent(Form);
    EXPECT_TRUE(Button->HandleAllocated());
}

} // namespace
