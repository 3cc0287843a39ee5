#include "model/CodeItems.h"

#include "platform/SysUtils.h"
#include "support/Raised.h"
#include "support/ScriptedDialogs.h"

#include <tuple>

#include <gtest/gtest.h>

namespace kolva {
namespace {

using test::ErrorOf;

TEST(CodeItemTexts, Classes) {
    TModuleItem module;
    auto* foo = new TClassItem(&module);
    foo->Name = "TFoo";
    EXPECT_EQ(foo->GetDeclaration(), "TFoo = class(TObject)");
    foo->InterfacesText = "IOne, ITwo";
    EXPECT_EQ(foo->GetDeclaration(), "TFoo = class(TObject, IOne, ITwo)");

    auto* root = new TClassItem(&module);
    root->Name = "tobject";
    EXPECT_EQ(root->GetDeclaration(), "tobject = class");

    auto* intf = new TClassItem(&module, 1);
    intf->Name = "IFoo";
    intf->InterfacesText = "'{6A1F3C52-8E0B-4C1D-9A77-2B5E4F1D0C93}'";
    EXPECT_EQ(intf->Kind(), ckInterface);
    EXPECT_EQ(intf->GetDeclaration(),
              "IFoo = interface(IUnknown)\r\n['{6A1F3C52-8E0B-4C1D-9A77-2B5E4F1D0C93}']");
    EXPECT_EQ(intf->Interfaces().Count(), 0) << "an interface's text is its GUID";

    auto* obj = new TClassItem(&module, 2);
    obj->Name = "TRec";
    EXPECT_EQ(obj->GetDeclaration(), "TRec = object");
    obj->SetClassKindIndex(3);
    EXPECT_EQ(obj->GetDeclaration(), "TRec = dispinterface");
    EXPECT_EQ(foo->GetDisplayText(), "TFoo");
}

TEST(CodeItemTexts, Methods) {
    TModuleItem module;
    TClassItem cls(&module);
    auto* paint = new TMethodItem(&cls);
    paint->Name = "WMPaint";
    paint->Params = "var Msg: TWMPaint";
    paint->SetBinding(bkMessage);
    paint->SetDataTypeText("WM_PAINT");
    EXPECT_EQ(paint->GetDeclaration(), "procedure WMPaint(var Msg: TWMPaint); message WM_PAINT;");

    auto* make = new TMethodItem(&cls);
    make->Name = "Make";
    make->ProcKind = pkFunction;
    make->ClassMethod = true;
    make->SetDataTypeText("TFoo");
    make->SetBinding(bkAbstract);
    make->CallConvention = ccStdCall;
    make->Directives.Include(pdOverload).Include(pdReintroduce);
    make->DispID = "7";
    EXPECT_EQ(make->GetDeclaration(), "class function Make: TFoo; reintroduce; overload; "
                                      "virtual; stdcall; abstract; dispid 7;");
    EXPECT_EQ(make->GetDisplayText(), "class Make: TFoo;");

    auto* impl = new TMethodImplItem(&module);
    impl->AssignDeclaration(*make);
    impl->ClassName = "TFoo";
    impl->Params = "A: Integer";
    EXPECT_EQ(impl->GetDeclaration(), "class function TFoo.Make(A: Integer): TFoo;");
    EXPECT_EQ(impl->GetQualifiedName(), "TFoo.Make");
    EXPECT_EQ(impl->GetDisplayText(), "class Make(A: Integer): TFoo;");
    SetShowParameters(false);
    EXPECT_EQ(impl->GetDisplayText(), "class Make(...): TFoo;");
    SetShowParameters(true);
}

TEST(CodeItemTexts, ProceduresAndOtherMembers) {
    TModuleItem module;
    TProcData proc(&module);
    proc.Name = "Beep";
    proc.Params = "Freq, Duration: DWORD";
    proc.ProcKind = pkFunction;
    proc.SetDataTypeText("boolean");
    proc.CallConvention = ccStdCall;
    proc.Directives.Include(pdExternal).Include(pdOverload);
    proc.ExternalText = "'kernel32.dll'";
    EXPECT_EQ(proc.GetDeclaration(), "function Beep(Freq, Duration: DWORD): Boolean; "
                                     "overload; stdcall; external 'kernel32.dll';");
    EXPECT_EQ(proc.GetDisplayText(), "Beep(Freq, Duration: DWORD): Boolean;");

    TResClauseItem clause(&module);
    clause.Name = "IFoo.Bar";
    clause.ProcKind = pkFunction;
    clause.ImplementingName = "FooBar";
    EXPECT_EQ(clause.GetDeclaration(), "function IFoo.Bar = FooBar;");
    EXPECT_EQ(clause.GetDisplayText(), "IFoo.Bar=FooBar;");
    clause.SetMethodPart("Baz");
    clause.SetInterfacePart("IOther");
    EXPECT_EQ(clause.Name, "IOther.Baz");

    TFieldItem field(&module);
    field.Name = "A, B";
    field.SetDataTypeText("  string ");
    EXPECT_EQ(field.GetDeclaration(), "A, B: string;");
    EXPECT_EQ(field.GetDisplayText(), "A, B: string;");

    TUsesClause uses(&module);
    uses.ClauseText = "Classes, SysUtils";
    EXPECT_EQ(uses.GetDeclaration(), "uses Classes, SysUtils;");
    EXPECT_EQ(uses.GetDisplayText(), "interface uses clause");
    uses.Visibility = scPrivate;
    EXPECT_EQ(uses.GetDisplayText(), "implementation uses clause");

    TVisibilityItem section(&module);
    EXPECT_EQ(section.GetDeclaration(), "");
    EXPECT_EQ(section.GetDisplayText(), "default");
}

TEST(CodeItemTexts, Properties) {
    TModuleItem module;
    TPropertyItem prop(&module);
    prop.Name = "Items";
    prop.Flags = {pfHasParams, pfHasIndex, pfHasStored, pfDefaultArray, pfHasImplements};
    prop.IndexParams = "I: Integer";
    prop.IndexExpr = "3";
    prop.SetDataTypeText("TItem");
    prop.ReadSpec = "GetItem";
    prop.WriteSpec = "SetItem";
    prop.StoredSpec = "False";
    prop.DefaultKind = dkNoDefault;
    prop.DispID = "12";
    prop.ImplementsText = "IItems";
    EXPECT_EQ(prop.GetDeclaration(),
              "property Items[I: Integer]: TItem index 3 read GetItem write SetItem stored "
              "False nodefault dispid 12 implements IItems; default;");
    EXPECT_EQ(prop.GetDisplayText(), "Items[I: Integer] : TItem index 3");
    EXPECT_EQ(prop.ReadMethodParams(), "I: Integer; Index: Integer");
    EXPECT_EQ(prop.WriteMethodParams(true, "Value"),
              "I: Integer; Index: Integer; const Value: TItem");
    prop.Flags = {};
    EXPECT_EQ(prop.ReadMethodParams(), "");
    EXPECT_EQ(prop.WriteMethodParams(false, "AValue"), "AValue: TItem");

    TPropertyItem redecl(&module);
    redecl.Name = "Caption";
    redecl.Flags = {pfRedeclaration};
    redecl.DefaultKind = dkDefault;
    redecl.DefaultValue = "'x'";
    EXPECT_EQ(redecl.GetDeclaration(), "property Caption default 'x';");
    EXPECT_EQ(redecl.GetDisplayText(), "Caption override");
}

TEST(CodeItemTypes, DataTypeTextRules) {
    TModuleItem module;
    TFieldItem field(&module);
    EXPECT_EQ(field.DataTypeText(), "Integer") << "a new member is an Integer";
    field.SetDataTypeText("TList");
    EXPECT_EQ(field.DataType(), dtUserDefined);
    field.SetDataType(dtClass);
    EXPECT_EQ(field.DataTypeText(), "TList") << "the ordinal alone leaves the type name";
    field.SetDataTypeText("Class");
    EXPECT_EQ(field.DataType(), dtUserDefined);
    field.SetDataType(dtByte);
    field.SetTypeName("Ignored");
    EXPECT_EQ(field.TypeName(), "Class");
    field.SetDataTypeText("");
    EXPECT_EQ(field.DataType(), dtVoid);
    TProcData proc(&module);
    EXPECT_EQ(proc.DataType(), dtVoid);
}

TEST(CodeItemBinding, TransitionsFollowTheDirectives) {
    TModuleItem module;
    TMethodItem m(&module);
    m.SetBinding(bkAbstract);
    EXPECT_EQ(m.Binding(), bkVirtual);
    EXPECT_TRUE(m.IsAbstract());
    EXPECT_EQ(m.GetDeclaration(), "procedure ; virtual; abstract;");
    m.SetBinding(bkStatic);
    EXPECT_EQ(m.Directives, TProcDirectives{});
    m.SetBinding(bkMessage);
    m.SetAbstract(true);
    EXPECT_EQ(m.Binding(), bkVirtual) << "abstract makes a message method virtual";
    m.SetBinding(bkOverride);
    m.Directives.Include(pdVirtual).Include(pdDynamic);
    EXPECT_EQ(m.Binding(), bkOverride) << "override is read first";
    m.SetBinding(bkDynamic);
    EXPECT_TRUE(m.IsAbstract()) << "only static and message clear abstract";
    m.SetAbstract(false);
    EXPECT_EQ(m.Directives, TProcDirectives{pdDynamic});
}

TEST(CodeItemTree, ParentsChildrenAndLinks) {
    TModuleItem module;
    auto* cls = new TClassItem(&module);
    auto* method = new TMethodItem(cls);
    EXPECT_EQ(ErrorOf([&] { method->AddChild(cls); }), "Recursion detected");
    EXPECT_EQ(ErrorOf([&] { cls->AddChild(cls); }), "Recursion detected");
    cls->AddChild(method);
    EXPECT_EQ(cls->ChildCount(), 1) << "adding a present child does nothing";
    EXPECT_EQ(method->ModuleOf(), &module);

    auto* impl = new TMethodImplItem(&module);
    TProcItem::Link(method, impl);
    EXPECT_EQ(impl->DeclarationLink(), method);
    delete method;
    EXPECT_EQ(impl->DeclarationLink(), nullptr) << "no dangling link to a freed partner";
    EXPECT_EQ(cls->ChildCount(), 0);

    method = new TMethodItem(&module);
    method->SetParent(cls);
    EXPECT_EQ(module.ChildCount(), 2);
    EXPECT_EQ(method->Parent(), cls);
    delete cls;
    EXPECT_EQ(module.ChildCount(), 1);

    // Items come from a pool, and may still be built in place or owned by smart pointers.
    alignas(TFieldItem) unsigned char place[sizeof(TFieldItem)];
    auto* field = new (place) TFieldItem(&module);
    EXPECT_EQ(module.ChildCount(), 2);
    field->~TFieldItem();
    EXPECT_EQ(module.ChildCount(), 1);
    module.AddChild(std::make_unique<TPropertyItem>(nullptr).release());
    module.ClearChildren();
    EXPECT_EQ(module.ChildCount(), 0);
}

TEST(CodeItemNames, ValidationAndNameSpaces) {
    TModuleItem module;
    TClassItem cls(&module);
    auto* field = new TFieldItem(&cls);
    field->Name = "FOld";
    auto* other = new TFieldItem(&cls);
    other->Name = "Taken, Also";
    auto* method = new TMethodItem(&cls);
    method->Name = "Run";
    TResClauseItem clause(&cls);
    const struct {
        TCodeItem* Item;
        const char* NewName;
        std::string Error;
    } cases[] = {
        {field, "A, B", "(no error)"},
        {field, "A, 1B", "\"1B\" is not a valid field name identifier"},
        {field, " , ", "\" , \" is not a valid field name identifier"},
        {field, "A,,B", "\"A,,B\" is not a valid field name identifier"},
        {field, "A, Taken", "\"Taken\" already exists"},
        {other, "TAKEN, also", "(no error)"},
        {other, "Taken, Also, More", "(no error)"},
        {method, "also", "\"also\" already exists"}, // a name in a field list is taken
        {method, "run!", "\"run!\" is not a valid identifier"},
        {&clause, "IFoo.Bar", "(no error)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ErrorOf([&] { c.Item->CheckNewName(c.Item->Name, c.NewName); }), c.Error)
            << c.NewName;
    for (const char* bad : {"IFooBar", "IFoo.", ".Bar", "IFoo.1"})
        EXPECT_EQ(ErrorOf([&] { clause.CheckNewName("", bad); }),
                  Format("\"%s\" is not a valid interface method name", bad));
}

TEST(CodeItemNames, ProceduresAskBeforeSharingAName) {
    TModuleItem module;
    TProcData first(&module);
    first.Name = "Run";
    TProcData second(&module);
    second.Name = "Other";
    TFieldItem var(&module);
    var.Name = "Count";

    test::TScriptedDialogs dialogs;
    dialogs.Answers = {mrOk, mrCancel};
    EXPECT_EQ(ErrorOf([&] { second.CheckNameSpace("Other", "run"); }), "(no error)");
    EXPECT_THROW(second.CheckNameSpace("Other", "Run"), EAbort);
    ASSERT_EQ(dialogs.Texts.size(), 2u);
    EXPECT_EQ(dialogs.Texts[0],
              "A procedure named run already exists in this name space. Continue?");
    EXPECT_EQ(ErrorOf([&] { second.CheckNameSpace("Other", "Count"); }),
              "\"Count\" already exists");
    EXPECT_EQ(dialogs.Texts.size(), 2u) << "no question for a name taken by a non-routine";
}

TEST(CodeItemNames, UniqueNames) {
    TModuleItem module;
    TClassItem cls(&module);
    for (const char* name : {"Edit1", "Button", "Edit3"})
        (new TFieldItem(&cls))->Name = name;
    TFieldItem fresh(&cls);
    EXPECT_EQ(fresh.UniqueName("Edit1"), "Edit2");
    EXPECT_EQ(fresh.UniqueName("Button"), "Button1");
    EXPECT_EQ(fresh.UniqueName("Memo"), "Memo");
    fresh.Name = "New";
    EXPECT_EQ(fresh.UniqueName("New"), "New") << "an item does not clash with itself";
}

TEST(CodeItemShift, MovesPositionsAtOrAfterTheLine) {
    TModuleItem module;
    TProcData before(&module), after(&module);
    std::tie(before.StartLine, before.DeclEndLine, before.EndLine) = std::tuple(9, 9, 14);
    std::tie(after.StartLine, after.DeclEndLine, after.BodyStartLine, after.EndLine) =
        std::tuple(12, 12, 13, 15);
    auto* local = new TProcData(&after);
    local->StartLine = 20;

    module.ShiftLinesDeleted(nullptr, 10, 3);
    EXPECT_EQ(before.StartLine, 9);
    EXPECT_EQ(before.EndLine, 11);
    EXPECT_EQ(after.StartLine, 9);
    EXPECT_EQ(after.BodyStartLine, 10);
    EXPECT_EQ(local->StartLine, 17);

    module.ShiftLinesInserted(&after, 9, 2);
    EXPECT_EQ(after.StartLine, 9) << "the changed item keeps its own lines";
    EXPECT_EQ(local->StartLine, 19) << "but its children move";
    EXPECT_EQ(before.StartLine, 11);
}

TEST(CodeItemAssign, CopiesDeclarationDataAndPositions) {
    TModuleItem module;
    TProcData source(&module);
    source.Name = "P";
    std::tie(source.StartLine, source.DeclEndLine, source.BodyStartLine) = std::tuple(4, 6, 0);
    source.Implied = true;
    source.InInterface = true;
    source.Params = "A: Integer";
    source.Directives = {pdForward};
    TProcData copy(nullptr);
    copy.Assign(source);
    EXPECT_EQ(copy.GetDeclaration(), "procedure P(A: Integer); forward;");
    EXPECT_EQ(copy.BodyStartLine, 6) << "the largest of body start, declaration end, start";
    EXPECT_TRUE(copy.Implied);
    EXPECT_TRUE(copy.InInterface);
    EXPECT_EQ(copy.Parent(), nullptr);

    TMethodItem method(nullptr);
    method.AssignDeclaration(source);
    EXPECT_EQ(method.Params, "A: Integer") << "routine data crosses routine kinds";
    EXPECT_EQ(method.StartLine, -1) << "but positions do not";
}

} // namespace
} // namespace kolva
