//===- component_ownership_test.cpp - Owners free their components; names; notifications -===//
#include "platform/rtl/Exception.h"

#include "tests/platform/ui/TestClasses.h"

#include "platform/ui/components/TComponent.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Log;

/// Logs its destruction and every notification it hears.
class TLogged : public TComponent {
public:
    TLogged(TComponent* AOwner, const std::string& AName) : TComponent(AOwner) { SetName(AName); }
    ~TLogged() override { Log.push_back("~" + GetName()); }

    TComponent* Watched = nullptr;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        TComponent::Notification(AComponent, Operation);
        Log.push_back(GetName() + (Operation == opInsert ? " +" : " -") + AComponent->GetName());
        if (Operation == opRemove && AComponent == Watched)
            Watched = nullptr;
    }
};

class ComponentTest : public ::testing::Test {
protected:
    void SetUp() override { Log.clear(); }
};

TEST_F(ComponentTest, OwnerFreesItsComponentsNewestFirst)
{
    auto Owner = std::make_unique<TLogged>(nullptr, "Owner");
    new TLogged(Owner.get(), "A");
    new TLogged(Owner.get(), "B");
    new TLogged(Owner.get(), "C");
    ASSERT_EQ(Owner->ComponentCount(), 3);
    EXPECT_EQ(Owner->Components(0)->GetName(), "A");
    EXPECT_EQ(Owner->Components(2)->GetName(), "C");
    Log.clear();
    Owner.reset();
    std::vector<std::string> Destroyed;
    for (const std::string& L : Log)
        if (L[0] == '~')
            Destroyed.push_back(L);
    EXPECT_EQ(Destroyed, (std::vector<std::string> { "~Owner", "~C", "~B", "~A" }))
        << "the owner's own destructor body runs first, then its components go newest first";
}

TEST_F(ComponentTest, ComponentFreedEarlyLeavesTheListAndSiblingsHearOfIt)
{
    TLogged Owner(nullptr, "Owner");
    auto* Menu = new TLogged(&Owner, "Menu");
    auto* Button = new TLogged(&Owner, "Button");
    Button->Watched = Menu;
    Log.clear();

    delete Menu;
    EXPECT_EQ(Owner.ComponentCount(), 1);
    EXPECT_EQ(Owner.Components(0), Button);
    EXPECT_EQ(Owner.FindComponent("Menu"), nullptr);
    EXPECT_EQ(Button->Watched, nullptr) << "the sibling dropped its pointer";
    EXPECT_EQ(Log, (std::vector<std::string> { "~Menu", "Button -Menu", "Owner -Menu" }));
}

TEST_F(ComponentTest, OwnerAndSiblingsHearOfInsertion)
{
    TLogged Owner(nullptr, "Owner");
    new TLogged(&Owner, "First");
    Log.clear();
    auto Second = std::make_unique<TLogged>(nullptr, "Second");
    Owner.InsertComponent(std::move(Second));
    EXPECT_EQ(Log, (std::vector<std::string> { "First +Second", "Owner +Second" }));
}

TEST_F(ComponentTest, FindComponentIgnoresCase)
{
    TComponent Owner(nullptr);
    auto* Button = new TComponent(&Owner);
    Button->SetName("btn_Start");
    EXPECT_EQ(Owner.FindComponent("BTN_START"), Button);
    EXPECT_EQ(Owner.FindComponent("btn_start"), Button);
    EXPECT_EQ(Owner.FindComponent("btn_stop"), nullptr);
    EXPECT_EQ(Owner.FindComponent(""), nullptr) << "unnamed components are never found";
    new TComponent(&Owner); // unnamed
    EXPECT_EQ(Owner.FindComponent(""), nullptr);
}

TEST_F(ComponentTest, NamesMustBeIdentifiersAndUniqueWithinTheOwner)
{
    TComponent Owner(nullptr);
    auto* A = new TComponent(&Owner);
    auto* B = new TComponent(&Owner);
    A->SetName("Label1");
    try {
        B->SetName("LABEL1");
        ADD_FAILURE() << "a name that differs only in case was accepted";
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message(), "A component named LABEL1 already exists");
    }
    EXPECT_EQ(B->GetName(), "");
    for (const char* Bad : { "1abc", "a b", "a-b", "a.b", "\xE4rger" }) {
        try {
            B->SetName(Bad);
            ADD_FAILURE() << "accepted " << Bad;
        } catch (const Exception& E) {
            EXPECT_EQ(E.Message(), std::string("'") + Bad + "' is not a valid component name");
        }
    }
    B->SetName("_label_2");
    EXPECT_EQ(B->GetName(), "_label_2");
    A->SetName("label1"); // its own name in another case
    EXPECT_EQ(A->GetName(), "label1");
    A->SetName("");
    EXPECT_EQ(A->GetName(), "");
}

