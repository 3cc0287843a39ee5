// The source editor control of the IDE stand-in: a QScintilla editor set up for Object
// Pascal (colouring, line numbers, folding, brace matching), holding the buffer's bytes as
// they are with CR LF line breaks. Its class name is the one the IDE's editor control has.
#pragma once

#include <Qsci/qsciscintilla.h>
#include <string>
#include <string_view>

class QMenu;

namespace kolva {

class TEditControl : public QsciScintilla {
    Q_OBJECT

public:
    /// LocalMenu is the edit window's "EditorLocalMenu", shown on a right click.
    TEditControl(QWidget* Parent, QMenu* LocalMenu);

    /// The text's bytes, exactly as held (no conversion of any kind).
    std::string Bytes() const;
    int Length() const;
    /// Replaces the text without an undo step and marks the text unmodified. Bytes that are
    /// not UTF-8 are shown as Latin-1.
    void LoadBytes(std::string_view Bytes);
    /// Replaces the bytes From..To by Text (no undo bracket of its own).
    void ReplaceRange(int From, int To, std::string_view Text);

protected:
    void contextMenuEvent(QContextMenuEvent* Event) override;

private:
    QMenu* FLocalMenu;
};

} // namespace kolva
