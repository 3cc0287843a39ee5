// The module editor and its layout options. `TModuleEditorOptions` holds the three layout
// settings that every piece of generated text follows: the indentation of a block level, and
// the margin and continuation indentation of wrapped declarations. The settings store
// loads and saves its published properties under "\Code Generation" (settings/KolvaReg.h).
#pragma once

#include "foundation/Propinfo.h"

#include <cstdint>

namespace kolva {

class TModuleEditorOptions : public TObject, public IPublished {
public:
    static const TPropTable& PropTable();
    const TPropTable& PublishedProps() const override { return PropTable(); }

    TModuleEditorOptions() = default;
    /// Freeing the process-wide instance lets ModuleEditorOptions create a fresh one.
    ~TModuleEditorOptions() override;
    TModuleEditorOptions(const TModuleEditorOptions&) = delete;
    TModuleEditorOptions& operator=(const TModuleEditorOptions&) = delete;

    static constexpr int32_t MinBlockIndention = 1, MaxBlockIndention = 12;
    static constexpr int32_t MinWrapIndention = 0, MaxWrapIndention = 20;
    static constexpr int32_t MinWrapMargin = 40, MaxWrapMargin = 128;

    /// Spaces per block level: a local routine within its routine, members within a class,
    /// visibility keywords. The setters clamp into the ranges above, they never reject.
    int32_t BlockIndention() const { return FBlockIndention; }
    void SetBlockIndention(int32_t Value);
    /// Extra indentation of the continuation lines of a wrapped declaration.
    int32_t WrapIndention() const { return FWrapIndention; }
    void SetWrapIndention(int32_t Value);
    /// The right margin at which generated declarations are wrapped.
    int32_t WrapMargin() const { return FWrapMargin; }
    void SetWrapMargin(int32_t Value);

private:
    int32_t FBlockIndention = 2;
    int32_t FWrapIndention = 4;
    int32_t FWrapMargin = 80;
};

/// The process-wide layout options, created on first request, freed at exit.
TModuleEditorOptions& ModuleEditorOptions();

} // namespace kolva
