// The text goes in and out through Scintilla's byte interface rather than QString, so that a
// unit's bytes survive unchanged whatever its encoding; only the display decides between
// UTF-8 and Latin-1.
#include "host/EditControl.h"

#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QMenu>
#include <Qsci/qscilexerpascal.h>
#include <QString>

namespace kolva {

TEditControl::TEditControl(QWidget* Parent, QMenu* LocalMenu)
    : QsciScintilla(Parent), FLocalMenu(LocalMenu) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    auto* lexer = new QsciLexerPascal(this);
    lexer->setDefaultFont(font);
    lexer->setFont(font);
    QFont bold = font;
    bold.setBold(true);
    lexer->setFont(bold, QsciLexerPascal::Keyword);
    setLexer(lexer);
    setEolMode(EolWindows);
    setMarginType(0, NumberMargin);
    setMarginLineNumbers(0, true);
    setMarginsFont(font);
    setMarginWidth(0, QStringLiteral("000000"));
    setFolding(BoxedTreeFoldStyle, 2);
    setBraceMatching(SloppyBraceMatch);
    setCaretLineVisible(true);
    setCaretLineBackgroundColor(QColor(0xee, 0xf4, 0xff));
    setAutoIndent(true);
    setTabWidth(8);
    setIndentationsUseTabs(false);
}

std::string TEditControl::Bytes() const {
    int length = Length();
    auto* self = const_cast<TEditControl*>(this);
    auto* data = reinterpret_cast<const char*>(self->SendScintilla(SCI_GETCHARACTERPOINTER));
    return length > 0 ? std::string(data, length) : std::string();
}

int TEditControl::Length() const {
    return static_cast<int>(SendScintilla(SCI_GETLENGTH));
}

void TEditControl::LoadBytes(std::string_view Bytes) {
    bool utf8 = QString::fromUtf8(Bytes.data(), static_cast<int>(Bytes.size())).toUtf8() ==
                QByteArray(Bytes.data(), static_cast<int>(Bytes.size()));
    setUtf8(utf8);
    bool readOnly = isReadOnly();
    setReadOnly(false);
    std::string text(Bytes); // a NUL inside is text too, so no C string call
    SendScintilla(SCI_CLEARALL);
    SendScintilla(SCI_APPENDTEXT, static_cast<unsigned long>(text.size()), text.c_str());
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    setReadOnly(readOnly);
    setModified(false);
}

void TEditControl::ReplaceRange(int From, int To, std::string_view Text) {
    SendScintilla(SCI_SETTARGETSTART, static_cast<unsigned long>(From));
    SendScintilla(SCI_SETTARGETEND, static_cast<unsigned long>(To));
    std::string text(Text);
    SendScintilla(SCI_REPLACETARGET, static_cast<unsigned long>(text.size()), text.c_str());
}

void TEditControl::contextMenuEvent(QContextMenuEvent* Event) {
    FLocalMenu->exec(Event->globalPos());
}

} // namespace kolva
