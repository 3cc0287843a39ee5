// Arbitrary text pasted into a small realistic unit: into the unit, a class, an interface, an
// object type, a method or a procedure. Every input must end in one of the system's messages
// with the unit left exactly as it was, or in a pasted unit that parses with its routines
// linked, never in a crash, a hang or a sanitizer report. Questions are answered OK, so text
// without a signature is pasted as members.
//
// Input: one byte choosing the target (and, in its high bit, a signature line put in front
// of the text from the next byte), then the buffer's text.
#include "editing/KolvaEditors.h"
#include "editing/MemoryEditor.h"
#include "platform/Dialogs.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace kolva;

namespace {

void Check(bool Condition) {
    if (!Condition) std::abort();
}

class TAnswerOk : public TMessageService {
public:
    TModalResult MessageDlg(const std::string&, TMsgDlgType, TMsgDlgButtons Buttons) override {
        return Buttons.Contains(mbOK) ? mrOk : Buttons.Contains(mbYes) ? mrYes : mrOk;
    }
};

const char* const Unit = R"(unit Sample;

interface

uses
  Classes;

type
  IShape = interface
    ['{0E3A2D55-4B1C-4F7E-9D21-6B8A0C3F1E77}']
    procedure Draw;
  end;

  TShape = class(TInterfacedObject, IShape)
  private
    FSize: Integer;
    function GetSize: Integer;
  public
    constructor Create;
    procedure Draw; virtual;
    property Size: Integer read GetSize write FSize;
  end;

  TPoint3 = object
    X, Y: Integer;
    procedure Move(DX: Integer);
  end;

procedure Run(Count: Integer);

implementation

constructor TShape.Create;
begin
  inherited Create;
end;

function TShape.GetSize: Integer;
begin
  Result := FSize;
end;

procedure TShape.Draw;
begin
end;

procedure TPoint3.Move(DX: Integer);
begin
  Inc(X, DX);
end;

procedure Run(Count: Integer);

  procedure Step;
  begin
  end;

var
  I: Integer;
begin
  for I := 1 to Count do
    Step;
end;

end.
)";

// Every routine linked both ways and every placed item inside the text.
void CheckModel(const TCodeItem& Item, int LineCount) {
    if (const auto* proc = dynamic_cast<const TProcItem*>(&Item)) {
        if (proc->ImplementationLink())
            Check(proc->ImplementationLink()->DeclarationLink() == proc);
        if (proc->DeclarationLink()) Check(proc->DeclarationLink()->ImplementationLink() == proc);
    }
    if (Item.StartLine >= 0) Check(Item.LastLine() < LineCount);
    for (const TCodeItem* child : Item.Children())
        CheckModel(*child, LineCount);
}

TCodeItem* Find(TModuleExplorer& Explorer, const char* Owner, const char* Name) {
    TCodeItem* item = &Explorer.Module();
    for (const char* name : {Owner, Name}) {
        if (!name) continue;
        const int at = item->FindChild(TCodeItems::All(), name);
        Check(at >= 0);
        item = item->Child(at);
    }
    return item;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size < 2) return 0;
    static const bool installed = [] {
        SetMessageService(std::make_unique<TAnswerOk>());
        return true;
    }();
    (void)installed;
    const uint8_t choice = Data[0];
    std::string text(reinterpret_cast<const char*>(Data + 1), Size - 1);
    if (choice & 0x80) text = std::string(CopySignature(TCopyKind(Data[1] % 4))) + "\n" + text;

    TMemoryEditor unit("Sample.pas");
    unit.Text().SetText(Unit);
    TModuleExplorer explorer;
    unit.OnEditEnd = [&] { explorer.Parse(&unit.Text()); };
    explorer.Parse(&unit.Text());
    TKolvaEditor editor(explorer, &unit);
    struct TTarget {
        const char* Reference[2];
        const char* Target[2];
    };
    static const TTarget targets[] = {
        {{nullptr, nullptr}, {nullptr, nullptr}},   {{"TShape", nullptr}, {"TShape", nullptr}},
        {{"IShape", nullptr}, {"IShape", nullptr}}, {{"TPoint3", nullptr}, {"TPoint3", nullptr}},
        {{"TShape", "Draw"}, {"TShape", nullptr}},  {{"Run", nullptr}, {nullptr, nullptr}},
        {{"IShape", "Draw"}, {"IShape", nullptr}},  {{"TShape", "FSize"}, {"TShape", nullptr}}};
    const TTarget& t = targets[(choice & 0x7f) % std::size(targets)];
    TCodeItem* reference = Find(explorer, t.Reference[0], t.Reference[1]);
    TCodeItem* target = Find(explorer, t.Target[0], t.Target[1]);

    TStringList lines;
    lines.SetText(text);
    const std::string before = unit.Text().Text();
    try {
        editor.PasteText(reference, target, lines);
    } catch (const Exception&) {
        Check(unit.Text().Text() == before);
        Check(!unit.IsEditing());
        return 0;
    }
    Check(!unit.IsEditing());
    CheckModel(explorer.Module(), unit.Text().Count());
    return 0;
}
