// The pictures of the code model: member kinds, visibilities, method bindings, property
// access and the class kinds of the contents tree, drawn as vectors so that they stay crisp
// at any size and screen density.
#pragma once

#include "model/FWEngineDefs.h"

#include <QIcon>
#include <QImage>

namespace kolva {

/// Indices into the member list's image list. The visibility images stand at the
/// visibility + 7.
enum TModelImage : int {
    imNone = -1,
    imField = 0,
    imProcedure,
    imFunction,
    imProperty,
    imResClause,
    imConstructor,
    imDestructor,
    imVisDefault = 7,
    imVisPrivate,
    imVisProtected,
    imVisPublic,
    imVisPublished,
    imVisAutomated,
    imStatic,
    imVirtual,
    imAbstract,
    imOverride,
    imDynamic,
    imMessage,
    imReadOnly,
    imWriteOnly,
    imReadWrite,
    imLocalProc,
    imAllMembers,
    imShowAll,
    ModelImageCount
};

/// Indices into the contents tree's state images.
enum TTreeStateImage : int {
    tsModule = 1,
    tsFormClass = 2,
    /// tsClass + the class kind index: class, interface, object, dispinterface.
    tsClass = 3,
    tsInterface,
    tsObject,
    tsDispInterface,
    tsRecord,
    tsHelper,
    TreeStateImageCount
};

/// The image of a visibility; the strict visibilities share their plain one's.
constexpr int VisibilityImage(TVisibility Value) {
    if (Value == scStrictPrivate) return imVisPrivate;
    if (Value == scStrictProtected) return imVisProtected;
    return imVisDefault + static_cast<int>(Value);
}

/// The tree's state image for a type of that kind (not a form class).
int TreeStateImage(TCodeItemKind Kind);

/// One model image as an icon that paints itself at whatever size is asked.
QIcon ModelIcon(TModelImage Image);
/// One tree state image likewise.
QIcon TreeStateIcon(TTreeStateImage Image);
/// Image painted at Size device pixels, for tests and screenshots.
QImage RenderModelImage(TModelImage Image, int Size);

} // namespace kolva
