// Class names come from Qt's meta objects, which include the C++ namespace; the IDE's names
// are the bare class names, so the part after the last "::" is the name.
#include "toolsapi/ClassNames.h"

#include <algorithm>
#include <cctype>
#include <QWidget>

namespace kolva {

namespace {

bool SameText(const std::string& A, const std::string& B) {
    return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(), [](char X, char Y) {
               return std::tolower(static_cast<unsigned char>(X)) ==
                      std::tolower(static_cast<unsigned char>(Y));
           });
}

} // namespace

std::string ClassNameOf(const QObject* Object) {
    if (!Object) return {};
    std::string name = Object->metaObject()->className();
    auto colon = name.rfind("::");
    return colon == std::string::npos ? name : name.substr(colon + 2);
}

QWidget* FindControlOfClass(QWidget* Form, const std::string& ClassName) {
    if (!Form) return nullptr;
    for (QObject* child : Form->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (!widget) continue;
        if (SameText(ClassNameOf(widget), ClassName)) return widget;
        if (QWidget* found = FindControlOfClass(widget, ClassName)) return found;
    }
    return nullptr;
}

QWidget* OutermostForm(QWidget* Widget) {
    return Widget ? Widget->window() : nullptr;
}

bool CanFocus(const QWidget* Widget) {
    return Widget && Widget->isEnabled() && Widget->isVisible() &&
           Widget->focusPolicy() != Qt::NoFocus;
}

} // namespace kolva
