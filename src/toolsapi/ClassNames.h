// Reading the IDE's shared widgets as the add-in expects them: by class name ("TEditWindow",
// "TEditControl") and by component name ("EditorLocalMenu"), as forms are searched in the IDE.
#pragma once

#include <string>

class QObject;
class QWidget;

namespace kolva {

/// The class name of Object without its namespace ("TEditControl"); "" for nil.
std::string ClassNameOf(const QObject* Object);

/// The first descendant of Form (depth first, in child order) whose class name is ClassName,
/// compared without case; nil when none.
QWidget* FindControlOfClass(QWidget* Form, const std::string& ClassName);

/// The outermost window holding Widget (Widget itself when it has no parent).
QWidget* OutermostForm(QWidget* Widget);

/// The widget can take the keyboard focus: enabled and visible, as are its parents.
bool CanFocus(const QWidget* Widget);

} // namespace kolva
