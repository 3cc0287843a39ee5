// The add-in's presence in the IDE's windows: the images of the code model, and the data
// module that puts the "Fernwright Explorer" item into the View menu, adds the two actions to
// the IDE's action list with their glyphs in the IDE's image list, and loads the user's
// settings at start and saves them at the end.
#pragma once

#include "toolsapi/ExptIntf.h"

#include <QIcon>
#include <QList>
#include <QPixmap>

class QAction;
class QMenu;

namespace kolva {

/// The image lists of the model items and of the contents tree's states.
class TKolvaImagesDM {
public:
    TKolvaImagesDM();
    const QList<QIcon>& ModelImages() const { return FModelImages; }
    const QList<QIcon>& TreeStateImages() const { return FTreeStateImages; }

private:
    QList<QIcon> FModelImages, FTreeStateImages;
};

/// The background colour of the glyphs, transparent in the IDE's image list.
inline constexpr unsigned GlyphMaskColor = 0xFF00FF;

class TKOLVADataModule {
public:
    /// Moves the actions into the IDE's action list and their glyphs into its image list,
    /// inserts the menu item, then loads the settings; a settings key that does not exist
    /// leaves the defaults and is not created. A malformed one is reported, and the settings
    /// are then not saved at the end, so the user's values are not written over.
    /// EXPECTS: Services outlive the module.
    explicit TKOLVADataModule(TIToolServices& Services);
    /// Saves the settings when they were loaded, and takes the actions and the menu item
    /// out of the IDE.
    ~TKOLVADataModule();
    TKOLVADataModule(const TKOLVADataModule&) = delete;
    TKOLVADataModule& operator=(const TKOLVADataModule&) = delete;

    QAction* ShowKOLVAExplorerAction() const { return FShowAction; }
    QAction* SyncKolvaExplorerAction() const { return FSyncAction; }
    QAction* ShowKOLVAItem() const { return FShowItem; }
    bool SettingsLoaded() const { return FSettingsLoaded; }

    /// Makes the host window when it does not exist yet, and shows it: a docked one is made
    /// visible and focused, a floating one shown.
    void ShowExplorer();
    /// Selects the item at the editor's cursor in the explorer; nothing without the window.
    void SyncExplorer();

private:
    TIToolServices& FServices;
    QMenu* FMainItem;
    QAction* FShowItem;
    QAction* FShowAction;
    QAction* FSyncAction;
    QList<QPixmap> FImages;
    bool FSettingsLoaded = false;

    void BuildActions();
    void AddGlyphs();
    void InsertMenuItem();
    void LoadSettings();
};

} // namespace kolva