TEST_F(ComponentTest, ComponentsIndexOutOfBoundsRaises)
{
    TComponent Owner(nullptr);
    new TComponent(&Owner);
    EXPECT_THROW(Owner.Components(1), EListError);
    EXPECT_THROW(Owner.Components(-1), EListError);
}

TEST_F(ComponentTest, OwnershipMovesBetweenOwners)
{
    TComponent First(nullptr), Second(nullptr);
    auto* C = new TTestMenu(&First);
    C->SetName("Menu");
    std::unique_ptr<TComponent> Held = First.RemoveComponent(C);
    EXPECT_EQ(First.ComponentCount(), 0);
    EXPECT_EQ(C->Owner(), nullptr);
    Second.InsertComponent(std::move(Held));
    EXPECT_EQ(Held, nullptr);
    EXPECT_EQ(C->Owner(), &Second);
    EXPECT_EQ(Second.FindComponent("menu"), C);
    EXPECT_THROW(First.RemoveComponent(C), Exception) << "not First's any more";
}

TEST_F(ComponentTest, InsertRefusesATakenNameAndLeavesTheComponentWithTheCaller)
{
    TComponent Owner(nullptr);
    (new TComponent(&Owner))->SetName("Menu");
    auto Other = std::make_unique<TComponent>(nullptr);
    Other->SetName("MENU");
    EXPECT_THROW(Owner.InsertComponent(std::move(Other)), Exception);
    ASSERT_NE(Other, nullptr);
    EXPECT_EQ(Other->Owner(), nullptr);
    EXPECT_EQ(Owner.ComponentCount(), 1);
}

TEST_F(ComponentTest, FreeNotificationReachesComponentsOfOtherOwners)
{
    TLogged FormA(nullptr, "FormA");
    TLogged FormB(nullptr, "FormB");
    auto* Menu = new TLogged(&FormA, "Menu");
    auto* User = new TLogged(&FormB, "User");
    User->Watched = Menu;
    Menu->FreeNotification(User);
    delete Menu;
    EXPECT_EQ(User->Watched, nullptr);

    // Once removed, the link is gone both ways.
    auto* Menu2 = new TLogged(&FormA, "Menu2");
    User->Watched = Menu2;
    Menu2->FreeNotification(User);
    Menu2->RemoveFreeNotification(User);
    delete Menu2;
    EXPECT_EQ(User->Watched, Menu2) << "no notification after RemoveFreeNotification";
    User->Watched = nullptr;
}

TEST_F(ComponentTest, ListenerThatGoesFirstIsNotCalledLater)
{
    TLogged FormA(nullptr, "FormA");
    auto* Menu = new TLogged(&FormA, "Menu");
    {
        TLogged Listener(nullptr, "Listener");
        Menu->FreeNotification(&Listener);
    }
    Log.clear();
    delete Menu; // the sanitizer would report a call into the dead listener
    EXPECT_EQ(Log, (std::vector<std::string> { "~Menu", "FormA -Menu" }));
}

TEST_F(ComponentTest, DestroyComponentsEmptiesTheOwner)
{
    const int Before = TTestControl::Alive;
    TComponent Owner(nullptr);
    new TTestControl(&Owner);
    new TTestControl(&Owner);
    EXPECT_EQ(TTestControl::Alive, Before + 2);
    Owner.DestroyComponents();
    EXPECT_EQ(Owner.ComponentCount(), 0);
    EXPECT_EQ(TTestControl::Alive, Before);
}

TEST_F(ComponentTest, ClassNameIsThePublishedName)
{
    TComponent Plain(nullptr);
    TTestMenu Menu(nullptr);
    TLogged Unpublished(nullptr, "X");
    EXPECT_EQ(Plain.ClassName(), "TComponent");
    EXPECT_EQ(Menu.ClassName(), "TTestMenu");
    EXPECT_NE(Unpublished.ClassName().find("TLogged"), std::string::npos) << Unpublished.ClassName();
}

TEST_F(ComponentTest, AssignBetweenUnrelatedClassesRaises)
{
    TTestFont Font;
    TTestFont Other;
    Other.Name = "Arial";
    Font.Assign(Other);
    EXPECT_EQ(Font.Name, "Arial");
    TTestMenu Menu(nullptr);
    try {
        Font.Assign(Menu);
        ADD_FAILURE() << "no exception";
    } catch (const EConvertError& E) {
        EXPECT_EQ(E.Message(), "Cannot assign a TTestMenu to a TTestFont");
    }
}

} // namespace
