// The process-wide clipboard, plain text only. The core reaches it through `Clipboard()`;
// until the GUI installs the desktop clipboard, an in-memory one stands in, so the command
// line and the tests copy and paste without any window system.
#pragma once

#include <string>
#include <string_view>

namespace kolva {

/// A plain-text clipboard.
class IClipboard {
public:
    virtual ~IClipboard() = default;
    /// Whether the clipboard holds text (an empty text counts as text).
    virtual bool HasText() const = 0;
    /// The text held; empty when there is none.
    virtual std::string GetText() const = 0;
    /// Replaces the clipboard's content with Text.
    virtual void SetText(std::string_view Text) = 0;
    /// Leaves the clipboard without text.
    virtual void Clear() = 0;
};

/// The clipboard in use.
IClipboard& Clipboard();

/// Installs Service as the clipboard (not owned; it must outlive its use) and returns the
/// one it replaces; nullptr goes back to the process's in-memory clipboard.
IClipboard* SetClipboard(IClipboard* Service);

} // namespace kolva
