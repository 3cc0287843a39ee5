// Test support: an edit buffer held in memory, with one view of a given height, that counts
// the reader's requests and can be told to answer a wrong count.
#pragma once

#include "ide/IDEEditor.h"

#include <string>

namespace kolva::test {

class TFakeEditBuffer final : public TInterfacedObject, public IOTAEditBuffer, public IOTAModule {
public:
    TFakeEditBuffer(std::string FileName, std::string Text)
        : FileName(std::move(FileName)), Text(std::move(Text)) {}
    KOLVA_IMPLEMENT_REFCOUNT

    std::string FileName;
    std::string Text;
    int ViewRows = 30;
    TOTAEditPos Cursor;
    int TopLine = 1;
    int ReadRequests = 0;
    /// When not 0, every read answers this count.
    int WrongCount = 0;
    int Writers = 0;
    bool HasView = true;

    std::string GetFileName() noexcept override { return FileName; }
    TIntf<IOTAModule> GetModule() noexcept override { return static_cast<IOTAModule*>(this); }
    TIntf<IOTAEditBuffer> AsEditBuffer() noexcept override { return this; }
    TIntf<IOTAFormEditor> AsFormEditor() noexcept override { return {}; }
    TIntf<IOTAEditView> GetTopView() noexcept override;
    bool IsReadOnly() noexcept override { return false; }
    void SetIsReadOnly(bool) noexcept override {}
    TIntf<IOTAEditReader> CreateReader() noexcept override;
    TIntf<IOTAEditWriter> CreateUndoableWriter() noexcept override;
    int AddNotifier(IOTAEditorNotifier*) noexcept override { return -1; }
    int AddNotifier(IOTAModuleNotifier*) noexcept override { return -1; }
    void RemoveNotifier(int) noexcept override {}
    int GetModuleFileCount() noexcept override { return 1; }
    TIntf<IOTAEditor> GetModuleFileEditor(int) noexcept override {
        return static_cast<IOTAEditBuffer*>(this);
    }
    /// The linear position of a 1-based line's start; the text's length past the end.
    int LineStart(int Line) const;
};

/// A host window that follows one buffer (or none) and counts sync requests.
class TFakeEditorHost : public TIDEEditorHost {
public:
    TIntf<IOTAEditBuffer> Buffer;
    int Syncs = 0;
    TIntf<IOTAEditBuffer> CurrentBuffer() override { return Buffer; }
    void SyncNow() override { ++Syncs; }
};

} // namespace kolva::test
