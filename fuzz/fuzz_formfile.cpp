// Arbitrary bytes as a text form file. Malformed text must end in EFormFileError and nothing
// else; text that reads must write back byte for byte, give a consistent tree of objects and
// bindings inside the text, and stay readable after a rename or deletion chosen from the
// input (the same edits the designer makes).
#include "platform/FormFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace kolva;

namespace {

void Check(bool Condition) {
    if (!Condition) std::abort();
}

void CheckShape(const TFormFile& Form) {
    const auto& objects = Form.Objects();
    Check(!objects.empty() && objects[0].Parent == -1 && objects[0].Depth == 0);
    for (size_t i = 0; i < objects.size(); ++i) {
        const TFormObject& object = objects[i];
        Check(object.StartLine <= object.EndLine && object.EndLine < Form.LineCount());
        Check(object.Start < object.End);
        if (i == 0) continue;
        Check(object.Parent >= 0 && size_t(object.Parent) < i);
        const TFormObject& parent = objects[object.Parent];
        Check(object.Depth == parent.Depth + 1);
        Check(parent.Start < object.Start && object.End < parent.End);
        Check(Form.BlockEnd(object.Parent) > int(i));
    }
    for (const auto* list : {&Form.Events(), &Form.References()})
        for (const TFormBinding& binding : *list) {
            Check(binding.Object >= 0 && size_t(binding.Object) < objects.size());
            Check(binding.Line < Form.LineCount() && binding.Start < binding.End);
            const TFormObject& owner = objects[binding.Object];
            Check(owner.Start < binding.Start && binding.End < owner.End);
        }
}

uint32_t Hash(const uint8_t* Data, size_t Size) {
    uint32_t h = 2166136261u;
    for (size_t i = 0; i < Size; ++i)
        h = (h ^ Data[i]) * 16777619u;
    return h;
}

// The edit, and whether the text still reads, back and forth.
void EditAndReread(TFormFile& Form, uint32_t Choice) {
    const int count = static_cast<int>(Form.Objects().size());
    const int index = static_cast<int>((Choice >> 2) % count);
    switch (Choice % 4) {
    case 0:
        if (Form.Objects()[index].Name.empty()) return;
        Form.RenameObject(index, "Renamed");
        Check(Form.Objects()[index].Name == "Renamed");
        break;
    case 1: {
        if (index == 0) return;
        const int gone = Form.BlockEnd(index) - index;
        Form.DeleteObject(index);
        Check(static_cast<int>(Form.Objects().size()) == count - gone);
        break;
    }
    case 2: {
        if (Form.Events().empty()) return;
        const std::string old = Form.Events()[index % Form.Events().size()].Value;
        Check(Form.RenameHandler(old, "Handler") > 0);
        break;
    }
    case 3:
        Form.SetClassName(index, "TRenamed");
        Check(Form.Objects()[index].ClassName == "TRenamed");
        break;
    }
    CheckShape(Form);
    const std::string text = Form.Text();
    const TFormFile again(text);
    Check(again.Text() == text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const std::string text(reinterpret_cast<const char*>(Data), Size);
    TFormFile form;
    try {
        form.SetText(text);
    } catch (const EFormFileError&) {
        return 0;
    }
    Check(form.Text() == text);
    CheckShape(form);
    EditAndReread(form, Hash(Data, Size));
    return 0;
}
