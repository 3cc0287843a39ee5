// The command line's engine operations on procedures: each loads the unit, runs the
// operation the explorer would run, and writes the unit back (or shows the diff).
#include "cli/DeclOption.h"
#include "cli/EngineSession.h"
#include "platform/SysUtils.h"

namespace kolva::cli {

namespace {

// Runs Body on a session over the file named by the first positional argument, which must
// be followed by MinExtra to MaxExtra more.
template <typename TBody>
int WithSession(const TCommandLine& Line, size_t MinExtra, size_t MaxExtra, TBody Body,
                bool Adding = false) {
    TEngineOptions options = ParseEngineOptions(Line);
    options.Adding = Adding;
    const size_t count = options.Positional.size();
    if (count < MinExtra + 1) throw EUsage("missing arguments");
    if (count > MaxExtra + 1)
        throw EUsage(Format("too many arguments: \"%s\"", options.Positional[MaxExtra + 1]));
    TEngineSession session(options, options.Positional[0]);
    Body(session, options);
    return session.Finish();
}

TProcData& Procedure(TCodeItem& Item) {
    auto* proc = dynamic_cast<TProcData*>(&Item);
    if (!proc)
        throw Exception(Format("%s is not a procedure; this operation works on procedures",
                               Item.GetQualifiedName()));
    return *proc;
}

// What the contents tree lets a user drag: a procedure or a method implementation ("TFoo.Bar"
// names the method, whose implementation is meant).
TCodeItem& TopLevelRoutine(TCodeItem& Named) {
    TCodeItem& Item = *TModuleExplorer::ImplementationOf(&Named);
    if ((Item.Kind() != ckProcedure && Item.Kind() != ckMethodImpl) || !Item.Parent() ||
        Item.Parent()->Kind() != ckModule)
        throw Exception(Format("%s is not a procedure or method implementation of the unit",
                               Item.GetQualifiedName()));
    return Item;
}

} // namespace

int RunAddProcedure(const TCommandLine& Line) {
    return WithSession(
        Line, 0, 1,
        [](TEngineSession& s, const TEngineOptions& o) {
            TCodeItem* near = o.Positional.size() > 1 ? &s.Find(o.Positional[1]) : nullptr;
            if (!s.Editor().AddProcedure(near)) Abort();
        },
        true);
}

int RunEdit(const TCommandLine& Line) {
    return WithSession(Line, 1, 1, [](TEngineSession& s, const TEngineOptions& o) {
        if (!s.Editor().EditMember(s.Find(o.Positional[1]))) Abort();
    });
}

int RunRename(const TCommandLine& Line) {
    return WithSession(Line, 2, 2, [](TEngineSession& s, const TEngineOptions& o) {
        TCodeItem& item = s.Find(o.Positional[1]);
        s.Editor().RenameMember(item, Trim(o.Positional[2]));
    });
}

int RunDelete(const TCommandLine& Line) {
    return WithSession(Line, 1, 1, [](TEngineSession& s, const TEngineOptions& o) {
        if (!s.Editor().DeleteMember(s.Find(o.Positional[1]))) Abort();
    });
}

// The commands that add a member to the class named by the second argument.
template <typename TAdd>
int AddMember(const TCommandLine& Line, TAdd Add) {
    return WithSession(
        Line, 1, 1,
        [&](TEngineSession& s, const TEngineOptions& o) {
            TCodeItem& item = s.Find(o.Positional[1]);
            if (!IsClassKind(item.Kind()))
                throw Exception(Format("%s is not a class, interface or object type", item.Name));
            if (!(s.Editor().*Add)(static_cast<TClassItem&>(item))) Abort();
        },
        true);
}

int RunAddField(const TCommandLine& Line) {
    return AddMember(Line, &TKolvaEditor::AddField);
}

int RunAddMethod(const TCommandLine& Line) {
    return AddMember(Line, &TKolvaEditor::AddMethod);
}

int RunAddResClause(const TCommandLine& Line) {
    return AddMember(Line, &TKolvaEditor::AddResClause);
}

int RunAddInterface(const TCommandLine& Line) {
    return WithSession(Line, 2, 2, [](TEngineSession& s, const TEngineOptions& o) {
        TCodeItem& item = s.Find(o.Positional[1]);
        if (item.Kind() != ckClass) throw Exception(Format("%s is not a class", item.Name));
        s.Editor().AddInterfaceToClass(static_cast<TClassItem&>(item),
                                       CheckInterfaceName(o.Positional[2]));
    });
}

int RunMove(const TCommandLine& Line) {
    return WithSession(Line, 2, 2, [](TEngineSession& s, const TEngineOptions& o) {
        TCodeItem& item = TopLevelRoutine(s.Find(o.Positional[1]));
        TCodeItem& target = TopLevelRoutine(s.FindTarget(o.Positional[2]));
        s.Editor().MoveProcedure(item, target);
    });
}

int RunVisibility(const TCommandLine& Line) {
    return WithSession(Line, 2, 2, [](TEngineSession& s, const TEngineOptions& o) {
        TCodeItem& item = s.Find(o.Positional[1]);
        const std::string& where = o.Positional[2];
        TCodeItem* parent = item.Parent();
        if (parent && IsClassKind(parent->Kind())) {
            s.Editor().ChangeVisibility(parent, {&item}, ParseVisibility(where));
            return;
        }
        if (!SameText(where, "interface") && !SameText(where, "implementation"))
            throw Exception(Format("\"%s\" is neither interface nor implementation", where));
        s.Editor().ChangeVisibility(&s.Explorer().Module(), {&Procedure(item)},
                                    SameText(where, "interface") ? scPublic : scPrivate);
    });
}

} // namespace kolva::cli
